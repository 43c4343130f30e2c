#include "platform/ui/HyperlinkButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "platform/ShellOpen.h"

HyperlinkButton::HyperlinkButton(const QString& text, const QString& link, QWidget* parent)
    : QPushButton(text, parent), m_strLink(link)
{
    attach();
}

void HyperlinkButton::attach()
{
    if (m_strLink.isEmpty()) m_strLink = text();
    if (text().isEmpty()) setText(m_strLink);
    m_strTooltip = m_strLink;
    m_stdFont = font();
    m_underlineFont = m_stdFont;
    m_underlineFont.setUnderline(true);
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setToolTip(m_strTooltip);
    setEnabled(!m_strLink.isEmpty());
    // A link is never the dialog's default button: Enter after a click must
    // close the dialog, not open the link again.
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { OpenLink(); });
    if (m_bAdjustToFit) PositionWindow();
}

void HyperlinkButton::SetVisited(bool visited)
{
    m_bVisited = visited;
    repaint();
}

void HyperlinkButton::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    if (m_bAdjustToFit) PositionWindow();
    update();
}

QColor HyperlinkButton::currentColour() const
{
    if (m_bHover) return m_crHoverColour;
    return m_bVisited ? m_crVisitedColour : m_crLinkColour;
}

QFont HyperlinkButton::currentFont() const
{
    const bool underline = m_nUnderline == UnderlineAlways || (m_nUnderline == UnderlineHover && m_bHover);
    return underline ? m_underlineFont : m_stdFont;
}

QSize HyperlinkButton::sizeHint() const
{
    const QFontMetrics fm(m_underlineFont);
    return fm.size(Qt::TextSingleLine, text()) + QSize(4, 4);
}

void HyperlinkButton::PositionWindow()
{
    const QSize wanted = sizeHint();
    QRect r = geometry();
    // Keep the edge the alignment names, the centre when centred.
    if (m_alignment & Qt::AlignRight) r.moveLeft(r.right() + 1 - wanted.width());
    else if (!(m_alignment & Qt::AlignLeft)) r.moveLeft(r.left() + (r.width() - wanted.width()) / 2);
    if (m_alignment & Qt::AlignBottom) r.moveTop(r.bottom() + 1 - wanted.height());
    else if (!(m_alignment & Qt::AlignTop)) r.moveTop(r.top() + (r.height() - wanted.height()) / 2);
    r.setSize(wanted);
    setGeometry(r);
    setMinimumSize(wanted);
}

bool HyperlinkButton::OpenLink()
{
    const int result = OpenWithShell(m_strLink, 1);
    if (result > 32) {
        SetVisited(true);
        return true;
    }
    QApplication::beep();
    ReportLaunchError(result);
    return false;
}

void HyperlinkButton::setHover(bool hover)
{
    if (m_bHover == hover) return;
    m_bHover = hover;
    update();
}

void HyperlinkButton::enterEvent(QEnterEvent* event)
{
    setHover(true);
    QPushButton::enterEvent(event);
}

void HyperlinkButton::leaveEvent(QEvent* event)
{
    setHover(false);
    QPushButton::leaveEvent(event);
}

void HyperlinkButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_stdFont = font();
        m_underlineFont = m_stdFont;
        m_underlineFont.setUnderline(true);
        if (m_bAdjustToFit) PositionWindow();
    }
    QPushButton::changeEvent(event);
}

void HyperlinkButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().color(QPalette::Button));
    p.setFont(currentFont());
    const int flags = int(m_alignment) | Qt::TextSingleLine;
    if (!isEnabled()) {
        p.setPen(palette().color(QPalette::Light));
        p.drawText(r.translated(1, 1), flags, text());
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(r, flags, text());
        return;
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = r;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
    p.setPen(currentColour());
    p.drawText(r, flags, text());
}
