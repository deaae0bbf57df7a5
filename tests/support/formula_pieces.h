#pragma once

#include "platform/formula_text.h"

#include <QStringList>

namespace tavrin::test {

// A text's pieces as the tables write them: "T[text] I[tex] D[tex]".
inline QString piecesText(const QString& text) {
    QStringList out;
    for (const TextPiece& p : formulaPieces(text))
        out.append(p.kind == TextPiece::Text     ? QStringLiteral("T[") + p.source + u']'
                   : p.kind == TextPiece::Inline ? QStringLiteral("I[") + p.tex + u']'
                                                 : QStringLiteral("D[") + p.tex + u']');
    return out.join(u' ');
}

} // namespace tavrin::test
