#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace tavrin {

// How a drawing made apart ended.
enum class DrawingEnd { Drawn, TooLong, TooLarge, Failed };

// Runs `draw` in a child process of this one, so that what it costs is bounded: killed when
// it takes more than `seconds` or its resident memory passes `bytes`. The drawn grey image
// comes back through a pipe. `draw` returns a null image when it fails.
DrawingEnd drawApart(const std::function<QImage()>& draw, qint64 bytes, int seconds, QImage& drawn);

} // namespace tavrin
