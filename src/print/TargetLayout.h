#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

#include <vector>

#include "platform/GdiRect.h"
#include "print/PageMetrics.h"
#include "print/PosterLayout.h"

// Scale modes of a target view.
constexpr int SCALE_ACTUAL = 0;
constexpr int SCALE_TO_PAGE = 1;
constexpr int SCALE_FOR_DISTANCE = 2;

// Tile modes of a target view.
constexpr int TILE_NONE = 0;
constexpr int TILE_PAGES_TO_TARGET = 1;  // one target over several sheets (a poster)
constexpr int TILE_TARGET_TO_PAGE = 2;   // a grid of copies on one sheet

// One complete arrangement of a page, in the pixels of one device.
struct TargetLayout {
    std::vector<GdiRect> m_arrTargets;  // one per copy, row by row
    GdiRect m_rcTargets;                // bounding rectangle of the targets
    int m_nTargetRows = 1;
    int m_nTargetCols = 1;
    GdiRect m_rcPaper;
    GdiRect m_rcPrintable;  // for a poster the union of all sheets
    double m_dFitScale = 1.0;
    std::vector<GdiRect> m_arrPages;  // one per sheet, row by row
    int m_nPageRows = 1;
    int m_nPageCols = 1;
    // A poster with options: the sheets left out (none unless asked), the
    // glue strip and the label band in this layout's pixels, the sheet a
    // printed page shows (-1 for none) and whether the centre found a sheet.
    std::vector<bool> m_arrEmpty;
    int m_nOverlap = 0;
    int m_nLabelBand = 0;
    int m_nCurSheet = -1;
    CentreResult m_centre = CentreResult::NotAsked;
    GdiRect m_rcZone;  // the centre kept on one sheet, where it lands
    int m_nZoneSheet = -1;

    int SheetCount() const { return m_nPageRows * m_nPageCols; }
    int EmptyCount() const;
    // Pages of the job: the sheets less the ones left out.
    int PageCount() const { return SheetCount() - EmptyCount(); }
    bool IsEmptySheet(int index) const;
};

// What a layout needs to know about the target and the view's modes.
struct TargetLayoutInput {
    QSize sizeTarget;   // layout size of the target, HIMETRIC
    int nScaleMode = SCALE_ACTUAL;
    int nTileMode = TILE_NONE;
    int nTileRows = 0;
    int nTileCols = 0;
    int nRowSpacing = 0;  // HIMETRIC
    int nColSpacing = 0;  // HIMETRIC
    PosterOptions poster;
    std::vector<QRectF> zones;    // central zones in the target's rectangle, HIMETRIC, largest first
    const QImage* ink = nullptr;  // the target drawn small, for finding empty sheets
};

// HIMETRIC to device pixels, rounded to the nearest pixel (halves away
// from zero).
int HimetricToPixels(int himetric, int pixelsPerInch);

// Sheets needed for an extent: extent / page plus one for a remainder when
// the extent exceeds the page, else 1.
int PagesAcross(int extent, int page);

// Layout of printed page nCurPage (1-based) into layout, in the printer's
// pixels with the origin at the top-left corner of its printable area.
// device holds the printer's metrics in device pixels.
void LayoutPrintPage(TargetLayout& layout, const TargetLayoutInput& input,
                     const PrinterPageMetrics& device, int dpiX, int dpiY, int nCurPage);

// Screen arrangement for a screen of the given resolution. printer holds the
// stored printer metrics in HIMETRIC. bFit selects the fit zoom for a client
// area of sizeClient; otherwise dZoom applies with a 16-pixel margin.
// Returns the laid-out extent (the scroll size is its width and height).
GdiRect LayoutScreen(TargetLayout& layout, const TargetLayoutInput& input,
                     const PrinterPageMetrics& printer, int dpiX, int dpiY, double dZoom, bool bFit,
                     QSize sizeClient);

// Lowers a print dialog's range until its last page is within nMaxPage, as
// 3..5 with 2 pages becomes 1..2.
void ClampPageRange(int& nFromPage, int& nToPage, int nMaxPage);
