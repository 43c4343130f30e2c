// The window shows what prints: for every paper and orientation of the
// application's printer the stored metrics, the screen's sheets, the job's
// pages and the PDF agree, and a job laid out for another paper than the
// stored one prints all of the target.
#include <QtTest>

#include <QPrinter>
#include <QTemporaryDir>

#include "helper_target.h"
#include "platform/MessageBox.h"
#include "platform/ui/WinApp.h"
#include "print/PrintJob.h"
#include "print/PrinterSettings.h"

namespace {

// Pages are rasterised this coarsely to count dark area.
constexpr int AREA_DPI = 50;

QSize himetric(QSizeF inches) { return QSize(inchHim(inches.width()), inchHim(inches.height())); }

void compareArea(const QString& pdf, QSizeF inches)
{
    const double area = PdfDarkSquareInches(pdf, AREA_DPI);
    const double expected = inches.width() * inches.height();
    const QSizeF sheet = PdfPageSizePoints(pdf);
    qInfo("%s: %d pages of %.1f x %.1f pt, %.2f sq in of target (%.2f expected)", QTest::currentDataTag(),
          PdfPageCount(pdf), sheet.width(), sheet.height(), area, expected);
    QVERIFY2(qAbs(area - expected) <= 0.02 * expected,
             qPrintable(QStringLiteral("%1 sq in printed, %2 expected").arg(area).arg(expected)));
}

}  // namespace

// The application's printer as a window's keeper of it.
struct AppPrinter : PrinterHost {
    PrinterSettings CurrentPrinter() override { return settings; }
    void AdoptPrinter(const PrinterSettings& chosen) override { settings = chosen; }
    PrinterSettings settings;
};

class TestPrintPaper : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void applicationPrinterPaper_data();
    void applicationPrinterPaper();
    void jobFollowsChosenPaper_data();
    void jobFollowsChosenPaper();

private:
    QTemporaryDir m_dir;
    CWinApp* m_app = nullptr;
};

void TestPrintPaper::initTestCase()
{
    MessageLog::setEcho(false);
    QVERIFY(m_dir.isValid());
    if (!HavePoppler()) QSKIP("poppler-utils are not installed");
    m_app = new CWinApp;
}

void TestPrintPaper::cleanupTestCase() { delete m_app; }

void TestPrintPaper::applicationPrinterPaper_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QSizeF>("target");  // inches
    QTest::addColumn<int>("pages");
    const QSizeF poster(20, 16), fits(5, 4);
    const struct { const char* name; QPageSize::PageSizeId id; int portraitPages; int landscapePages; } papers[] = {
        // A4 across prints 7.77 in high inside its quarter-inch margins: three rows.
        {"Letter", QPageSize::Letter, 6, 4}, {"A4", QPageSize::A4, 6, 6}, {"Legal", QPageSize::Legal, 6, 4}};
    for (const auto& p : papers) {
        for (bool landscape : {false, true}) {
            const char* orient = landscape ? "landscape" : "portrait";
            QTest::addRow("%s %s poster", p.name, orient)
                << int(p.id) << landscape << poster << (landscape ? p.landscapePages : p.portraitPages);
            QTest::addRow("%s %s fits", p.name, orient) << int(p.id) << landscape << fits << 1;
        }
    }
}

void TestPrintPaper::applicationPrinterPaper()
{
    QFETCH(int, paper);
    QFETCH(bool, landscape);
    QFETCH(QSizeF, target);
    QFETCH(int, pages);
    const QString pdf = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".pdf"));
    AppPrinter host;
    PrinterSettings& settings = host.settings;
    settings.outputFile = pdf;
    settings.pageSize = QPageSize(QPageSize::PageSizeId(paper));
    settings.orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;

    // The window: first update on the application's printer.
    SolidTargetView view(himetric(target));
    view.SetPrinterHost(&host);
    view.ReadDefaultPrinterMetrics();
    view.ChooseAutomaticPoster();
    view.LayoutForScreen(96, 96, QSize(800, 600));
    const PrinterPageMetrics shown = view.StoredMetrics();
    QCOMPARE(view.m_layoutScreen.PageCount(), pages);

    // The job on that printer, with the pages the window shows.
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, host.CurrentPrinter());
    QVERIFY(PrintTargetJob(printer, view, 0, 0));
    const PrinterPageMetrics printed = view.StoredMetrics();
    // Within one HIMETRIC unit: the letter fallback is one short of the sheet.
    const QSize diff = shown.sizePrintable - printed.sizePrintable;
    QVERIFY(qAbs(diff.width()) <= 1 && qAbs(diff.height()) <= 1);
    QCOMPARE(view.m_layoutPrint.PageCount(), pages);
    QCOMPARE(PdfPageCount(pdf), pages);

    QSizeF sheet = QPageSize(QPageSize::PageSizeId(paper)).sizePoints();
    if (landscape) sheet.transpose();
    const QSizeF got = PdfPageSizePoints(pdf);
    QVERIFY(qAbs(got.width() - sheet.width()) < 1 && qAbs(got.height() - sheet.height()) < 1);
    QCOMPARE(qRound(printed.sizePaper.width() / 2540.0 * 72), qRound(sheet.width()));
    compareArea(pdf, target);
    if (pages == 1) {
        // On one sheet the target is centred at its true size.
        const QImage page = RasterisePdfPage(pdf, 1, 100);
        const auto row = DarkRunsInRow(page, page.height() / 2, 0, page.width());
        const auto col = DarkRunsInColumn(page, page.width() / 2, page.height() / 4, page.height());
        QCOMPARE(row.size(), 1);
        QCOMPARE(col.size(), 1);
        QVERIFY(qAbs(row[0].second - target.width() * 100) <= 1);
        QVERIFY(qAbs(col[0].second - target.height() * 100) <= 1);
    }
}

void TestPrintPaper::jobFollowsChosenPaper_data()
{
    QTest::addColumn<QSizeF>("target");  // inches
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("toPage");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("screenPages");  // on the stored Letter sheet
    QTest::addColumn<int>("pages");        // on A4 with quarter-inch margins
    QTest::addColumn<QSizeF>("printed");   // inches of target on paper
    // Letter shows 2 x 2 sheets; A4 needs 3 x 2.
    QTest::newRow("poster, all pages") << QSizeF(15.8, 15.8) << 0 << 0 << false << 4 << 6 << QSizeF(15.8, 15.8);
    // Taller than Letter's printable area, not A4's: the preview clips to A4.
    QTest::newRow("preview") << QSizeF(7.5, 11) << 0 << 0 << true << 1 << 1 << QSizeF(7.5, 11);
    // A range 3..5 of a 2-sheet job becomes 1..2.
    QTest::newRow("range lowered") << QSizeF(12, 6) << 3 << 5 << false << 2 << 2 << QSizeF(12, 6);
}

void TestPrintPaper::jobFollowsChosenPaper()
{
    QFETCH(QSizeF, target);
    QFETCH(int, fromPage);
    QFETCH(int, toPage);
    QFETCH(bool, preview);
    QFETCH(int, screenPages);
    QFETCH(int, pages);
    QFETCH(QSizeF, printed);
    SolidTargetView view(himetric(target));
    view.UseLetterQuarterInch();
    view.ChooseAutomaticPoster();
    view.LayoutForScreen(96, 96, QSize(800, 600));
    QCOMPARE(view.m_layoutScreen.PageCount(), screenPages);

    const QString pdf = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(" job.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, QPageSize::A4, 300);
    QVERIFY(PrintTargetJob(printer, view, fromPage, toPage, preview));
    PrinterPageMetrics a4;
    GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, a4);
    QCOMPARE(view.StoredMetrics(), a4);
    QCOMPARE(PdfPageCount(pdf), pages);
    compareArea(pdf, printed);
}

QTEST_MAIN(TestPrintPaper)
#include "tst_printpaper.moc"
