#include "lesson/formula_palette.h"

#include "platform/formula_text.h"

namespace tavrin {

const QList<PaletteItem>& formulaPalette() {
    static const QList<PaletteItem> items{
        {"PalFrac", QStringLiteral("a/b"), QStringLiteral("\\frac{@}{}")},
        {"PalPower", QStringLiteral("xⁿ"), QStringLiteral("{@}^{}")},
        {"PalIndex", QStringLiteral("xₙ"), QStringLiteral("{@}_{}")},
        {"PalRoot", QStringLiteral("√x"), QStringLiteral("\\sqrt{@}")},
        {"PalSum", QStringLiteral("∑i"), QStringLiteral("\\sum_{@}^{}")},
        {"PalIntegral", QStringLiteral("∫dx"), QStringLiteral("\\int_{@}^{}")},
        {"PalVector", QStringLiteral(u"بردار"), QStringLiteral("\\vec{@}")},
        {"PalLe", QStringLiteral("a≤b"), QStringLiteral("\\le @")},
        {"PalGe", QStringLiteral("a≥b"), QStringLiteral("\\ge @")},
        {"PalNe", QStringLiteral("a≠b"), QStringLiteral("\\ne @")},
        {"PalTimes", QStringLiteral("a×b"), QStringLiteral("\\times @")},
    };
    return items;
}

PaletteInsert paletteInsert(const QString& text, int caret, int selected, const PaletteItem& item) {
    caret = qBound(0, caret, int(text.size()));
    bool inside = false;
    for (const TextPiece& p : formulaPieces(text))
        if (p.kind != TextPiece::Text && caret > p.start && caret < p.start + p.source.size())
            inside = true;
    // An empty pair of delimiters the author has just typed is a formula to fill too.
    const QStringView before = QStringView(text).mid(qMax(0, caret - 2), qMin(2, caret));
    const QStringView after = QStringView(text).mid(caret, 2);
    if ((before == u"\\(" && after == u"\\)") || (before == u"\\[" && after == u"\\]"))
        inside = true;
    const QString chosen = text.mid(caret, qMax(0, selected));
    QString tex = item.tex;
    const int at = int(tex.indexOf(u'@'));
    tex.replace(at, 1, chosen);
    PaletteInsert out;
    out.text = inside ? tex : QStringLiteral("\\(") + tex + QStringLiteral("\\)");
    // The caret after what was chosen, or in the first empty place.
    out.caret = (inside ? 0 : 2) + at + int(chosen.size());
    if (!chosen.isEmpty()) {
        const qsizetype next = out.text.indexOf(QStringLiteral("{}"), out.caret);
        if (next >= 0)
            out.caret = int(next) + 1;
    }
    return out;
}

} // namespace tavrin
