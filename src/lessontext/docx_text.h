#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavrin {

// A Word document (.docx) as RTF for the lesson box: paragraphs with their direction (their
// own or their style's), bold, italic, underline and colour; list items with their mark as
// text, numbered as Word shows them (format, level text, start, the style's list; Persian
// digits in a Persian list); a table row as one paragraph (cells joined by " | "), a cell's
// own paragraphs kept apart; footnotes and endnotes after their paragraph, marked "[n]"; and
// inline pictures; Word's equations as TeX between \( \) or \[ \]. Hidden text, comments, field
// instructions and tracked deletions are left out. Throws FsError when the bytes are not a readable
// Word document. `notes` gets what of the equations was not turned.
struct DocxNotes {
    QStringList lostParts;   // OMML elements kept as a mark, each once
    int equationObjects = 0; // older equation objects kept as their pictures
};
QString docxToRtf(const QByteArray& docx, DocxNotes* notes = nullptr);

} // namespace tavrin
