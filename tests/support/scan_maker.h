#pragma once

#include "exam/sheet_layout.h"

#include <QList>
#include <QString>
#include <opencv2/core/mat.hpp>
#include <random>

namespace tavrin::test {

// Filled answer sheets made the way a class fills them and scanners, copiers and phones
// degrade them, to read back against what was filled.

// How a bubble is marked: a dark fill (a soft pencil or a pen), a light pencil's, a fill that
// stops short, a cross, an erased fill, or nothing.
enum class Fill { None, Dark, Light, Short, Cross, Erased };

// A page of a printed sheet's PDF drawn at dpi, grey.
cv::Mat drawnSheet(const QString& pdf, int page, double dpi);

// The bubble (the layout's mm) marked on a page drawn at pxPerMm.
void fillBubble(cv::Mat& page, double pxPerMm, QPointF at, double r, Fill fill,
                std::mt19937& random);

// How the filled page reaches the reader.
enum class Passage { Scan300, Copy200, UpsideDown, Phone };
// From a page drawn at 300 dpi: a flatbed's scan (a slight skew, noise), a copier's black and
// white at 200 dpi (dithered), the same scan upside down, or a phone's photo over a desk (a
// slant, uneven light, blur, a desk around it).
cv::Mat passed(const cv::Mat& page300, Passage how, std::mt19937& random);

// Pages into one PDF (each at its dpi), as a copier's scan to a file; or one JPEG/PNG.
void writePdf(const QString& path, const QList<cv::Mat>& pages, double dpi);
void writeImage(const QString& path, const cv::Mat& page, int jpegQuality = 0);

} // namespace tavrin::test
