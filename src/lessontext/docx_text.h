#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// A Word document (.docx) as RTF for the lesson box: paragraphs with their direction (their
// own or their style's), bold, italic, underline and colour; list items with their mark as
// text, numbered as Word shows them (format, level text, start, the style's list; Persian
// digits in a Persian list); a table row as one paragraph (cells joined by " | "), a cell's
// own paragraphs kept apart; footnotes and endnotes after their paragraph, marked "[n]"; and
// inline pictures. Hidden text, comments, field instructions and tracked deletions are left
// out. Throws FsError when the bytes are not a readable Word document.
QString docxToRtf(const QByteArray& docx);

} // namespace tavrin
