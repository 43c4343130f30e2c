#include "document/RasterBitmap.h"

#include <QtEndian>

#include <sys/mman.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "platform/Units.h"

namespace {

// The last error text holds at most 255 characters, as its 256-byte buffer did.
constexpr int MAX_ERROR_LENGTH = 255;

void writeHeader(uchar* p, const BitmapInfoHeader& h)
{
    qToLittleEndian<quint32>(h.biSize, p + 0);
    qToLittleEndian<qint32>(h.biWidth, p + 4);
    qToLittleEndian<qint32>(h.biHeight, p + 8);
    qToLittleEndian<quint16>(h.biPlanes, p + 12);
    qToLittleEndian<quint16>(h.biBitCount, p + 14);
    qToLittleEndian<quint32>(h.biCompression, p + 16);
    qToLittleEndian<quint32>(h.biSizeImage, p + 20);
    qToLittleEndian<qint32>(h.biXPelsPerMeter, p + 24);
    qToLittleEndian<qint32>(h.biYPelsPerMeter, p + 28);
    qToLittleEndian<quint32>(h.biClrUsed, p + 32);
    qToLittleEndian<quint32>(h.biClrImportant, p + 36);
}

// Saturated: a file can claim any resolution.
int pelsPerMeter(int dpi)
{
    return int(std::clamp(std::floor(dpi * Units::INCHES_PER_METRE + 0.5), double(INT_MIN), double(INT_MAX)));
}

constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;
constexpr std::size_t PAGE = 4096;

// A zeroed block of at least size bytes. Above a few megabytes it is mapped
// on a huge-page boundary and marked for huge pages: touching a 12-megapixel
// bitmap one 4 KiB page at a time costs more than decoding it. mapped gets the
// length to unmap, or 0 for a heap block.
uchar* allocateBlock(std::size_t size, std::size_t& mapped)
{
    mapped = 0;
    if (size < 2 * HUGE_PAGE) return static_cast<uchar*>(std::calloc(size, 1));
    const std::size_t length = (size + PAGE - 1) / PAGE * PAGE;
    const std::size_t span = length + HUGE_PAGE;
    void* base = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(base) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::size_t head = start - reinterpret_cast<std::uintptr_t>(base);
    if (head) munmap(base, head);
    if (span - head > length) munmap(reinterpret_cast<uchar*>(start) + length, span - head - length);
    uchar* block = reinterpret_cast<uchar*>(start);
    madvise(block, length, MADV_HUGEPAGE);  // advice only: without it the pages are small
    mapped = length;
    return block;
}

// The pixels of one row as colours, column by column as column(i) gives.
template <typename Column>
void sampleRow(const uchar* src, int depth, const QRgb* table, int count, Column column, QRgb* out)
{
    switch (depth) {
    case 24:
        for (int i = 0; i < count; ++i) {
            const uchar* p = src + 3 * std::size_t(column(i));
            out[i] = qRgb(p[2], p[1], p[0]);
        }
        break;
    case 8:
        for (int i = 0; i < count; ++i) out[i] = table[src[column(i)]];
        break;
    default:
        for (int i = 0; i < count; ++i) out[i] = table[RasterBitmap::PaletteIndex(src, column(i), depth)];
        break;
    }
}

// Which source pixels a destination pixel covers along one axis, with their
// overlap: a source pixel spans destCount units and a destination pixel
// sourceCount units, so both cover sourceCount * destCount in all.
struct AreaTaps {
    std::vector<quint32> index;
    std::vector<quint32> weight;
    std::vector<std::size_t> first;  // destCount + 1 entries
};

bool makeTaps(quint64 sourceCount, quint64 destCount, AreaTaps& taps)
{
    try {
        taps.index.reserve(std::size_t(sourceCount + destCount));
        taps.weight.reserve(std::size_t(sourceCount + destCount));
        taps.first.resize(std::size_t(destCount) + 1);
        for (quint64 i = 0; i < destCount; ++i) {
            taps.first[std::size_t(i)] = taps.index.size();
            const quint64 lo = i * sourceCount, hi = (i + 1) * sourceCount;
            for (quint64 s = lo / destCount; s * destCount < hi; ++s) {
                const quint64 w = std::min((s + 1) * destCount, hi) - std::max(s * destCount, lo);
                if (!w) continue;
                taps.index.push_back(quint32(s));
                taps.weight.push_back(quint32(w));
            }
        }
        taps.first[std::size_t(destCount)] = taps.index.size();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

void RasterBlockDeleter::operator()(uchar* p) const
{
    if (mapped) munmap(p, mapped);
    else std::free(p);
}

RasterBitmap::~RasterBitmap() = default;

void RasterBitmap::freeBitmap()
{
    BitmapReplaced();
    m_block.reset();
    m_blockSize = 0;
    m_bits = nullptr;
    m_effectiveWidth = 0;
    m_header = BitmapInfoHeader();
}

bool RasterBitmap::CreateBitmap(qint64 width, qint64 height, int bitsPerPixel)
{
    freeBitmap();
    const int depth = bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 4 ? 4 : bitsPerPixel <= 8 ? 8 : 24;
    if (width <= 0 || height <= 0 || width > MAX_RASTER_PIXELS || height > MAX_RASTER_PIXELS
        || width * height > MAX_RASTER_PIXELS)
        return false;
    const qint64 rowBytes = ((width * depth + 31) / 32) * 4;
    const qint64 imageBytes = rowBytes * height;
    if (imageBytes > MAX_RASTER_BYTES) return false;
    const int colors = depth == 24 ? 0 : 1 << depth;
    const std::size_t blockSize = std::size_t(BITMAP_INFO_HEADER_SIZE + 4 * colors + imageBytes);

    std::size_t mapped = 0;
    uchar* block = allocateBlock(blockSize, mapped);
    if (!block) return false;
    m_block = std::unique_ptr<uchar, RasterBlockDeleter>(block, RasterBlockDeleter{mapped});
    m_blockSize = blockSize;

    m_header.biSize = BITMAP_INFO_HEADER_SIZE;
    m_header.biWidth = qint32(width);
    m_header.biHeight = qint32(height);
    m_header.biPlanes = 1;
    m_header.biBitCount = quint16(depth);
    m_header.biCompression = 0;
    m_header.biSizeImage = quint32(imageBytes);
    m_header.biXPelsPerMeter = pelsPerMeter(m_dpiX);
    m_header.biYPelsPerMeter = pelsPerMeter(m_dpiY);
    m_header.biClrUsed = quint32(colors);
    m_header.biClrImportant = 0;
    writeHeader(block, m_header);

    m_effectiveWidth = quint32(rowBytes);
    m_bits = block + BITMAP_INFO_HEADER_SIZE + 4 * colors;
    return true;
}

void RasterBitmap::SetDpi(int dpiX, int dpiY)
{
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_header.biXPelsPerMeter = pelsPerMeter(dpiX);
    m_header.biYPelsPerMeter = pelsPerMeter(dpiY);
    if (m_block) writeHeader(m_block.get(), m_header);
}

void RasterBitmap::SetError(const QString& text) { m_lastError = text.left(MAX_ERROR_LENGTH); }

void RasterBitmap::TakeBitmap(RasterBitmap& other)
{
    BitmapReplaced();
    m_block = std::move(other.m_block);
    m_blockSize = std::exchange(other.m_blockSize, 0);
    m_header = std::exchange(other.m_header, BitmapInfoHeader());
    m_effectiveWidth = std::exchange(other.m_effectiveWidth, 0);
    m_bits = std::exchange(other.m_bits, nullptr);
    m_dpiX = other.m_dpiX;
    m_dpiY = other.m_dpiY;
}

QList<QRgb> RasterBitmap::ColorTable() const
{
    QList<QRgb> table(m_block && m_header.biBitCount != 24 ? qsizetype(m_header.biClrUsed) : 0);
    const uchar* pal = Palette();
    for (qsizetype i = 0; i < table.size(); ++i) table[i] = qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
    return table;
}

void RasterBitmap::RowColors(quint32 uprightRow, const quint32* columns, int count, const QList<QRgb>& table,
                             QRgb* out) const
{
    const uchar* src = Row(quint32(m_header.biHeight) - 1 - uprightRow);
    const int depth = m_header.biBitCount;
    if (columns) sampleRow(src, depth, table.constData(), count, [columns](int i) { return columns[i]; }, out);
    else sampleRow(src, depth, table.constData(), count, [](int i) { return quint32(i); }, out);
}

QImage RasterBitmap::ToImage() const
{
    if (!m_block) return QImage();
    const int w = m_header.biWidth;
    const int h = m_header.biHeight;
    const int depth = m_header.biBitCount;
    QImage::Format format = depth == 1 ? QImage::Format_Mono
                            : depth == 24 ? QImage::Format_BGR888
                                          : QImage::Format_Indexed8;
    QImage image(w, h, format);
    if (image.isNull()) return image;
    if (depth != 24) image.setColorTable(ColorTable());
    for (int y = 0; y < h; ++y) {
        const uchar* src = Row(quint32(h - 1 - y));
        uchar* dst = image.scanLine(y);
        if (depth == 4) {
            for (int x = 0; x < w; ++x) dst[x] = PaletteIndex(src, quint32(x), 4);
        } else {
            std::memcpy(dst, src, std::size_t(image.bytesPerLine() < qsizetype(m_effectiveWidth)
                                                  ? image.bytesPerLine()
                                                  : qsizetype(m_effectiveWidth)));
        }
    }
    const double dpm = 1.0 / 0.0254;
    image.setDotsPerMeterX(int(std::lround((m_dpiX ? m_dpiX : 72) * dpm)));
    image.setDotsPerMeterY(int(std::lround((m_dpiY ? m_dpiY : 72) * dpm)));
    return image;
}

QImage RasterBitmap::AreaAveraged(int width, int height) const
{
    if (!m_block) return QImage();
    const QList<QRgb> table = ColorTable();
    return AreaAverage(m_header.biWidth, m_header.biHeight, width, height, [&](quint32 y, QRgb* out) {
        RowColors(y, nullptr, m_header.biWidth, table, out);
    });
}

namespace {

// A box filter with exact overlaps: each destination pixel is the sum of the
// source values weighted by their overlap with it, divided by sourceWidth
// (and by sourceHeight for the other axis). Sums are kept in Sum, which must
// hold 255 * sourceWidth * sourceHeight: 32 bits for the sizes a screen
// shows, which the compiler can vectorise.
template <typename Sum>
bool averageInto(QImage& out, quint64 sw, quint64 sh, const AreaTaps& taps,
                 const std::function<void(quint32, QRgb*)>& rowColors)
{
    const quint64 dw = quint64(out.width()), dh = quint64(out.height());
    std::vector<QRgb> source;
    std::vector<Sum> row, acc;
    try {
        source.resize(std::size_t(sw));
        row.resize(std::size_t(dw) * 3);
        acc.assign(std::size_t(dw) * 3, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const Sum total = Sum(sw * sh);
    // Rounded division by total through its reciprocal, corrected to the
    // exact quotient: a division per channel costs more than the averaging.
    const double inverse = 1.0 / double(total);
    const auto divide = [total, inverse](Sum sum) {
        sum += total / 2;
        Sum q = Sum(double(sum) * inverse);
        if (q * total > sum) --q;
        else if ((q + 1) * total <= sum) ++q;
        return int(q);
    };
    quint64 dy = 0;
    for (quint64 sy = 0; sy < sh && dy < dh; ++sy) {
        rowColors(quint32(sy), source.data());
        for (std::size_t i = 0; i < std::size_t(dw); ++i) {
            Sum r = 0, g = 0, b = 0;
            for (std::size_t t = taps.first[i]; t < taps.first[i + 1]; ++t) {
                const QRgb c = source[taps.index[t]];
                const Sum w = taps.weight[t];
                r += Sum(qRed(c)) * w;
                g += Sum(qGreen(c)) * w;
                b += Sum(qBlue(c)) * w;
            }
            row[3 * i] = r;
            row[3 * i + 1] = g;
            row[3 * i + 2] = b;
        }
        // The source row covers [sy * dh, (sy + 1) * dh); split it among the
        // destination rows it meets.
        quint64 lo = sy * dh;
        const quint64 hi = (sy + 1) * dh;
        while (lo < hi && dy < dh) {
            const quint64 rowEnd = (dy + 1) * sh;
            const quint64 end = std::min(hi, rowEnd);
            const Sum w = Sum(end - lo);
            for (std::size_t k = 0; k < acc.size(); ++k) acc[k] += row[k] * w;
            lo = end;
            if (end != rowEnd) continue;
            QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(int(dy)));
            for (std::size_t i = 0; i < std::size_t(dw); ++i)
                dst[i] = qRgb(divide(acc[3 * i]), divide(acc[3 * i + 1]), divide(acc[3 * i + 2]));
            std::fill(acc.begin(), acc.end(), 0);
            ++dy;
        }
    }
    return true;
}

} // namespace

QImage AreaAverage(int sourceWidth, int sourceHeight, int width, int height,
                   const std::function<void(quint32, QRgb*)>& rowColors)
{
    if (width <= 0 || height <= 0 || width > sourceWidth || height > sourceHeight) return QImage();
    const quint64 sw = quint64(sourceWidth), sh = quint64(sourceHeight);
    QImage out(width, height, QImage::Format_RGB32);
    AreaTaps taps;
    if (out.isNull() || !makeTaps(sw, quint64(width), taps)) return QImage();
    // With rounding added, the largest sum is 255.5 times the source's area.
    const bool narrow = sw * sh <= quint64(UINT32_MAX) / 256;
    const bool done = narrow ? averageInto<quint32>(out, sw, sh, taps, rowColors)
                             : averageInto<quint64>(out, sw, sh, taps, rowColors);
    return done ? out : QImage();
}

QImage AreaAverage(const QImage& image, int width, int height)
{
    if (image.isNull()) return QImage();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull()) return rgb;
    QImage out = AreaAverage(rgb.width(), rgb.height(), width, height, [&](quint32 y, QRgb* colors) {
        std::memcpy(colors, rgb.constScanLine(int(y)), std::size_t(rgb.width()) * sizeof(QRgb));
    });
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    return out;
}
