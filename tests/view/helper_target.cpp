#include "helper_target.h"

#include "designer/TargetDesign.h"

#include <QFile>
#include <QPainter>

SolidTargetView::SolidTargetView(QSize himetric, int kind) : m_size(himetric), m_kind(kind) {}

bool SolidTargetView::DrawTarget(DeviceContext& dc, const GdiRect& rect)
{
    ++m_nDraws;
    dc.painter()->fillRect(rect.toQRect(), Qt::black);
    return true;
}

void SolidTargetView::UseLetterQuarterInch()
{
    m_sizePaper = QSize(21590, 27940);
    m_sizePrintable = QSize(20320, 26670);
    m_sizeOffset = QSize(635, 635);
}

bool WriteSquareDesign(const QString& path, double inches)
{
    CTargetDesign d;
    d.AddSquare(inches, 0x000000, 0.0, true, 0x000000, QString(), true);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && d.Write(f) == 1;
}
