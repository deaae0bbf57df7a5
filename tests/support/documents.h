#pragma once

#include <QList>
#include <QString>
#include <QTextImageFormat>

class QTextDocument;

namespace tavrin::test {

inline QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// A file of the source tree (resources, samples), by its path from the top.
QString sourceFile(const QString& relative);

// The pages of a PDF, as pdfinfo counts them; -1 when it cannot be read.
int pdfPages(const QString& pdf);

// A snippet the tool ships in resources/, read as the tool reads it: whole, as ANSI text.
QString shippedSnippet(const char* name);
// A text with "@check" and "@img" made the shipped snippets.
QString withSnippets(QString text);

// The document's pictures, in order.
QList<QTextImageFormat> imagesOf(const QTextDocument& document);

// The document's text as a rich text box shows it: paragraphs joined by CR LF.
QString textOf(const QTextDocument& document);

} // namespace tavrin::test
