#pragma once

#include <QString>

class QTextDocument;

namespace tavrin {

// RTF of the document, or of the document positions [from, to). Code page 1256, a font
// table with charset 178, every paragraph's direction and visible alignment stated,
// letters beyond ASCII as \uN?, pictures as they were read (PNG for new ones). Plain ASCII
// text, such as a "%%%" mark, is written as it stands.
QString documentToRtf(const QTextDocument* document, int from = 0, int to = -1);

// Text as RTF text: "\", "{" and "}" escaped, a tab as \tab, letters beyond ASCII as \uN?.
void appendRtfText(QStringView text, QString& out);

} // namespace tavrin
