#include "wmf/WmfDib.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/BoundedReader.h"

namespace wmf {

namespace {

// One colour channel of a bit-field pixel scaled to 8 bits, rounded, so that
// the largest value of any width is 255 (a 5-bit 31 is 255, not 248) and a
// 2-bit field gives 0, 85, 170, 255: what the BMP test suite's references
// show for every field width.
class Channel {
public:
    explicit Channel(quint32 mask)
    {
        if (!mask) return;  // no field: always 0, and no shift by 32
        m_mask = mask;
        m_shift = std::countr_zero(mask);
        m_bits = 32 - std::countl_zero(mask) - m_shift;
        if (m_bits < 8) {
            const quint32 top = (1u << m_bits) - 1u;
            for (quint32 v = 0; v <= top; ++v) m_scaled[v] = quint8((v * 255u + top / 2) / top);
        }
    }
    quint8 operator()(quint32 pixel) const
    {
        if (!m_mask) return 0;
        const quint32 v = (pixel & m_mask) >> m_shift;
        if (m_bits < 8) return m_scaled[v];
        if (m_bits == 8) return quint8(v);
        const quint64 top = (quint64(1) << m_bits) - 1;
        return quint8((quint64(v) * 255 + top / 2) / top);
    }

private:
    quint32 m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
    quint8 m_scaled[128] = {};
};

// Rows come in file order; y counts them from the first.
uchar* rowAt(DibSurface& s, const DibHeader& h, qint64 y)
{
    return s.bits + qsizetype(h.topDown ? s.height - 1 - y : y) * s.stride;
}

void markWritten(DibSurface& s, const DibHeader& h, qint64 y, qint64 x0, qint64 x1)
{
    if (!s.written || x1 <= x0) return;
    const qint64 row = h.topDown ? s.height - 1 - y : y;
    std::memset(s.written + row * s.width + x0, 1, size_t(x1 - x0));
}

// Sets pixel x of file row y to palette index v (8 or 4 bits in memory).
void putIndex(DibSurface& s, const DibHeader& h, qint64 x, qint64 y, int v)
{
    if (x < 0 || x >= s.width || y < 0 || y >= s.height) return;
    uchar* row = rowAt(s, h, y);
    if (s.depth == 8) {
        row[x] = uchar(v);
    } else {
        uchar& b = row[x >> 1];
        b = (x & 1) ? uchar((b & 0xF0) | (v & 0x0F)) : uchar((b & 0x0F) | (v << 4));
    }
    markWritten(s, h, y, x, x + 1);
}

// RLE8 and RLE4: runs of one value, absolute runs padded to 16 bits, end of
// line, end of bitmap and delta. Columns count pixels, so a delta to an odd
// column lands on the right half-byte.
void decodeRle(BoundedReader& r, const DibHeader& h, DibSurface& s, bool rle4)
{
    qint64 x = 0, y = 0;
    uchar data[256];
    while (y < s.height && r.remaining() >= 2) {
        const int count = r.u8();
        const int value = r.u8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                putIndex(s, h, x + i, y, rle4 ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            x += count;
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (r.remaining() < 2) break;
            x += r.u8();
            y += r.u8();
        } else {
            const int bytes = rle4 ? (value + 1) / 2 : value;
            const qsizetype got = r.read(data, bytes);
            const int pixels = rle4 ? int(std::min<qsizetype>(value, got * 2)) : int(got);
            for (int i = 0; i < pixels; ++i)
                putIndex(s, h, x + i, y, rle4 ? ((i & 1) ? (data[i / 2] & 0x0F) : (data[i / 2] >> 4)) : data[i]);
            if (got < bytes) break;
            x += value;
            if (bytes & 1) r.skip(qMin<qsizetype>(1, r.remaining()));
        }
    }
}

// Uncompressed rows: 1, 4, 8 and 24 bits are copied as they are; 16 and 32
// bits go through their bit-field masks to 24. A row cut short keeps the
// pixels it holds whole.
void decodeRows(BoundedReader& r, const DibHeader& h, DibSurface& s)
{
    const int bits = h.bitCount;
    const qsizetype fileStride = qsizetype((s.width * bits + 31) / 32 * 4);
    const Channel red(h.masks[0] & (bits == 16 ? 0xFFFFu : ~0u)), green(h.masks[1] & (bits == 16 ? 0xFFFFu : ~0u)),
        blue(h.masks[2] & (bits == 16 ? 0xFFFFu : ~0u));
    const bool plain32 = bits == 32 && h.masks[0] == 0xFF0000u && h.masks[1] == 0xFF00u && h.masks[2] == 0xFFu;
    for (qint64 y = 0; y < s.height && r.remaining() > 0; ++y) {
        const qsizetype avail = std::min(fileStride, r.remaining());
        const uchar* src = r.here();
        uchar* dst = rowAt(s, h, y);
        qint64 pixels = std::min<qint64>(s.width, qint64(avail) * 8 / bits);
        switch (bits) {
        case 1:
        case 4:
        case 8:
        case 24:
            std::memcpy(dst, src, size_t(std::min<qsizetype>(avail, s.stride)));
            break;
        case 16:
            for (qint64 x = 0; x < pixels; ++x, dst += 3) {
                const quint32 v = quint32(src[2 * x]) | (quint32(src[2 * x + 1]) << 8);
                dst[0] = blue(v);
                dst[1] = green(v);
                dst[2] = red(v);
            }
            break;
        case 32:
            for (qint64 x = 0; x < pixels; ++x, dst += 3, src += 4) {
                if (plain32) {
                    dst[0] = src[0];
                    dst[1] = src[1];
                    dst[2] = src[2];
                } else {
                    const quint32 v = quint32(src[0]) | (quint32(src[1]) << 8) | (quint32(src[2]) << 16)
                                      | (quint32(src[3]) << 24);
                    dst[0] = blue(v);
                    dst[1] = green(v);
                    dst[2] = red(v);
                }
            }
            break;
        default:
            pixels = 0;
            break;
        }
        markWritten(s, h, y, 0, pixels);
        r.skip(avail);
    }
}

} // namespace

int dibMemoryDepth(int bitCount)
{
    return bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : bitCount <= 8 ? 8 : 24;
}

DibStatus readDibHeader(BoundedReader& r, DibHeader& h, qsizetype pixelsAt)
{
    const qsizetype start = r.pos();
    if (r.remaining() < 4) return DibStatus::Unreadable;
    h = DibHeader();
    h.size = r.u32();
    if (h.core()) {
        if (r.remaining() < DIB_CORE_HEADER_SIZE - 4) return DibStatus::Unreadable;
        h.width = r.u16();
        h.height = r.u16();
        r.u16();  // planes
        h.bitCount = r.u16();
    } else {
        if (r.remaining() < DIB_INFO_HEADER_SIZE - 4) return DibStatus::Unreadable;
        h.width = r.s32();
        h.height = r.s32();
        r.u16();  // planes
        h.bitCount = r.u16();
        h.compression = r.u32();
        r.u32();  // image size: the rows say how much they need
        h.xPelsPerMeter = r.s32();
        h.yPelsPerMeter = r.s32();
        h.colorsUsed = r.u32();
        r.u32();  // colours important
    }
    h.topDown = h.height < 0;
    if (h.topDown) h.height = -h.height;

    // The masks follow the first 40 bytes: inside the longer headers, after
    // the 40-byte one.
    qsizetype end = r.pos();
    if (h.compression == BI_BITFIELDS && (h.bitCount == 16 || h.bitCount == 32)) {
        if (r.remaining() >= 12)
            for (quint32& m : h.masks) m = r.u32();  // masks cut short stay 0
        end = start + DIB_INFO_HEADER_SIZE + 12;
    } else if (h.bitCount == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (h.bitCount == 32) {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
    }
    if (h.size > DIB_INFO_HEADER_SIZE && (pixelsAt == 0 || start + qsizetype(h.size) <= pixelsAt))
        end = std::max(end, start + qsizetype(h.size));
    r.seek(end);
    return DibStatus::Ok;
}

void readDibPalette(BoundedReader& r, const DibHeader& h, DibSurface& s, const std::vector<quint32>* metafilePalette)
{
    if (!s.palette) {
        // A table may follow true-colour headers; nothing uses it.
        if (h.colorsUsed && !h.core()) r.skip(qMin<qint64>(qint64(h.colorsUsed) * 4, r.remaining()));
        return;
    }
    qint64 n = qint64(1) << s.depth;
    if (h.colorsUsed > 0 && h.colorsUsed < n) n = h.colorsUsed;
    const int entry = metafilePalette ? 2 : h.core() ? 3 : 4;
    n = std::min<qint64>(n, r.remaining() / entry);
    for (qint64 i = 0; i < n; ++i) {
        uchar* p = s.palette + 4 * i;
        if (metafilePalette) {
            const quint16 idx = r.u16();
            const quint32 c = idx < metafilePalette->size() ? (*metafilePalette)[idx] : 0;
            p[0] = uchar(c >> 16);
            p[1] = uchar(c >> 8);
            p[2] = uchar(c);
        } else {
            p[0] = r.u8();
            p[1] = r.u8();
            p[2] = r.u8();
            if (entry == 4) r.u8();
        }
        p[3] = 0;
    }
}

DibStatus readDibPixels(BoundedReader& r, const DibHeader& h, DibSurface& s)
{
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
        if (h.compression == BI_RLE8 && h.bitCount == 8) decodeRle(r, h, s, false);
        else if (h.compression == BI_RLE4 && h.bitCount == 4) decodeRle(r, h, s, true);
        else if (h.compression == BI_RGB) decodeRows(r, h, s);
        else return DibStatus::CompressionNotSupported;
        return DibStatus::Ok;
    case 16:
    case 32:
        if (h.compression != BI_RGB && h.compression != BI_BITFIELDS) return DibStatus::UnknownCompression;
        decodeRows(r, h, s);
        return DibStatus::Ok;
    case 24:
        if (h.compression != BI_RGB) return DibStatus::UnknownCompression;
        decodeRows(r, h, s);
        return DibStatus::Ok;
    default:
        return DibStatus::Ok;
    }
}

QImage decodeDib(const uchar* data, qsizetype size, bool paletteIndices, const std::vector<quint32>* palette)
{
    BoundedReader r(data, size);
    DibHeader h;
    if (readDibHeader(r, h) != DibStatus::Ok) return QImage();
    if (!h.core() && (h.size < DIB_INFO_HEADER_SIZE || h.size > 256)) return QImage();
    if (h.width <= 0 || h.height <= 0 || h.width > 65535 || h.height > 65535) return QImage();
    if (h.width * h.height > MAX_BITMAP_PIXELS) return QImage();
    static constexpr int depths[] = {1, 4, 8, 16, 24, 32};
    if (std::find(std::begin(depths), std::end(depths), h.bitCount) == std::end(depths)) return QImage();

    DibSurface s;
    s.depth = dibMemoryDepth(h.bitCount);
    s.width = h.width;
    s.height = h.height;
    s.stride = qsizetype((h.width * s.depth + 31) / 32 * 4);
    std::vector<uchar> bits(size_t(s.stride * s.height)), written(size_t(h.width * h.height));
    uchar colors[4 * 256] = {};
    s.bits = bits.data();
    s.written = written.data();
    s.palette = s.depth < 24 ? colors : nullptr;
    static const std::vector<quint32> noPalette;
    readDibPalette(r, h, s, paletteIndices ? (palette ? palette : &noPalette) : nullptr);
    if (readDibPixels(r, h, s) != DibStatus::Ok) return QImage();

    // Upright, and white wherever the data did not reach.
    QImage img(int(h.width), int(h.height), QImage::Format_RGB32);
    if (img.isNull()) return QImage();
    QRgb table[256];
    for (int i = 0; i < 256; ++i) table[i] = qRgb(colors[4 * i + 2], colors[4 * i + 1], colors[4 * i]);
    for (qint64 y = 0; y < s.height; ++y) {
        const qint64 row = s.height - 1 - y;
        const uchar* src = s.bits + row * s.stride;
        const uchar* mark = s.written + row * s.width;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(int(y)));
        for (qint64 x = 0; x < s.width; ++x) {
            if (!mark[x]) {
                out[x] = qRgb(255, 255, 255);
                continue;
            }
            switch (s.depth) {
            case 1: out[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: out[x] = table[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)]; break;
            case 8: out[x] = table[src[x]]; break;
            default: out[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            }
        }
    }
    return img;
}

QImage decodeBitmap16(const uchar* data, qsizetype size)
{
    BoundedReader r(data, size);
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
