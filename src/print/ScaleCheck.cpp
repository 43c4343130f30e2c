#include "print/ScaleCheck.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/Profile.h"
#include "platform/Units.h"
#include "print/PrintCaptions.h"

namespace {

const QString SECTION = QStringLiteral("Printer");
const QString KEY = QStringLiteral("ScaleCheck");

// Inches: the distance from the printable area's edges, the rows' pitch, the
// end ticks' half height and the lines' thickness.
constexpr double INSET = 0.15;
constexpr double ROW = 0.3;
constexpr double TICK = 0.06;
constexpr double LINE = 1.0 / 150.0;
constexpr double MARGIN = 0.05;

int& cachedSetting()
{
    static int value = -1;  // not read yet
    return value;
}

}  // namespace

bool ScaleCheckEnabled()
{
    int& cached = cachedSetting();
    if (cached < 0) {
        int stored = 0;
        ReadProfileInt(SECTION, KEY, 0, &stored);
        cached = stored != 0 ? 1 : 0;
    }
    return cached == 1;
}

void SetScaleCheckEnabled(bool enabled)
{
    cachedSetting() = enabled ? 1 : 0;
    WriteProfileInt(SECTION, KEY, enabled ? 1 : 0);
}

ScaleCheckBars LayoutScaleCheck(const QRectF& printable, double pxPerInchX, double pxPerInchY)
{
    ScaleCheckBars bars;
    const double x0 = printable.left() + INSET * pxPerInchX;
    const double yInches = printable.bottom() - (INSET + TICK) * pxPerInchY;
    const double yMetric = yInches - ROW * pxPerInchY;
    bars.inches = QLineF(x0, yInches, x0 + 4.0 * pxPerInchX, yInches);
    bars.metric = QLineF(x0, yMetric, x0 + Units::MmToInches(100.0) * pxPerInchX, yMetric);
    const double top = yMetric - (ROW - TICK + MARGIN) * pxPerInchY;
    bars.box = QRectF(QPointF(x0 - MARGIN * pxPerInchX, top),
                      QPointF(bars.inches.x2() + MARGIN * pxPerInchX, yInches + (TICK + MARGIN) * pxPerInchY));
    return bars;
}

void DrawScaleCheck(QPainter& painter, const QRectF& printable, double pxPerInchX, double pxPerInchY)
{
    const ScaleCheckBars bars = LayoutScaleCheck(printable, pxPerInchX, pxPerInchY);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(bars.box, Qt::white);
    QPen pen(Qt::black, std::max(1.0, LINE * pxPerInchY), Qt::SolidLine, Qt::FlatCap);
    painter.setPen(pen);
    painter.setFont(CaptionFont(8.0, pxPerInchY));
    const double tickY = TICK * pxPerInchY;
    for (const auto& [bar, text] : {std::pair{bars.metric, QStringLiteral("100 mm")}, std::pair{bars.inches, QStringLiteral("4 in")}}) {
        painter.drawLine(bar);
        painter.drawLine(QLineF(bar.x1(), bar.y1() - tickY, bar.x1(), bar.y1() + tickY));
        painter.drawLine(QLineF(bar.x2(), bar.y2() - tickY, bar.x2(), bar.y2() + tickY));
        // The text stands above the bar, clear of the ticks.
        const QRectF textBox(QPointF(bar.x1() + 0.1 * pxPerInchX, bar.y1() - (ROW - TICK) * pxPerInchY),
                             QPointF(bar.x2() - 0.1 * pxPerInchX, bar.y1() - 1.4 * tickY));
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, text);
    }
    painter.restore();
}
