#pragma once

#include "store/store_view.h"

#include <QString>
#include <Qt>

namespace tavrin {

class Context;

// What the settings area of the main window holds for the selected project.
struct SettingsChoice {
    bool musicOn = true;       // bMus (0) "فعال"
    bool firstTemplate = true; // Olgoo (0) "الگوي اول"
    Qt::CheckState print = Qt::Unchecked;
    QString music1;
    QString music2;
    QString back;
    QString exportPath;
};

// The exam the CD offers: on unless the project says "0"; minutes a lesson (0: no limit) and
// questions an exam draws (0: all), read as 0 when missing or not a number in range.
struct ExamSettings {
    bool on = true;
    int minutes = 0;
    int count = 0;
};
ExamSettings examSettings(const ProjectSettings& settings);
constexpr int kMostExamMinutes = 600;
constexpr int kMostExamQuestions = 257;

// 0: the music digit ("1" on, "0" off), 1: the template digit ("1" or "2"), 2: the print
// digit ("1" for any state but cleared); any other selector gives "0".
QString SettingCode(const SettingsChoice& choice, int selector);

// The player's settings file, exactly: no line break after "</strings>".
QString cdPropertyText(const SettingsChoice& choice);

// Writes BookTXT/CDProperty.xml and the FlashIMG media copies; a missing media source is
// skipped (logged). A file that cannot be written leaves the old one whole, stops, and is
// told (106, with why); false then.
bool SaveThings(Context& context, const SettingsChoice& choice, const QString& projectPath,
                const QString& bookTxtDir);

// Writes one changed setting back to the project file's Settings block: "Music",
// "Olgoo", "Printable", "ExamOn", "ExamMinutes" and "ExamCount" hold text, "Music1", "Music2",
// "BackPic", "Export" and "Import" a Path. A missing element is added; the rest of the file stays
// byte for byte. Why it was not written (kUnsafeSettingPath first for a path refused with its
// own notice) (a full disk, a read-only project; logged), or an empty
// text when it was.
inline const QString kUnsafeSettingPath = QStringLiteral("Unsafe folder path");
QString KeepSetting(Context& context, const QString& projectPath, const QString& tag,
                    const QString& value);

} // namespace tavrin
