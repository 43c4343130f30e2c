#include "document/RasterImage.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <QtEndian>

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <new>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "document/BmpDecoder.h"
#include "document/JpegDecoder.h"
#include "document/PngDecoder.h"
#include "platform/RegularFile.h"
#include "platform/Units.h"

namespace {

// Where a stretch lands on a screen-like device (an image, a pixmap or a
// window under a plain scale): the destination in device pixels and the part
// of it that can show. Nothing for devices the pixel paths do not serve.
struct DevicePlacement {
    qint64 dx0, dy0, dw, dh;  // destination
    qint64 vx0, vy0, vx1, vy1;  // its visible part
    bool empty() const { return dw <= 0 || dh <= 0 || vx1 <= vx0 || vy1 <= vy0; }
};

std::optional<DevicePlacement> placeOnDevice(QPainter* painter, int x, int y, int width, int height)
{
    QPaintDevice* device = painter->device();
    if (!device || width < 0 || height < 0) return std::nullopt;
    const int devType = device->devType();
    if (devType != QInternal::Image && devType != QInternal::Pixmap && devType != QInternal::Widget)
        return std::nullopt;
    const QTransform t = painter->combinedTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0) return std::nullopt;

    DevicePlacement p;
    const QRectF mapped = t.mapRect(QRectF(x, y, width, height));
    p.dx0 = std::llround(mapped.left());
    p.dy0 = std::llround(mapped.top());
    p.dw = std::llround(mapped.right()) - p.dx0;
    p.dh = std::llround(mapped.bottom()) - p.dy0;
    QRectF visible(0, 0, device->width(), device->height());
    if (painter->hasClipping()) visible &= t.mapRect(painter->clipBoundingRect());
    p.vx0 = std::max<qint64>(p.dx0, qint64(std::floor(visible.left())));
    p.vy0 = std::max<qint64>(p.dy0, qint64(std::floor(visible.top())));
    p.vx1 = std::min<qint64>(p.dx0 + p.dw, qint64(std::ceil(visible.right())));
    p.vy1 = std::min<qint64>(p.dy0 + p.dh, qint64(std::ceil(visible.bottom())));
    return p;
}

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

// Draws image stretched over target, mirrored where flipX or flipY say,
// without smoothing and without lossy recompression.
void placeImage(QPainter* painter, const QImage& image, const QRectF& target, bool flipX, bool flipY)
{
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setRenderHint(QPainter::LosslessImageRendering, true);
    painter->translate(flipX ? target.right() : target.left(), flipY ? target.bottom() : target.top());
    painter->scale((flipX ? -target.width() : target.width()) / image.width(),
                   (flipY ? -target.height() : target.height()) / image.height());
    painter->drawImage(QPointF(0, 0), image);
    painter->restore();
}

// The source pixels [first, last) of count under [lo, hi) of a destination
// from start over length, in the picture's upright orientation (row 0 at the
// top), widened to whole pixels.
void sourceSpan(double lo, double hi, double start, double length, qint64 count, bool flip, qint64& first, qint64& last)
{
    double a = (lo - start) / length * double(count), b = (hi - start) / length * double(count);
    if (flip) std::tie(a, b) = std::make_pair(double(count) - b, double(count) - a);
    first = std::clamp<qint64>(qint64(std::floor(a)), 0, count);
    last = std::clamp<qint64>(qint64(std::ceil(b)), 0, count);
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
    m_screenImage = QImage();
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
    m_screenImage = std::move(other.m_screenImage);
    other.m_screenImage = QImage();
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
    QFile file;
    if (!OpenRegularFile(path, file)) return false;
    return Load(file);
}

bool RasterImage::Load(QIODevice& device)
{
    if (m_type != TYPE_BMP && m_type != TYPE_JPEG && m_type != TYPE_PNG) {
        SetError(QStringLiteral("Unsupported operation for this format"));
        return false;
    }
    RasterImage decoded(m_type);
    const bool ok = m_type == TYPE_BMP    ? DecodeBmp(device, decoded)
                    : m_type == TYPE_JPEG ? DecodeJpeg(device, decoded)
                                          : DecodePng(device, decoded);
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
    // A window's view asks for HALFTONE; everything else gets COLORONCOLOR.
    const bool halftone = dc.stretchMode() == DeviceContext::Halftone;
    if (!halftone) dc.setStretchMode(DeviceContext::ColorOnColor);
    if (width == 0 || height == 0) return true;
    if (!dc.isPrinting()) {
        if (halftone && drawScreenAveraged(dc, x, y, width, height)) return true;
        if (drawSampled(dc, x, y, width, height)) return true;
    }

    return drawPrinted(dc, x, y, width, height);
}

// Printers, PDF and any device the sampled path does not serve. The bitmap
// goes out losslessly (the PDF writer would otherwise recompress it as JPEG)
// and the device scales it. While the whole bitmap holds no more pixels than
// the visible part of the destination covers on the device, it goes out at
// its own resolution, and the same image serves every page and copy, so a PDF
// holds the picture once. A larger bitmap is never handed over whole: only the
// part that lands on this sheet, reduced to the device pixels it covers, so
// the device's memory follows the sheet, not the picture.
bool RasterImage::drawPrinted(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    const qint64 sw = m_header.biWidth, sh = m_header.biHeight;
    const QRectF dest = QRectF(x, y, width, height).normalized();
    const QTransform t = painter->combinedTransform();

    // The part of the destination that can show, in the painter's units.
    QRectF visible = dest;
    bool invertible = false;
    const QTransform toLogical = t.inverted(&invertible);
    QPaintDevice* device = painter->device();
    if (invertible && device) visible &= toLogical.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (painter->hasClipping()) visible &= painter->clipBoundingRect();
    if (visible.isEmpty()) return true;
    const QSizeF destOnDevice = t.mapRect(dest).size();
    const QSizeF visibleOnDevice = t.mapRect(visible).size();
    const double visiblePixels = std::ceil(visibleOnDevice.width()) * std::ceil(visibleOnDevice.height());
    // A preview keeps every sheet, and shows it at screen size.
    const double maxPixels = double(dc.isPreview() ? MAX_PREVIEW_PIXELS : MAX_PRINT_PIXELS);

    // Negative sizes mirror, as a stretch-blit does.
    const bool flipX = width < 0, flipY = height < 0;

    if (double(sw) * double(sh) <= std::min(visiblePixels, maxPixels)) {
        if (m_printImage.isNull()) m_printImage = ToImage();
        if (m_printImage.isNull()) return false;
        placeImage(painter, m_printImage, dest, flipX, flipY);
        return true;
    }

    // The source columns and rows under the visible part.
    qint64 u0, u1, v0, v1;
    sourceSpan(visible.left(), visible.right(), dest.left(), dest.width(), sw, flipX, u0, u1);
    sourceSpan(visible.top(), visible.bottom(), dest.top(), dest.height(), sh, flipY, v0, v1);
    const qint64 cw = u1 - u0, ch = v1 - v0;
    if (cw <= 0 || ch <= 0) return true;

    const QImage part = printPart(u0, v0, cw, ch, destOnDevice, maxPixels);
    if (part.isNull()) return false;
    // Where the part lies in the destination.
    const double px = dest.width() / double(sw), py = dest.height() / double(sh);
    const double l = flipX ? dest.right() - double(u1) * px : dest.left() + double(u0) * px;
    const double tp = flipY ? dest.bottom() - double(v1) * py : dest.top() + double(v0) * py;
    placeImage(painter, part, QRectF(l, tp, double(cw) * px, double(ch) * py), flipX, flipY);
    return true;
}

// The source columns [u0, u0 + cw) and upright rows [v0, v0 + ch) reduced to
// the device pixels they cover, at the bitmap's depth; null when the image
// cannot be had.
QImage RasterImage::printPart(qint64 u0, qint64 v0, qint64 cw, qint64 ch, const QSizeF& destOnDevice,
                              double maxPixels) const
{
    const qint64 sw = m_header.biWidth, sh = m_header.biHeight;
    // As many pixels as the part covers on the device, never more than it has.
    double ow = std::min<double>(double(cw), std::ceil(double(cw) * destOnDevice.width() / double(sw)));
    double oh = std::min<double>(double(ch), std::ceil(double(ch) * destOnDevice.height() / double(sh)));
    ow = std::max(ow, 1.0);
    oh = std::max(oh, 1.0);
    if (ow * oh > maxPixels) {
        const double k = std::sqrt(maxPixels / (ow * oh));
        ow = std::max(1.0, std::floor(ow * k));
        oh = std::max(1.0, std::floor(oh * k));
    }
    const int depth = m_header.biBitCount;
    QImage part(int(ow), int(oh), depth == 24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (part.isNull()) return part;
    if (depth != 24) {
        QList<QRgb> table(qsizetype(m_header.biClrUsed));
        const uchar* pal = Palette();
        for (qsizetype i = 0; i < table.size(); ++i) table[i] = qRgb(pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]);
        part.setColorTable(table);
    }
    // Each output pixel takes the source pixel under its centre.
    std::vector<quint32> columns(std::size_t(part.width()));
    for (int i = 0; i < part.width(); ++i)
        columns[std::size_t(i)] = quint32(u0 + std::min<qint64>(((2 * qint64(i) + 1) * cw) / (2 * part.width()), cw - 1));
    for (int j = 0; j < part.height(); ++j) {
        const qint64 sy = v0 + std::min<qint64>(((2 * qint64(j) + 1) * ch) / (2 * part.height()), ch - 1);
        const uchar* src = Row(quint32(sh - 1 - sy));
        uchar* dst = part.scanLine(j);
        for (int i = 0; i < part.width(); ++i) {
            const quint32 sx = columns[std::size_t(i)];
            switch (depth) {
            case 24: std::memcpy(dst + 3 * i, src + 3 * std::size_t(sx), 3); break;
            case 8: dst[i] = src[sx]; break;
            case 4: dst[i] = (sx & 1) ? (src[sx >> 1] & 0x0F) : (src[sx >> 1] >> 4); break;
            default: dst[i] = (src[sx >> 3] >> (7 - (sx & 7))) & 1; break;
            }
        }
    }
    return part;
}

// Screens and bitmaps: each visible device pixel of the destination takes the
// source pixel under its centre, so only what is seen is ever produced.
bool RasterImage::drawSampled(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    const std::optional<DevicePlacement> place = placeOnDevice(painter, x, y, width, height);
    if (!place) return false;
    if (place->empty()) return true;
    const auto [dx0, dy0, dw, dh, vx0, vy0, vx1, vy1] = *place;

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

void RasterImage::rowToRgb(quint32 topDownRow, uchar* rgb) const
{
    const quint32 w = quint32(m_header.biWidth);
    const uchar* src = Row(quint32(m_header.biHeight) - 1 - topDownRow);
    const uchar* pal = Palette();
    const auto fromPalette = [&](quint32 index, uchar* out) {
        if (index >= m_header.biClrUsed) {
            out[0] = out[1] = out[2] = 0;
            return;
        }
        out[0] = pal[4 * index + 2];
        out[1] = pal[4 * index + 1];
        out[2] = pal[4 * index];
    };
    switch (m_header.biBitCount) {
    case 24:
        for (quint32 x = 0; x < w; ++x) {
            rgb[3 * x] = src[3 * x + 2];
            rgb[3 * x + 1] = src[3 * x + 1];
            rgb[3 * x + 2] = src[3 * x];
        }
        break;
    case 8:
        for (quint32 x = 0; x < w; ++x) fromPalette(src[x], rgb + 3 * x);
        break;
    case 4:
        for (quint32 x = 0; x < w; ++x) fromPalette((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4), rgb + 3 * x);
        break;
    default:
        for (quint32 x = 0; x < w; ++x) fromPalette((src[x >> 3] >> (7 - (x & 7))) & 1, rgb + 3 * x);
        break;
    }
}

// A box filter with exact overlaps. Along one axis a source pixel spans dw
// units and a destination pixel sw units, so both cover sw * dw in all; each
// destination pixel is the sum of the source values weighted by their
// overlap with it, divided by sw (and by sh for the other axis).
QImage RasterImage::AreaAveraged(int width, int height) const
{
    if (!m_block || width <= 0 || height <= 0) return QImage();
    const quint64 sw = quint64(m_header.biWidth), sh = quint64(m_header.biHeight);
    const quint64 dw = quint64(width), dh = quint64(height);
    if (dw > sw || dh > sh) return QImage();
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull()) return out;

    struct Tap {
        quint32 sx;
        quint32 weight;
    };
    std::vector<Tap> taps;
    std::vector<std::size_t> firstTap(std::size_t(dw) + 1);
    try {
        taps.reserve(std::size_t(sw + dw));
        for (quint64 i = 0; i < dw; ++i) {
            firstTap[std::size_t(i)] = taps.size();
            const quint64 lo = i * sw, hi = (i + 1) * sw;
            for (quint64 sx = lo / dw; sx * dw < hi; ++sx) {
                const quint64 w = std::min((sx + 1) * dw, hi) - std::max(sx * dw, lo);
                if (w) taps.push_back({quint32(sx), quint32(w)});
            }
        }
        firstTap[std::size_t(dw)] = taps.size();
    } catch (const std::bad_alloc&) {
        return QImage();
    }

    std::vector<uchar> rgb;
    std::vector<quint64> row, acc;
    try {
        rgb.resize(std::size_t(sw) * 3);
        row.resize(std::size_t(dw) * 3);
        acc.assign(std::size_t(dw) * 3, 0);
    } catch (const std::bad_alloc&) {
        return QImage();
    }
    const quint64 total = sw * sh;
    quint64 dy = 0;
    for (quint64 sy = 0; sy < sh && dy < dh; ++sy) {
        rowToRgb(quint32(sy), rgb.data());
        for (std::size_t i = 0; i < std::size_t(dw); ++i) {
            quint64 r = 0, g = 0, b = 0;
            for (std::size_t t = firstTap[i]; t < firstTap[i + 1]; ++t) {
                const uchar* p = &rgb[std::size_t(taps[t].sx) * 3];
                r += quint64(p[0]) * taps[t].weight;
                g += quint64(p[1]) * taps[t].weight;
                b += quint64(p[2]) * taps[t].weight;
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
            const quint64 w = end - lo;
            for (std::size_t k = 0; k < acc.size(); ++k) acc[k] += row[k] * w;
            lo = end;
            if (end == rowEnd) {
                QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(int(dy)));
                for (std::size_t i = 0; i < std::size_t(dw); ++i)
                    dst[i] = qRgb(int((acc[3 * i] + total / 2) / total), int((acc[3 * i + 1] + total / 2) / total),
                                  int((acc[3 * i + 2] + total / 2) / total));
                std::fill(acc.begin(), acc.end(), 0);
                ++dy;
            }
        }
    }
    return out;
}

// Screens, picture drawn smaller than the bitmap both ways: the
// averaged picture for this size is made once and kept, and each paint
// copies the visible part of it.
bool RasterImage::drawScreenAveraged(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    const std::optional<DevicePlacement> place = placeOnDevice(painter, x, y, width, height);
    if (!place) return false;
    if (place->empty()) return true;
    const auto [dx0, dy0, dw, dh, vx0, vy0, vx1, vy1] = *place;
    // Only a reduction both ways; a picture made larger takes the nearest
    // pixel (drawSampled).
    if (dw > qint64(m_header.biWidth) || dh > qint64(m_header.biHeight)) return false;

    if (m_screenImage.width() != dw || m_screenImage.height() != dh) {
        m_screenImage = QImage();
        m_screenImage = AreaAveraged(int(dw), int(dh));
        if (m_screenImage.isNull()) return false;
    }

    painter->save();
    painter->resetTransform();
    painter->drawImage(QPoint(int(vx0), int(vy0)), m_screenImage,
                       QRect(int(vx0 - dx0), int(vy0 - dy0), int(vx1 - vx0), int(vy1 - vy0)));
    painter->restore();
    return true;
}
