#include <QtTest>

#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

#include "document/TargetImage.h"
#include "helper_target.h"
#include "print/PrinterCalibration.h"
#include "print/PrinterSettings.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"

// The real print path: "vantric -p" on the default printer, a CUPS queue of
// cups-pdf that writes each job as a PDF into the user's PDF folder. The
// queue is set up by scripts/print-queue-test, which names the program and
// the folder in VANTRIC_BINARY and VANTRIC_QUEUE_PDF_DIR; without them the
// test has nothing to print on and is skipped.
//
// The PDF is rasterised at 600 dpi and the target measured against the
// printer's own page: centred on its printable area at exactly its size.
// A window's state for a target file, without the window.
class FileTargetView : public TargetViewState {
public:
    TargetImage* Target() const override { return &m_image; }
    QString DocumentTitle() const override { return QString(); }
    mutable TargetImage m_image;
};

class TestPrintQueue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void designerSquare();
    void shippedRifleTarget();
    void calibratedQueue();

private:
    // Prints file with "vantric -p" and returns the PDF the queue wrote.
    QString printThroughQueue(const QString& file, const QStringList& options = {});
    // Where the printable area's centre lies on the rasterised page, and the
    // printer's resolution.
    QPointF printableCentre600() const;

    QString m_binary;
    QDir m_out;
    QTemporaryDir m_dir;
};

void TestPrintQueue::initTestCase()
{
    m_binary = qEnvironmentVariable("VANTRIC_BINARY");
    const QString out = qEnvironmentVariable("VANTRIC_QUEUE_PDF_DIR");
    if (m_binary.isEmpty() || out.isEmpty()) QSKIP("no print queue: scripts/print-queue-test sets one up");
    QVERIFY2(QFileInfo(m_binary).isExecutable(), qPrintable(m_binary));
    QVERIFY(HavePoppler());
    QVERIFY(!QPrinterInfo::defaultPrinter().isNull());
    QDir().mkpath(out);
    m_out = QDir(out);
    QVERIFY(m_dir.isValid());
    QImageReader::setAllocationLimit(1024);
}

QString TestPrintQueue::printThroughQueue(const QString& file, const QStringList& options)
{
    const QStringList before = m_out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    QProcess vantric;
    vantric.setProcessChannelMode(QProcess::ForwardedChannels);
    vantric.start(m_binary, QStringList{QStringLiteral("-p")} + options + QStringList{file});
    if (!vantric.waitForFinished(60000) || vantric.exitStatus() != QProcess::NormalExit || vantric.exitCode() != 0)
        return QString();
    // The queue converts the job in the background.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 90000) {
        for (const QString& name : m_out.entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
            if (before.contains(name)) continue;
            const QString path = m_out.filePath(name);
            // Complete once pdfinfo can read it.
            if (PdfPageCount(path) > 0) return path;
        }
        QTest::qWait(250);
    }
    return QString();
}

QPointF TestPrintQueue::printableCentre600() const
{
    // The printer "-p" prints on: the application's, here the queue.
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, PrinterSettings::systemDefault());
    PrinterPageMetrics m;
    int dpiX = 0;
    int dpiY = 0;
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, m, &dpiX, &dpiY);
    const double kx = 600.0 / dpiX, ky = 600.0 / dpiY;
    return QPointF((m.sizeOffset.width() + m.sizePrintable.width() / 2.0) * kx,
                   (m.sizeOffset.height() + m.sizePrintable.height() / 2.0) * ky);
}

void TestPrintQueue::designerSquare()
{
    // A 5 in black square fits any sheet: one page, 3000 x 3000 pixels at
    // 600 dpi, centred on the printable area.
    const QString rgd = m_dir.filePath(QStringLiteral("Five Inch Square.rgd"));
    QVERIFY(WriteSquareDesign(rgd, 5.0));

    const QString pdf = printThroughQueue(rgd);
    QVERIFY2(!pdf.isEmpty(), "the queue wrote no PDF");
    QCOMPARE(PdfPageCount(pdf), 1);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    QVERIFY(!img.isNull());
    const QPointF c = printableCentre600();
    const auto row = DarkRunsInRow(img, int(c.y()), 0, img.width());
    const auto col = DarkRunsInColumn(img, int(c.x()), 300, img.height());
    QCOMPARE(row.size(), 1);
    QCOMPARE(col.size(), 1);
    qInfo("queue PDF %s: square %d x %d pixels at (%d, %d); printable centre (%.1f, %.1f)", qPrintable(pdf),
          row[0].second, col[0].second, row[0].first, col[0].first, c.x(), c.y());
    QVERIFY2(qAbs(row[0].second - 3000) <= 1, qPrintable(QString::number(row[0].second)));
    QVERIFY2(qAbs(col[0].second - 3000) <= 1, qPrintable(QString::number(col[0].second)));
    QVERIFY2(std::abs(row[0].first + 1500 - c.x()) <= 2, qPrintable(QString::number(row[0].first)));
    QVERIFY2(std::abs(col[0].first + 1500 - c.y()) <= 2, qPrintable(QString::number(col[0].first)));
}

void TestPrintQueue::shippedRifleTarget()
{
    // The shipped 50 m rifle target: its black aiming area is 122.4 mm across.
    const QString vnt = QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/50m Smallbore Rifle.vnt");
    const QString pdf = printThroughQueue(vnt);
    QVERIFY2(!pdf.isEmpty(), "the queue wrote no PDF");
    // The queue's paper, and the sheets a window shows for it.
    if (qEnvironmentVariable("VANTRIC_QUEUE_PAPER") == QLatin1String("A4")) {
        const QSizeF a4 = QPageSize(QPageSize::A4).sizePoints(), got = PdfPageSizePoints(pdf);
        QVERIFY2(qAbs(got.width() - a4.width()) < 1 && qAbs(got.height() - a4.height()) < 1,
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(got.width()).arg(got.height())));
    }
    FileTargetView window;
    QVERIFY(window.m_image.Load(vnt));
    window.ReadDefaultPrinterMetrics();
    window.ChooseAutomaticPoster();
    window.LayoutForScreen(96, 96, QSize(800, 600));
    QCOMPARE(PdfPageCount(pdf), window.m_layoutScreen.PageCount());
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    QVERIFY(!img.isNull());
    const QPointF c = printableCentre600();
    // Along the centre row the ring lines and numbers split the black area
    // into runs; the long runs at either end are its edges.
    QList<QPair<int, int>> wide;
    for (const auto& r : DarkRunsInRow(img, int(c.y()), 0, img.width()))
        if (r.second > 60) wide << r;
    QVERIFY(!wide.isEmpty());
    const int left = wide.first().first, right = wide.last().first + wide.last().second;
    const double expected = 122.4 / 25.4 * 600;
    qInfo("queue PDF %s: black area %d pixels (%.1f mm) from %d; expected %.1f", qPrintable(pdf), right - left,
          (right - left) * 25.4 / 600, left, expected);
    QVERIFY2(std::abs((right - left) - expected) <= 8, qPrintable(QString::number(right - left)));
    QVERIFY2(std::abs((left + right) / 2.0 - c.x()) <= 4, qPrintable(QString::number(left)));
}

void TestPrintQueue::calibratedQueue()
{
    // A second queue with a stored correction of 102 x 98 %: a 6 in square
    // prints 6.12 x 5.88 in on it, 6 x 6 in to a PDF file, and 6 x 6 in on
    // the queue again once the correction is reset.
    const QString queue = qEnvironmentVariable("VANTRIC_CAL_QUEUE");
    if (queue.isEmpty()) QSKIP("no calibration queue: scripts/print-queue-test sets one up");
    // The settings the program reads: a folder of this test's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Vantric"));
    PrinterSettings settings;
    settings.printerName = queue;
    settings.pageSize = QPageSize(QPageSize::A4);
    settings.save();
    QVERIFY(SaveCalibration(settings, PageCorrection{1.02, 0.98}));

    const QString rgd = m_dir.filePath(QStringLiteral("Six Inch Square.rgd"));
    QVERIFY(WriteSquareDesign(rgd, 6.0));
    auto measure = [](const QString& pdf) { return QSizeF(CentreDarkExtent(RasterisePdfPage(pdf, 1, 600))) / 600.0; };
    auto near = [](QSizeF got, double w, double h) {
        return std::abs(got.width() - w) * 600 <= 2 && std::abs(got.height() - h) * 600 <= 2;
    };

    const QString corrected = printThroughQueue(rgd);
    QVERIFY2(!corrected.isEmpty(), "the queue wrote no PDF");
    const QSizeF c = measure(corrected);
    qInfo("calibrated queue %s: %.4f x %.4f in", qPrintable(queue), c.width(), c.height());
    QVERIFY2(near(c, 6.12, 5.88), qPrintable(QStringLiteral("%1 x %2").arg(c.width()).arg(c.height())));

    const QString file = m_dir.filePath(QStringLiteral("direct.pdf"));
    QProcess direct;
    direct.start(m_binary, {QStringLiteral("--print-to-pdf"), file, rgd});
    QVERIFY(direct.waitForFinished(60000) && direct.exitCode() == 0);
    const QSizeF d = measure(file);
    qInfo("--print-to-pdf: %.4f x %.4f in", d.width(), d.height());
    QVERIFY2(near(d, 6.0, 6.0), qPrintable(QStringLiteral("%1 x %2").arg(d.width()).arg(d.height())));

    ResetCalibration(settings);
    // Another name, so the queue writes another file.
    const QString again = m_dir.filePath(QStringLiteral("Six Inch Square Again.rgd"));
    QVERIFY(WriteSquareDesign(again, 6.0));
    const QString reset = printThroughQueue(again);
    QVERIFY2(!reset.isEmpty(), "the queue wrote no PDF");
    const QSizeF r = measure(reset);
    qInfo("after Reset: %.4f x %.4f in", r.width(), r.height());
    QVERIFY2(near(r, 6.0, 6.0), qPrintable(QStringLiteral("%1 x %2").arg(r.width()).arg(r.height())));
}

QTEST_MAIN(TestPrintQueue)
#include "tst_printqueue.moc"
