#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "wmf/WmfFormat.h"

// Shared by the metafile tests: rendering a decoded picture into an image of a
// given size, and comparing two renderings.
namespace wmftest {

// Draws the picture's frame over the whole image (white background).
QImage render(const wmf::Picture& picture, int width, int height, int dpi = 96);

// Greyscale of both images scaled to 128 x 128; 1 - mean absolute difference / 255.
double similarity(const QImage& a, const QImage& b);
// Pixels darker than mid-grey in both, over those dark in either (1 when neither has any).
double inkOverlap(const QImage& a, const QImage& b);

// Bounding box of pixels that are not near white, in image coordinates.
QRect inkedBox(const QImage& image, int threshold = 128);
// Bounding box of pixels close to the given colour.
QRect colourBox(const QImage& image, QRgb colour, int tolerance = 60);

} // namespace wmftest
