#pragma once

class QIODevice;
class RasterImage;

// Decodes a JPEG from the device's current position into image (a fresh
// RasterImage of type JPEG) through libjpeg: greyscale becomes 8 bits with a
// grey palette, colour and inverted (Adobe) CMYK become 24 bits, and the JFIF
// density gives the resolution. A truncated file decodes as far as its data
// goes. On failure returns false with libjpeg's message in image.LastError().
bool DecodeJpeg(QIODevice& device, RasterImage& image);
