#include "print/PosterMarks.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "platform/Units.h"
#include "print/PrintCaptions.h"

SheetPlace PlaceOfSheet(int sheet, int rows, int cols)
{
    SheetPlace place;
    if (cols <= 0 || sheet < 0 || sheet >= rows * cols) return place;
    const int i = sheet / cols;
    const int j = sheet % cols;
    place.label = SheetLabel(i, j);
    if (j > 0) place.neighbours[0] = SheetLabel(i, j - 1);
    if (i > 0) place.neighbours[1] = SheetLabel(i - 1, j);
    if (j + 1 < cols) place.neighbours[2] = SheetLabel(i, j + 1);
    if (i + 1 < rows) place.neighbours[3] = SheetLabel(i + 1, j);
    return place;
}

std::vector<QPoint> FourSheetPoints(const TargetLayout& L)
{
    std::vector<QPoint> points;
    const int cols = L.m_nPageCols;
    if (static_cast<int>(L.m_arrPages.size()) < L.SheetCount()) return points;
    for (int i = 1; i < L.m_nPageRows; ++i)
        for (int j = 1; j < cols; ++j) {
            const GdiRect& before = L.m_arrPages[static_cast<size_t>((i - 1) * cols + (j - 1))];
            const GdiRect& after = L.m_arrPages[static_cast<size_t>(i * cols + j)];
            points.emplace_back((before.right + after.left) / 2, (before.bottom + after.top) / 2);
        }
    return points;
}

namespace {

// The map: one small square per sheet, this one filled black, the ones left
// out grey, the others outlined.
void drawMap(QPainter* p, const TargetLayout& L, const QRect& box, int cell)
{
    for (int i = 0; i < L.m_nPageRows; ++i)
        for (int j = 0; j < L.m_nPageCols; ++j) {
            const int k = i * L.m_nPageCols + j;
            const QRect r(box.left() + j * cell, box.top() + i * cell, cell, cell);
            QColor fill = Qt::white;
            if (k == L.m_nCurSheet) fill = Qt::black;
            else if (L.IsEmptySheet(k)) fill = QColor(190, 190, 190);
            p->fillRect(r, fill);
            p->setPen(QPen(Qt::black, 0));
            p->setBrush(Qt::NoBrush);
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
}

}  // namespace

void DrawSheetMarks(DeviceContext& dc, const TargetLayout& L)
{
    QPainter* p = dc.painter();
    const int sheet = L.m_nCurSheet;
    if (!p || sheet < 0 || sheet >= static_cast<int>(L.m_arrPages.size()) || L.m_nLabelBand <= 0) return;
    const GdiRect area = L.m_arrPages[static_cast<size_t>(sheet)];
    const QRect band(area.left, area.top - L.m_nLabelBand, area.width(), L.m_nLabelBand);
    const double dpi = dc.dpiX();
    dc.save();

    // The crosses: a thin line each way, 8 mm long, on this sheet's area.
    p->save();
    p->setClipRect(area.toQRect(), Qt::IntersectClip);
    p->setPen(QPen(Qt::black, std::max(1.0, dpi / 150.0), Qt::SolidLine, Qt::FlatCap));
    const int arm = qRound(dpi * 4.0 / Units::MM_PER_INCH);
    for (const QPoint& c : FourSheetPoints(L)) {
        p->drawLine(c.x() - arm, c.y(), c.x() + arm, c.y());
        p->drawLine(c.x(), c.y() - arm, c.x(), c.y() + arm);
    }
    p->restore();

    // The band, centred: the map, the place in bold, then the neighbours.
    const SheetPlace place = PlaceOfSheet(sheet, L.m_nPageRows, L.m_nPageCols);
    QFont bold = CaptionFont();
    bold.setPointSizeF(9.0);
    bold.setWeight(QFont::Bold);
    QFont regular = CaptionFont();
    regular.setPointSizeF(7.0);
    static const char16_t arrows[4] = {u'\u2190', u'\u2191', u'\u2192', u'\u2193'};
    QStringList sides;
    for (int s = 0; s < 4; ++s)
        if (!place.neighbours[s].isEmpty()) sides << QString(QChar(arrows[s])) + place.neighbours[s];
    const QString neighbours = sides.join(QStringLiteral("  "));
    const QFontMetrics fmBold(bold, dc.device());
    const QFontMetrics fmRegular(regular, dc.device());
    const int gap = qRound(dpi * 2.0 / Units::MM_PER_INCH);
    const int cell = std::max(2, std::min(qRound(dpi * 1.5 / Units::MM_PER_INCH),
                                          (L.m_nLabelBand - 2) / std::max(L.m_nPageRows, 1)));
    const QSize map(cell * L.m_nPageCols, cell * L.m_nPageRows);
    const int labelW = fmBold.horizontalAdvance(place.label);
    const int sideW = fmRegular.horizontalAdvance(neighbours);
    const int total = map.width() + gap + labelW + gap + sideW;
    int x = band.center().x() - total / 2;
    p->fillRect(QRect(x - gap, band.top(), total + 2 * gap, band.height()), Qt::white);
    drawMap(p, L, QRect(QPoint(x, band.top() + (band.height() - map.height()) / 2), map), cell);
    x += map.width() + gap;
    p->setPen(Qt::black);
    p->setFont(bold);
    p->drawText(QRect(x, band.top(), labelW, band.height()), Qt::AlignLeft | Qt::AlignVCenter, place.label);
    x += labelW + gap;
    p->setFont(regular);
    p->drawText(QRect(x, band.top(), sideW, band.height()), Qt::AlignLeft | Qt::AlignVCenter, neighbours);
    dc.restore();
}
