#pragma once

#include <QFont>

namespace tavrin {

// Form geometry is given in twips; the screen has 96 dots per inch.
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

// Tahoma where it exists, then faces that carry Persian letters on other systems.
QFont persianFont(qreal pointSize = 8.25, bool bold = false);

} // namespace tavrin
