#include "designer/DesignElement.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <utility>

#include "designer/DesignGeometry.h"
#include "designer/DesignStream.h"

namespace {

// Wider pens look the same on any real device: they already cover it.
constexpr int MAX_PEN_WIDTH = 1 << 16;
// Font heights past this are far beyond any sheet; font engines refuse them.
constexpr int MAX_FONT_PIXELS = 16384;
constexpr int MIN_LABEL_SIZE = 40;  // 4 pt
constexpr int LABEL_SIZE_STEP = 10; // 1 pt

QFont makeLabelFont(int tenthsOfPoint, int dpiY)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    const long long pixels = (static_cast<long long>(tenthsOfPoint) * dpiY + 360) / 720;
    font.setPixelSize(static_cast<int>(std::clamp<long long>(pixels, 1, MAX_FONT_PIXELS)));
    return font;
}

int textWidth(const QFont& font, QPaintDevice* device, const QString& text)
{
    return device ? QFontMetrics(font, device).horizontalAdvance(text)
                  : QFontMetrics(font).horizontalAdvance(text);
}

} // namespace

CDesignElement::CDesignElement(int type) : m_type(type) {}

CDesignElement::~CDesignElement() = default;

void CDesignElement::SetBounds(const DesignRect& bounds) { m_bounds = bounds; }

void CDesignElement::SetBounds(double left, double top, double right, double bottom)
{
    m_bounds = {left, top, right, bottom};
}

void CDesignElement::SetOutline(DesignColor color, double thickness)
{
    m_outlineColor = color;
    m_thickness = thickness;
}

void CDesignElement::SetFillColor(DesignColor color) { m_fillColor = color; }

void CDesignElement::SetDiameter(double diameter)
{
    SetBounds(-diameter / 2, -diameter / 2, diameter / 2, diameter / 2);
}

QString CDesignElement::Label() const
{
    return QString::fromLatin1(m_label, int(strnlen(m_label, LABEL_SIZE - 1)));
}

void CDesignElement::SetLabel(const QString& label) { SetLabel(label.toLatin1().constData()); }

void CDesignElement::SetLabel(const char* label)
{
    std::memset(m_label, 0, sizeof m_label);
    if (label) std::strncpy(m_label, label, LABEL_SIZE - 1);
}

void CDesignElement::SetLabelBox(double left, double top, double right, double bottom)
{
    m_labelBox = {left, top, right, bottom};
    if (m_labelBox.left > m_labelBox.right) std::swap(m_labelBox.left, m_labelBox.right);
    if (m_labelBox.top > m_labelBox.bottom) std::swap(m_labelBox.top, m_labelBox.bottom);
}

DesignColor CDesignElement::LabelTextColor(DesignColor fill)
{
    const int red = int(fill & 0xFF), green = int((fill >> 8) & 0xFF), blue = int((fill >> 16) & 0xFF);
    const int lum = static_cast<int>(0.587 * green + 0.114 * blue + 0.299 * red);
    return lum > 127 ? 0x000000 : 0xFFFFFF;
}

void CDesignElement::Write(DesignWriter& out) const
{
    out.u8(static_cast<quint8>(m_type));
    out.u8(1);
    out.u8(static_cast<quint8>(m_enabled));
    out.f64(m_bounds.left);
    out.f64(m_bounds.top);
    out.f64(m_bounds.right);
    out.f64(m_bounds.bottom);
    out.u32(m_outlineColor);
    out.f64(m_thickness);
    out.u32(m_fillColor);
    out.bytes(m_label, LABEL_SIZE);
    out.u8(1);
}

bool CDesignElement::Read(DesignReader& in)
{
    quint8 type = 0;
    if (!in.u8(type)) return false;
    // The entry's code chose this class; a record claiming another type is
    // not one this program wrote, and keeping it would make the element
    // lie about its class.
    if (type != m_type) return false;
    if (!in.u8(m_baseMarker)) return false;
    if (m_baseMarker != 0) {
        quint8 enabled = 0;
        DesignRect b;
        quint32 outline = 0, fill = 0;
        double thickness = 0;
        char label[LABEL_SIZE];
        in.u8(enabled);
        in.f64(b.left);
        in.f64(b.top);
        in.f64(b.right);
        in.f64(b.bottom);
        in.u32(outline);
        in.f64(thickness);
        in.u32(fill);
        in.bytes(label, LABEL_SIZE);
        if (!in.ok()) return false;
        for (double v : {b.left, b.top, b.right, b.bottom, thickness})
            if (!IsDesignLength(v)) return false;
        m_enabled = enabled ? 1 : 0;
        m_bounds = b;
        m_outlineColor = outline;
        m_thickness = thickness;
        m_fillColor = fill;
        label[LABEL_SIZE - 1] = 0;
        SetLabel(label);
    }
    m_baseMarker = 1;
    return in.u8(m_extMarker);
}

GdiRect CDesignElement::PlaceShape(const GdiRect& rect, double scale, int ppi)
{
    GdiRect r(TruncToInt(ppi * m_bounds.left), TruncToInt(ppi * m_bounds.top), TruncToInt(ppi * m_bounds.right),
              TruncToInt(ppi * m_bounds.bottom));
    r = ScaleRect(r, scale);
    const GdiRect p = CentreRect(r, rect);
    m_labelOffset = QPoint(TruncToInt(double(p.left) - r.left), TruncToInt(double(p.top) - r.top));
    return p;
}

int CDesignElement::LineWidth(double scale, int ppi) const
{
    return std::clamp(TruncToInt(scale * m_thickness * ppi), 1, MAX_PEN_WIDTH);
}

void CDesignElement::FitLabelFont(DeviceContext& dc, int size, const GdiRect& box)
{
    if (m_hasLabelFont && size == m_fitSize && box == m_fitBox && dc.dpiY() == m_fitDpi) return;
    m_fitSize = size;
    m_fitBox = box;
    m_fitDpi = dc.dpiY();

    // The sizes tried are n0, n0 - 10, ... down to the last one of at least
    // 40; the first that fits wins, else the last. Text width grows with the
    // size, so a bisection finds the same one with a few measurements.
    const int n0 = std::max(size, MIN_LABEL_SIZE);
    const int last = (n0 - MIN_LABEL_SIZE) / LABEL_SIZE_STEP;
    const QString text = Label();
    const long long boxWidth = static_cast<long long>(box.right) - box.left;
    auto fits = [&](int k) {
        return textWidth(makeLabelFont(n0 - k * LABEL_SIZE_STEP, m_fitDpi), dc.device(), text) <= boxWidth;
    };
    int chosen = last;
    if (fits(0)) {
        chosen = 0;
    } else {
        int lo = 0, hi = last;  // fits(lo) is false; the answer lies in (lo, hi]
        while (hi - lo > 1) {
            const int mid = lo + (hi - lo) / 2;
            if (fits(mid)) hi = mid;
            else lo = mid;
        }
        chosen = hi;
    }
    m_labelFont = makeLabelFont(n0 - chosen * LABEL_SIZE_STEP, m_fitDpi);
    const QFontMetrics fm = dc.device() ? QFontMetrics(m_labelFont, dc.device()) : QFontMetrics(m_labelFont);
    const int internalLeading = fm.ascent() + fm.descent() - m_labelFont.pixelSize();
    m_labelRaise = (fm.ascent() - internalLeading) / 2;
    m_hasLabelFont = true;
}

void CDesignElement::DrawLabel(DeviceContext& dc, double scale, int ppi, int labelFontSize, bool raiseLabel)
{
    if (m_labelBox.isZero() || m_label[0] == 0) return;
    GdiRect box(TruncToInt(ppi * m_labelBox.left), TruncToInt(ppi * m_labelBox.top),
                TruncToInt(ppi * m_labelBox.right), TruncToInt(ppi * m_labelBox.bottom));
    box = ScaleRect(box, scale);
    box = OffsetRect(box, m_labelOffset.x(), m_labelOffset.y());

    FitLabelFont(dc, TruncToInt(labelFontSize * scale), box);
    if (raiseLabel) box = OffsetRect(box, 0, -m_labelRaise);

    QPainter* painter = dc.painter();
    painter->save();
    painter->setFont(m_labelFont);
    painter->setPen(DesignQColor(LabelTextColor(m_fillColor)));
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->drawText(box.toQRect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, Label());
    painter->restore();
}
