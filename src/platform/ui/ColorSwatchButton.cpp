#include "platform/ui/ColorSwatchButton.h"

#include <QEvent>
#include <QPainter>

namespace {

// The colours of the platform's three-dimensional edges, taken from the
// palette so the swatch matches the buttons around it.
struct EdgeColors {
    QColor light;     // COLOR_3DLIGHT
    QColor highlight; // COLOR_BTNHIGHLIGHT
    QColor shadow;    // COLOR_BTNSHADOW
    QColor dark;      // COLOR_3DDKSHADOW
};

EdgeColors edgeColors(const QPalette& palette)
{
    return {palette.color(QPalette::Midlight), palette.color(QPalette::Light), palette.color(QPalette::Mid),
            palette.color(QPalette::Shadow)};
}

// The outer and inner lines of a two-pixel edge on the rectangle's left and
// top or on its right and bottom (r is in GDI terms: right and bottom
// excluded).
void drawEdgeSides(QPainter& p, const QRect& r, bool topLeft, const QColor& outer, const QColor& inner)
{
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
    p.setPen(outer);
    if (topLeft) {
        p.drawLine(l, t, rr - 1, t);
        p.drawLine(l, t, l, b - 1);
    } else {
        p.drawLine(l, b, rr, b);
        p.drawLine(rr, t, rr, b);
    }
    p.setPen(inner);
    if (topLeft) {
        p.drawLine(l + 1, t + 1, rr - 2, t + 1);
        p.drawLine(l + 1, t + 1, l + 1, b - 2);
    } else {
        p.drawLine(l + 1, b - 1, rr - 1, b - 1);
        p.drawLine(rr - 1, t + 1, rr - 1, b - 1);
    }
}

void drawRaisedEdge(QPainter& p, const QRect& r, const EdgeColors& c)
{
    drawEdgeSides(p, r, true, c.light, c.highlight);
    drawEdgeSides(p, r, false, c.dark, c.shadow);
}

// The dotted rectangle of the platform's focus drawing: every other pixel is
// inverted against the background colour, so it shows on any swatch colour.
void drawFocusRect(QPainter& p, const QRect& r, const QColor& background)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::NoPen);
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            p.fillRect(x, y, 1, 1, background);
    };
    for (int x = l; x <= rr; ++x) {
        dot(x, t);
        if (b != t)
            dot(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        dot(l, y);
        if (rr != l)
            dot(rr, y);
    }
    p.restore();
}

}  // namespace

ColorSwatchButton::ColorSwatchButton(QWidget* parent) : QPushButton(parent)
{
    init();
}

ColorSwatchButton::ColorSwatchButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    init();
}

void ColorSwatchButton::init()
{
    m_brBlack = QBrush(Qt::black);
    m_brFace = QBrush(palette().color(QPalette::Button));
    // The whole button is painted every time; nothing is erased beforehand.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor ColorSwatchButton::toQColor(std::uint32_t color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

void ColorSwatchButton::SetColor(std::uint32_t color)
{
    m_crColor = color & 0x00FFFFFF;
    update();
}

bool ColorSwatchButton::event(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_brFace = QBrush(palette().color(QPalette::Button));
    return QPushButton::event(event);
}

void ColorSwatchButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    const EdgeColors edges = edgeColors(palette());

    if (!isEnabled()) {
        p.fillRect(r, m_brFace);
        drawRaisedEdge(p, r, edges);
        const QRect textRect = r.adjusted(7, 7, -7, -7);
        const int flags = Qt::AlignCenter | Qt::TextSingleLine;
        p.setPen(palette().color(QPalette::Light));
        p.drawText(textRect, flags, text());
        p.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(textRect.translated(-1, -1), flags, text());
        return;
    }

    p.fillRect(r, toQColor(m_crColor));
    const bool focused = hasFocus();
    if (isDown()) {
        // Sunken at the left and top, raised at the right and bottom.
        drawEdgeSides(p, r, true, edges.shadow, edges.dark);
        drawEdgeSides(p, r, false, edges.dark, edges.shadow);
        if (!focused)
            return;
        r.adjust(1, 1, -1, -1);
    } else {
        if (focused) {
            p.setPen(Qt::NoPen);
            p.setBrush(m_brBlack);
            const QRect o = r;
            p.fillRect(o.left(), o.top(), o.width(), 1, m_brBlack);
            p.fillRect(o.left(), o.bottom(), o.width(), 1, m_brBlack);
            p.fillRect(o.left(), o.top(), 1, o.height(), m_brBlack);
            p.fillRect(o.right(), o.top(), 1, o.height(), m_brBlack);
            r.adjust(1, 1, -1, -1);
        }
        drawRaisedEdge(p, r, edges);
    }
    if (focused) {
        r.adjust(3, 3, -3, -3);
        drawFocusRect(p, r, m_brFace.color());
    }
}
