#include <QtTest>

#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "MakerLine.h"
#include "helper_target.h"
#include "print/PrintCaptions.h"
#include "print/PrintJob.h"

namespace {

// A solid target, or one that inks only a triangle in its top-left corner
// (0.8 of its width along the top, 0.8 of its height down the left), so that
// a poster of it has an empty sheet at the bottom right.
class ShapeTargetView : public SolidTargetView {
public:
    using SolidTargetView::SolidTargetView;
    bool DrawTarget(DeviceContext& dc, const GdiRect& r) override
    {
        if (!m_bTriangle) return SolidTargetView::DrawTarget(dc, r);
        QPainter* p = dc.painter();
        p->setPen(Qt::NoPen);
        p->setBrush(Qt::black);
        const QPointF pts[3] = {QPointF(r.left, r.top), QPointF(r.left + 0.8 * r.width(), r.top),
                                QPointF(r.left, r.top + 0.8 * r.height())};
        p->drawPolygon(pts, 3);
        return true;
    }
    bool m_bTriangle = false;
};

// The longest dark run of a row or a column: (start, length).
QPair<int, int> longest(const QList<QPair<int, int>>& runs)
{
    QPair<int, int> best(-1, 0);
    for (const auto& r : runs)
        if (r.second > best.second) best = r;
    return best;
}

}  // namespace

// The sheets of a poster PDF put together as a user glues them: each sheet's
// part of the poster (its printable area less the label band) laid at its
// column and row times the sheet less the overlap, the overlaps counted
// once. What comes out must be the whole target at its size.
class TestPosterPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void assembly_data();
    void assembly();

private:
    QTemporaryDir m_dir;
};

void TestPosterPdf::initTestCase()
{
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    QVERIFY(m_dir.isValid());
    QImageReader::setAllocationLimit(1024);
    QVERIFY(SetMakerLine(QStringLiteral("Poster Test Club")));
}

void TestPosterPdf::assembly_data()
{
    QTest::addColumn<QSizeF>("inches");
    QTest::addColumn<int>("overlapMm");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<bool>("centre");
    QTest::addColumn<bool>("triangle");  // and leave out empty sheets
    QTest::addColumn<QSize>("grid");
    QTest::addColumn<int>("pages");
    // Letter with quarter-inch margins at 200 dpi: sheets of 1600 x 2100.
    QTest::newRow("plain") << QSizeF(12, 15) << 0 << false << false << false << QSize(2, 2) << 4;
    QTest::newRow("overlap 10 mm") << QSizeF(12, 15) << 10 << false << false << false << QSize(2, 2) << 4;
    QTest::newRow("overlap adds a column") << QSizeF(15.9, 8) << 10 << false << false << false << QSize(3, 1) << 3;
    QTest::newRow("labels and overlap") << QSizeF(12, 20.8) << 5 << true << false << false << QSize(2, 3) << 6;
    QTest::newRow("centre on a sheet") << QSizeF(12, 15) << 0 << false << true << false << QSize(2, 2) << 4;
    QTest::newRow("empty sheet left out") << QSizeF(12, 15) << 10 << true << false << true << QSize(2, 2) << 3;
}

void TestPosterPdf::assembly()
{
    QFETCH(QSizeF, inches);
    QFETCH(int, overlapMm);
    QFETCH(bool, labels);
    QFETCH(bool, centre);
    QFETCH(bool, triangle);
    QFETCH(QSize, grid);
    QFETCH(int, pages);
    constexpr int dpi = 200;

    ShapeTargetView v(QSize(inchHim(inches.width()), inchHim(inches.height())));
    v.m_bTriangle = triangle;
    v.m_poster.nOverlap = overlapMm * 100;
    v.m_poster.bSheetLabels = labels;
    v.m_poster.bCentreOnSheet = centre;
    v.m_poster.bSkipEmpty = triangle;
    const QString pdf = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, QPageSize::Letter, dpi);
    TakeJobPrinter(printer, v);
    v.ChooseAutomaticPoster();
    QCOMPARE(v.m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(TakeJobPrinter(printer, v), pages);
    QVERIFY(PrintTargetPages(printer, v, 1, pages));
    QCOMPARE(PdfPageCount(pdf), pages);
    QCOMPARE(QSize(v.m_layoutPrint.m_nPageCols, v.m_layoutPrint.m_nPageRows), grid);

    // The window shows the same sheets.
    v.LayoutForScreen(96, 96, QSize(800, 600));
    QCOMPARE(QSize(v.m_layoutScreen.m_nPageCols, v.m_layoutScreen.m_nPageRows), grid);
    QCOMPARE(v.m_layoutScreen.PageCount(), pages);

    // The physical sheet, as a ruler gives it: the margin, the band, the
    // overlap, in this resolution's pixels.
    const int margin = dpi / 4;
    const QSize printable(8 * dpi, qRound(10.5 * dpi));
    const int band = labels ? qRound(5.0 / 25.4 * dpi) : 0;
    const int o = qRound(overlapMm / 25.4 * dpi);
    const QSize cell(printable.width(), printable.height() - band);
    const QSize step(cell.width() - o, cell.height() - o);
    QImage canvas((grid.width() - 1) * step.width() + cell.width(), (grid.height() - 1) * step.height() + cell.height(),
                  QImage::Format_Grayscale8);
    canvas.fill(255);
    const QString title = QStringLiteral("Solid Target - Vantric");
    const QString maker = QStringLiteral("Poster Test Club");
    PrinterPageMetrics device;
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, device);
    for (int page = 1; page <= pages; ++page) {
        v.m_nCurPage = page;
        v.LayoutForPrinter(device, dpi, dpi);
        const int sheet = v.m_layoutPrint.m_nCurSheet;
        QVERIFY(sheet >= 0 && !v.m_layoutPrint.IsEmptySheet(sheet));
        const int row = sheet / grid.width();
        const int col = sheet % grid.width();
        // The title on the top-left sheet, the maker's line on the top-right
        // one, whatever number they print as; labels name the grid's place.
        const QString text = PdfText(pdf, page);
        QCOMPARE(text.contains(title), sheet == 0);
        QCOMPARE(text.contains(maker), sheet == grid.width() - 1);
        if (labels) QVERIFY2(text.contains(SheetLabel(row, col)), qPrintable(text));

        const QImage img = RasterisePdfPage(pdf, page, dpi);
        QVERIFY(!img.isNull());
        // Everything on the sheet's part of the poster, darkest wins.
        for (int y = 0; y < cell.height(); ++y) {
            const uchar* src = img.constScanLine(margin + band + y) + margin;
            uchar* dst = canvas.scanLine(row * step.height() + y) + col * step.width();
            for (int x = 0; x < cell.width(); ++x) dst[x] = std::min(dst[x], src[x]);
        }
    }

    // Across and down the middle of the target (the left edge of the
    // triangle), the ink is the target's size: nothing lost, nothing twice.
    const QSize size(qRound(inches.width() * dpi), qRound(inches.height() * dpi));
    const QSize expect = triangle ? QSize(qRound(0.8 * size.width()), qRound(0.8 * size.height())) : size;
    const int probeY = triangle ? -1 : canvas.height() / 2;
    const auto down = longest(DarkRunsInColumn(canvas, canvas.width() / 2, 0, canvas.height()));
    int left = -1;
    if (triangle) {
        // The triangle's top row and left column.
        int top = -1;
        for (int y = 0; y < canvas.height() && top < 0; ++y)
            if (longest(DarkRunsInRow(canvas, y, 0, canvas.width())).second > expect.width() / 2) top = y;
        QVERIFY(top >= 0);
        const auto across = longest(DarkRunsInRow(canvas, top + 1, 0, canvas.width()));
        QVERIFY2(qAbs(across.second - expect.width()) <= 3, qPrintable(QString::number(across.second)));
        left = across.first;
        const auto leftCol = longest(DarkRunsInColumn(canvas, left + 1, 0, canvas.height()));
        QVERIFY2(qAbs(leftCol.second - expect.height()) <= 3, qPrintable(QString::number(leftCol.second)));
    } else {
        const auto across = longest(DarkRunsInRow(canvas, probeY, 0, canvas.width()));
        QVERIFY2(qAbs(across.second - expect.width()) <= 2, qPrintable(QString::number(across.second)));
        QVERIFY2(qAbs(down.second - expect.height()) <= 2, qPrintable(QString::number(down.second)));
        left = across.first;
    }

    if (centre) {
        // The 25 mm disc about the centre lies on one sheet, 5 mm clear of
        // its edges.
        const double r = 12.5 / 25.4 * dpi + 5.0 / 25.4 * dpi;
        const double cx = left + size.width() / 2.0;
        const double cy = down.first + size.height() / 2.0;
        auto onOne = [](double c, double r, int stepLen, int cellLen, int count) {
            for (int k = 0; k < count; ++k)
                if (c - r >= k * stepLen - 1 && c + r <= k * stepLen + cellLen + 1) return true;
            return false;
        };
        QVERIFY(onOne(cx, r, step.width(), cell.width(), grid.width()));
        QVERIFY(onOne(cy, r, step.height(), cell.height(), grid.height()));
    }
}

QTEST_MAIN(TestPosterPdf)
#include "tst_posterpdf.moc"
