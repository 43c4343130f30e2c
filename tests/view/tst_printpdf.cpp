#include <QtTest>

#include <QImageReader>
#include <QPrinter>
#include <QTemporaryDir>

#include "MakerLine.h"
#include "helper_target.h"
#include "print/PrintCaptions.h"
#include "print/PrintJob.h"

// The whole print path of a target window into a PDF, measured the way a
// ruler would: rasterised at 600 dpi, the target's extent counted in pixels.
class TestPrintPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void actualSize_data();
    void actualSize();
    void poster();
    void scaleToPage();
    void distanceCaptions();

private:
    QString print(SolidTargetView& v, const QString& name, QPageSize::PageSizeId paper, int dpi, int* pages);
    QTemporaryDir m_dir;
};

void TestPrintPdf::initTestCase()
{
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    QVERIFY(m_dir.isValid());
    // A letter page at 600 dpi is larger than the default reading limit.
    QImageReader::setAllocationLimit(1024);
}

QString TestPrintPdf::print(SolidTargetView& v, const QString& name, QPageSize::PageSizeId paper, int dpi,
                            int* pages)
{
    const QString out = m_dir.filePath(name);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, out, paper, dpi);
    PrinterPageMetrics him;
    PrinterPageMetrics dev;
    int ppi = 0;
    GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, him);
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, dev, &ppi);
    v.SetStoredMetrics(him);
    v.ChooseAutomaticPoster();
    *pages = v.PrintPageCount(dev, ppi, ppi);
    if (!PrintTargetPages(printer, v, 1, *pages)) return QString();
    return out;
}

void TestPrintPdf::actualSize_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<QSize>("printable600");  // printable area in 600-dpi pixels
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QString>("maker");  // the maker's line of the settings, none when empty
    const QString club = QStringLiteral("Kingston Rifle Club");
    QTest::newRow("7 x 9 in letter 600") << int(QPageSize::Letter) << 600 << 7.0 << 9.0 << QSize(4800, 6300) << 1
                                         << club;
    QTest::newRow("5 x 5 in letter 600") << int(QPageSize::Letter) << 600 << 5.0 << 5.0 << QSize(4800, 6300) << 1
                                         << QString();
    QTest::newRow("6 x 8 in A4 600") << int(QPageSize::A4) << 600 << 6.0 << 8.0 << QSize(4658, 6717) << 1 << club;
    QTest::newRow("7 x 9 in letter 300") << int(QPageSize::Letter) << 300 << 7.0 << 9.0 << QSize(4800, 6300) << 2
                                         << QString();
}

void TestPrintPdf::actualSize()
{
    QFETCH(int, paper);
    QFETCH(int, dpi);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(QSize, printable600);
    QFETCH(int, tolerance);
    QFETCH(QString, maker);
    QVERIFY(SetMakerLine(maker));
    SolidTargetView v(QSize(inchHim(w), inchHim(h)));
    int pages = 0;
    const QString pdf = print(v, QStringLiteral("actual.pdf"), QPageSize::PageSizeId(paper), dpi, &pages);
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(pages, 1);
    QCOMPARE(PdfPageCount(pdf), 1);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    QVERIFY(!img.isNull());

    const int wPx = qRound(w * 600);
    const int hPx = qRound(h * 600);
    const int left = 150 + (printable600.width() - wPx) / 2;
    const int top = 150 + (printable600.height() - hPx) / 2;
    const auto row = DarkRunsInRow(img, top + hPx / 2, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY2(qAbs(row[0].first - left) <= tolerance, qPrintable(QString::number(row[0].first)));
    QVERIFY2(qAbs(row[0].second - wPx) <= tolerance, qPrintable(QString::number(row[0].second)));
    const auto col = DarkRunsInColumn(img, left + wPx / 2, 300, img.height());
    QCOMPARE(col.size(), 1);
    QVERIFY2(qAbs(col[0].first - top) <= tolerance, qPrintable(QString::number(col[0].first)));
    QVERIFY2(qAbs(col[0].second - hPx) <= tolerance, qPrintable(QString::number(col[0].second)));

    const QString text = PdfText(pdf, 1);
    QVERIFY(text.contains(QStringLiteral("Solid Target - Vantric")));
    if (!maker.isEmpty()) QVERIFY(text.contains(maker));
    // Nothing at the top right without a maker's line: the title is the only text.
    if (maker.isEmpty()) QCOMPARE(text.simplified(), QStringLiteral("Solid Target - Vantric"));
    QVERIFY(!text.contains(QStringLiteral("SCALED")));
    // Drawn as vectors: no image at all in the file.
    QCOMPARE(PdfImageList(pdf).size(), 2);
}

void TestPrintPdf::poster()
{
    // 10 x 12 in on letter with quarter-inch margins: 2 x 2 sheets, chosen
    // automatically; the target at (1800, 2700) of the 9600 x 12600 assembly.
    const QString addr = QStringLiteral("Kingston Rifle Club");
    QVERIFY(SetMakerLine(addr));
    SolidTargetView v(QSize(25400, 30480));
    int pages = 0;
    const QString pdf = print(v, QStringLiteral("poster.pdf"), QPageSize::Letter, 600, &pages);
    QCOMPARE(v.m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(pages, 4);
    QCOMPARE(PdfPageCount(pdf), 4);

    const QString title = QStringLiteral("Solid Target - Vantric");
    int across = 0;
    int down = 0;
    for (int page = 1; page <= 4; ++page) {
        const QString text = PdfText(pdf, page);
        QCOMPARE(text.contains(title), page == 1);
        QCOMPARE(text.contains(addr), page == 2);

        const QImage img = RasterisePdfPage(pdf, page, 600);
        QVERIFY(!img.isNull());
        // Dashed border 2 pixels inside the printable area: along the top
        // edge (where neither the target nor a caption lies) a dash every
        // 90 pixels, 18 long plus the passes' offsets and round ends.
        static const int from[4] = {1000, 400, 400, 3200};
        static const int to[4] = {3500, 3500, 1900, 4900};
        const auto dashes = DarkRunsInRow(img, 153, from[page - 1], to[page - 1]);
        QVERIFY2(dashes.size() >= 14, qPrintable(QString::number(dashes.size())));
        for (int i = 1; i < dashes.size() - 1; ++i) {
            QVERIFY2(dashes[i].second >= 18 && dashes[i].second <= 28, qPrintable(QString::number(dashes[i].second)));
            QCOMPARE(dashes[i].first - dashes[i - 1].first, 90);
        }
        // The border's band: 4 passes of a 4-pixel pen, one pixel apart: rows 150 to 156.
        const int x = dashes[1].first + 8;
        QCOMPARE(DarkRunsInColumn(img, x, 140, 170), (QList<QPair<int, int>>{{150, 7}}));
        // Nothing is drawn in the margin: the clip is the printable area.
        QVERIFY(DarkRunsInRow(img, 5000, 4951, img.width()).isEmpty());
        QVERIFY(DarkRunsInRow(img, 5000, 0, 150).isEmpty());

        // The target's share of the poster on this sheet.
        const int y = page <= 2 ? 5000 : 1500;
        const auto row = DarkRunsInRow(img, y, 160, 4940);
        QCOMPARE(row.size(), 1);
        if (page == 1) {
            QVERIFY(qAbs(row[0].first - 1950) <= 1);
            across += 4940 - row[0].first + 10;
        } else if (page == 2) {
            QCOMPARE(row[0].first, 160);
            across += row[0].first + row[0].second - 150;
        }
        if (page == 1 || page == 3) {
            const auto col = DarkRunsInColumn(img, 3000, 160, 6440);
            QCOMPARE(col.size(), 1);
            if (page == 1) {
                QVERIFY(qAbs(col[0].first - 2850) <= 1);
                down += 6440 - col[0].first + 10;
            } else {
                down += col[0].first + col[0].second - 150;
            }
        }
    }
    // The sheets put together give the target's size.
    QVERIFY2(qAbs(across - 6000) <= 1, qPrintable(QString::number(across)));
    QVERIFY2(qAbs(down - 7200) <= 1, qPrintable(QString::number(down)));
}

void TestPrintPdf::scaleToPage()
{
    SolidTargetView v(QSize(inchHim(16), inchHim(20)));
    v.UseLetterQuarterInch();
    v.m_modes = ViewModes(SCALE_TO_PAGE, v.m_modes.Tile(), v.m_modes.SavedTile());
    int pages = 0;
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = m_dir.filePath(QStringLiteral("fit.pdf"));
    SetUpPdfPrinter(printer, pdf, QPageSize::Letter, 600);
    PrinterPageMetrics dev;
    PrinterPageMetrics him;
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, dev);
    GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, him);
    v.SetStoredMetrics(him);
    pages = v.PrintPageCount(dev, 600, 600);
    QCOMPARE(pages, 1);
    QVERIFY(PrintTargetPages(printer, v, 1, 1));
    QVERIFY2(PdfText(pdf, 1).contains(QStringLiteral("SCALED TO FIT PAPER = 50%")), qPrintable(PdfText(pdf, 1)));
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    // 4800 x 6000: the full printable width, centred in height.
    const auto row = DarkRunsInRow(img, 3300, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY(qAbs(row[0].first - 150) <= 1);
    QVERIFY(qAbs(row[0].second - 4800) <= 1);
    const auto col = DarkRunsInColumn(img, 2550, 0, img.height());
    QVERIFY(!col.isEmpty());
    QVERIFY(qAbs(col.last().first - 300) <= 1);
    QVERIFY(qAbs(col.last().second - 6000) <= 1);
}

void TestPrintPdf::distanceCaptions()
{
    SolidTargetView v(QSize(inchHim(10), inchHim(10)));
    v.m_modes = ViewModes(SCALE_FOR_DISTANCE, v.m_modes.Tile(), v.m_modes.SavedTile());
    v.m_dDistanceScale = 0.25;
    v.m_dShooterDistance = 25;
    v.m_dTargetDistance = 100;
    v.m_strShooterUnit = QStringLiteral("yds.");
    v.m_strTargetUnit = QStringLiteral("yds.");
    int pages = 0;
    const QString pdf = print(v, QStringLiteral("distance.pdf"), QPageSize::Letter, 600, &pages);
    QCOMPARE(pages, 1);
    const QString text = PdfText(pdf, 1);
    QVERIFY2(text.contains(QStringLiteral("SCALED FOR DISTANCE")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Shooting Distance:")));
    QVERIFY(text.contains(QStringLiteral("25.0 yds.")));
    QVERIFY(text.contains(QStringLiteral("Scaled Target Distance:")));
    QVERIFY(text.contains(QStringLiteral("100 yds.")));
    // 2.5 inches on paper.
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(img, 3300, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY(qAbs(row[0].second - 1500) <= 1);
    QVERIFY(qAbs(row[0].first - (150 + 1650)) <= 1);
}

QTEST_MAIN(TestPrintPdf)
#include "tst_printpdf.moc"
