#pragma once

#include "richtext/rich_text_format.h"

#include <QImage>
#include <QSize>
#include <QTextImageFormat>

class QTextDocument;

namespace tavrin {

// The picture as it is shown: PNG, JPEG, device-independent bitmaps and monochrome or
// true-colour device bitmaps decode; anything else (metafiles, palette bitmaps, damaged
// data) becomes a grey placeholder. Never null. A picture larger than its shown size is
// decoded at that size: a document holds what it shows, not the camera's pixels.
QImage pictureImage(const RtfPicture& picture);

// Shown size in pixels: the goal size (twips) scaled, else the picture's own size.
QSize pictureDisplaySize(const RtfPicture& picture, QSize own);

// The image format of a picture placed in a document. It keeps the picture's RTF data so the
// writer gives back the very bytes it read, metafiles included.
QTextImageFormat pictureFormat(QTextDocument* document, const RtfPicture& picture);

// The picture behind an image format: its RTF data when it came from RTF, else the document's
// image for it encoded as PNG at its shown size.
RtfPicture pictureOf(const QTextDocument* document, const QTextImageFormat& format);

} // namespace tavrin
