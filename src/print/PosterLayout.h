#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

#include "platform/GdiRect.h"

// The user's choices for a poster (Tile Pages to Target). All off gives the
// plain poster: sheets edge to edge, a dashed border and nothing else.
struct PosterOptions {
    int nOverlap = 0;           // glue strip shared by neighbouring sheets, HIMETRIC
    bool bSheetLabels = false;  // place, neighbours, map and alignment crosses
    bool bCentreOnSheet = false;
    bool bSkipEmpty = false;

    bool AnyOn() const { return nOverlap > 0 || bSheetLabels || bCentreOnSheet || bSkipEmpty; }
    bool operator==(const PosterOptions&) const = default;
};

// The band at the top of every sheet that carries the labels, the least
// distance of the central zone from a sheet's edges, the zone of a picture
// (a disc of this diameter about its centre) and the largest glue strip, all
// in HIMETRIC.
constexpr int POSTER_LABEL_BAND = 500;
constexpr int POSTER_CENTRE_MARGIN = 500;
constexpr int POSTER_PICTURE_ZONE = 2500;
constexpr int POSTER_MAX_OVERLAP = 5000;

// What a poster is laid out from, all in one unit (device pixels or
// HIMETRIC).
struct PosterGeometry {
    int w = 0;  // the target
    int h = 0;
    int pw = 0;  // printable area of one sheet
    int ph = 0;
    int overlap = 0;
    int band = 0;  // label band at the top of each sheet
    bool centre = false;
    // Zones to keep on one sheet, inside the target's rectangle (0, 0, w, h),
    // from the largest to the innermost: the poster keeps the largest one
    // that needs no more sheets than the innermost one does.
    std::vector<QRectF> zones;
    int margin = 0;
};

enum class CentreResult { NotAsked, Placed, AddedSheets, CannotFit };

// The sheets of a poster and where the target lies on them. A sheet's poster
// area is its printable area less the band; neighbouring areas share the
// overlap. The assembly's coordinates start at the top-left sheet's area.
struct PosterGrid {
    int cols = 1;
    int rows = 1;
    int cellW = 0;  // a sheet's poster area
    int cellH = 0;
    int stepX = 0;  // from one sheet's area to the next: the area less the overlap
    int stepY = 0;
    int overlap = 0;
    int band = 0;
    int targetX = 0;  // the target's top-left corner in the assembly
    int targetY = 0;
    CentreResult centre = CentreResult::NotAsked;
    QRectF zone;        // the zone kept on one sheet, in the assembly
    int zoneSheet = -1;  // and that sheet

    int Count() const { return rows * cols; }
    int Width() const { return (cols - 1) * stepX + cellW; }
    int Height() const { return (rows - 1) * stepY + cellH; }
    // Poster area of sheet (row, col) in the assembly.
    GdiRect Sheet(int row, int col) const;
};

// Sheets across an extent with areas of cell sharing overlap: 1 when the
// extent fits, else (extent - overlap) / (cell - overlap) rounded up.
int SheetsAcross(int extent, int cell, int overlap);

PosterGrid LayoutPoster(const PosterGeometry& g);

// A sheet's place on the poster: the row's letter (A..Z, then AA..) and the
// column's number from 1, as "B3".
QString SheetLabel(int row, int col);

// Which sheets the target draws no ink on. ink is the target drawn small
// into an image that covers its rectangle; a pixel with any channel below
// 240 is ink (the near-white of a scanned picture is not). The top-left and the top-right sheet (title and maker's line) are
// never empty.
std::vector<bool> FindEmptySheets(const PosterGrid& grid, int w, int h, const QImage& ink);

// Printed page (1-based) to sheet index, skipping the empty sheets; -1
// outside the job.
int SheetOfPage(const std::vector<bool>& empty, int count, int page);
