#include "wmf/WmfPlayer.h"

#include <QPaintEngine>

#include <cmath>

namespace wmf {

namespace {

int clampInt(qint64 v)
{
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

QPointF toPointF(const Coords& c) { return QPointF(c.x, c.y); }
QPoint toPoint(const Coords& c) { return QPoint(c.x, c.y); }

QPoint offset(const QPoint& p, const Coords& by)
{
    return QPoint(clampInt(qint64(p.x()) + by.x), clampInt(qint64(p.y()) + by.y));
}

// Scales an extent by the record's two fractions; an extent that would
// become zero, or a zero denominator, leaves it as it was.
bool scaled(QPoint& ext, const Scale& s)
{
    if (s.xDenom == 0 || s.yDenom == 0) return false;
    const int x = clampInt(qint64(ext.x()) * s.xNum / s.xDenom);
    const int y = clampInt(qint64(ext.y()) * s.yNum / s.yDenom);
    if (x == 0 || y == 0) return false;
    ext = QPoint(x, y);
    return true;
}

} // namespace

Player::Player(const Picture& picture, QPainter* painter, const QRectF& frame, const QRectF& clip)
    : m_pic(picture), m_painter(painter), m_frame(frame), m_bound(clip.isValid() ? clip : frame)
{
    m_state.mapMode = MM_ANISOTROPIC;
    m_state.windowOrg = QPoint(picture.left, picture.top);
    m_state.windowExt = QPoint(picture.right - picture.left, picture.bottom - picture.top);
    m_state.viewportExt = QPoint(1, 1);
    m_state.font.height = 0;
    if (m_painter) {
        m_base = m_painter->worldTransform();
        m_outerClipped = m_painter->hasClipping();
        if (m_outerClipped) m_outerClip = m_painter->clipPath();
        m_raster = m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Raster;
    }
    m_toFrame = logicalToFrame();
}

QTransform Player::logicalToFrame() const
{
    const QPoint ext = m_state.windowExt;
    double sx = ext.x() ? m_frame.width() / ext.x() : 1.0;
    double sy = ext.y() ? m_frame.height() / ext.y() : 1.0;
    if (m_state.mapMode == MM_ISOTROPIC) {
        const double s = std::min(std::fabs(sx), std::fabs(sy));
        sx = sx < 0 ? -s : s;
        sy = sy < 0 ? -s : s;
    }
    QTransform t;
    t.translate(m_frame.left(), m_frame.top());
    t.scale(sx, sy);
    t.translate(-double(m_state.windowOrg.x()), -double(m_state.windowOrg.y()));
    return t;
}

void Player::mappingChanged()
{
    m_toFrame = logicalToFrame();
    m_transformDirty = true;
}

void Player::play()
{
    if (m_painter) {
        m_painter->save();
        m_painter->setRenderHint(QPainter::Antialiasing, true);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    }
    for (const Record& r : m_pic.records) step(r);
    if (m_painter) m_painter->restore();
}

void Player::select(int slot)
{
    const ObjectTable::Slot* s = m_objects.get(slot);
    if (!s) return;
    switch (s->kind) {
    case ObjectTable::PenObject:
        if (s->index >= 0) m_state.pen = m_pic.pens[size_t(s->index)];
        break;
    case ObjectTable::BrushObject:
        if (s->index >= 0) m_state.brush = m_pic.brushes[size_t(s->index)];
        else m_state.brush = Brush{BS_NULL, 0, 0, -1};
        break;
    case ObjectTable::FontObject:
        if (s->index >= 0) {
            m_state.font = m_pic.fonts[size_t(s->index)];
            m_state.hasFont = true;
        }
        break;
    case ObjectTable::PaletteObject:
        m_state.palette = s->index;
        break;
    case ObjectTable::RegionObject:
        selectClipRegion(slot);
        break;
    case ObjectTable::Empty:
        break;
    }
}

void Player::restoreDc(int n)
{
    // Negative: that many levels back; positive: the level numbered from the first save.
    int target;
    if (n < 0) target = int(m_stack.size()) + n;
    else target = n - 1;
    if (target < 0 || target >= int(m_stack.size())) return;
    m_state = m_stack[size_t(target)];
    m_stack.resize(size_t(target));
    mappingChanged();
    m_clipDirty = true;
}

void Player::setClipRect(const QRectF& logical, bool exclude)
{
    QPainterPath rect;
    rect.addPolygon(m_toFrame.map(QPolygonF(logical)));
    rect.closeSubpath();
    if (!m_state.clipped) {
        m_state.clip = QPainterPath();
        m_state.clip.addRect(m_bound);
        m_state.clipped = true;
    }
    m_state.clip = exclude ? m_state.clip.subtracted(rect) : m_state.clip.intersected(rect);
    m_clipDirty = true;
}

void Player::selectClipRegion(int slot)
{
    const ObjectTable::Slot* s = m_objects.get(slot);
    if (!s || s->kind != ObjectTable::RegionObject || s->index < 0) {
        m_state.clipped = false;
        m_state.clip = QPainterPath();
        m_clipDirty = true;
        return;
    }
    QPainterPath path;
    for (const QRect& r : m_pic.regions[size_t(s->index)]) path.addPolygon(m_toFrame.map(QPolygonF(QRectF(r))));
    QPainterPath bound;
    bound.addRect(m_bound);
    m_state.clip = bound.intersected(path);
    m_state.clipped = true;
    m_clipDirty = true;
}

void Player::step(const Record& r)
{
    if (objectRecord(r) || mappingRecord(r) || modeRecord(r) || clipRecord(r)) return;
    switch (r.function) {
    case MOVETO: m_state.position = toPointF(paramsOf<Coords>(r)); break;
    case LINETO: lineTo(toPointF(paramsOf<Coords>(r))); break;
    default:
        if (m_painter) draw(r);
        break;
    }
}

bool Player::objectRecord(const Record& r)
{
    switch (r.function) {
    case CREATEPENINDIRECT: m_objects.add(ObjectTable::PenObject, paramsOf<Created>(r).index); break;
    case CREATEBRUSHINDIRECT:
    case DIBCREATEPATTERNBRUSH:
    case CREATEPATTERNBRUSH: m_objects.add(ObjectTable::BrushObject, paramsOf<Created>(r).index); break;
    case CREATEFONTINDIRECT: m_objects.add(ObjectTable::FontObject, paramsOf<Created>(r).index); break;
    case CREATEPALETTE: m_objects.add(ObjectTable::PaletteObject, paramsOf<Created>(r).index); break;
    case CREATEREGION: m_objects.add(ObjectTable::RegionObject, paramsOf<Created>(r).index); break;
    case SELECTOBJECT: select(paramsOf<Slot>(r).slot); break;
    case SELECTPALETTE: {
        const ObjectTable::Slot* s = m_objects.get(paramsOf<Slot>(r).slot);
        if (s && s->kind == ObjectTable::PaletteObject) m_state.palette = s->index;
        break;
    }
    case DELETEOBJECT: m_objects.remove(paramsOf<Slot>(r).slot); break;
    default: return false;
    }
    return true;
}

// The window maps the picture onto the frame. The viewport is where the
// caller puts the picture; a placeable file's own viewport settings are kept
// in the state but do not move the drawing.
bool Player::mappingRecord(const Record& r)
{
    DcState& st = m_state;
    switch (r.function) {
    case SETMAPMODE: {
        const int mode = paramsOf<Value>(r).value;
        if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC) { st.mapMode = mode; mappingChanged(); }
        break;
    }
    case SETWINDOWORG: st.windowOrg = toPoint(paramsOf<Coords>(r)); mappingChanged(); break;
    case OFFSETWINDOWORG: st.windowOrg = offset(st.windowOrg, paramsOf<Coords>(r)); mappingChanged(); break;
    case SETWINDOWEXT: {
        const Coords& ext = paramsOf<Coords>(r);
        if (ext.x != 0 && ext.y != 0) { st.windowExt = toPoint(ext); mappingChanged(); }
        break;
    }
    case SCALEWINDOWEXT:
        if (scaled(st.windowExt, paramsOf<Scale>(r))) mappingChanged();
        break;
    case SETVIEWPORTORG: st.viewportOrg = toPoint(paramsOf<Coords>(r)); break;
    case SETVIEWPORTEXT: {
        const Coords& ext = paramsOf<Coords>(r);
        if (ext.x && ext.y) st.viewportExt = toPoint(ext);
        break;
    }
    case OFFSETVIEWPORTORG: st.viewportOrg = offset(st.viewportOrg, paramsOf<Coords>(r)); break;
    case SCALEVIEWPORTEXT: scaled(st.viewportExt, paramsOf<Scale>(r)); break;
    default: return false;
    }
    return true;
}

bool Player::modeRecord(const Record& r)
{
    DcState& st = m_state;
    const int value = paramsOf<Value>(r).value;
    switch (r.function) {
    case SETBKCOLOR: st.bkColor = paramsOf<ColorArg>(r).color; break;
    case SETTEXTCOLOR: st.textColor = paramsOf<ColorArg>(r).color; break;
    case SETBKMODE: st.bkMode = value; break;
    case SETTEXTALIGN: st.textAlign = value; break;
    case SETPOLYFILLMODE: st.polyFillMode = value; break;
    case SETROP2: if (value >= R2_BLACK && value <= R2_WHITE) st.rop2 = value; break;
    case SETSTRETCHBLTMODE: st.stretchMode = value; break;
    case SETTEXTCHAREXTRA: st.charExtra = value; break;
    case SETTEXTJUSTIFICATION:
        st.justifyExtra = paramsOf<Justify>(r).extra;
        st.justifyCount = paramsOf<Justify>(r).breaks;
        break;
    case SAVEDC:
        if (int(m_stack.size()) < MAX_SAVE_DEPTH) m_stack.push_back(st);
        break;
    case RESTOREDC: restoreDc(value); break;
    default: return false;
    }
    return true;
}

bool Player::clipRecord(const Record& r)
{
    switch (r.function) {
    case INTERSECTCLIPRECT: setClipRect(logicalRect(paramsOf<Box>(r)), false); break;
    case EXCLUDECLIPRECT: setClipRect(logicalRect(paramsOf<Box>(r)), true); break;
    case OFFSETCLIPRGN:
        if (m_state.clipped) {
            const Coords& by = paramsOf<Coords>(r);
            m_state.clip.translate(by.x * m_toFrame.m11(), by.y * m_toFrame.m22());
            m_clipDirty = true;
        }
        break;
    case SELECTCLIPREGION: selectClipRegion(paramsOf<Slot>(r).slot); break;
    default: return false;
    }
    return true;
}

void Player::draw(const Record& r)
{
    switch (r.function) {
    case RECTANGLE: rectangle(paramsOf<Box>(r)); break;
    case ROUNDRECT: roundRect(paramsOf<RoundBox>(r)); break;
    case ELLIPSE: ellipse(paramsOf<Box>(r)); break;
    case ARC: case PIE: case CHORD: arc(r.function, paramsOf<ArcBox>(r)); break;
    case POLYLINE: polyline(paramsOf<Polys>(r)); break;
    case POLYGON: polygon(paramsOf<Polys>(r)); break;
    case POLYPOLYGON: polyPolygon(paramsOf<Polys>(r)); break;
    case SETPIXEL: setPixel(paramsOf<Pixel>(r)); break;
    case PATBLT: {
        const PatternBlt& p = paramsOf<PatternBlt>(r);
        patBlt(logicalRect(Box{p.x, p.y, p.x + p.width, p.y + p.height}), p.rop);
        break;
    }
    case BITBLT: case STRETCHBLT: case DIBBITBLT: case DIBSTRETCHBLT: case STRETCHDIB: case SETDIBTODEV:
        bitmap(r.function, paramsOf<Blit>(r));
        break;
    case PAINTREGION: case INVERTREGION: fillRegion(r.function, RegionPaint{paramsOf<Slot>(r).slot}); break;
    case FILLREGION: case FRAMEREGION: fillRegion(r.function, paramsOf<RegionPaint>(r)); break;
    case TEXTOUT: case EXTTEXTOUT: text(paramsOf<TextRun>(r)); break;
    default: break;
    }
}

QRectF Player::logicalRect(const Box& b) const
{
    return QRectF(QPointF(b.left, b.top), QPointF(b.right, b.bottom)).normalized();
}

} // namespace wmf
