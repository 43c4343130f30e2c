#include "document/RasterImage.h"

#include <QFile>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "document/BmpDecoder.h"
#include "document/JpegDecoder.h"
#include "document/PngDecoder.h"
#include "platform/RegularFile.h"

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

} // namespace

namespace {

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

// The source pixel under the centre of destination pixel d of destCount
// that stretch over sourceCount.
qint64 nearestSource(qint64 d, qint64 sourceCount, qint64 destCount)
{
    return std::min<qint64>(((2 * d + 1) * sourceCount) / (2 * destCount), sourceCount - 1);
}

// The source column under each of count destination pixels, the first of
// which is pixel first of destCount, offset by origin.
std::vector<quint32> nearestColumns(int count, qint64 first, qint64 destCount, qint64 sourceCount, qint64 origin)
{
    std::vector<quint32> columns(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        columns[std::size_t(i)] = quint32(origin + nearestSource(first + i, sourceCount, destCount));
    return columns;
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

void RasterImage::BitmapReplaced()
{
    m_printImage = QImage();
    m_screenImage = QImage();
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
    RasterBitmap decoded;
    const bool ok = m_type == TYPE_BMP    ? DecodeBmp(device, decoded)
                    : m_type == TYPE_JPEG ? DecodeJpeg(device, decoded)
                                          : DecodePng(device, decoded);
    if (!ok || !decoded.Block()) {
        SetError(decoded.LastError());
        return false;
    }
    TakeBitmap(decoded);
    return true;
}

QImage RasterImage::Thumbnail(int width, int height, int dpiX, int dpiY)
{
    if (!Block() || width <= 0 || height <= 0) return QImage();
    QImage bitmap;
    if (quint32(width) <= Width() && quint32(height) <= Height()) bitmap = AreaAveraged(width, height);
    if (!bitmap.isNull()) {
        bitmap.setDotsPerMeterX(qRound(dpiX / 0.0254));
        bitmap.setDotsPerMeterY(qRound(dpiY / 0.0254));
        return bitmap;
    }
    bitmap = makeDeviceImage(width, height, dpiX, dpiY);
    {
        QPainter painter(&bitmap);
        DeviceContext mem(&painter, dpiX, dpiY);
        mem.setStretchMode(DeviceContext::ColorOnColor);
        Draw(mem, 0, 0, width, height);
    }
    return bitmap;
}

bool RasterImage::Draw(DeviceContext& dc, int x, int y, int width, int height)
{
    QPainter* painter = dc.painter();
    if (!Block() || !painter || !painter->isActive()) return false;
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
    const qint64 sw = Header().biWidth, sh = Header().biHeight;
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
    const qint64 sw = Header().biWidth, sh = Header().biHeight;
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
    const int depth = Header().biBitCount;
    QImage part(int(ow), int(oh), depth == 24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (part.isNull()) return part;
    if (depth != 24) part.setColorTable(ColorTable());
    const std::vector<quint32> columns = nearestColumns(part.width(), 0, part.width(), cw, u0);
    for (int j = 0; j < part.height(); ++j) {
        const qint64 sy = v0 + nearestSource(j, ch, part.height());
        const uchar* src = Row(quint32(sh - 1 - sy));
        uchar* dst = part.scanLine(j);
        for (int i = 0; i < part.width(); ++i) {
            const quint32 sx = columns[std::size_t(i)];
            if (depth == 24) std::memcpy(dst + 3 * i, src + 3 * std::size_t(sx), 3);
            else dst[i] = PaletteIndex(src, sx, depth);
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

    const qint64 sw = Header().biWidth, sh = Header().biHeight;
    const std::vector<quint32> columns = nearestColumns(out.width(), vx0 - dx0, dw, sw, 0);
    const QList<QRgb> table = ColorTable();
    for (int j = 0; j < out.height(); ++j) {
        const qint64 sy = nearestSource(vy0 + j - dy0, sh, dh);
        RowColors(quint32(sy), columns.data(), out.width(), table, reinterpret_cast<QRgb*>(out.scanLine(j)));
    }

    painter->save();
    painter->resetTransform();
    painter->drawImage(QPoint(int(vx0), int(vy0)), out);
    painter->restore();
    return true;
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
    if (dw > qint64(Header().biWidth) || dh > qint64(Header().biHeight)) return false;

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
