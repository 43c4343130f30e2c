#pragma once

class QIODevice;
class RasterBitmap;

// Reads a PNG from the device's current position into image (a
// fresh bitmap): palette and grey files without transparency stay
// 8-bit with their palette, everything else becomes 24 bits, 16-bit samples
// are reduced to 8 and transparent pixels are laid on white paper. The
// resolution is the file's pHYs in pixels per metre; without one (or with
// one in no unit) it is 96 dpi. The size is checked against the raster
// bounds before anything is decoded. On failure returns false with the
// reason in image.LastError().
bool DecodePng(QIODevice& device, RasterBitmap& image);

// The resolution a PNG's chunks before its pixel data give, in pixels per
// metre; false when there is no pHYs chunk in metres there. Reads through
// the device from its current position.
bool ReadPngResolution(QIODevice& device, int* ppmX, int* ppmY);
