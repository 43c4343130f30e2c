#include "document/BmpDecoder.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "document/BmpSource.h"
#include "document/RasterImage.h"

namespace {

constexpr quint16 BMP_SIGNATURE = 0x4D42;  // "BM"
constexpr int FILE_HEADER_SIZE = 14;
constexpr int CORE_HEADER_SIZE = 12;
constexpr quint32 BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

// One colour channel of a bit-field pixel, brought to 8 bits: wider fields
// keep their top 8 bits, narrower ones are shifted up with the low bits zero.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(quint32 m) : mask(m)
    {
        if (!m) return;
        shift = std::countr_zero(m);
        bits = 32 - std::countl_zero(m) - shift;
    }
    quint8 operator()(quint32 pixel) const
    {
        if (!mask) return 0;
        const quint32 v = (pixel & mask) >> shift;
        return quint8(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
    }
};

int resolutionFromPelsPerMeter(qint32 ppm)
{
    // A negative density is meaningless; it counts as none.
    if (ppm <= 0) return 0;
    return int(std::floor(ppm * 0.025400000000000002 + 0.5));
}

bool fail(RasterImage& image, const char* text)
{
    image.SetError(QString::fromLatin1(text));
    return false;
}

void readUncompressed(BmpSource& in, RasterImage& image, qint64 sizeImage)
{
    const qint64 want = std::min<qint64>(sizeImage, qint64(image.ImageBytes()));
    if (want > 0) in.read(image.Bits(), want);
}

void decodeRle8(BmpSource& in, RasterImage& image)
{
    const quint64 height = image.Height();
    const quint64 rowBytes = image.EffectiveWidth();
    quint64 x = 0, y = 0;
    auto put = [&](quint64 col, int v) {
        if (y < height && col < rowBytes) image.Row(quint32(y))[col] = uchar(v);
    };
    uchar run[256];
    while (y < height) {
        const int n = in.byte();
        if (n < 0) break;
        if (n > 0) {
            const int v = in.byte();
            if (v < 0) break;
            for (int i = 0; i < n; ++i) put(x + i, v);
            x += n;
            continue;
        }
        const int code = in.byte();
        if (code < 0 || code == 1) break;
        if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 2) {
            const int dx = in.byte(), dy = in.byte();
            if (dx < 0 || dy < 0) break;
            x += dx;
            y += dy;
        } else {
            const qint64 got = in.read(run, code);
            for (qint64 i = 0; i < got; ++i) put(x + i, run[i]);
            if (got < code) break;
            x += code;
            if (code & 1) in.byte();
        }
    }
}

// Columns count bytes; the half-byte flag says whether the next pixel goes
// into the low half of the byte at x. A run's pixels take the high then the
// low half of their value byte in turn.
void decodeRle4(BmpSource& in, RasterImage& image)
{
    const quint64 height = image.Height();
    const quint64 rowBytes = image.EffectiveWidth();
    quint64 x = 0, y = 0;
    bool low = false;
    auto put = [&](int nibble) {
        if (y < height && x < rowBytes) {
            uchar& b = image.Row(quint32(y))[x];
            b = low ? uchar(b | nibble) : uchar(nibble << 4);
        }
        if (low) ++x;
        low = !low;
    };
    uchar data[128];
    while (y < height) {
        const int n = in.byte();
        if (n < 0) break;
        if (n > 0) {
            const int v = in.byte();
            if (v < 0) break;
            for (int i = 0; i < n; ++i) put((i & 1) ? (v & 0x0F) : (v >> 4));
            continue;
        }
        const int code = in.byte();
        if (code < 0 || code == 1) break;
        if (code == 0) {
            x = 0;
            ++y;
            low = false;
        } else if (code == 2) {
            const int dx = in.byte(), dy = in.byte();
            if (dx < 0 || dy < 0) break;
            x += dx / 2;
            y += dy;
        } else {
            const int bytes = (code + 1) / 2;
            const qint64 got = in.read(data, bytes);
            const int pixels = int(std::min<qint64>(code, got * 2));
            for (int i = 0; i < pixels; ++i) {
                const uchar d = data[i / 2];
                put((i & 1) ? (d & 0x0F) : (d >> 4));
            }
            if (got < bytes) break;
            if (bytes & 1) in.byte();
        }
    }
}

// 16-bit rows are read into the start of the 24-bit buffer and widened in
// place from the last pixel back, so no pixel is overwritten before it is read.
void decode16(BmpSource& in, RasterImage& image, quint32 red, quint32 green, quint32 blue)
{
    const quint32 width = image.Width(), height = image.Height();
    const std::size_t srcRow = std::size_t((quint64(width) + 1) / 2 * 4);
    in.read(image.Bits(), qint64(srcRow) * height);
    const Channel r(red & 0xFFFF), g(green & 0xFFFF), b(blue & 0xFFFF);
    uchar* bits = image.Bits();
    for (quint32 yy = height; yy-- > 0;) {
        const uchar* src = bits + std::size_t(yy) * srcRow;
        uchar* dst = image.Row(yy);
        for (quint32 xx = width; xx-- > 0;) {
            const quint32 w = qFromLittleEndian<quint16>(src + 2 * std::size_t(xx));
            uchar* p = dst + 3 * std::size_t(xx);
            p[0] = b(w);
            p[1] = g(w);
            p[2] = r(w);
        }
    }
}

bool decode32(BmpSource& in, RasterImage& image, bool bitFields, quint32 red, quint32 green, quint32 blue)
{
    const quint32 width = image.Width(), height = image.Height();
    const std::size_t srcRow = std::size_t(width) * 4;
    std::unique_ptr<uchar[]> row(new (std::nothrow) uchar[srcRow]);
    if (!row) return fail(image, "can't allocate memory");
    const Channel r(red), g(green), b(blue);
    for (quint32 yy = 0; yy < height; ++yy) {
        const qint64 got = in.read(row.get(), qint64(srcRow));
        uchar* dst = image.Row(yy);
        for (qint64 xx = 0; xx < got / 4; ++xx) {
            const uchar* s = row.get() + 4 * xx;
            uchar* p = dst + 3 * xx;
            if (bitFields) {
                const quint32 v = qFromLittleEndian<quint32>(s);
                p[0] = b(v);
                p[1] = g(v);
                p[2] = r(v);
            } else {
                p[0] = s[0];
                p[1] = s[1];
                p[2] = s[2];
            }
        }
        if (got < qint64(srcRow)) break;
    }
    return true;
}

void reverseRows(RasterImage& image)
{
    const std::size_t rowBytes = image.EffectiveWidth();
    for (quint32 top = 0, bottom = image.Height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.Row(top), image.Row(top) + rowBytes, image.Row(bottom));
}

} // namespace

bool DecodeBmp(QIODevice& device, RasterImage& image)
{
    BmpSource in(device);

    uchar fileHeader[FILE_HEADER_SIZE];
    if (in.read(fileHeader, FILE_HEADER_SIZE) != FILE_HEADER_SIZE) return fail(image, "Not a BMP");
    qint64 pixelOffset = qFromLittleEndian<quint32>(fileHeader + 10);
    qint64 infoStart = FILE_HEADER_SIZE;
    if (qFromLittleEndian<quint16>(fileHeader) != BMP_SIGNATURE) {
        pixelOffset = 0;
        infoStart = 0;
        in.seek(0);
    }

    // The core header is only 12 bytes, so a tiny core-header file may hold
    // fewer than 40 after it; every other header must give all 40.
    uchar info[BITMAP_INFO_HEADER_SIZE] = {};
    const qint64 got = in.read(info, BITMAP_INFO_HEADER_SIZE);
    const quint32 headerSize = got >= 4 ? qFromLittleEndian<quint32>(info) : 0;
    const bool core = headerSize == CORE_HEADER_SIZE;
    if (got < (core ? CORE_HEADER_SIZE : BITMAP_INFO_HEADER_SIZE)) return fail(image, "Error reading BMP info");

    qint64 width, height;
    int bitCount;
    quint32 compression = BI_RGB;
    qint64 sizeImage = 0;
    qint32 xPels = 0, yPels = 0;
    if (core) {
        width = qFromLittleEndian<quint16>(info + 4);
        height = qFromLittleEndian<quint16>(info + 6);
        bitCount = qFromLittleEndian<quint16>(info + 10);
        in.seek(infoStart + CORE_HEADER_SIZE);
    } else {
        width = qFromLittleEndian<qint32>(info + 4);
        height = qFromLittleEndian<qint32>(info + 8);
        bitCount = qFromLittleEndian<quint16>(info + 14);
        compression = qFromLittleEndian<quint32>(info + 16);
        sizeImage = qFromLittleEndian<quint32>(info + 20);
        xPels = qFromLittleEndian<qint32>(info + 24);
        yPels = qFromLittleEndian<qint32>(info + 28);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!image.CreateBitmap(width, height, bitCount)) return fail(image, "Can't allocate memory");
    // Only now are width and height small enough for this to fit in 64 bits.
    if (sizeImage == 0) sizeImage = (qint64(bitCount) * width + 31) / 32 * 4 * height;
    image.SetDpi(resolutionFromPelsPerMeter(xPels), resolutionFromPelsPerMeter(yPels));

    // Bit-field masks follow the first 40 bytes of the information header,
    // inside the larger headers and right after the 40-byte one.
    quint32 masks[3] = {0, 0, 0};
    if (compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)) {
        uchar m[12] = {};
        in.read(m, sizeof m);
        for (int i = 0; i < 3; ++i) masks[i] = qFromLittleEndian<quint32>(m + 4 * i);
    }

    const int colors = image.PaletteSize();
    if (colors > 0) {
        // The palette follows the whole header, however long it is, as long
        // as that still lies before the pixels.
        const qint64 headerEnd = infoStart + headerSize;
        if (!core && headerSize > BITMAP_INFO_HEADER_SIZE && (pixelOffset == 0 || headerEnd <= pixelOffset))
            in.seek(headerEnd);
        uchar* palette = image.Palette();
        if (core) {
            const qint64 n = in.read(palette, 3 * qint64(colors)) / 3;
            for (qint64 i = n; i-- > 0;) {
                palette[4 * i + 3] = 0;
                palette[4 * i + 2] = palette[3 * i + 2];
                palette[4 * i + 1] = palette[3 * i + 1];
                palette[4 * i + 0] = palette[3 * i + 0];
            }
        } else {
            in.read(palette, 4 * qint64(colors));
        }
    }

    if (pixelOffset != 0) in.seek(pixelOffset);

    bool ok = true;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
        if (compression == BI_RGB) readUncompressed(in, image, sizeImage);
        else if (compression == BI_RLE8) decodeRle8(in, image);
        else if (compression == BI_RLE4) decodeRle4(in, image);
        else return fail(image, "compression type not supported");
        break;
    case 16:
        if (compression == BI_BITFIELDS) decode16(in, image, masks[0], masks[1], masks[2]);
        else decode16(in, image, 0x7C00, 0x03E0, 0x001F);
        break;
    case 24:
        if (compression != BI_RGB) return fail(image, "unknown compression");
        readUncompressed(in, image, sizeImage);
        break;
    case 32:
        if (compression != BI_RGB && compression != BI_BITFIELDS) return fail(image, "unknown compression");
        ok = decode32(in, image, compression == BI_BITFIELDS, masks[0], masks[1], masks[2]);
        break;
    default:
        break;
    }
    if (!ok) return false;
    if (topDown) reverseRows(image);
    return true;
}
