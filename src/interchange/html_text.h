#pragma once

#include <QString>
#include <functional>

namespace tavrin {

// A text as a paragraph of HTML for a learning platform: right to left, blanks kept, the
// letters escaped; each image mark "{N}" that picture(N) names becomes that picture.
QString textHtml(const QString& text, const std::function<QString(int)>& picture);

// The plain text of an HTML fragment, its paragraphs joined by joint; each picture becomes
// what picture(src) gives for it (empty: nothing).
QString htmlPlainText(const QString& html, const QString& joint,
                      const std::function<QString(const QString&)>& picture);

// Text for a CDATA section: "]]>" cannot stand inside one.
QString cdata(const QString& text);

} // namespace tavrin
