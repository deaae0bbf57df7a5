#pragma once

#include "store/quiz_file.h"

#include <QString>
#include <QStringList>
#include <array>

namespace tavrin {

// The formatter's table of filed questions: seven parallel tables of 257 entries, the image
// paths of the image marks, and the counters the capture commands move.
struct EntryTable {
    static constexpr int kEntries = kQuizEntries;
    static constexpr int kImages = 513;

    std::array<QString, kEntries> SoalText; // question text, or a group marker
    std::array<QString, kEntries> JavabRtf; // answers (rich text), or a group title
    std::array<QString, kEntries> TozihRtf; // explanation (rich text)
    std::array<QString, kEntries> AttachPath;
    std::array<QString, kEntries> SoundPath;
    std::array<QString, kEntries> FilmPath;
    std::array<QString, kEntries> BackPath;
    std::array<QString, kEntries> Cancelled; // "1": cancelled with a positive effect
    std::array<QString, kImages> ImagePaths;

    int EntryCount = 0;   // the entry the commands fill next = the next outline line
    int OpenGroups = 0;   // groups opened and not closed
    QString GroupTitle;   // title of the group opened last
    int ImageCounter = 0; // number of the next image mark
    int CurrentEntry = 0; // the entry chosen in the outline
    // True from a question command until its explanation: the entry being filled.
    bool questionOpen = false;

    // Every entry and image path empty, every counter 0.
    void clear();
};

inline const QString kMainTitleEntry = QStringLiteral(u">>> عنوان اصلي");
inline const QString kEndTitleEntry = QStringLiteral(u">>> پايان عنوان");
inline const QString kIdentityEntry = QStringLiteral(u"شناسنامه");

inline bool isGroupLine(const QString& soal) {
    return soal == kMainTitleEntry || soal == kEndTitleEntry;
}

} // namespace tavrin
