#pragma once

#include <QString>

namespace tavrin {

class Context;

// Plain text of an entry's rich text: paragraphs joined by CR LF, pictures dropped, plain
// text returned as it is. A failure is logged (67) and gives an empty text.
QString ToTXT(Context& context, const QString& rtf);

} // namespace tavrin
