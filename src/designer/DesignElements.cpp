#include "designer/DesignElements.h"

#include <QPainter>

#include <cmath>

#include "designer/DesignStream.h"

namespace {

// Geometric solid pen with flat ends and mitred corners.
QPen flatPen(DesignColor color, int width)
{
    return QPen(DesignQColor(color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

int mid(int a, int b) { return static_cast<int>((static_cast<long long>(a) + b) / 2); }

} // namespace

// --- bull's-eye ---------------------------------------------------------

CBullseyeElement::CBullseyeElement() : CDesignElement(ELEMENT_BULLSEYE)
{
    const double a1 = 2.356194490125;
    const double a2 = 5.4977871436250005;
    m_cos1 = std::cos(a1);
    m_sin1 = std::sin(a1);
    m_cos2 = std::cos(a2);
    m_sin2 = std::sin(a2);
}

void CBullseyeElement::Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int, bool, bool)
{
    const GdiRect p = PlaceShape(rect, scale, ppi);
    const int w = LineWidth(scale, ppi);
    const int cx = mid(p.left, p.right);
    const int cy = mid(p.top, p.bottom);
    QPainterPath path;
    if (m_style == BULLSEYE_CROSS) {
        path.moveTo(cx, p.top);
        path.lineTo(cx, p.bottom);
        path.moveTo(p.left, cy);
        path.lineTo(p.right, cy);
    } else {
        const double rho = (double(p.right) - p.left) * 0.5;
        const double x1 = cx + double(TruncToInt(rho * m_cos1)), y1 = cy + double(TruncToInt(rho * m_sin1));
        const double x2 = cx + double(TruncToInt(rho * m_cos2)), y2 = cy + double(TruncToInt(rho * m_sin2));
        path.moveTo(x1, y1);
        path.lineTo(x2, y2);
        path.moveTo(x2, y1);
        path.lineTo(x1, y2);
    }
    dc.painter()->strokePath(path, flatPen(OutlineColor(), w));
}

void CBullseyeElement::Write(DesignWriter& out) const
{
    CDesignElement::Write(out);
    out.u8(static_cast<quint8>(m_style));
}

bool CBullseyeElement::Read(DesignReader& in)
{
    if (!CDesignElement::Read(in)) return false;
    if (m_extMarker != 0) {
        quint8 style = 0;
        if (!in.u8(style)) return false;
        m_style = style;
    }
    m_extMarker = 1;
    return true;
}

// --- rings ----------------------------------------------------------------

CRingElement::CRingElement(int type) : CDesignElement(type), m_fillBrush(DesignQColor(FillColor())) {}

void CRingElement::SetFillColor(DesignColor color)
{
    CDesignElement::SetFillColor(color);
    m_fillBrush = QBrush(DesignQColor(color));
}

bool CRingElement::Read(DesignReader& in)
{
    if (!CDesignElement::Read(in)) return false;
    m_fillBrush = QBrush(DesignQColor(FillColor()));
    m_extMarker = 1;
    return true;
}

QPen CRingElement::MakePen(int width) const
{
    return flatPen(Thickness() > 0 ? OutlineColor() : FillColor(), width);
}

void CRingElement::Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int labelFontSize,
                        bool drawLabel, bool raiseLabel)
{
    const GdiRect p = PlaceShape(rect, scale, ppi);
    QPainter* painter = dc.painter();
    painter->setPen(MakePen(LineWidth(scale, ppi)));
    painter->setBrush(m_fillBrush);
    painter->drawPath(MakePath(p));
    if (drawLabel) DrawLabel(dc, scale, ppi, labelFontSize, raiseLabel);
}

QPen CCircleElement::MakePen(int width) const
{
    if (Thickness() > 0)
        return QPen(DesignQColor(OutlineColor()), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return QPen(DesignQColor(FillColor()), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath CCircleElement::CirclePath(const GdiRect& p)
{
    constexpr double k = 0.2761423749154;
    const double a = TruncToInt((double(p.right) - p.left) * k);
    const double b = TruncToInt((double(p.bottom) - p.top) * k);
    const double cx = mid(p.left, p.right), cy = mid(p.top, p.bottom);
    const double l = p.left, t = p.top, r = p.right, btm = p.bottom;
    QPainterPath path;
    path.moveTo(l, cy);
    path.cubicTo(l, cy - b, cx - a, t, cx, t);
    path.cubicTo(cx + a, t, r, cy - b, r, cy);
    path.cubicTo(r, cy + b, cx + a, btm, cx, btm);
    path.cubicTo(cx - a, btm, l, cy + b, l, cy);
    path.closeSubpath();
    return path;
}

QPainterPath CSquareElement::MakePath(const GdiRect& p) const
{
    QPainterPath path;
    path.moveTo(p.left, p.top);
    path.lineTo(p.right, p.top);
    path.lineTo(p.right, p.bottom);
    path.lineTo(p.left, p.bottom);
    path.closeSubpath();
    return path;
}

QPainterPath CDiamondElement::MakePath(const GdiRect& p) const
{
    const int mx = mid(p.left, p.right), my = mid(p.top, p.bottom);
    QPainterPath path;
    path.moveTo(mx, p.top);
    path.lineTo(p.right, my);
    path.lineTo(mx, p.bottom);
    path.lineTo(p.left, my);
    path.closeSubpath();
    return path;
}

// --- grid -----------------------------------------------------------------

QPainterPath CGridElement::GridPath(const GdiRect& p, double g, int ppi)
{
    QPainterPath path;
    const long long cx = p.left + (static_cast<long long>(p.right) - p.left) / 2;
    long long xr = cx, xl = cx;
    for (int i = 1; i <= MAX_STEPS; ++i) {
        path.moveTo(double(xr), p.top);
        path.lineTo(double(xr), p.bottom);
        path.moveTo(double(xl), p.top);
        path.lineTo(double(xl), p.bottom);
        const long long offset = TruncToInt(i * g * ppi);
        xr = cx + offset;
        xl = cx - offset;
        if (xr > p.right) break;
    }
    const long long cy = p.top + (static_cast<long long>(p.bottom) - p.top) / 2;
    long long yb = cy, yt = cy;
    for (int i = 1; i <= MAX_STEPS; ++i) {
        path.moveTo(p.left, double(yb));
        path.lineTo(p.right, double(yb));
        path.moveTo(p.left, double(yt));
        path.lineTo(p.right, double(yt));
        const long long offset = TruncToInt(i * g * ppi);
        yb = cy + offset;
        yt = cy - offset;
        if (yb > p.bottom) break;
    }
    return path;
}

void CGridElement::Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int, bool, bool)
{
    const GdiRect p = PlaceShape(rect, scale, ppi);
    dc.painter()->strokePath(GridPath(p, scale * m_spacing, ppi), flatPen(OutlineColor(), LineWidth(scale, ppi)));
}

void CGridElement::Write(DesignWriter& out) const
{
    CDesignElement::Write(out);
    out.f64(m_spacing);
}

bool CGridElement::Read(DesignReader& in)
{
    if (!CDesignElement::Read(in)) return false;
    if (m_extMarker != 0) {
        double spacing = 0;
        if (!in.f64(spacing) || !IsDesignLength(spacing)) return false;
        m_spacing = spacing;
    }
    m_extMarker = 1;
    return true;
}
