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

int arg(const Record& r, size_t i) { return i < r.args.size() ? r.args[i] : 0; }

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

bool Player::rasterDevice() const { return m_raster; }

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

double Player::deviceScaleX() const { return std::fabs(m_toFrame.m11()); }
double Player::deviceScaleY() const { return std::fabs(m_toFrame.m22()); }

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
    DcState& st = m_state;
    switch (r.function) {
    // Objects
    case CREATEPENINDIRECT: m_objects.add(ObjectTable::PenObject, r.object); break;
    case CREATEBRUSHINDIRECT:
    case DIBCREATEPATTERNBRUSH:
    case CREATEPATTERNBRUSH: m_objects.add(ObjectTable::BrushObject, r.object); break;
    case CREATEFONTINDIRECT: m_objects.add(ObjectTable::FontObject, r.object); break;
    case CREATEPALETTE: m_objects.add(ObjectTable::PaletteObject, r.object); break;
    case CREATEREGION: m_objects.add(ObjectTable::RegionObject, r.object); break;
    case SELECTOBJECT: select(arg(r, 0)); break;
    case SELECTPALETTE: {
        const ObjectTable::Slot* s = m_objects.get(arg(r, 0));
        if (s && s->kind == ObjectTable::PaletteObject) st.palette = s->index;
        break;
    }
    case DELETEOBJECT: m_objects.remove(arg(r, 0)); break;

    // Mapping
    case SETMAPMODE:
        if (arg(r, 0) >= MM_TEXT && arg(r, 0) <= MM_ANISOTROPIC) { st.mapMode = arg(r, 0); mappingChanged(); }
        break;
    case SETWINDOWORG: st.windowOrg = QPoint(arg(r, 0), arg(r, 1)); mappingChanged(); break;
    case OFFSETWINDOWORG:
        st.windowOrg = QPoint(clampInt(qint64(st.windowOrg.x()) + arg(r, 0)), clampInt(qint64(st.windowOrg.y()) + arg(r, 1)));
        mappingChanged();
        break;
    case SETWINDOWEXT:
        if (arg(r, 0) != 0 && arg(r, 1) != 0) { st.windowExt = QPoint(arg(r, 0), arg(r, 1)); mappingChanged(); }
        break;
    case SCALEWINDOWEXT: {
        if (arg(r, 1) == 0 || arg(r, 3) == 0) break;
        const int x = clampInt(qint64(st.windowExt.x()) * arg(r, 0) / arg(r, 1));
        const int y = clampInt(qint64(st.windowExt.y()) * arg(r, 2) / arg(r, 3));
        if (x != 0 && y != 0) { st.windowExt = QPoint(x, y); mappingChanged(); }
        break;
    }
    // The viewport is where the caller puts the picture; a placeable file's own
    // viewport settings are kept in the state but do not move the drawing.
    case SETVIEWPORTORG: st.viewportOrg = QPoint(arg(r, 0), arg(r, 1)); break;
    case SETVIEWPORTEXT: if (arg(r, 0) && arg(r, 1)) st.viewportExt = QPoint(arg(r, 0), arg(r, 1)); break;
    case OFFSETVIEWPORTORG:
        st.viewportOrg = QPoint(clampInt(qint64(st.viewportOrg.x()) + arg(r, 0)), clampInt(qint64(st.viewportOrg.y()) + arg(r, 1)));
        break;
    case SCALEVIEWPORTEXT:
        if (arg(r, 1) && arg(r, 3)) {
            const int x = clampInt(qint64(st.viewportExt.x()) * arg(r, 0) / arg(r, 1));
            const int y = clampInt(qint64(st.viewportExt.y()) * arg(r, 2) / arg(r, 3));
            if (x && y) st.viewportExt = QPoint(x, y);
        }
        break;

    // Modes
    case SETBKCOLOR: st.bkColor = quint32(arg(r, 0)); break;
    case SETTEXTCOLOR: st.textColor = quint32(arg(r, 0)); break;
    case SETBKMODE: st.bkMode = arg(r, 0); break;
    case SETTEXTALIGN: st.textAlign = arg(r, 0); break;
    case SETPOLYFILLMODE: st.polyFillMode = arg(r, 0); break;
    case SETROP2: if (arg(r, 0) >= R2_BLACK && arg(r, 0) <= R2_WHITE) st.rop2 = arg(r, 0); break;
    case SETSTRETCHBLTMODE: st.stretchMode = arg(r, 0); break;
    case SETTEXTCHAREXTRA: st.charExtra = qint16(arg(r, 0)); break;
    case SETTEXTJUSTIFICATION: st.justifyExtra = arg(r, 0); st.justifyCount = arg(r, 1); break;
    case SAVEDC:
        if (int(m_stack.size()) < MAX_SAVE_DEPTH) m_stack.push_back(st);
        break;
    case RESTOREDC: restoreDc(arg(r, 0)); break;

    // Clipping
    case INTERSECTCLIPRECT: setClipRect(logicalRect(arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3)), false); break;
    case EXCLUDECLIPRECT: setClipRect(logicalRect(arg(r, 0), arg(r, 1), arg(r, 2), arg(r, 3)), true); break;
    case OFFSETCLIPRGN:
        if (st.clipped) {
            st.clip.translate(arg(r, 0) * m_toFrame.m11(), arg(r, 1) * m_toFrame.m22());
            m_clipDirty = true;
        }
        break;
    case SELECTCLIPREGION: selectClipRegion(arg(r, 0)); break;

    // Drawing
    case MOVETO: st.position = QPointF(arg(r, 0), arg(r, 1)); break;
    case LINETO: lineTo(QPointF(arg(r, 0), arg(r, 1))); break;
    default:
        if (!m_painter) break;
        switch (r.function) {
        case RECTANGLE: rectangle(r); break;
        case ROUNDRECT: roundRect(r); break;
        case ELLIPSE: ellipse(r); break;
        case ARC: case PIE: case CHORD: arc(r); break;
        case POLYLINE: polyline(r); break;
        case POLYGON: polygon(r); break;
        case POLYPOLYGON: polyPolygon(r); break;
        case SETPIXEL: setPixel(r); break;
        case PATBLT: patBlt(logicalRect(arg(r, 0), arg(r, 1), arg(r, 0) + arg(r, 2), arg(r, 1) + arg(r, 3)), quint32(arg(r, 4))); break;
        case BITBLT: case STRETCHBLT: case DIBBITBLT: case DIBSTRETCHBLT: case STRETCHDIB: case SETDIBTODEV: bitmap(r); break;
        case FILLREGION: case PAINTREGION: case FRAMEREGION: case INVERTREGION: fillRegion(r); break;
        case TEXTOUT: case EXTTEXTOUT: text(r); break;
        default: break;
        }
    }
}

QRectF Player::logicalRect(int l, int t, int r, int b) const
{
    return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
}

} // namespace wmf
