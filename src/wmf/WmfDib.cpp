#include "wmf/WmfDib.h"

#include "wmf/WmfReader.h"

namespace wmf {

namespace {

constexpr int BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

int maskShift(quint32 mask)
{
    int s = 0;
    while (s < 32 && !(mask & (1u << s))) ++s;
    return s;
}

int maskBits(quint32 mask, int shift)
{
    int n = 0;
    while (shift + n < 32 && (mask & (1u << (shift + n)))) ++n;
    return n;
}

quint8 expand(quint32 v, int bits)
{
    if (bits <= 0) return 0;
    if (bits >= 8) return quint8(v >> (bits - 8));
    return quint8((v * 255u) / ((1u << bits) - 1u));
}

void setPixel(QImage& img, int x, int y, bool bottomUp, QRgb c)
{
    const int h = img.height();
    if (x < 0 || x >= img.width() || y < 0 || y >= h) return;
    const int row = bottomUp ? h - 1 - y : y;
    reinterpret_cast<QRgb*>(img.scanLine(row))[x] = c;
}

// Run-length decoding: y counts rows in file order; a run past the image is dropped.
void decodeRle(QImage& img, Reader& r, bool rle4, bool bottomUp, const std::vector<QRgb>& colors)
{
    auto color = [&](int i) { return i < int(colors.size()) ? colors[i] : qRgb(0, 0, 0); };
    int x = 0, y = 0;
    const int w = img.width(), h = img.height();
    while (r.ok() && r.remaining() >= 2 && y < h) {
        const int count = r.u8();
        const int value = r.u8();
        if (count > 0) {
            for (int i = 0; i < count && x < w; ++i, ++x) {
                const int idx = rle4 ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value;
                setPixel(img, x, y, bottomUp, color(idx));
            }
            continue;
        }
        if (value == 0) { x = 0; ++y; continue; }
        if (value == 1) break;
        if (value == 2) {
            x += r.u8();
            y += r.u8();
            continue;
        }
        // Absolute run of `value` pixels, padded to a 16-bit boundary.
        const int n = value;
        const int bytes = rle4 ? (n + 1) / 2 : n;
        if (bytes > r.remaining()) break;
        const uchar* p = r.here();
        for (int i = 0; i < n; ++i, ++x) {
            const int idx = rle4 ? ((i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4)) : p[i];
            if (x < w) setPixel(img, x, y, bottomUp, color(idx));
        }
        r.skip(bytes + (bytes & 1));
    }
}

} // namespace

QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices, const std::vector<quint32>* palette)
{
    Reader r(data, size);
    const quint32 headerSize = r.u32();
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = BI_RGB, colorsUsed = 0;
    bool core = false;
    if (headerSize == 12) {
        core = true;
        width = r.u16();
        height = r.u16();
        r.u16();
        bitCount = r.u16();
    } else if (headerSize >= 40 && headerSize <= 256) {
        width = r.s32();
        height = r.s32();
        r.u16();
        bitCount = r.u16();
        compression = r.u32();
        r.u32();
        r.u32();
        r.u32();
        colorsUsed = r.u32();
        r.u32();
        r.seek(headerSize);
    } else {
        return QImage();
    }
    if (!r.ok()) return QImage();
    const bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return QImage();
    if (width * height > MAX_BITMAP_PIXELS) return QImage();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return QImage();

    quint32 masks[3] = {0, 0, 0};
    if (compression == BI_BITFIELDS) {
        if (bitCount != 16 && bitCount != 32) return QImage();
        if (headerSize == 40) {
            for (quint32& m : masks) m = r.u32();
        } else {
            Reader hr(data, size);
            hr.seek(40);
            for (quint32& m : masks) m = hr.u32();
        }
    } else if (bitCount == 16) {
        masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
    }

    std::vector<QRgb> colors;
    if (bitCount <= 8) {
        qint64 n = colorsUsed ? colorsUsed : (1 << bitCount);
        if (n > 256) n = 256;
        const int entry = paletteIndices ? 2 : (core ? 3 : 4);
        if (n * entry > r.remaining()) n = r.remaining() / entry;
        colors.reserve(size_t(n));
        for (qint64 i = 0; i < n; ++i) {
            if (paletteIndices) {
                const quint16 idx = r.u16();
                quint32 c = 0;
                if (palette && idx < palette->size()) c = (*palette)[idx];
                colors.push_back(qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
            } else {
                const int b = r.u8(), g = r.u8(), rr = r.u8();
                if (!core) r.u8();
                colors.push_back(qRgb(rr, g, b));
            }
        }
    } else if (colorsUsed && !core) {
        // A colour table may follow true-colour headers; it is not used.
        r.skip(qMin<qint64>(qint64(colorsUsed) * 4, r.remaining()));
    }

    QImage img(int(width), int(height), QImage::Format_RGB32);
    if (img.isNull()) return QImage();
    img.fill(Qt::white);

    if (compression == BI_RLE8 || compression == BI_RLE4) {
        if ((compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4)) return QImage();
        decodeRle(img, r, compression == BI_RLE4, bottomUp, colors);
        return img;
    }
    if (compression != BI_RGB && compression != BI_BITFIELDS) return QImage();

    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    const qint64 rows = qMin<qint64>(height, r.remaining() / stride);
    const int shifts[3] = {maskShift(masks[0]), maskShift(masks[1]), maskShift(masks[2])};
    const int bits[3] = {maskBits(masks[0], shifts[0]), maskBits(masks[1], shifts[1]), maskBits(masks[2], shifts[2])};
    auto color = [&](int i) { return i < int(colors.size()) ? colors[i] : qRgb(0, 0, 0); };
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* p = r.here() + y * stride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(int(bottomUp ? height - 1 - y : y)));
        for (qint64 x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1: out[x] = color((p[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: out[x] = color((x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4)); break;
            case 8: out[x] = color(p[x]); break;
            case 24: out[x] = qRgb(p[x * 3 + 2], p[x * 3 + 1], p[x * 3]); break;
            case 16:
            case 32: {
                const quint32 v = bitCount == 16 ? quint32(p[x * 2] | (p[x * 2 + 1] << 8))
                                                 : quint32(p[x * 4] | (p[x * 4 + 1] << 8) | (p[x * 4 + 2] << 16)
                                                           | (quint32(p[x * 4 + 3]) << 24));
                out[x] = qRgb(expand((v & masks[0]) >> shifts[0], bits[0]), expand((v & masks[1]) >> shifts[1], bits[1]),
                              expand((v & masks[2]) >> shifts[2], bits[2]));
                break;
            }
            }
        }
    }
    return img;
}

QImage decodeBitmap16(const uchar* data, qsizetype size)
{
    Reader r(data, size);
    r.u16();  // type
    const qint64 width = r.s16();
    const qint64 height = r.s16();
    const qint64 widthBytes = r.s16();
    const int planes = r.u8();
    const int bitsPixel = r.u8();
    if (!r.ok() || width <= 0 || height <= 0 || planes != 1 || width * height > MAX_BITMAP_PIXELS) return QImage();
    if (bitsPixel != 1 && bitsPixel != 8 && bitsPixel != 24 && bitsPixel != 32) return QImage();
    if (widthBytes < (width * bitsPixel + 7) / 8) return QImage();
    QImage img(int(width), int(height), QImage::Format_RGB32);
    if (img.isNull()) return QImage();
    img.fill(Qt::white);
    const qint64 rows = qMin<qint64>(height, r.remaining() / widthBytes);
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* p = r.here() + y * widthBytes;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(int(y)));
        for (qint64 x = 0; x < width; ++x) {
            switch (bitsPixel) {
            case 1: out[x] = ((p[x >> 3] >> (7 - (x & 7))) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); break;
            case 8: out[x] = qRgb(p[x], p[x], p[x]); break;
            case 24: out[x] = qRgb(p[x * 3 + 2], p[x * 3 + 1], p[x * 3]); break;
            case 32: out[x] = qRgb(p[x * 4 + 2], p[x * 4 + 1], p[x * 4]); break;
            }
        }
    }
    return img;
}

} // namespace wmf
