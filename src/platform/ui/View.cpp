#include "platform/ui/View.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/DeviceContext.h"
#include "platform/WindowMessage.h"

CView::CView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
}

CView::~CView()
{
    if (CDocument* doc = m_pDocument) {
        m_pDocument = nullptr;
        doc->RemoveView(this);
    }
}

void CView::SetDocument(CDocument* doc)
{
    if (m_pDocument == doc) return;
    if (m_pDocument) m_pDocument->RemoveView(this);
    m_pDocument = doc;
    if (doc) doc->AddView(this);
}

void CView::DetachDocument() { m_pDocument = nullptr; }

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CDocumentView*, qintptr, QObject*) { viewport()->update(); }

void CView::OnDraw(DeviceContext&) {}

bool CView::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::eventType()) {
        OnWindowMessage(*static_cast<WindowMessageEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    DeviceContext dc(&painter);
    OnPrepareDC(dc);
    OnDraw(dc);
}

// -------------------------------------------------------------- CScrollView

CScrollView::CScrollView(QWidget* parent) : CView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CScrollView::SetScrollSizes(const QSize& total, const QSize& page, const QSize& line)
{
    m_totalSize = total.expandedTo(QSize(0, 0));
    m_pageSize = page.isValid() && !page.isEmpty() ? page : m_totalSize / 10;
    m_lineSize = line.isValid() && !line.isEmpty() ? line : m_totalSize / 100;
    updateBars();
    viewport()->update();
}

QPoint CScrollView::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CScrollView::ScrollToPosition(const QPoint& position)
{
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

void CScrollView::OnPrepareDC(DeviceContext& dc)
{
    const QPoint pos = GetScrollPosition();
    dc.painter()->translate(-pos.x(), -pos.y());
}

void CScrollView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    updateBars();
}

void CScrollView::scrollContentsBy(int, int) { viewport()->update(); }

void CScrollView::updateBars()
{
    const QSize client = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, qMax(0, m_totalSize.width() - client.width()));
    v->setRange(0, qMax(0, m_totalSize.height() - client.height()));
    h->setPageStep(qMax(1, qMin(m_pageSize.width(), client.width())));
    v->setPageStep(qMax(1, qMin(m_pageSize.height(), client.height())));
    h->setSingleStep(qMax(1, m_lineSize.width()));
    v->setSingleStep(qMax(1, m_lineSize.height()));
}
