#include "lesson/outline_editing.h"

#include "lesson/entry_table.h"
#include "lesson/text_procedures.h"
#include "lesson/to_txt.h"

namespace tavrin {

QString outlineLineOf(Context& context, const EntryTable& table, int entry) {
    const QString separator = QStringLiteral("   =>   ");
    QString line = BeBor(table.SoalText[entry], 20) + separator +
                   BeBor(ToTXT(context, table.JavabRtf[entry]), 50) + separator +
                   BeBor(ToTXT(context, table.TozihRtf[entry]), 50);
    if (!table.AttachPath[entry].isEmpty())
        line.prepend(QStringLiteral(u"§ "));
    if (!table.SoundPath[entry].isEmpty())
        line.prepend(QStringLiteral("~ "));
    if (!table.FilmPath[entry].isEmpty())
        line.prepend(QStringLiteral("# "));
    if (!table.BackPath[entry].isEmpty())
        line.prepend(QStringLiteral("^ "));
    return line;
}

QString groupLineOf(const EntryTable& table, int entry) {
    return BeBor(table.SoalText[entry], 20) + QStringLiteral("   =>   ") +
           BeBor(table.JavabRtf[entry], 50);
}

void saveEntry(Context& context, EntryTable& table, QStringList& outline, int k,
               const EntryFields& f) {
    table.SoalText[k] = f.soal;
    table.JavabRtf[k] = f.javab;
    table.TozihRtf[k] = f.tozih;
    table.AttachPath[k] = f.attach;
    table.SoundPath[k] = f.sound;
    table.FilmPath[k] = f.film;
    table.BackPath[k] = f.back;
    table.Cancelled[k] = f.cancelled ? QStringLiteral("1") : QString();
    if (k < outline.size())
        outline[k] = outlineLineOf(context, table, k);
}

void removeEntry(EntryTable& table, int entry) {
    for (int k = entry; k < EntryTable::kEntries; ++k) {
        if (table.SoalText[k].isEmpty())
            break;
        for (auto* field : {&table.SoalText, &table.JavabRtf, &table.TozihRtf, &table.AttachPath,
                            &table.SoundPath, &table.FilmPath, &table.BackPath, &table.Cancelled})
            (*field)[k] = k + 1 < EntryTable::kEntries ? (*field)[k + 1] : QString();
    }
}

void removeFiledEntry(EntryTable& table, QStringList& outline, int entry) {
    if (entry < outline.size())
        outline.removeAt(entry);
    removeEntry(table, entry);
    if (entry < table.EntryCount)
        --table.EntryCount;
    else
        table.questionOpen = false;
}

} // namespace tavrin
