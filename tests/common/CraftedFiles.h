#pragma once
// Small hand-made files for the tests that feed damaged or absurd input:
// raw little-endian fields and the bitmaps built from them.
#include <QByteArray>
#include <QtGlobal>

namespace crafted {

inline QByteArray le16(int v)
{
    QByteArray b;
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return b;
}

inline QByteArray le32(qint64 v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// The 40-byte information header and, up to 8 bits, a palette of 2^bits
// entries: entry 0 white, the others black.
inline QByteArray DibHeader(qint64 width, qint64 height, int bits, int compression, qint64 pelsPerMeter)
{
    QByteArray b = le32(40) + le32(width) + le32(height) + le16(1) + le16(bits) + le32(compression) + le32(0)
                   + le32(pelsPerMeter) + le32(pelsPerMeter) + le32(0) + le32(0);
    if (bits <= 8) {
        b += le32(0xFFFFFF);
        for (int i = 1; i < (1 << bits); ++i) b += le32(0);
    }
    return b;
}

// A ".bmp" file, or without the 14-byte file header when headerless.
inline QByteArray Bitmap(qint64 width, qint64 height, int bits, int compression, qint64 pelsPerMeter,
                         const QByteArray& pixels, bool headerless = false)
{
    const QByteArray info = DibHeader(width, height, bits, compression, pelsPerMeter);
    if (headerless) return info + pixels;
    return QByteArray("BM") + le32(14 + info.size() + pixels.size()) + le32(0) + le32(14 + info.size()) + info
           + pixels;
}

// RLE8 pixels: a black stripe of 255 pixels on the bottom row, then the end
// of the bitmap; every other pixel stays as allocated.
inline QByteArray Rle8Stripe() { return QByteArray("\xFF\x01\x00\x01", 4); }

} // namespace crafted
