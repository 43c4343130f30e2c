#include "app/PlainTargetView.h"

#include <QPainter>

#include "document/TargetDoc.h"
#include "platform/DeviceContext.h"

CPlainTargetView::CPlainTargetView(QWidget* parent) : CScrollView(parent)
{
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
}

QSize CPlainTargetView::targetPixels() const
{
    auto* doc = qobject_cast<CTargetDoc*>(GetDocument());
    if (!doc) return {};
    const QSize himetric = doc->GetTargetImage().GetSizeHimetric();
    return {int(qint64(himetric.width()) * logicalDpiX() / 2540),
            int(qint64(himetric.height()) * logicalDpiY() / 2540)};
}

void CPlainTargetView::OnInitialUpdate()
{
    SetScrollSizes(targetPixels());
    CScrollView::OnInitialUpdate();
}

void CPlainTargetView::OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject)
{
    SetScrollSizes(targetPixels());
    CScrollView::OnUpdate(sender, hint, hintObject);
}

void CPlainTargetView::OnDraw(DeviceContext& dc)
{
    auto* doc = qobject_cast<CTargetDoc*>(GetDocument());
    if (!doc) return;
    const QSize size = targetPixels();
    doc->GetTargetImage().Draw(dc, GdiRect(0, 0, size.width(), size.height()));
}
