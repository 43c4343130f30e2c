#include "ringdesigner/MiniTargetView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/DeviceContext.h"

CMiniTargetFrame::CMiniTargetFrame(QWidget* host) : QWidget(host)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pView = new CMiniTargetView(this);
    layout->addWidget(m_pView);

    if (host) {
        // Fill the host's client area, whatever layout the host has.
        auto* hostLayout = host->layout();
        if (!hostLayout) {
            hostLayout = new QVBoxLayout(host);
            hostLayout->setContentsMargins(0, 0, 0, 0);
            hostLayout->setSpacing(0);
        }
        hostLayout->addWidget(this);
    }
    show();
}

CMiniTargetView::CMiniTargetView(QWidget* parent) : CView(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted in paintEvent; an erase first would only flash.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    show();
}

void CMiniTargetView::SetDesign(const CTargetDesign& design)
{
    m_design.CopyFrom(design);
    // Drawn now, not when the event loop comes round: the preview follows
    // every change at once. Qt paints into the backing store first, so the
    // immediate redraw does not flicker.
    if (viewport()->isVisible())
        viewport()->repaint();
    else
        viewport()->update();
}

GdiRect CMiniTargetView::drawRect() const
{
    GdiRect r = GdiRect::fromQRect(viewport()->rect());
    r.inflate(-1, -1);
    return r;
}

void CMiniTargetView::OnDraw(DeviceContext& dc)
{
    const GdiRect r = drawRect();
    if (r.isEmpty()) return;
    m_design.Draw(dc, r);
}

void CMiniTargetView::paintEvent(QPaintEvent*)
{
    ++m_nPaints;
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);
    DeviceContext dc(&painter);
    OnDraw(dc);
}
