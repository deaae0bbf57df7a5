#pragma once

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

} // namespace tavrin
