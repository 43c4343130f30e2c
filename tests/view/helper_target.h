#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include "view/TargetViewState.h"

// A target window state whose target is a solid black rectangle of a chosen
// HIMETRIC size: what it draws is exactly the rectangle it is given, so
// measured extents on paper are the layout's.
class SolidTargetView : public TargetViewState {
public:
    explicit SolidTargetView(QSize himetric = QSize(25400, 25400), int kind = 1);

    TargetImage* Target() const override { return nullptr; }
    QString DocumentTitle() const override { return m_title; }
    int TargetKind() const override { return m_kind; }
    QSize TargetSizeHimetric() const override { return m_size; }
    bool DrawTarget(DeviceContext& dc, const GdiRect& rect) override;

    // Letter paper at 600 dpi with a quarter-inch margin, in HIMETRIC.
    void UseLetterQuarterInch();

    QSize m_size;
    int m_kind;
    QString m_title = QStringLiteral("Solid Target");
    int m_nDraws = 0;
};

// Inches to HIMETRIC.
constexpr int inchHim(double inches) { return static_cast<int>(inches * 2540.0 + 0.5); }

// Writes a ring design of one filled black square of the given side in
// inches, with no outline: the design's extent is exactly its side.
bool WriteSquareDesign(const QString& path, double inches);

// Poppler helpers; they return empty results when the tool is missing.
bool HavePoppler();
// Rasterises one page at dpi as 8-bit grey.
QImage RasterisePdfPage(const QString& pdf, int page, int dpi);
int PdfPageCount(const QString& pdf);
// The size of page 1 in points, as pdfinfo reports it.
QSizeF PdfPageSizePoints(const QString& pdf);
// Dark pixels of every page of a PDF rasterised at dpi, in square inches.
double PdfDarkSquareInches(const QString& pdf, int dpi);
QString PdfText(const QString& pdf, int page);
// The output of pdfimages -list (a header of two lines, then one per image).
QStringList PdfImageList(const QString& pdf);

// Black pixel runs along a row or a column of a grey image: (start, length).
QList<QPair<int, int>> DarkRunsInRow(const QImage& image, int y, int from, int to);
QList<QPair<int, int>> DarkRunsInColumn(const QImage& image, int x, int from, int to);
