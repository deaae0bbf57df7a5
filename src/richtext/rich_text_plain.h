#pragma once

#include <QString>
#include <QStringView>

namespace tavrin {

// The plain text of rich text: paragraphs joined by CR LF, pictures dropped; the same text a
// rich text box shows after loading it, without pictures. Text that is not RTF comes back
// as it is; an empty document gives an empty text.
QString rtfToPlainText(const QString& rtf);
QString rtfBytesToPlainText(const QByteArray& bytes);

} // namespace tavrin
