#include <QtTest>

#include <QPrinter>
#include <QPrinterInfo>

#include "print/PageMetrics.h"
#include "print/PrinterSettings.h"
#include "print/PrintJob.h"

class TestPageMetrics : public QObject {
    Q_OBJECT
private slots:
    void convertToHimetric_data();
    void convertToHimetric();
    void deviceUnitsUnchanged();
    void letterFallback();
    void defaultPrinter();
    void pdfPrinterPage_data();
    void pdfPrinterPage();
    void deviceContextMetrics();
};

void TestPageMetrics::convertToHimetric_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<int>("dpiX");
    QTest::addColumn<int>("dpiY");
    QTest::addColumn<QSize>("himetric");
    QTest::newRow("letter at 600") << QSize(5100, 6600) << 600 << 600 << QSize(21590, 27940);
    QTest::newRow("printable at 600") << QSize(4800, 6300) << 600 << 600 << QSize(20320, 26670);
    QTest::newRow("one pixel truncates") << QSize(1, 1) << 600 << 300 << QSize(4, 8);
    QTest::newRow("A4 at 600") << QSize(4958, 7017) << 600 << 600 << QSize(20988, 29705);
    QTest::newRow("different axes") << QSize(300, 300) << 300 << 150 << QSize(2540, 5080);
}

void TestPageMetrics::convertToHimetric()
{
    QFETCH(QSize, pixels);
    QFETCH(int, dpiX);
    QFETCH(int, dpiY);
    QFETCH(QSize, himetric);
    const DevicePage page{pixels, pixels, pixels};
    const PrinterPageMetrics m = ConvertPageMetrics(page, dpiX, dpiY, PAGE_UNITS_HIMETRIC);
    QCOMPARE(m.sizePaper, himetric);
    QCOMPARE(m.sizePrintable, himetric);
    QCOMPARE(m.sizeOffset, himetric);
}

void TestPageMetrics::deviceUnitsUnchanged()
{
    const DevicePage page{QSize(5100, 6600), QSize(4800, 6300), QSize(150, 160)};
    const PrinterPageMetrics m = ConvertPageMetrics(page, 600, 600, PAGE_UNITS_DEVICE);
    QCOMPARE(m.sizePaper, page.paper);
    QCOMPARE(m.sizePrintable, page.printable);
    QCOMPARE(m.sizeOffset, page.offset);
}

void TestPageMetrics::letterFallback()
{
    const PrinterPageMetrics h = LetterFallbackMetrics(PAGE_UNITS_HIMETRIC);
    QCOMPARE(h.sizePaper, QSize(21589, 27939));
    QCOMPARE(h.sizePrintable, QSize(20320, 26670));
    QCOMPARE(h.sizeOffset, QSize(635, 635));
    const PrinterPageMetrics d = LetterFallbackMetrics(PAGE_UNITS_DEVICE);
    QCOMPARE(d.sizePaper, QSize(2550, 3300));
    QCOMPARE(d.sizePrintable, QSize(2400, 3150));
    QCOMPARE(d.sizeOffset, QSize(75, 75));
}

void TestPageMetrics::defaultPrinter()
{
    PrinterPageMetrics m;
    int dpiX = 0;
    int dpiY = 0;
    const bool found = GetPrinterPageMetrics(PrinterSettings::load(), PAGE_UNITS_HIMETRIC, m, &dpiX, &dpiY);
    QCOMPARE(found, !QPrinterInfo::defaultPrinter().isNull());
    if (!found) {
        QCOMPARE(m, LetterFallbackMetrics(PAGE_UNITS_HIMETRIC));
        QCOMPARE(dpiX, 300);
        QCOMPARE(dpiY, 300);
        GetPrinterPageMetrics(PrinterSettings::load(), PAGE_UNITS_DEVICE, m);
        QCOMPARE(m, LetterFallbackMetrics(PAGE_UNITS_DEVICE));
    } else {
        QVERIFY(dpiX > 0);
        QVERIFY(m.sizePrintable.width() <= m.sizePaper.width());
        QVERIFY(m.sizeOffset.width() + m.sizePrintable.width() <= m.sizePaper.width());
    }
}

void TestPageMetrics::pdfPrinterPage_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("sheet");
    QTest::newRow("letter 600") << int(QPageSize::Letter) << 600 << QSize(5100, 6600);
    QTest::newRow("letter 300") << int(QPageSize::Letter) << 300 << QSize(2550, 3300);
    // Qt's A4 is 595 x 842 points.
    QTest::newRow("A4 600") << int(QPageSize::A4) << 600 << QSize(4958, 7017);
}

void TestPageMetrics::pdfPrinterPage()
{
    QFETCH(int, paper);
    QFETCH(int, dpi);
    QFETCH(QSize, sheet);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, QDir::temp().filePath(QStringLiteral("unused.pdf")), QPageSize::PageSizeId(paper), dpi);
    QVERIFY(printer.fullPage());
    QCOMPARE(printer.resolution(), dpi);
    // The printable area stays a quarter inch inside the sheet in full-page mode.
    const int margin = dpi / 4;
    const DevicePage page = PrinterDevicePage(printer);
    QCOMPARE(page.paper, sheet);
    QCOMPARE(page.offset, QSize(margin, margin));
    QCOMPARE(page.printable, sheet - QSize(2 * margin, 2 * margin));
    PrinterPageMetrics m;
    int ppi = 0;
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, m, &ppi);
    QCOMPARE(ppi, dpi);
    QCOMPARE(m.sizePrintable, page.printable);
    GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, m);
    QCOMPARE(m.sizeOffset, QSize(635, 635));
}

void TestPageMetrics::deviceContextMetrics()
{
    QImage image = makeDeviceImage(10, 10, 600, 300);
    QPainter p(&image);
    DeviceContext dc(&p, 600, 300);
    dc.setPage({QSize(5100, 3300), QSize(4800, 3150), QSize(150, 75)});
    PrinterPageMetrics m;
    int x = 0;
    int y = 0;
    GetDevicePageMetrics(dc, PAGE_UNITS_HIMETRIC, m, &x, &y);
    QCOMPARE(x, 600);
    QCOMPARE(y, 300);
    QCOMPARE(m.sizePaper, QSize(21590, 27940));
    QCOMPARE(m.sizeOffset, QSize(635, 635));
}

QTEST_MAIN(TestPageMetrics)
#include "tst_pagemetrics.moc"
