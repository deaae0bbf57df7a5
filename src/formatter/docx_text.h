#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin {

// A Word document (.docx) as RTF for the lesson box: paragraphs with their direction,
// bold, italic, underline and colour, list items with their bullet or number as text, a
// table row as one paragraph (cells joined by " | "), and inline pictures. Hidden text,
// comments, field instructions and tracked deletions are left out. Throws FsError when the
// bytes are not a readable Word document.
QString docxToRtf(const QByteArray& docx);

} // namespace tavrin
