#include "print/DashedLine.h"

#include <QPainterPath>
#include <QPen>

#include <cstdlib>

CDashedLine::CDashedLine(std::vector<int> patternPixels, MoveFn moveTo, LineFn lineTo)
    : m_pattern(std::move(patternPixels)), m_move(std::move(moveTo)), m_line(std::move(lineTo))
{
    if (m_pattern.empty()) m_pattern.push_back(1);
    for (int& p : m_pattern)
        if (p < 1) p = 1;
    m_nLeft = m_pattern[0];
}

int CDashedLine::InchesToPixels(int pixelsPerInch, double inches)
{
    const int n = static_cast<int>(pixelsPerInch * inches + 0.5);
    return n < 1 ? 1 : n;
}

void CDashedLine::MoveTo(int x, int y)
{
    m_x = x;
    m_y = y;
    m_nEntry = 0;
    m_nLeft = m_pattern[0];
    if (m_move) m_move(x, y);
}

void CDashedLine::LineTo(int x1, int y1)
{
    const int dx = x1 - m_x;
    const int dy = y1 - m_y;
    const int adx = std::abs(dx);
    const int ady = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int longLen = xMajor ? adx : ady;
    const int shortLen = xMajor ? ady : adx;
    const int n = static_cast<int>(m_pattern.size());

    int x = m_x;
    int y = m_y;
    int err = longLen;
    bool endedEntry = false;
    for (int i = 0; i < longLen; ++i) {
        if (xMajor) x += sx; else y += sy;
        err -= shortLen;
        if (err < 1) {
            if (xMajor) y += sy; else x += sx;
            err += longLen;
        }
        endedEntry = false;
        if (--m_nLeft <= 0) {
            m_nEntry = (m_nEntry + 1) % n;
            m_nLeft = m_pattern[static_cast<size_t>(m_nEntry)];
            if (m_nEntry % 2 == 1) {
                if (m_line) m_line(x, y);
            } else {
                if (m_move) m_move(x, y);
            }
            endedEntry = true;
        }
    }
    if (!endedEntry && m_nEntry % 2 == 0 && m_line) m_line(x1, y1);
    m_x = x1;
    m_y = y1;
}

void DrawDashedBorder(DeviceContext& dc, GdiRect rect, QColor color, const std::vector<double>& patternInches,
                      double thicknessInches)
{
    QPainter* p = dc.painter();
    if (!p) return;
    const int ppi = dc.dpiX();
    const int n = CDashedLine::InchesToPixels(ppi, thicknessInches);
    std::vector<int> pattern;
    for (double len : patternInches) pattern.push_back(CDashedLine::InchesToPixels(ppi, len));

    dc.save();
    // A wide solid pen as GDI makes it: round ends and joins.
    QPen pen(color, n, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    // Collected into one path per pass: a poster page holds thousands of
    // dashes, and one path each keeps the PDF small.
    QPainterPath path;
    QPointF cur;
    CDashedLine line(
        pattern, [&](int x, int y) { cur = QPointF(x, y); },
        [&](int x, int y) {
            path.moveTo(cur);
            path.lineTo(x, y);
            cur = QPointF(x, y);
        });
    for (int pass = 0; pass < n; ++pass) {
        line.MoveTo(rect.left, rect.top);
        line.LineTo(rect.right - 1, rect.top);
        line.LineTo(rect.right - 1, rect.bottom - 1);
        line.LineTo(rect.left, rect.bottom - 1);
        line.LineTo(rect.left, rect.top);
        rect.inflate(-1, -1);
    }
    p->drawPath(path);
    dc.restore();
}

void DrawCutBorder(DeviceContext& dc, const GdiRect& rect)
{
    DrawDashedBorder(dc, rect, Qt::black, {0.03, 0.12}, 1.0 / 150.0);
}
