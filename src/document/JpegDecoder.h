#pragma once

#include <QSize>

class QIODevice;
class RasterBitmap;

// Decodes a JPEG from the device's current position into image (a
// fresh bitmap) through libjpeg: greyscale becomes 8 bits with a
// grey palette, colour and inverted (Adobe) CMYK become 24 bits, and the JFIF
// density gives the resolution. A truncated file decodes as far as its data
// goes. On failure returns false with libjpeg's message in image.LastError().
bool DecodeJpeg(QIODevice& device, RasterBitmap& image);

// The same for a picture that is to be shown no larger than boxWidth by
// boxHeight: libjpeg decodes at 1/2, 1/4 or 1/8 of the size when that still
// fills the box, which for a thumbnail of a large photograph is most of the
// work saved. fullSize receives the size of the whole picture in pixels (the
// resolution stays that of the whole picture).
bool DecodeJpegForBox(QIODevice& device, RasterBitmap& image, int boxWidth, int boxHeight, QSize* fullSize);
