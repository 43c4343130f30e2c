#pragma once

#include <QImage>

#include <vector>

class BoundedReader;

namespace wmf {

// Largest bitmap a metafile may make us allocate, in pixels (64 MB as RGB32).
constexpr qint64 MAX_BITMAP_PIXELS = 16 * 1024 * 1024;

constexpr quint32 BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr int DIB_CORE_HEADER_SIZE = 12;
constexpr int DIB_INFO_HEADER_SIZE = 40;

// What a device-independent bitmap's information header says. The height is
// made positive; topDown keeps its sign.
struct DibHeader {
    quint32 size = 0;
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bitCount = 0;
    quint32 compression = BI_RGB;
    quint32 colorsUsed = 0;
    qint32 xPelsPerMeter = 0;
    qint32 yPelsPerMeter = 0;
    // Red, green and blue bit-field masks: read ones, or the defaults of
    // 16 and 32 bits (5-5-5 and 8-8-8).
    quint32 masks[3] = {0, 0, 0};

    bool core() const { return size == DIB_CORE_HEADER_SIZE; }
};

// The depth a bitmap is kept at in memory: 1, 4, 8, or 24 for anything wider.
int dibMemoryDepth(int bitCount);

// Where a bitmap decodes to: the packed form, bottom row first, rows of
// stride bytes at the memory depth, and (below 24 bits) a palette of
// 1 << depth entries of blue, green, red, 0. The caller allocates and clears
// both. With written set (one byte per pixel, bottom row first) the decoder
// marks every pixel the data reached.
struct DibSurface {
    int depth = 0;
    qint64 width = 0;
    qint64 height = 0;
    qsizetype stride = 0;
    uchar* bits = nullptr;
    uchar* palette = nullptr;
    uchar* written = nullptr;
};

enum class DibStatus { Ok, Unreadable, CompressionNotSupported, UnknownCompression };

// Reads the information header at the reader's position (core, 40-byte or
// longer) and the bit-field masks after its first 40 bytes, and leaves the
// reader where the colour table begins. A header that claims to run past
// pixelsAt (when not 0) is taken as its first 40 bytes. Unreadable when the
// bytes are too few.
DibStatus readDibHeader(BoundedReader& r, DibHeader& header, qsizetype pixelsAt = 0);

// Reads the colour table into the surface's palette: the header's colour
// count (all the depth has when 0 or more), 3-byte entries after a core
// header. With metafilePalette the entries are 16-bit indices into it (red in
// the low byte). A table after a true-colour header is skipped.
void readDibPalette(BoundedReader& r, const DibHeader& header, DibSurface& surface,
                    const std::vector<quint32>* metafilePalette = nullptr);

// Decodes the pixels at the reader's position into the surface: uncompressed
// rows of 1 to 32 bits, RLE8, RLE4 and bit fields. Data that runs short
// leaves the rest untouched; run-length data never writes outside the
// picture. Other bit counts decode nothing.
DibStatus readDibPixels(BoundedReader& r, const DibHeader& header, DibSurface& surface);

// Decodes a packed device-independent bitmap (header, colour table, bits).
// Pixels the data does not reach stay white. With paletteIndices the colour
// table holds 16-bit indices into palette. Returns a null image when the
// header is unusable or the bitmap larger than MAX_BITMAP_PIXELS.
QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices = false,
                 const std::vector<quint32>* palette = nullptr);

// Decodes the old device-dependent bitmap of BitBlt and StretchBlt records
// (width, height, bytes per row, planes, bits per pixel, then the bits).
QImage decodeBitmap16(const uchar* data, qsizetype size);

} // namespace wmf
