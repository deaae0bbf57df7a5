#pragma once

#include <QList>
#include <QString>

namespace tavrin {

// A question's text keeps its formulas as TeX between \( \) or \[ \] ($ $ and $$ $$ typed by
// an author read the same), so every reader that knows nothing of formulas shows the source.
struct TextPiece {
    enum Kind { Text, Inline, Display };
    Kind kind = Text;
    QString source; // as written, delimiters included
    QString tex;    // a formula's TeX, without its delimiters
    qsizetype start = 0;
};

QList<TextPiece> formulaPieces(const QString& text);
bool hasFormula(const QString& text);

// The text with each formula in its canonical delimiters: \( \) inline, \[ \] display.
QString canonicalFormulas(const QString& text);

// A picture mark "{N}" outside any formula: \frac{1}{2} names no picture.
struct ImageMark {
    qsizetype start = 0;
    qsizetype end = 0;
    int number = 0;
};
QList<ImageMark> imageMarks(const QString& text, int maxDigits = 9);

} // namespace tavrin
