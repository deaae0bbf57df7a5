#pragma once

#include <QPixmap>

namespace tavrin {

enum class PictureIcon { Help, DataEntry, Output, Browse };

// The picture buttons' drawings: a quiet rest picture and a coloured hover picture.
QPixmap drawPictureIcon(PictureIcon icon, bool hover, int size);

} // namespace tavrin
