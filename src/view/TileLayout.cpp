#include "view/TileLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/Units.h"

namespace {

// How many times a length fits into a span, at least once; a length of 0 or
// less (a target without a picture) counts as fitting once.
int fitCount(int span, int length)
{
    if (length <= 0)
        return 1;
    return std::max(span / length, 1);
}

// Inches back to hundredths of a millimetre, truncated toward zero. A gap
// that came in as whole hundredths (12000 / 2540) must come back as the same
// number, not one less for the rounding of the division.
int inchesToHimetric(double inches)
{
    const double value = Units::InchesToHimetric(inches);
    if (!(value == value))
        return 0;
    const double nudged = value + (value >= 0 ? 1e-7 : -1e-7);
    return int(std::clamp(std::trunc(nudged), -2147483648.0, 2147483647.0));
}

}  // namespace

void TileSpacingModel::SetLimits(int w, int h, int PW, int PH)
{
    m_w = w;
    m_h = h;
    m_PW = PW;
    m_PH = PH;
    m_dMaxColSpacing = PW > 2 * std::int64_t(w) ? Units::HimetricToInches(PW - 2 * std::int64_t(w)) : 0.0;
    m_dMaxRowSpacing = PH > 2 * std::int64_t(h) ? Units::HimetricToInches(PH - 2 * std::int64_t(h)) : 0.0;
    m_nMaxCols = fitCount(PW, w);
    m_nMaxRows = fitCount(PH, h);
    m_dColSpacing = 0.0;
    m_dRowSpacing = 0.0;
}

double TileSpacingModel::MaxColSpacingFor(int cols) const
{
    cols = std::max(cols, 1);
    return Units::HimetricToInches(m_PW - std::int64_t(cols) * m_w) / cols;
}

double TileSpacingModel::MaxRowSpacingFor(int rows) const
{
    rows = std::max(rows, 1);
    return Units::HimetricToInches(m_PH - std::int64_t(rows) * m_h) / rows;
}

double TileSpacingModel::clampSpacing(double spacing, double maximum)
{
    spacing = std::min(spacing, maximum);
    return spacing > 0.0 ? spacing : 0.0;
}

void TileSpacingModel::SetValues(int nRows, int nCols, int nRowSpacing, int nColSpacing)
{
    m_nRows = nRows <= 0 ? m_nMaxRows : std::clamp(nRows, 1, m_nMaxRows);
    m_nCols = nCols <= 0 ? m_nMaxCols : std::clamp(nCols, 1, m_nMaxCols);
    m_dMaxColSpacing = MaxColSpacingFor(m_nCols);
    m_dColSpacing = clampSpacing(Units::HimetricToInches(nColSpacing), m_dMaxColSpacing);
    m_dMaxRowSpacing = MaxRowSpacingFor(m_nRows);
    m_dRowSpacing = clampSpacing(Units::HimetricToInches(nRowSpacing), m_dMaxRowSpacing);
}

void TileSpacingModel::SetCols(int cols)
{
    m_nCols = cols;
    m_dMaxColSpacing = MaxColSpacingFor(cols);
    if (m_dColSpacing > m_dMaxColSpacing)
        m_dColSpacing = m_dMaxColSpacing;
}

void TileSpacingModel::SetRows(int rows)
{
    m_nRows = rows;
    m_dMaxRowSpacing = MaxRowSpacingFor(rows);
    if (m_dRowSpacing > m_dMaxRowSpacing)
        m_dRowSpacing = m_dMaxRowSpacing;
}

void TileSpacingModel::Choose(int rows, int cols, double rowSpacing, double colSpacing)
{
    m_nRows = std::clamp(rows, 1, m_nMaxRows);
    m_nCols = std::clamp(cols, 1, m_nMaxCols);
    m_dMaxRowSpacing = MaxRowSpacingFor(m_nRows);
    m_dMaxColSpacing = MaxColSpacingFor(m_nCols);
    m_dRowSpacing = clampSpacing(rowSpacing, m_dMaxRowSpacing);
    m_dColSpacing = clampSpacing(colSpacing, m_dMaxColSpacing);
}

void TileSpacingModel::GetValues(int& nRows, int& nCols, int& nRowSpacing, int& nColSpacing) const
{
    nRows = m_nRows;
    nCols = m_nCols;
    nRowSpacing = inchesToHimetric(m_dRowSpacing);
    nColSpacing = inchesToHimetric(m_dColSpacing);
}

bool TargetFitsTwice(int w, int h, int PW, int PH)
{
    return PW > w && PH > h && (PW > 2 * w || PH > 2 * h);
}

bool TileDialogApplies(int w, int h, int PW, int PH)
{
    return w < PW && h < PH;
}

TileGrid RecomputeTileGrid(int w, int h, int PW, int PH, const TileGrid& stored)
{
    TileSpacingModel model;
    model.SetLimits(w, h, PW, PH);
    model.SetValues(stored.rows, stored.cols, stored.rowSpacing, stored.colSpacing);
    TileGrid grid;
    model.GetValues(grid.rows, grid.cols, grid.rowSpacing, grid.colSpacing);
    return grid;
}

bool TakeTileValues(const TileGrid& chosen, TileGrid& viewGrid)
{
    viewGrid.rowSpacing = chosen.rowSpacing;
    viewGrid.colSpacing = chosen.colSpacing;
    if (chosen.rows > 1 || chosen.cols > 1) {
        viewGrid.rows = chosen.rows;
        viewGrid.cols = chosen.cols;
        return true;
    }
    return false;
}

TileGridLayout LayoutTileGrid(int rows, int cols, int w, int h, int sx, int sy, int pw, int ph)
{
    TileGridLayout layout;
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    layout.copies.reserve(std::size_t(rows) * std::size_t(cols));
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            const int x = j * (w + sx);
            const int y = i * (h + sy);
            const GdiRect copy(x, y, x + w, y + h);
            layout.copies.push_back(copy);
            layout.bounds = layout.bounds.united(copy);
        }
    }
    // Integer division truncates toward zero, also for a grid wider than
    // the area, which then hangs over both sides equally.
    const int dx = (pw - layout.bounds.right) / 2;
    const int dy = (ph - layout.bounds.bottom) / 2;
    for (GdiRect& copy : layout.copies)
        copy.offset(dx, dy);
    layout.bounds.offset(dx, dy);
    return layout;
}
