#pragma once

class QIODevice;
class RasterBitmap;

// Reads a Windows bitmap from the device's current position into image (a
// fresh bitmap): with or without the 14-byte file header,
// core (12-byte), 40-byte and larger information headers, 1, 4, 8, 16, 24
// and 32 bits per pixel, RLE8 and RLE4, bit-field masks and top-down rows.
// On failure returns false with the reason in image.LastError().
bool DecodeBmp(QIODevice& device, RasterBitmap& image);
