#pragma once

#include <QList>
#include <QString>

namespace tavrin {

// The question editor's short palette of formulas: each inserts its TeX at the caret.
struct PaletteItem {
    const char* name; // the button's object name
    QString label;    // what the button shows: with a letter, so that a right-to-left
                      // window does not mirror a lone "≤" or "∫"
    QString tex;      // "@" marks where the caret goes
};
const QList<PaletteItem>& formulaPalette();

// What inserting an item into `text` at `caret` (replacing `selected` characters after it)
// writes and where the caret ends: outside a formula the TeX comes in \( \); a selection
// fills the item's first place.
struct PaletteInsert {
    QString text;
    int caret = 0; // from the start of the inserted text
};
PaletteInsert paletteInsert(const QString& text, int caret, int selected, const PaletteItem& item);

} // namespace tavrin
