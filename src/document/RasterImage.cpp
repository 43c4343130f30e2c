#include "document/RasterImage.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <QtEndian>

#include <sys/mman.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/BmpDecoder.h"
#include "document/JpegDecoder.h"

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

int pelsPerMeter(int dpi) { return int(std::floor(dpi * 39.37007874015748 + 0.5)); }

} // namespace

void RasterBlockDeleter::operator()(uchar* p) const
{
    if (mapped) munmap(p, mapped);
    else std::free(p);
}

namespace {

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

} // namespace

RasterImage::RasterImage(int type) : m_type(type) {}

RasterImage::~RasterImage() = default;

void RasterImage::freeBitmap()
{
    m_block.reset();
    m_blockSize = 0;
    m_bits = nullptr;
    m_effectiveWidth = 0;
    m_header = BitmapInfoHeader();
    m_printImage = QImage();
}

bool RasterImage::CreateBitmap(qint64 width, qint64 height, int bitsPerPixel)
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

void RasterImage::SetDpi(int dpiX, int dpiY)
{
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_header.biXPelsPerMeter = pelsPerMeter(dpiX);
    m_header.biYPelsPerMeter = pelsPerMeter(dpiY);
    if (m_block) writeHeader(m_block.get(), m_header);
}

void RasterImage::SetError(const QString& text) { m_lastError = text.left(MAX_ERROR_LENGTH); }

void RasterImage::takeFrom(RasterImage& other)
{
    m_block = std::move(other.m_block);
    m_printImage = std::move(other.m_printImage);
    other.m_printImage = QImage();
    m_blockSize = other.m_blockSize;
    m_header = other.m_header;
    m_effectiveWidth = other.m_effectiveWidth;
    m_bits = other.m_bits;
    m_dpiX = other.m_dpiX;
    m_dpiY = other.m_dpiY;
    other.m_blockSize = 0;
    other.m_bits = nullptr;
    other.m_effectiveWidth = 0;
}

bool RasterImage::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return Load(file);
}

bool RasterImage::Load(QIODevice& device)
{
    if (m_type != TYPE_BMP && m_type != TYPE_JPEG) {
        SetError(QStringLiteral("Unsupported operation for this format"));
        return false;
    }
    RasterImage decoded(m_type);
    const bool ok = m_type == TYPE_BMP ? DecodeBmp(device, decoded) : DecodeJpeg(device, decoded);
    if (!ok || !decoded.m_block) {
        SetError(decoded.m_lastError);
        return false;
    }
    takeFrom(decoded);
    return true;
}

QImage RasterImage::ToImage() const
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
    if (depth != 24) {
        QList<QRgb> table(m_header.biClrUsed);
        const uchar* pal = Palette();
        for (qsizetype i = 0; i < table.size(); ++i)
            table[i] = qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
        image.setColorTable(table);
    }
    for (int y = 0; y < h; ++y) {
        const uchar* src = Row(quint32(h - 1 - y));
        uchar* dst = image.scanLine(y);
        if (depth == 4) {
            for (int x = 0; x < w; ++x) dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
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

bool RasterImage::Draw(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    if (!m_block || !painter || !painter->isActive()) return false;
    dc.setStretchMode(DeviceContext::ColorOnColor);
    if (width == 0 || height == 0) return true;
    if (!dc.isPrinting() && drawSampled(dc, x, y, width, height)) return true;

    // Printers and PDF get the bitmap at its own resolution, losslessly (the
    // PDF writer would otherwise recompress it as JPEG); the device scales
    // it. Negative sizes mirror, as a stretch-blit does. The same image is
    // given for every page and copy, so a PDF holds the picture once.
    if (m_printImage.isNull()) m_printImage = ToImage();
    const QImage& image = m_printImage;
    if (image.isNull()) return false;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setRenderHint(QPainter::LosslessImageRendering, true);
    painter->translate(x, y);
    painter->scale(double(width) / image.width(), double(height) / image.height());
    painter->drawImage(QPointF(0, 0), image);
    painter->restore();
    return true;
}

// Screens and bitmaps: each visible device pixel of the destination takes the
// source pixel under its centre, so only what is seen is ever produced.
bool RasterImage::drawSampled(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    QPaintDevice* device = painter->device();
    if (!device || width < 0 || height < 0) return false;
    const int devType = device->devType();
    if (devType != QInternal::Image && devType != QInternal::Pixmap && devType != QInternal::Widget)
        return false;
    const QTransform t = painter->combinedTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) return false;

    // The destination in device pixels.
    const QRectF mapped = t.mapRect(QRectF(x, y, width, height));
    const qint64 dx0 = std::llround(mapped.left()), dy0 = std::llround(mapped.top());
    const qint64 dw = std::llround(mapped.right()) - dx0, dh = std::llround(mapped.bottom()) - dy0;
    if (dw <= 0 || dh <= 0) return true;

    QRectF visibleF(0, 0, device->width(), device->height());
    if (painter->hasClipping()) visibleF &= t.mapRect(painter->clipBoundingRect());
    const qint64 vx0 = std::max<qint64>(dx0, qint64(std::floor(visibleF.left())));
    const qint64 vy0 = std::max<qint64>(dy0, qint64(std::floor(visibleF.top())));
    const qint64 vx1 = std::min<qint64>(dx0 + dw, qint64(std::ceil(visibleF.right())));
    const qint64 vy1 = std::min<qint64>(dy0 + dh, qint64(std::ceil(visibleF.bottom())));
    if (vx1 <= vx0 || vy1 <= vy0) return true;

    QImage out(int(vx1 - vx0), int(vy1 - vy0), QImage::Format_RGB32);
    if (out.isNull()) return false;

    const qint64 sw = m_header.biWidth, sh = m_header.biHeight;
    std::vector<quint32> columns(std::size_t(out.width()));
    for (int i = 0; i < out.width(); ++i) {
        const qint64 d = vx0 + i - dx0;
        columns[std::size_t(i)] = quint32(std::min<qint64>(((2 * d + 1) * sw) / (2 * dw), sw - 1));
    }
    QRgb palette[256] = {};
    const uchar* pal = Palette();
    for (quint32 i = 0; i < m_header.biClrUsed && i < 256; ++i)
        palette[i] = qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);

    const int depth = m_header.biBitCount;
    for (int j = 0; j < out.height(); ++j) {
        const qint64 d = vy0 + j - dy0;
        const qint64 sy = std::min<qint64>(((2 * d + 1) * sh) / (2 * dh), sh - 1);
        const uchar* src = Row(quint32(sh - 1 - sy));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(j));
        switch (depth) {
        case 24:
            for (int i = 0; i < out.width(); ++i) {
                const uchar* p = src + 3 * std::size_t(columns[std::size_t(i)]);
                dst[i] = qRgb(p[2], p[1], p[0]);
            }
            break;
        case 8:
            for (int i = 0; i < out.width(); ++i) dst[i] = palette[src[columns[std::size_t(i)]]];
            break;
        case 4:
            for (int i = 0; i < out.width(); ++i) {
                const quint32 sx = columns[std::size_t(i)];
                dst[i] = palette[(sx & 1) ? (src[sx >> 1] & 0x0F) : (src[sx >> 1] >> 4)];
            }
            break;
        default:
            for (int i = 0; i < out.width(); ++i) {
                const quint32 sx = columns[std::size_t(i)];
                dst[i] = palette[(src[sx >> 3] >> (7 - (sx & 7))) & 1];
            }
            break;
        }
    }

    painter->save();
    painter->resetTransform();
    painter->drawImage(QPoint(int(vx0), int(vy0)), out);
    painter->restore();
    return true;
}
