#pragma once

#include "platform/GdiRect.h"

#include <vector>

// The arithmetic of "Tile Target to Page": how many copies of a target fit on
// the printable area, the largest gaps between them, and where they go.
// Sizes are in hundredths of a millimetre unless said otherwise; gaps the
// user sees are in inches.

// A grid as the target view keeps it: rows, columns and the gaps down and
// across in hundredths of a millimetre.
struct TileGrid {
    int rows = 0;
    int cols = 0;
    int rowSpacing = 0;
    int colSpacing = 0;
    bool operator==(const TileGrid&) const = default;
};

// The model behind the "Tile Target Spacing" dialog.
class TileSpacingModel {
public:
    // w, h: the target as laid out; PW, PH: the printable area.
    void SetLimits(int w, int h, int PW, int PH);
    // Rows or columns of 0 or less mean as many as fit; spacings in
    // hundredths of a millimetre.
    void SetValues(int nRows, int nCols, int nRowSpacing, int nColSpacing);
    void GetValues(int& nRows, int& nCols, int& nRowSpacing, int& nColSpacing) const;

    // The largest gap in inches for a number of copies across or down.
    double MaxColSpacingFor(int cols) const;
    double MaxRowSpacingFor(int rows) const;

    // What the dialog does when the columns (rows) field loses the focus:
    // the largest gap follows the count, and a gap above it is cut to it.
    void SetCols(int cols);
    void SetRows(int rows);

    // The user's choice, held to the limits: counts within 1 .. the maximum,
    // gaps within 0 .. the largest gap for those counts.
    void Choose(int rows, int cols, double rowSpacing, double colSpacing);

    int m_nMaxRows = 1;
    int m_nMaxCols = 1;
    double m_dMaxRowSpacing = 0.0;
    double m_dMaxColSpacing = 0.0;
    int m_nRows = 1;
    int m_nCols = 1;
    double m_dRowSpacing = 0.0;
    double m_dColSpacing = 0.0;

private:
    static double clampSpacing(double spacing, double maximum);

    int m_w = 0;
    int m_h = 0;
    int m_PW = 0;
    int m_PH = 0;
};

// Whether a target of w by h fits on a printable area of PW by PH at least
// twice, side by side or one above the other: what enables the command.
bool TargetFitsTwice(int w, int h, int PW, int PH);

// Whether the dialog is offered at all: the target is smaller than the
// printable area both ways.
bool TileDialogApplies(int w, int h, int PW, int PH);

// The silent recompute: the stored grid as the dialog would propose it for a
// new target size or printable area, taken back without showing the dialog.
TileGrid RecomputeTileGrid(int w, int h, int PW, int PH, const TileGrid& stored);

// Step 4 of the command: the dialog's values are taken into the view's grid.
// The gaps are always taken; rows and columns only when the grid holds more
// than one copy, and the result tells whether the grid mode is entered.
bool TakeTileValues(const TileGrid& chosen, TileGrid& viewGrid);

// The copies of the grid, row by row, each w by h, with gaps sx across and
// sy down, centred on a printable area of pw by ph (all in one unit, device
// pixels for the layouts). The second member is the grid's bounding
// rectangle.
struct TileGridLayout {
    std::vector<GdiRect> copies;
    GdiRect bounds;
};
TileGridLayout LayoutTileGrid(int rows, int cols, int w, int h, int sx, int sy, int pw, int ph);
