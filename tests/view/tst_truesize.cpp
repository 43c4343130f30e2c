#include <QtTest>

#include <QImageReader>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>

#include "helper_target.h"
#include "platform/MessageBox.h"
#include "platform/ui/NumericEdit.h"
#include "print/PrinterCalibration.h"
#include "print/CalibrationDlg.h"
#include "print/CalibrationSheet.h"
#include "view/CommandLinePrint.h"
#include "print/PrintJob.h"
#include "print/ScaleCheck.h"

// Printing true to size: a stored printer correction, the calibration sheet
// and the scale check, measured on PDFs rasterised at 600 dpi. Letter paper
// with quarter-inch margins puts the printable area at (150, 150).
class TestTrueSize : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void correctedPage_data();
    void correctedPage();
    void calibrationSheet_data();
    void calibrationSheet();
    void scaleCheck_data();
    void scaleCheck();
    void calibrationDialog_data();
    void calibrationDialog();

private:
    QTemporaryDir m_dir;
};

namespace {

constexpr int DPI = 600;
constexpr int ORIGIN = 150;

QString describe(const QList<QPair<int, int>>& runs)
{
    QStringList parts;
    for (const auto& r : runs) parts << QStringLiteral("%1+%2").arg(r.first).arg(r.second);
    return parts.join(QLatin1Char(' '));
}

PrinterSettings queue(QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    PrinterSettings s;
    s.printerName = QStringLiteral("VantricPDFCal");
    s.pageSize = QPageSize(QPageSize::A4);
    s.orientation = orientation;
    return s;
}

}  // namespace

void TestTrueSize::initTestCase()
{
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    QVERIFY(m_dir.isValid());
    QImageReader::setAllocationLimit(1024);
    MessageLog::setEcho(false);
}

void TestTrueSize::correctedPage_data()
{
    QTest::addColumn<double>("cx");
    QTest::addColumn<double>("cy");
    QTest::addColumn<QSizeF>("target");  // inches, a solid rectangle
    QTest::addColumn<int>("pages");
    QTest::newRow("uncorrected") << 1.0 << 1.0 << QSizeF(6, 6) << 1;
    QTest::newRow("102 x 98 %") << 1.02 << 0.98 << QSizeF(6, 6) << 1;
    // Stretched sheets reach less of the layout: the poster takes that into
    // account instead of losing a strip of the target on every sheet.
    QTest::newRow("poster 102 x 102 %") << 1.02 << 1.02 << QSizeF(15.5, 20.4) << 4;
}

void TestTrueSize::correctedPage()
{
    QFETCH(double, cx);
    QFETCH(double, cy);
    QFETCH(QSizeF, target);
    QFETCH(int, pages);
    SolidTargetView view(QSize(inchHim(target.width()), inchHim(target.height())));
    const QString pdf = m_dir.filePath(QStringLiteral("corrected.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, QPageSize::Letter, DPI);
    const PageCorrection correction{cx, cy};
    TakeJobPrinter(printer, view, correction);
    view.ChooseAutomaticPoster();
    QCOMPARE(TakeJobPrinter(printer, view, correction), pages);
    // The window lays out on the same area as the job.
    view.LayoutForScreen(96, 96, QSize(800, 600));
    QCOMPARE(view.m_layoutScreen.PageCount(), pages);
    QVERIFY(PrintCorrectedPages(printer, view, 1, pages, false, correction));

    // A printer prints nothing beyond its printable area: whatever the PDF
    // has just right of it or below it would be lost on paper.
    for (int k = 1; k <= pages; ++k) {
        const QImage page = RasterisePdfPage(pdf, k, DPI);
        QVERIFY(!page.isNull());
        QVERIFY2(DarkRunsInColumn(page, ORIGIN + 4800 + 4, 0, page.height()).isEmpty(), qPrintable(QString::number(k)));
        QVERIFY2(DarkRunsInRow(page, ORIGIN + 6300 + 4, 0, page.width()).isEmpty(), qPrintable(QString::number(k)));
    }
    const double area = target.width() * cx * target.height() * cy;
    const double dark = PdfDarkSquareInches(pdf, DPI);
    qInfo("dark %.3f sq in of %.3f", dark, area);
    QVERIFY2(qAbs(dark - area) <= 0.005 * area, qPrintable(QString::number(dark)));
    if (pages > 1) return;
    const QSizeF size = QSizeF(CentreDarkExtent(RasterisePdfPage(pdf, 1, DPI))) / DPI;
    const QString got = QStringLiteral("%1 x %2 in").arg(size.width()).arg(size.height());
    QVERIFY2(qAbs(size.width() - target.width() * cx) * DPI <= 2 && qAbs(size.height() - target.height() * cy) * DPI <= 2,
             qPrintable(got));
}

void TestTrueSize::calibrationSheet_data()
{
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QSizeF>("printable");  // inches
    QTest::newRow("letter") << QStringLiteral("letter") << QSizeF(8.0, 10.5);
    QTest::newRow("a4") << QStringLiteral("a4") << QSizeF(210 / 25.4 - 0.5, 297 / 25.4 - 0.5);
}

void TestTrueSize::calibrationSheet()
{
    QFETCH(QString, paper);
    QFETCH(QSizeF, printable);
    const QString pdf = m_dir.filePath(paper + QStringLiteral("-sheet.pdf"));
    QCOMPARE(RunCommandLinePrint({QStringLiteral("vantric"), QStringLiteral("--calibration-sheet"), pdf,
                                  QStringLiteral("--paper"), paper}),
             0);
    QCOMPARE(PdfPageCount(pdf), 1);
    const QImage page = RasterisePdfPage(pdf, 1, DPI);
    QVERIFY(!page.isNull());
    const CalibrationSheetLayout layout = LayoutCalibrationSheet(printable);
    const QString text = PdfText(pdf, 1).simplified();
    QVERIFY(text.contains(QString::fromLatin1(CAL_INSTRUCTION)));

    // Across each scale, a line past every tick but the two end ones finds
    // exactly those two; their distance is the labelled length.
    const double probe = 10.5 / 25.4 * DPI;
    for (const CalibrationRuler& r : {layout.horizontal, layout.vertical}) {
        QVERIFY(r.centimetres >= 15 && r.halfInches >= 12);
        const QPointF zero = r.origin * DPI + QPointF(ORIGIN, ORIGIN);
        for (int side : {-1, 1}) {  // metric, then inch
            const bool metric = side < 0;
            const double length = (metric ? r.metricInches() : r.inchInches()) * DPI;
            const QString label = metric ? MetricEndLabel(r) : InchEndLabel(r);
            QVERIFY2(text.contains(label), qPrintable(label));
            const auto runs =
                r.vertical ? DarkRunsInColumn(page, qRound(zero.x() + side * probe), int(zero.y()) - 60,
                                              int(zero.y() + length) + 60)
                           : DarkRunsInRow(page, qRound(zero.y() + side * probe), int(zero.x()) - 60,
                                           int(zero.x() + length) + 60);
            QVERIFY2(runs.size() == 2, qPrintable(label + QLatin1Char(' ') + describe(runs)));
            QVERIFY2(qAbs(DarkRunSpan(runs) - length) <= 1.0,
                     qPrintable(QStringLiteral("%1: %2 px for %3").arg(label).arg(DarkRunSpan(runs)).arg(length)));
        }
    }
}

void TestTrueSize::scaleCheck_data()
{
    QTest::addColumn<double>("side");  // inches, a solid square
    QTest::addColumn<bool>("check");
    QTest::addColumn<int>("pages");
    QTest::newRow("poster with check") << 10.0 << true << 4;
    QTest::newRow("sheet with check") << 2.0 << true << 1;
    QTest::newRow("sheet without check") << 2.0 << false << 1;
}

void TestTrueSize::scaleCheck()
{
    QFETCH(double, side);
    QFETCH(bool, check);
    QFETCH(int, pages);
    SolidTargetView view(QSize(inchHim(side), inchHim(side * 1.2)));
    view.m_bScaleCheck = check;
    const QString pdf = m_dir.filePath(QStringLiteral("check.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, QPageSize::Letter, DPI);
    view.UseLetterQuarterInch();
    view.ChooseAutomaticPoster();
    QCOMPARE(TakeJobPrinter(printer, view), pages);
    QVERIFY(PrintTargetPages(printer, view, 1, pages));

    const ScaleCheckBars bars = LayoutScaleCheck(QRectF(ORIGIN, ORIGIN, 4800, 6300), DPI, DPI);
    for (int k = 1; k <= pages; ++k) {
        const QImage page = RasterisePdfPage(pdf, k, DPI);
        QVERIFY(!page.isNull());
        if (!check) {
            // Nothing drawn where the check would be.
            const QRect box = bars.box.toAlignedRect();
            for (int y = box.top(); y <= box.bottom(); ++y)
                QVERIFY2(DarkRunsInRow(page, y, box.left(), box.right()).isEmpty(), qPrintable(QString::number(y)));
            continue;
        }
        // Just above each bar only its two end ticks are dark.
        for (const auto& [bar, length] : {std::pair{bars.metric, 100 / 25.4 * DPI}, std::pair{bars.inches, 4.0 * DPI}}) {
            const auto runs = DarkRunsInRow(page, qRound(bar.y1() - 0.03 * DPI), int(bar.x1()) - 20, int(bar.x2()) + 20);
            QVERIFY2(runs.size() == 2, qPrintable(describe(runs)));
            QVERIFY2(qAbs(DarkRunSpan(runs) - length) <= 1.0, qPrintable(describe(runs)));
        }
    }
}

void TestTrueSize::calibrationDialog_data()
{
    QTest::addColumn<bool>("inches");
    QTest::addColumn<double>("measureX");  // a fraction of the ruler's length
    QTest::addColumn<double>("measureY");
    QTest::addColumn<QString>("shown");
    QTest::newRow("mm") << false << 0.99 << 1.01 << QStringLiteral("X 101.01 %, Y 99.01 %");
    QTest::newRow("in") << true << 1.01 << 0.99 << QStringLiteral("X 99.01 %, Y 101.01 %");
    // Half and one and a half times the length are refused: the fields hold
    // their bounds.
    QTest::newRow("nonsense") << false << 0.5 << 1.5 << QStringLiteral("X 125.00 %, Y 80.00 %");
}

void TestTrueSize::calibrationDialog()
{
    QFETCH(bool, inches);
    QFETCH(double, measureX);
    QFETCH(double, measureY);
    QFETCH(QString, shown);
    const PrinterSettings printer = queue();
    ResetCalibration(printer);
    CCalibrationDlg dialog(printer);
    dialog.SetInches(inches);
    const double nominalX = dialog.HorizontalField()->GetValue();
    const double nominalY = dialog.VerticalField()->GetValue();
    dialog.HorizontalField()->setText(QString::number(nominalX * measureX, 'f', 4));
    dialog.VerticalField()->setText(QString::number(nominalY * measureY, 'f', 4));
    dialog.HorizontalField()->Reformat();
    dialog.VerticalField()->Reformat();
    QVERIFY2(dialog.CorrectionLabel()->text().endsWith(shown), qPrintable(dialog.CorrectionLabel()->text()));

    QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("ok")), Qt::LeftButton);
    const std::optional<PageCorrection> stored = LoadCalibration(printer);
    QVERIFY(stored);
    QCOMPARE(CalibrationStatusText(printer), QStringLiteral("Printer calibrated: ") + shown);
    // Another orientation and PDF output are not corrected.
    QVERIFY(!LoadCalibration(queue(QPageLayout::Landscape)));
    QVERIFY(!LoadCalibration(PrinterSettings{}));

    CCalibrationDlg again(printer);
    again.OnReset();
    QVERIFY(!LoadCalibration(printer));
}

QTEST_MAIN(TestTrueSize)
#include "tst_truesize.moc"
