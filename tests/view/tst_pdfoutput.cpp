#include <QtTest>

#include <QImageReader>
#include <QPrinter>
#include <QTemporaryDir>

#include "helper_target.h"
#include "platform/PdfPrintScaling.h"
#include "print/PrinterSettings.h"
#include "print/CalibrationSheet.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"

// Every PDF the program writes is laid out on the area a printer reaches (a
// quarter inch in from every edge), whichever road wrote it, and asks
// viewers to print it at actual size.
class TestPdfOutput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printableAreaAndScaling_data();
    void printableAreaAndScaling();
    void otherFilesLeftAlone_data();
    void otherFilesLeftAlone();

private:
    QTemporaryDir m_dir;
};

enum Road { WindowJob, CommandLine, CalibrationSheet };

void TestPdfOutput::initTestCase() {
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    QVERIFY(m_dir.isValid());
}

void TestPdfOutput::printableAreaAndScaling_data() {
    QTest::addColumn<int>("road");
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("window job, poster on Letter") << int(WindowJob) << int(QPageSize::Letter) << false;
    QTest::newRow("window job, poster on A4 landscape") << int(WindowJob) << int(QPageSize::A4) << true;
    QTest::newRow("command line, poster on A4") << int(CommandLine) << int(QPageSize::A4) << false;
    QTest::newRow("calibration sheet on Letter") << int(CalibrationSheet) << int(QPageSize::Letter) << false;
}

void TestPdfOutput::printableAreaAndScaling() {
    QFETCH(int, road);
    QFETCH(int, paper);
    QFETCH(bool, landscape);
    const QString out = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    QPrinter printer(QPrinter::HighResolution);
    const auto paperId = static_cast<QPageSize::PageSizeId>(paper);
    if (road == WindowJob) {
        PrinterSettings settings;  // PDF output, as Print Setup keeps it
        settings.outputFile = out;
        settings.pageSize = QPageSize(paperId);
        settings.orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        SetUpApplicationPrinter(printer, settings);
    } else {
        SetUpPdfPrinter(printer, out, paperId, 300);
    }

    // The printable area is the sheet less a quarter inch on every side.
    const int dpi = printer.resolution();
    const DevicePage page = PrinterDevicePage(printer);
    // Qt keeps a sheet in whole points (A4 is 595 by 842).
    const QSizeF sheet = QSizeF(QPageSize(paperId).sizePoints()) / 72.0;
    const QSizeF sheetInches = landscape ? sheet.transposed() : sheet;
    QCOMPARE(page.offset, QSize(dpi / 4, dpi / 4));
    QCOMPARE(page.printable.width(), int(sheetInches.width() * dpi) - dpi / 2);
    QCOMPARE(page.printable.height(), int(sheetInches.height() * dpi) - dpi / 2);

    if (road == CalibrationSheet) {
        QVERIFY(PrintCalibrationSheet(printer, QString()));
    } else {
        // A solid target far larger than the sheet: the poster's first
        // sheet is dark up to the edges of the printable area.
        SolidTargetView view(QSize(inchHim(30), inchHim(30)));
        PrinterPageMetrics himetric;
        GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, himetric);
        view.SetStoredMetrics(himetric);
        view.ChooseAutomaticPoster();
        QVERIFY(PrintTargetJob(printer, view, 1, 1));
    }

    const QSizeF points = PdfPageSizePoints(out);
    QCOMPARE(qRound(points.width()), qRound(sheetInches.width() * 72));
    QCOMPARE(qRound(points.height()), qRound(sheetInches.height() * 72));
    constexpr int RASTER = 100;
    const double pixel = 1.0 / RASTER;
    const QRectF dark = PdfDarkBoundsInches(out, RASTER);
    QVERIFY(!dark.isEmpty());
    const QRectF printable(0.25, 0.25, sheetInches.width() - 0.5, sheetInches.height() - 0.5);
    QVERIFY2(printable.adjusted(-pixel, -pixel, pixel, pixel).contains(dark),
             qPrintable(QStringLiteral("drawn at %1,%2 %3x%4 in")
                            .arg(dark.x())
                            .arg(dark.y())
                            .arg(dark.width())
                            .arg(dark.height())));
    if (road != CalibrationSheet)
        QVERIFY(std::abs(dark.left() - 0.25) <= 2 * pixel && std::abs(dark.top() - 0.25) <= 2 * pixel);
    QVERIFY(PdfAsksActualSize(out));
    // Asked again, the file already asks: nothing is added.
    const qint64 size = QFileInfo(out).size();
    QVERIFY(AddPdfPrintScalingNone(out));
    QCOMPARE(QFileInfo(out).size(), size);
}

void TestPdfOutput::otherFilesLeftAlone_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not a PDF") << QByteArray("GIF89a, a picture\n");
    QTest::newRow("cut before its cross-reference table")
        << QByteArray("%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    QTest::newRow("offset past the end") << QByteArray(
        "%PDF-1.4\ntrailer\n<< /Root 1 0 R /Size 2 >>\nstartxref\n999999\n");
    QTest::newRow("root not in the table")
        << QByteArray("%PDF-1.4\nxref\n0 1\n0000000000 65535 f \ntrailer\n<< /Root 7 0 R /Size 1 >>\nstartxref\n9\n");
}

void TestPdfOutput::otherFilesLeftAlone() {
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(QStringLiteral("other.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
    file.close();
    QVERIFY(!AddPdfPrintScalingNone(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"
