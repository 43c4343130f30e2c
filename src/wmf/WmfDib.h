#pragma once

#include <QImage>

#include <vector>

namespace wmf {

// Largest bitmap the decoder will allocate, in pixels (64 MB as RGB32).
constexpr qint64 MAX_BITMAP_PIXELS = 16 * 1024 * 1024;

// Decodes a device-independent bitmap (BITMAPINFOHEADER or BITMAPCOREHEADER,
// colour table, bits) of 1, 4, 8, 16, 24 or 32 bits, BI_RGB, BI_RLE8, BI_RLE4
// or BI_BITFIELDS. Rows that the data does not hold stay white. With
// paletteIndices the colour table holds 16-bit indices into palette.
// Returns a null image when the header is unusable.
QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices = false,
                 const std::vector<quint32>* palette = nullptr);

// Decodes the old device-dependent bitmap of BitBlt and StretchBlt records
// (width, height, bytes per row, planes, bits per pixel, then the bits).
QImage decodeBitmap16(const uchar* data, qsizetype size);

} // namespace wmf
