// Shapes, bitmaps and regions of the metafile player.
#include "wmf/WmfPlayer.h"

#include <QPaintEngine>

#include <cmath>

namespace wmf {

namespace {

QColor inverted(const QColor& c) { return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue()); }

// Longest device extent for which a styled pen is dashed; beyond it a dash
// pattern would mean millions of segments, so the line is drawn solid.
constexpr double MAX_DASHED_EXTENT = 100000.0;

// A path's sweep from GDI's two radial points, counter-clockwise as seen on the device.
double arcAngle(const QRectF& rect, const QPointF& p)
{
    const double rx = rect.width() / 2, ry = rect.height() / 2;
    if (rx <= 0 || ry <= 0) return 0;
    const QPointF c = rect.center();
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180.0 / M_PI;
}

} // namespace

QPen Player::makePen() const
{
    const Pen& p = m_state.pen;
    if (p.style == PS_NULL || (p.style & 0x0F) == PS_NULL) return QPen(Qt::NoPen);
    QColor color = colorRef(p.color);
    if (m_state.rop2 == R2_BLACK) color = Qt::black;
    else if (m_state.rop2 == R2_WHITE) color = Qt::white;
    else if (m_state.rop2 == R2_NOTCOPYPEN) color = inverted(color);
    const QTransform full = m_toFrame * m_base;
    const double scale = std::hypot(full.m11(), full.m12());
    const double device = p.width == 0 ? 1.0 : std::max(1.0, std::fabs(p.width * scale));
    QPen pen(color, device);
    // Widths are device pixels. On a screen or bitmap the pen is cosmetic, so
    // it stays exact to the pixel. On a printer, PDF or print preview the
    // drawing may be recorded and replayed at another scale, so where the
    // transform keeps shapes (no stretch one way only) the width is given in
    // the drawing's own units instead and scales with the rest.
    const double ax = full.m11() * full.m11() + full.m12() * full.m12();
    const double ay = full.m21() * full.m21() + full.m22() * full.m22();
    const double dot = full.m11() * full.m21() + full.m12() * full.m22();
    const bool similar = std::fabs(ax - ay) <= 1e-9 * ax && std::fabs(dot) <= 1e-9 * ax;
    if (!m_raster && similar && scale > 0) pen.setWidthF(device / scale);
    else pen.setCosmetic(true);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    const int style = p.style & 0x0F;
    if (style >= PS_DASH && style <= PS_DASHDOTDOT) {
        // One-pixel pens dash as GDI does, in device pixels; wider ones in widths.
        static const QList<qreal> thin[4] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
        static const QList<qreal> wide[4] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
        pen.setDashPattern(device <= 1.0 ? thin[style - 1] : wide[style - 1]);
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

QBrush Player::makeBrush(const Brush& b) const
{
    QColor color = colorRef(b.color);
    if (m_state.rop2 == R2_BLACK) color = Qt::black;
    else if (m_state.rop2 == R2_WHITE) color = Qt::white;
    else if (m_state.rop2 == R2_NOTCOPYPEN) color = inverted(color);
    QBrush brush;
    switch (b.style) {
    case BS_NULL: return QBrush(Qt::NoBrush);
    case BS_HATCHED: {
        static const Qt::BrushStyle hatch[6] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        brush = QBrush(color, (b.hatch >= 0 && b.hatch < 6) ? hatch[b.hatch] : Qt::SolidPattern);
        break;
    }
    case BS_PATTERN: case BS_DIBPATTERN:
        if (b.image < 0 || size_t(b.image) >= m_pic.images.size()) return QBrush(Qt::NoBrush);
        brush = QBrush(m_pic.images[size_t(b.image)]);
        break;
    default:
        return QBrush(color);
    }
    // Hatches and patterns repeat in device pixels, whatever the mapping.
    bool invertible = false;
    const QTransform inv = (m_toFrame * m_base).inverted(&invertible);
    if (invertible) brush.setTransform(inv);
    return brush;
}

void Player::applyRop2()
{
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (m_raster) {
        switch (m_state.rop2) {
        case R2_NOTMERGEPEN: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
        case R2_MASKNOTPEN: mode = QPainter::RasterOp_NotSourceAndDestination; break;
        case R2_MASKPENNOT: mode = QPainter::RasterOp_SourceAndNotDestination; break;
        case R2_NOT: mode = QPainter::RasterOp_NotDestination; break;
        case R2_XORPEN: mode = QPainter::RasterOp_SourceXorDestination; break;
        case R2_NOTMASKPEN: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
        case R2_MASKPEN: mode = QPainter::RasterOp_SourceAndDestination; break;
        case R2_NOTXORPEN: mode = QPainter::RasterOp_NotSourceXorDestination; break;
        case R2_MERGENOTPEN: mode = QPainter::RasterOp_NotSourceOrDestination; break;
        case R2_MERGEPENNOT: mode = QPainter::RasterOp_SourceOrNotDestination; break;
        case R2_MERGEPEN: mode = QPainter::RasterOp_SourceOrDestination; break;
        default: break;
        }
    }
    m_painter->setCompositionMode(mode);
}

bool Player::prepare(bool usePen, bool useBrush)
{
    if (!m_painter || m_state.rop2 == R2_NOP) return false;
    if (m_clipDirty || m_transformDirty) {
        m_painter->setWorldTransform(m_base);
        // The caller's clip (a printable area, say) holds for the whole
        // picture; the picture's own clip narrows it.
        Qt::ClipOperation op = Qt::ReplaceClip;
        if (m_outerClipped) {
            m_painter->setClipPath(m_outerClip);
            op = Qt::IntersectClip;
        }
        if (m_state.clipped) m_painter->setClipPath(m_state.clip, op);
        else m_painter->setClipRect(m_bound, op);
        m_clipDirty = false;
        m_transformDirty = true;
    }
    if (m_transformDirty) {
        m_painter->setWorldTransform(m_toFrame * m_base);
        m_transformDirty = false;
    }
    m_painter->setPen(usePen ? makePen() : QPen(Qt::NoPen));
    m_painter->setBrush(useBrush ? makeBrush(m_state.brush) : QBrush(Qt::NoBrush));
    m_painter->setBackgroundMode(m_state.bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(colorRef(m_state.bkColor));
    applyRop2();
    return true;
}

void Player::drawShape(const QPainterPath& path, bool fill)
{
    if (!prepare(true, fill)) return;
    QPen pen = m_painter->pen();
    if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
        const QRectF b = (m_toFrame * m_base).mapRect(path.controlPointRect());
        if (b.width() + b.height() > MAX_DASHED_EXTENT) {
            pen.setStyle(Qt::SolidLine);
            m_painter->setPen(pen);
        }
    }
    m_painter->drawPath(path);
}

void Player::lineTo(const QPointF& p)
{
    if (m_painter) {
        QPainterPath path(m_state.position);
        path.lineTo(p);
        drawShape(path, false);
    }
    m_state.position = p;
}

// Closed figures drawn with an inside-frame pen keep the pen within their box.
static QRectF insideFrame(const QRectF& r, const Pen& pen)
{
    if ((pen.style & 0x0F) != PS_INSIDEFRAME || pen.width <= 1) return r;
    const double half = pen.width / 2.0;
    if (r.width() <= pen.width || r.height() <= pen.width) return r;
    return r.adjusted(half, half, -half, -half);
}

void Player::rectangle(const Box& b)
{
    QPainterPath path;
    path.addRect(insideFrame(logicalRect(b), m_state.pen));
    drawShape(path, true);
}

void Player::roundRect(const RoundBox& b)
{
    QPainterPath path;
    const QRectF rect = insideFrame(logicalRect(b.box), m_state.pen);
    const double rx = std::min(std::fabs(b.cornerWidth) / 2.0, rect.width() / 2);
    const double ry = std::min(std::fabs(b.cornerHeight) / 2.0, rect.height() / 2);
    path.addRoundedRect(rect, rx, ry);
    drawShape(path, true);
}

void Player::ellipse(const Box& b)
{
    QPainterPath path;
    path.addEllipse(insideFrame(logicalRect(b), m_state.pen));
    drawShape(path, true);
}

void Player::arc(quint16 function, const ArcBox& a)
{
    const QRectF rect = logicalRect(a.box);
    if (rect.width() <= 0 || rect.height() <= 0) return;
    const double a1 = arcAngle(rect, QPointF(a.xStart, a.yStart));
    const double a2 = arcAngle(rect, QPointF(a.xEnd, a.yEnd));
    const bool flipped = m_toFrame.determinant() < 0;
    double sweep = flipped ? a1 - a2 : a2 - a1;
    while (sweep <= 0) sweep += 360.0;
    while (sweep > 360.0) sweep -= 360.0;
    if (flipped) sweep = -sweep;
    QPainterPath path;
    if (function == PIE) {
        path.moveTo(rect.center());
        path.arcTo(rect, a1, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(rect, a1);
        path.arcTo(rect, a1, sweep);
        if (function == CHORD) path.closeSubpath();
    }
    drawShape(path, function != ARC);
}

void Player::polyline(const Polys& p)
{
    if (p.points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(p.points.begin(), p.points.end()))));
    drawShape(path, false);
}

void Player::polygon(const Polys& p)
{
    if (p.points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(p.points.begin(), p.points.end()))));
    path.closeSubpath();
    path.setFillRule(m_state.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    drawShape(path, true);
}

void Player::polyPolygon(const Polys& p)
{
    QPainterPath path;
    size_t at = 0;
    for (int count : p.counts) {
        if (at + size_t(count) > p.points.size()) break;
        if (count >= 2) {
            QPolygonF poly;
            poly.reserve(count);
            for (int i = 0; i < count; ++i) poly << QPointF(p.points[at + size_t(i)]);
            path.addPolygon(poly);
            path.closeSubpath();
        }
        at += size_t(count);
    }
    path.setFillRule(m_state.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    drawShape(path, true);
}

void Player::setPixel(const Pixel& p)
{
    if (!prepare(false, false)) return;
    const QPointF d = (m_toFrame * m_base).map(QPointF(p.x, p.y));
    m_painter->setWorldTransform(QTransform());
    m_painter->fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), colorRef(p.color));
    m_transformDirty = true;
}

void Player::patBlt(const QRectF& rect, quint32 rop)
{
    if (!prepare(false, true)) return;
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    switch (rop) {
    case BLACKNESS: m_painter->fillRect(rect, Qt::black); return;
    case WHITENESS: m_painter->fillRect(rect, Qt::white); return;
    case DSTINVERT:
        if (m_raster) {
            m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
            m_painter->fillRect(rect, Qt::white);
            m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        return;
    case PATINVERT:
        if (m_raster) m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        break;
    }
    m_painter->fillRect(rect, makeBrush(m_state.brush));
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Player::bitmap(quint16 function, const Blit& b)
{
    const int x = b.xDest, y = b.yDest, w = b.wDest, h = b.hDest;
    const quint32 rop = b.rop;
    const Box dest{x, y, x + w, y + h};
    if (b.image < 0 || size_t(b.image) >= m_pic.images.size()) {
        patBlt(logicalRect(dest), rop);
        return;
    }
    if (w == 0 || h == 0 || !prepare(false, false)) return;
    QImage img = m_pic.images[size_t(b.image)];
    QRectF src(b.xSrc, b.ySrc, b.wSrc, b.hSrc);
    if (function == STRETCHDIB || function == SETDIBTODEV)
        src.moveTop(img.height() - src.top() - src.height());  // measured from the bottom row
    src = src.normalized().intersected(QRectF(img.rect()));
    if (src.isEmpty()) src = QRectF(img.rect());

    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const bool blend = m_painter->paintEngine() && m_painter->paintEngine()->hasFeature(QPaintEngine::BlendModes);
    switch (rop) {
    case NOTSRCCOPY: img.invertPixels(); break;
    case SRCAND: mode = m_raster ? QPainter::RasterOp_SourceAndDestination : blend ? QPainter::CompositionMode_Multiply : mode; break;
    case SRCPAINT: mode = m_raster ? QPainter::RasterOp_SourceOrDestination : blend ? QPainter::CompositionMode_Lighten : mode; break;
    case SRCINVERT: mode = m_raster ? QPainter::RasterOp_SourceXorDestination : blend ? QPainter::CompositionMode_Difference : mode; break;
    case SRCERASE: if (m_raster) mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case NOTSRCERASE: if (m_raster) mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case MERGEPAINT: if (m_raster) mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case BLACKNESS: case WHITENESS: case PATCOPY: case DSTINVERT: case PATINVERT:
        patBlt(logicalRect(dest), rop);
        return;
    default: break;
    }
    const int stretch = m_state.stretchMode ? m_state.stretchMode : m_defaultStretch;
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, stretch == 4);
    m_painter->setCompositionMode(mode);
    // The destination may be mirrored by a negative width or height.
    QTransform t;
    t.translate(x, y);
    t.scale(double(w) / src.width(), double(h) / src.height());
    m_painter->setWorldTransform(t * m_toFrame * m_base);
    m_painter->drawImage(QRectF(0, 0, src.width(), src.height()), img, src);
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_transformDirty = true;
}

void Player::fillRegion(quint16 function, const RegionPaint& p)
{
    const ObjectTable::Slot* s = m_objects.get(p.region);
    if (!s || s->kind != ObjectTable::RegionObject || s->index < 0) return;
    QPainterPath path;
    path.addRegion(m_pic.regions[size_t(s->index)]);
    if (!prepare(false, true)) return;
    if (function == INVERTREGION) {
        if (!m_raster) return;
        m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter->fillPath(path, Qt::white);
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    QBrush brush = m_painter->brush();
    if (function == FILLREGION || function == FRAMEREGION) {
        const ObjectTable::Slot* b = m_objects.get(p.brush);
        if (!b || b->kind != ObjectTable::BrushObject || b->index < 0) return;
        brush = makeBrush(m_pic.brushes[size_t(b->index)]);
    }
    if (function == FRAMEREGION) {
        QPen pen(brush, std::max(std::fabs(p.width * m_toFrame.m11()), 1.0));
        pen.setCosmetic(true);
        m_painter->strokePath(path.simplified(), pen);
    } else {
        m_painter->fillPath(path, brush);
    }
}

} // namespace wmf
