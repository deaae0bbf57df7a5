#pragma once

#include <QString>

namespace tavrin {

// A QR code of the text (UTF-8, error correction level M) as an SVG image of black modules
// on white with the standard four-module quiet zone, sized by its viewBox. Empty when the
// text is too long for any QR version.
QString qrSvg(const QString& text);

} // namespace tavrin
