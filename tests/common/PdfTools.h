#pragma once
// Reading PDFs the tests print, through poppler's command-line tools.

#include <QImage>
#include <QList>
#include <QRectF>
#include <QPair>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Poppler helpers; they return empty results when the tool is missing.
bool HavePoppler();
// Rasterises one page at dpi, as 8-bit grey or in colour.
QImage RasterisePdfPage(const QString& pdf, int page, int dpi, bool colour = false);
int PdfPageCount(const QString& pdf);
// The size of page 1 in points, as pdfinfo reports it.
QSizeF PdfPageSizePoints(const QString& pdf);
// Dark pixels of every page of a PDF rasterised at dpi, in square inches.
double PdfDarkSquareInches(const QString& pdf, int dpi);
QString PdfText(const QString& pdf, int page);
// The output of pdfimages -list (a header of two lines, then one per image).
QStringList PdfImageList(const QString& pdf);

// Whether a PDF asks viewers to print at actual size: the catalog in force
// (the last one in the file) holds /PrintScaling /None, and poppler reads
// the whole file, updates included, without a complaint.
bool PdfAsksActualSize(const QString& pdf);
// The dark pixels of page 1 rasterised at dpi, as a rectangle in inches
// from the sheet's corner; empty when the page is blank.
QRectF PdfDarkBoundsInches(const QString& pdf, int dpi);

// Black pixel runs along a row or a column of a grey image: (start, length).
QList<QPair<int, int>> DarkRunsInRow(const QImage& image, int y, int from, int to);
QList<QPair<int, int>> DarkRunsInColumn(const QImage& image, int x, int from, int to);
// The distance between the centres of the first and the last run: where two
// ticks are, the length between them; -1 without two runs.
double DarkRunSpan(const QList<QPair<int, int>>& runs);
// The longest dark runs along the middle row and the middle column: the
// width and height of a solid shape across the page's centre, in pixels.
QSize CentreDarkExtent(const QImage& image);
