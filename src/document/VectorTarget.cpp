#include "document/VectorTarget.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "document/RasterBitmap.h"

ImagePlacement PlaceImage(const QPainter& painter, const QRectF& dest, double maxPixels)
{
    ImagePlacement p;
    const QTransform t = painter.combinedTransform();
    bool invertible = false;
    const QTransform toLogical = t.inverted(&invertible);
    QRectF visible = dest;
    const QPaintDevice* device = painter.device();
    if (invertible && device) visible &= toLogical.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (painter.hasClipping()) visible &= painter.clipBoundingRect();
    if (visible.isEmpty() || dest.isEmpty()) return p;

    const QSizeF onDevice = t.mapRect(dest).size();
    const QSizeF visibleOnDevice = t.mapRect(visible).size();
    // The device's own resolution, unless what shows would hold more pixels
    // than one drawing may hand the device.
    double k = 1.0;
    const double visiblePixels = std::ceil(visibleOnDevice.width()) * std::ceil(visibleOnDevice.height());
    if (visiblePixels > maxPixels) k = std::sqrt(maxPixels / visiblePixels);
    const double fw = std::max(1.0, std::round(onDevice.width() * k));
    const double fh = std::max(1.0, std::round(onDevice.height() * k));
    if (fw > 1e9 || fh > 1e9) return p;
    p.full = QSize(int(fw), int(fh));
    const double sx = fw / dest.width(), sy = fh / dest.height();
    const int x0 = std::clamp(int(std::floor((visible.left() - dest.left()) * sx)), 0, p.full.width());
    const int y0 = std::clamp(int(std::floor((visible.top() - dest.top()) * sy)), 0, p.full.height());
    const int x1 = std::clamp(int(std::ceil((visible.right() - dest.left()) * sx)), 0, p.full.width());
    const int y1 = std::clamp(int(std::ceil((visible.bottom() - dest.top()) * sy)), 0, p.full.height());
    p.part = QRect(x0, y0, x1 - x0, y1 - y0);
    p.where = QRectF(dest.left() + x0 / sx, dest.top() + y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy);
    return p;
}

void VectorTarget::Draw(DeviceContext& dc, const QRectF& dest)
{
    QPainter* painter = dc.painter();
    if (!painter || !painter->isActive()) return;
    const QRectF box = dest.normalized();
    if (box.isEmpty()) return;
    if (DrawsVectors()) {
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
        // Mirrored destinations draw mirrored, as a picture's do.
        painter->translate(dest.left(), dest.top());
        painter->scale(dest.width() < 0 ? -1 : 1, dest.height() < 0 ? -1 : 1);
        const bool drawn = drawVectors(*painter, QRectF(0, 0, box.width(), box.height()));
        painter->restore();
        if (drawn) return;
    }
    drawImage(dc, box);
}

void VectorTarget::drawImage(DeviceContext& dc, const QRectF& dest)
{
    QPainter* painter = dc.painter();
    const double maxPixels = double(!dc.isPrinting() ? MAX_PRINT_PIXELS
                                    : dc.isPreview() ? MAX_PREVIEW_PIXELS
                                                     : MAX_PRINT_PIXELS);
    const ImagePlacement p = PlaceImage(*painter, dest, maxPixels);
    if (p.part.isEmpty()) return;
    QImage image;
    const bool screen = !dc.isPrinting();
    if (screen && m_screenFull == p.full && m_screenPart.contains(p.part)) {
        image = m_screenImage.copy(p.part.translated(-m_screenPart.topLeft()));
    } else {
        image = renderPart(p.full, p.part);
        if (screen) {
            m_screenImage = image;
            m_screenFull = p.full;
            m_screenPart = p.part;
        }
    }
    if (image.isNull()) return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setRenderHint(QPainter::LosslessImageRendering, true);
    painter->drawImage(p.where, image);
    painter->restore();
}
