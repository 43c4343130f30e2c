#include <QtTest>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <cmath>

#include "CraftedDrawings.h"
#include "CraftedFiles.h"
#include "helper_target.h"
#include "platform/MessageBox.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"
#include "view/CommandLinePrint.h"

// Real targets of every drawn kind, printed the way "vantric --print-to-pdf"
// prints them and measured on the rasterised PDF at 600 dpi. Letter paper
// with quarter-inch margins: the printable area starts at (150, 150) and is
// 4800 x 6300 pixels.
class TestCommandLinePdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void designerPoster();
    void designerScaledToPage();
    void metafileActualSize();
    void drawingActualSize_data();
    void drawingActualSize();
    void shippedMetafileRings();
    void rasterPosterSendsPictureOnce();
    void picturesReachPaperLossless_data();
    void picturesReachPaperLossless();
    void distance_data();
    void distance();
    void tileGrid();
    void modeOptionsRejected_data();
    void modeOptionsRejected();
    void modeEndState_data();
    void modeEndState();

private:
    QString squareDesign(const QString& name, double inches);
    QString blackMetafile(const QString& name, double wInches, double hInches);
    // Runs the command line; returns its exit status.
    int run(const QStringList& options, const QString& out, const QString& file);
    QTemporaryDir m_dir;
};

namespace {

constexpr int kOrigin = 150;
constexpr int kPrintableW = 4800;
constexpr int kPrintableH = 6300;

bool near(int measured, int expected, int tolerance = 1)
{
    return qAbs(measured - expected) <= tolerance;
}

QString runs(const QList<QPair<int, int>>& r)
{
    QStringList parts;
    for (const auto& p : r) parts << QStringLiteral("%1+%2").arg(p.first).arg(p.second);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

void TestCommandLinePdf::initTestCase()
{
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    QVERIFY(m_dir.isValid());
    QImageReader::setAllocationLimit(1024);
    MessageLog::setEcho(false);
}

QString TestCommandLinePdf::squareDesign(const QString& name, double inches)
{
    const QString path = m_dir.filePath(name);
    return WriteSquareDesign(path, inches) ? path : QString();
}

QString TestCommandLinePdf::blackMetafile(const QString& name, double wInches, double hInches)
{
    const int unitsPerInch = 1440;
    const int w = int(wInches * unitsPerInch), h = int(hInches * unitsPerInch);
    WmfWriter wmf(0, 0, w, h, unitsPerInch);
    wmf.setMapMode(wmf::MM_ANISOTROPIC);
    wmf.setWindowOrg(0, 0);
    wmf.setWindowExt(w, h);
    wmf.selectObject(wmf.createPen(wmf::PS_NULL, 0, 0));
    wmf.selectObject(wmf.createBrush(wmf::BS_SOLID, 0x000000));
    wmf.rectangle(0, 0, w + 1, h + 1);
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(wmf.finish());
    return path;
}

int TestCommandLinePdf::run(const QStringList& options, const QString& out, const QString& file)
{
    QFile::remove(out);
    MessageLog::clear();
    return RunCommandLinePrint(QStringList{QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), out}
                               + options + QStringList{file});
}

void TestCommandLinePdf::designerPoster()
{
    // 10 x 10 in on an 8 in wide printable area: more than 20 % too wide, so
    // the poster is chosen by itself: two sheets side by side, the target
    // centred on the 9600 x 6300 assembly at (1800, 150).
    const QString rgd = squareDesign(QStringLiteral("ten.rgd"), 10.0);
    QVERIFY(!rgd.isEmpty());
    const QString pdf = m_dir.filePath(QStringLiteral("ten-poster.pdf"));
    QCOMPARE(run({}, pdf, rgd), 0);
    QCOMPARE(PdfPageCount(pdf), 2);

    int across = 0;
    for (int page = 1; page <= 2; ++page) {
        const QImage img = RasterisePdfPage(pdf, page, 600);
        QVERIFY(!img.isNull());
        // Each sheet has its dashed cut border just inside the printable
        // area: along the bottom edge, away from target and captions, a dash
        // every 90 pixels.
        const auto dashes = DarkRunsInRow(img, kOrigin + kPrintableH - 4, 400, 1900);
        QVERIFY2(dashes.size() >= 14, qPrintable(runs(dashes)));
        for (int i = 2; i < dashes.size() - 1; ++i) QCOMPARE(dashes[i].first - dashes[i - 1].first, 90);

        const auto row = DarkRunsInRow(img, 3300, kOrigin + 10, kOrigin + kPrintableW - 10);
        QCOMPARE(row.size(), 1);
        if (page == 1) {
            QVERIFY2(near(row[0].first, kOrigin + 1800), qPrintable(runs(row)));
            across += kOrigin + kPrintableW - row[0].first;
        } else {
            across += row[0].first + row[0].second - kOrigin;
        }
        const auto col = DarkRunsInColumn(img, page == 1 ? 4000 : 1000, kOrigin + 10, kOrigin + kPrintableH - 10);
        QCOMPARE(col.size(), 1);
        QVERIFY2(near(col[0].first, kOrigin + 150) && near(col[0].second, 6000), qPrintable(runs(col)));
    }
    QVERIFY2(near(across, 6000, 2), qPrintable(QString::number(across)));
    QVERIFY(PdfText(pdf, 1).contains(QStringLiteral("ten.rgd - Vantric")));
}

void TestCommandLinePdf::designerScaledToPage()
{
    // Switching the automatic poster off and scaling to the page: 10 in on
    // 8 in gives 80 %, one sheet, the full printable width.
    const QString rgd = squareDesign(QStringLiteral("ten.rgd"), 10.0);
    const QString pdf = m_dir.filePath(QStringLiteral("ten-fit.pdf"));
    QCOMPARE(run({QStringLiteral("--scale-to-page")}, pdf, rgd), 0);
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY2(PdfText(pdf, 1).contains(QStringLiteral("SCALED TO FIT PAPER = 80%")), qPrintable(PdfText(pdf, 1)));
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(img, 3300, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY2(near(row[0].first, kOrigin) && near(row[0].second, 4800), qPrintable(runs(row)));
    const auto col = DarkRunsInColumn(img, 2550, 400, img.height());
    QCOMPARE(col.size(), 1);
    QVERIFY2(near(col[0].first, kOrigin + 750) && near(col[0].second, 4800), qPrintable(runs(col)));
}

void TestCommandLinePdf::metafileActualSize()
{
    // 6 x 4.25 in of solid black, centred on the printable area at
    // (150 + 600, 150 + 1875) and drawn as vectors. A picture is drawn from a
    // source 27 HIMETRIC units wider and taller than itself, so it fills its
    // 3600 x 2550 pixels less a blank strip of 0.27 mm (6 pixels) at the
    // right and the bottom.
    const QString wmfPath = blackMetafile(QStringLiteral("block.wmf"), 6.0, 4.25);
    QVERIFY(!wmfPath.isEmpty());
    const QString pdf = m_dir.filePath(QStringLiteral("block.pdf"));
    QCOMPARE(run({}, pdf, wmfPath), 0);
    QCOMPARE(PdfPageCount(pdf), 1);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(img, 3300, 0, img.width());
    QCOMPARE(row.size(), 1);
    const auto drawn = [](int px, int him) { return int(px * double(him) / (him + 27) + 0.5); };
    QVERIFY2(near(row[0].first, kOrigin + 600) && near(row[0].second, drawn(3600, 15240)), qPrintable(runs(row)));
    const auto col = DarkRunsInColumn(img, 2550, 1000, img.height());
    QCOMPARE(col.size(), 1);
    QVERIFY2(near(col[0].first, kOrigin + 1875) && near(col[0].second, drawn(2550, 10795)), qPrintable(runs(col)));
    // Vectors, not a page-sized bitmap: no image in the file, and small.
    QCOMPARE(PdfImageList(pdf).size(), 2);
    QVERIFY2(QFileInfo(pdf).size() < 200 * 1024, qPrintable(QString::number(QFileInfo(pdf).size())));
}

void TestCommandLinePdf::drawingActualSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("vectors");  // no image in the PDF

    const QByteArray block = "0 0 0 rg 0 0 432 306 re f";
    QTest::newRow("pdf") << "block.pdf" << crafted::Pdf({"/MediaBox [0 0 432 306]"}, block) << QStringList() << true;
    QTest::newRow("pdf page 2, rotated")
        << "pages.pdf"
        << crafted::Pdf({"/MediaBox [0 0 144 144]", "/MediaBox [0 0 306 432] /Rotate 270"}, "0 0 0 rg 0 0 999 999 re f")
        << QStringList{QStringLiteral("--page"), QStringLiteral("2")} << true;
    QTest::newRow("pdf on the image road")
        << "masked.pdf"
        << crafted::Pdf({"/MediaBox [0 0 432 306] /Resources << /ExtGState << /G << /CA 0.999 >> >> >>"}, block)
        << QStringList() << false;
    QTest::newRow("svg") << "block.svg"
                         << crafted::Svg("width='6in' height='4.25in' viewBox='0 0 600 425'",
                                         "<rect width='600' height='425'/>")
                         << QStringList() << true;
    QTest::newRow("svg on the image road")
        << "clipped.svg"
        << crafted::Svg("width='152.4mm' height='107.95mm' viewBox='0 0 600 425'",
                        "<clipPath id='c'><rect width='600' height='425'/></clipPath>"
                        "<rect clip-path='url(#c)' width='600' height='425'/>")
        << QStringList() << false;
    QImage black(600, 425, QImage::Format_RGB32);
    black.fill(Qt::black);
    black.setDotsPerMeterX(3937);
    black.setDotsPerMeterY(3937);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    black.save(&buffer, "PNG");
    QTest::newRow("png at 100 dpi") << "block.png" << png << QStringList() << false;
}

// 6 x 4.25 in of black, centred on the printable area at (150 + 600,
// 150 + 1875), whatever kind of file carries it and whichever road it takes.
void TestCommandLinePdf::drawingActualSize()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(bool, vectors);
    const QString file = m_dir.filePath(name);
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QString pdf = file + QStringLiteral(".pdf");
    QCOMPARE(run(options, pdf, file), 0);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(img, 3300, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY2(near(row[0].first, kOrigin + 600) && near(row[0].second, 3600), qPrintable(runs(row)));
    const auto col = DarkRunsInColumn(img, 2550, 1000, img.height());
    QCOMPARE(col.size(), 1);
    QVERIFY2(near(col[0].first, kOrigin + 1875) && near(col[0].second, 2550), qPrintable(runs(col)));
    QCOMPARE(PdfImageList(pdf).size() == 2, vectors);
}

void TestCommandLinePdf::shippedMetafileRings()
{
    // The shipped 50 m rifle target: its black aiming area (rings 3 to 10) is
    // 122.4 mm across, 2891 pixels at 600 dpi, centred on the page. The ring
    // lines and numbers split the centre row into runs; the long runs at
    // either end are the black area's edges.
    const QString vnt = QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/50m Smallbore Rifle.vnt");
    const QString pdf = m_dir.filePath(QStringLiteral("rifle.pdf"));
    QCOMPARE(run({}, pdf, vnt), 0);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const int cx = kOrigin + kPrintableW / 2, cy = kOrigin + kPrintableH / 2;
    const double blackPx = 122.4 / 25.4 * 600;
    auto span = [](const QList<QPair<int, int>>& all) {
        QList<QPair<int, int>> wide;
        for (const auto& r : all)
            if (r.second > 60) wide << r;
        return wide.isEmpty() ? QPair<int, int>(0, 0)
                              : QPair<int, int>(wide.first().first, wide.last().first + wide.last().second);
    };
    // Down, a little off the centre line to miss the black numbers of the
    // white rings: a chord 200 pixels from the centre.
    const auto across = span(DarkRunsInRow(img, cy, 0, img.width()));
    const auto down = span(DarkRunsInColumn(img, cx + 200, 0, img.height()));
    const double chord = 2 * std::sqrt(blackPx * blackPx / 4 - 200.0 * 200.0);
    QVERIFY2(qAbs((across.second - across.first) - blackPx) <= 8, qPrintable(QString::number(across.first)));
    QVERIFY2(qAbs((down.second - down.first) - chord) <= 8,
             qPrintable(QStringLiteral("%1..%2").arg(down.first).arg(down.second)));
    QVERIFY2(qAbs((across.first + across.second) / 2 - cx) <= 4, qPrintable(QString::number(across.first)));
    QVERIFY2(qAbs((down.first + down.second) / 2 - cy) <= 4, qPrintable(QString::number(down.first)));
    QCOMPARE(PdfImageList(pdf).size(), 2);
    QVERIFY(PdfText(pdf, 1).contains(QStringLiteral("50m Smallbore Rifle.vnt - Vantric")));
}

void TestCommandLinePdf::rasterPosterSendsPictureOnce()
{
    // A 12 x 15 in bitmap (1200 x 1500 pixels at 100 dpi): a 2 x 2 poster
    // whose four sheets all refer to one image at the bitmap's own size.
    QImage picture(1200, 1500, QImage::Format_RGB888);
    picture.fill(Qt::white);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((x / 100 + y / 100) % 2) picture.setPixel(x, y, qRgb(0, 0, 0));
    picture.setDotsPerMeterX(3937);
    picture.setDotsPerMeterY(3937);
    const QString bmp = m_dir.filePath(QStringLiteral("checks.bmp"));
    QVERIFY(picture.save(bmp, "BMP"));
    const QString pdf = m_dir.filePath(QStringLiteral("checks.pdf"));
    QCOMPARE(run({}, pdf, bmp), 0);
    QCOMPARE(PdfPageCount(pdf), 4);
    const QStringList images = PdfImageList(pdf).mid(2);
    QCOMPARE(images.size(), 4);
    QSet<QString> objects;
    for (const QString& line : images) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        QVERIFY2(f.size() > 10 && f[3] == QLatin1String("1200") && f[4] == QLatin1String("1500"), qPrintable(line));
        objects << f[10];
    }
    QCOMPARE(objects.size(), 1);
}

void TestCommandLinePdf::distance_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<double>("inches");
    QTest::addColumn<QString>("shooter");
    QTest::addColumn<QString>("target");
    QTest::newRow("yards") << "25yd:100yd" << 2.5 << "25.0 yds." << "100 yds.";
    QTest::newRow("yards at metres") << "25yd:50m" << 10 * 0.4572 << "25.0 yds." << "50.0 m";
    QTest::newRow("feet") << "50ft:100yd" << 10 * 50.0 / 300.0 << "50.0 ft" << "100 yds.";
}

void TestCommandLinePdf::distance()
{
    QFETCH(QString, option);
    QFETCH(double, inches);
    QFETCH(QString, shooter);
    QFETCH(QString, target);
    // A 10 in target scaled for the shorter distance: no poster any more,
    // one sheet, centred, with the distance table.
    const QString rgd = squareDesign(QStringLiteral("ten.rgd"), 10.0);
    const QString pdf = m_dir.filePath(QStringLiteral("distance.pdf"));
    QCOMPARE(run({QStringLiteral("--distance"), option}, pdf, rgd), 0);
    QCOMPARE(PdfPageCount(pdf), 1);
    const QString text = PdfText(pdf, 1);
    QVERIFY2(text.contains(QStringLiteral("SCALED FOR DISTANCE")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Shooting Distance:")));
    QVERIFY(text.contains(QStringLiteral("Scaled Target Distance:")));
    QVERIFY2(text.contains(shooter) && text.contains(target), qPrintable(text));

    const int px = int(inches * 600);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(img, kOrigin + kPrintableH / 2, 0, img.width());
    QCOMPARE(row.size(), 1);
    QVERIFY2(near(row[0].second, px) && near(row[0].first, kOrigin + (kPrintableW - px) / 2), qPrintable(runs(row)));
    const auto col = DarkRunsInColumn(img, kOrigin + kPrintableW / 2, 1000, img.height());
    QCOMPARE(col.size(), 1);
    QVERIFY2(near(col[0].second, px) && near(col[0].first, kOrigin + (kPrintableH - px) / 2), qPrintable(runs(col)));
}

void TestCommandLinePdf::tileGrid()
{
    // Three rows and two columns of a 3 in target, half an inch between the
    // rows and a quarter between the columns: 3750 x 6000 pixels centred on
    // the printable area.
    const QString rgd = squareDesign(QStringLiteral("three.rgd"), 3.0);
    const QString pdf = m_dir.filePath(QStringLiteral("grid.pdf"));
    QCOMPARE(run({QStringLiteral("--tile"), QStringLiteral("3x2@0.5,0.25")}, pdf, rgd), 0);
    QCOMPARE(PdfPageCount(pdf), 1);
    const QImage img = RasterisePdfPage(pdf, 1, 600);
    const int left = kOrigin + (kPrintableW - 3750) / 2;
    const int top = kOrigin + (kPrintableH - 6000) / 2;
    for (int r = 0; r < 3; ++r) {
        const auto row = DarkRunsInRow(img, top + r * 2100 + 900, 0, img.width());
        QCOMPARE(row.size(), 2);
        QVERIFY2(near(row[0].first, left) && near(row[0].second, 1800), qPrintable(runs(row)));
        QVERIFY2(near(row[1].first, left + 1950) && near(row[1].second, 1800), qPrintable(runs(row)));
    }
    for (int c = 0; c < 2; ++c) {
        const auto col = DarkRunsInColumn(img, left + c * 1950 + 900, 0, img.height());
        QCOMPARE(col.size(), 3);
        for (int r = 0; r < 3; ++r)
            QVERIFY2(near(col[r].first, top + r * 2100) && near(col[r].second, 1800), qPrintable(runs(col)));
    }

    // Without gaps the copies touch, and the largest grid that fits is
    // accepted: 3 rows of 3 in on 10.5 in, 2 columns on 8 in.
    QCOMPARE(run({QStringLiteral("--tile"), QStringLiteral("3x2")}, pdf, rgd), 0);
    const QImage tight = RasterisePdfPage(pdf, 1, 600);
    const auto row = DarkRunsInRow(tight, kOrigin + kPrintableH / 2, 0, tight.width());
    QCOMPARE(row.size(), 1);
    QVERIFY2(near(row[0].first, kOrigin + 600) && near(row[0].second, 3600), qPrintable(runs(row)));
}

void TestCommandLinePdf::modeOptionsRejected_data()
{
    QTest::addColumn<QString>("design");  // "three" or "ten"
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("target not farther") << "ten" << QStringList{"--distance", "100yd:25yd"}
                                        << "Distance to target must be greater than distance to shooter.";
    QTest::newRow("bad distance form") << "ten" << QStringList{"--distance", "25:100"} << "--distance expects";
    QTest::newRow("distance twice") << "ten" << QStringList{"--distance", "25yd:100yd", "--distance", "25yd:50m"}
                                    << "--distance is given twice.";
    QTest::newRow("too many rows") << "three" << QStringList{"--tile", "4x2"}
                                   << "at most 3 rows and 2 columns";
    QTest::newRow("row gap too wide") << "three" << QStringList{"--tile", "3x2@0.6,0"}
                                      << "with 3 rows the row gap can be at most 0.50 inches.";
    QTest::newRow("bad grid form") << "three" << QStringList{"--tile", "3by2"} << "--tile expects";
    QTest::newRow("grid of a big target") << "ten" << QStringList{"--tile", "2x1"}
                                          << "does not fit more than once";
    QTest::newRow("grid on a page-scaled target")
        << "ten" << QStringList{"--scale-to-page", "--tile", "1x1"} << "scaled to the page";
    QTest::newRow("two scales") << "ten" << QStringList{"--scale-to-page", "--distance", "25yd:100yd"}
                                << "--scale-to-page and --distance state different ways to print";
    QTest::newRow("poster and grid") << "three" << QStringList{"--tile", "2x1", "--poster"}
                                     << "--tile and --poster state different ways to print";
    QTest::newRow("poster of a target that fits") << "three" << QStringList{"--poster"}
                                                  << "Tile Pages to Target is not available";
}

void TestCommandLinePdf::modeOptionsRejected()
{
    QFETCH(QString, design);
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    const QString rgd = squareDesign(design + QStringLiteral(".rgd"), design == QLatin1String("ten") ? 10.0 : 3.0);
    const QString pdf = m_dir.filePath(QStringLiteral("rejected.pdf"));
    QCOMPARE(run(options, pdf, rgd), 1);
    const QList<MessageRecord> shown = MessageLog::messages();
    QVERIFY(!shown.isEmpty());
    QVERIFY2(shown.last().text.contains(message), qPrintable(shown.last().text));
    QVERIFY(!QFile::exists(pdf));
}

void TestCommandLinePdf::modeEndState_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pages");
    // The 10 in target is a poster of two sheets by itself: stating it
    // keeps it, whatever was chosen before.
    QTest::newRow("poster stated") << QStringList{"--poster"} << 2;
    QTest::newRow("actual size stated") << QStringList{"--actual-size"} << 2;
    QTest::newRow("actual size and poster") << QStringList{"--poster", "--actual-size", "--poster"} << 2;
    // Scaled for 25 yd at 100 yd it is 2.5 in, and a grid of it fits: the
    // order the options come in does not matter.
    QTest::newRow("grid, then the scale") << QStringList{"--tile", "2x2", "--distance", "25yd:100yd"} << 1;
    QTest::newRow("scale, then the grid") << QStringList{"--distance", "25yd:100yd", "--tile", "2x2"} << 1;
}

void TestCommandLinePdf::modeEndState()
{
    QFETCH(QStringList, options);
    QFETCH(int, pages);
    const QString rgd = squareDesign(QStringLiteral("ten.rgd"), 10.0);
    const QString pdf = m_dir.filePath(QStringLiteral("end-state.pdf"));
    QCOMPARE(run(options, pdf, rgd), 0);
    QCOMPARE(PdfPageCount(pdf), pages);
    if (options.contains(QStringLiteral("--tile"))) {
        const QImage img = RasterisePdfPage(pdf, 1, 600);
        const auto row = DarkRunsInRow(img, kOrigin + kPrintableH / 2 - 100, 0, img.width());
        QCOMPARE(row.size(), 1);
        QVERIFY2(near(row[0].first, kOrigin + 900) && near(row[0].second, 3000), qPrintable(runs(row)));
    }
}

void TestCommandLinePdf::picturesReachPaperLossless_data()
{
    // A 4 x 4 grey of 132 130 132, as the picture inside a metafile and as a
    // bitmap of its own: both reach the PDF unchanged, never as JPEG.
    QByteArray pixels;
    for (int i = 0; i < 16; ++i) pixels += QByteArray("\x84\x82\x84", 3);
    const QByteArray dib = crafted::DibHeader(4, 4, 24, 0, 3780) + pixels;
    WmfWriter wmf(0, 0, 1440, 1440, 1440);
    std::vector<quint16> words = {quint16(wmf::SRCCOPY & 0xFFFF), quint16(wmf::SRCCOPY >> 16), 0, 4, 4, 0, 0,
                                  1440, 1440, 0, 0};
    for (int k = 0; k + 1 < dib.size(); k += 2) words.push_back(quint16(uchar(dib[k]) | (uchar(dib[k + 1]) << 8)));
    wmf.record(wmf::STRETCHDIB, words);
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("metafile's bitmap") << "grey.wmf" << wmf.finish();
    QTest::newRow("bitmap") << "grey.bmp" << crafted::Bitmap(4, 4, 24, 0, 3780, pixels);
}

void TestCommandLinePdf::picturesReachPaperLossless()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString file = m_dir.filePath(name);
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
    QCOMPARE(run({}, pdf, file), 0);
    const QStringList images = PdfImageList(pdf).mid(2);
    QVERIFY(!images.isEmpty());
    for (const QString& line : images) QVERIFY2(line.simplified().split(' ').value(8) != QLatin1String("jpeg"), qPrintable(line));
}

QTEST_MAIN(TestCommandLinePdf)
#include "tst_cmdlinepdf.moc"
