#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "CraftedFiles.h"
#include "document/RasterImage.h"
#include "document/TargetImage.h"
#include "platform/DeviceContext.h"
#include "CorpusPath.h"
#include "PdfTools.h"

// RasterImage as the document uses it: loading from files, keeping what it
// had on failure, stretching into screens, bitmaps and PDF, and its size.
namespace {

void put16(QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void put32(QByteArray& b, qint64 v)
{
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// An 8-bit bitmap whose pixel at (x, y), counted from the top, has palette
// index 1 + x + width * y, and entry i is (red 40 i, green 255 - 40 i, blue i).
QByteArray paletteBitmap(int width, int height, int pelsPerMeter)
{
    const int row = (width + 3) / 4 * 4;
    QByteArray b("BM");
    put32(b, 14 + 40 + 1024 + row * height);
    put32(b, 0);
    put32(b, 14 + 40 + 1024);
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, 8);
    put32(b, 0);
    put32(b, 0);
    put32(b, pelsPerMeter);
    put32(b, pelsPerMeter);
    put32(b, 256);
    put32(b, 0);
    for (int i = 0; i < 256; ++i) b.append(char(i)).append(char(255 - 40 * i)).append(char(40 * i)).append('\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < row; ++x) b.append(char(x < width ? (1 + x + width * y) & 0xFF : 0));
    }
    return b;
}

QRgb sourceColor(int width, int x, int y)
{
    const int i = (1 + x + width * y) & 0xFF;
    return qRgb((40 * i) & 0xFF, (255 - 40 * i) & 0xFF, i);
}

} // namespace

// Draws the image on a margin-less A4 PDF page at dpi as a printer would.
static bool printOnA4(RasterImage& image, const QString& pdf, int dpi, const QRect& dest)
{
    QPdfWriter writer(pdf);
    writer.setResolution(dpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    DeviceContext dc(&painter, dpi, dpi);
    dc.setPrinting(true);
    return image.Draw(dc, dest.x(), dest.y(), dest.width(), dest.height());
}

class TestRaster : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) return QString();
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void failedLoadKeepsThePicture()
    {
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(image.Load(write("a.bmp", paletteBitmap(3, 2, 2835))));
        const QByteArray before(reinterpret_cast<const char*>(image.Block()), qsizetype(image.BlockSize()));

        QVERIFY(!image.Load(write("bad.bmp", QByteArray("BM"))));
        QCOMPARE(image.LastError(), QStringLiteral("Not a BMP"));
        QVERIFY(!image.Load(m_dir.filePath("missing.bmp")));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.Block()), qsizetype(image.BlockSize())), before);
        QCOMPARE(image.Width(), 3u);
        QCOMPARE(image.DpiX(), 72);

        RasterImage other(7);
        QVERIFY(!other.Load(write("b.bmp", paletteBitmap(3, 2, 0))));
        QCOMPARE(other.LastError(), QStringLiteral("Unsupported operation for this format"));
    }

    // Nearest pixel, no smoothing, wherever the destination lies on the device.
    void stretchesNearestPixel_data()
    {
        QTest::addColumn<QRect>("dest");
        QTest::addColumn<QPoint>("translate");
        QTest::addColumn<int>("scale");
        QTest::newRow("same size") << QRect(2, 3, 3, 2) << QPoint() << 1;
        QTest::newRow("twice") << QRect(0, 0, 6, 4) << QPoint() << 1;
        QTest::newRow("four by three") << QRect(1, 1, 12, 6) << QPoint() << 1;
        QTest::newRow("through a translated painter") << QRect(0, 0, 6, 4) << QPoint(7, 5) << 1;
        QTest::newRow("through a scaled painter") << QRect(1, 1, 3, 2) << QPoint() << 3;
        QTest::newRow("partly off the device") << QRect(-9, -6, 30, 20) << QPoint() << 1;
    }

    void stretchesNearestPixel()
    {
        QFETCH(QRect, dest);
        QFETCH(QPoint, translate);
        QFETCH(int, scale);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(image.Load(write("s.bmp", paletteBitmap(3, 2, 0))));

        QImage device = makeDeviceImage(24, 16, 96, 96);
        device.fill(Qt::white);
        QPainter painter(&device);
        painter.translate(translate);
        painter.scale(scale, scale);
        DeviceContext dc(&painter, 96, 96);
        QVERIFY(image.Draw(dc, dest.x(), dest.y(), dest.width(), dest.height()));
        QCOMPARE(dc.stretchMode(), DeviceContext::ColorOnColor);
        painter.end();

        // Every source pixel covers a whole block of the destination.
        const QRect onDevice(translate + dest.topLeft() * scale, dest.size() * scale);
        const int bw = onDevice.width() / 3, bh = onDevice.height() / 2;
        for (int y = 0; y < device.height(); ++y) {
            for (int x = 0; x < device.width(); ++x) {
                QRgb want = qRgb(255, 255, 255);
                if (onDevice.contains(x, y))
                    want = sourceColor(3, (x - onDevice.x()) / bw, (y - onDevice.y()) / bh);
                QVERIFY2(device.pixel(x, y) == (want | 0xFF000000u), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
            }
        }
    }

    // Drawn smaller on screen, each pixel is the average of the area it covers:
    // one-pixel lines every n pixels give an even grey instead of vanishing
    // or showing as solid lines.
    void shrinksByAveragingTheArea_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("period");  // every period-th row (or column) is black
        QTest::addColumn<bool>("rows");
        QTest::addColumn<QSize>("dest");
        QTest::addColumn<int>("grey");
        QTest::newRow("rows, quarter size") << QSize(40, 40) << 4 << true << QSize(10, 10) << 191;
        QTest::newRow("columns, an eighth") << QSize(64, 16) << 8 << false << QSize(8, 2) << 223;
        QTest::newRow("rows, half") << QSize(30, 30) << 2 << true << QSize(15, 15) << 128;
        QTest::newRow("columns, 12 to 3 across, 6 to 6 down") << QSize(12, 6) << 4 << false << QSize(3, 6) << 191;
    }

    void shrinksByAveragingTheArea()
    {
        QFETCH(QSize, source);
        QFETCH(int, period);
        QFETCH(bool, rows);
        QFETCH(QSize, dest);
        QFETCH(int, grey);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(image.CreateBitmap(source.width(), source.height(), 24));
        for (int y = 0; y < source.height(); ++y) {
            uchar* row = image.Row(quint32(y));
            for (int x = 0; x < source.width(); ++x) {
                const bool black = (rows ? y : x) % period == 0;
                std::memset(row + 3 * x, black ? 0 : 255, 3);
            }
        }
        QImage device = makeDeviceImage(dest.width() + 2, dest.height() + 2, 96, 96);
        device.fill(Qt::red);
        for (int pass = 0; pass < 2; ++pass) {  // the second from the kept picture
            QPainter painter(&device);
            DeviceContext dc(&painter, 96, 96);
            dc.setStretchMode(DeviceContext::Halftone);  // as the view asks
            QVERIFY(image.Draw(dc, 1, 1, dest.width(), dest.height()));
            painter.end();
            for (int y = 0; y < device.height(); ++y)
                for (int x = 0; x < device.width(); ++x)
                    QCOMPARE(device.pixel(x, y), QRect(QPoint(1, 1), dest).contains(x, y) ? qRgb(grey, grey, grey)
                                                                                         : qRgb(255, 0, 0));
        }
    }

    // On paper the bitmap goes out at its own pixels and the PDF scales it.
    void printsAtItsOwnPixels()
    {
        if (!HavePoppler()) QSKIP("poppler-utils is not installed");

        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(image.Load(write("p.bmp", paletteBitmap(3, 2, 0))));
        const QString pdf = m_dir.filePath("p.pdf");
        QVERIFY(printOnA4(image, pdf, 600, QRect(100, 100, 3000, 2000)));

        const QStringList lines = PdfImageList(pdf);
        QCOMPARE(lines.size(), 3);  // two heading lines and one image
        const QStringList fields = lines[2].simplified().split(' ');
        QCOMPARE(fields.value(3), QStringLiteral("3"));
        QCOMPARE(fields.value(4), QStringLiteral("2"));

        // Rendered at 60 dpi the destination is (10, 10) to (310, 210).
        const QImage page = RasterisePdfPage(pdf, 1, 60, true);
        QVERIFY(!page.isNull());
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const QRgb got = page.pixel(60 + 100 * x, 60 + 100 * y);
                const QRgb want = sourceColor(3, x, y);
                QVERIFY2(std::abs(qRed(got) - qRed(want)) <= 2 && std::abs(qGreen(got) - qGreen(want)) <= 2
                             && std::abs(qBlue(got) - qBlue(want)) <= 2,
                         qPrintable(QStringLiteral("source pixel %1,%2 shows %3 on a %4x%5 page")
                                        .arg(x).arg(y).arg(got, 8, 16).arg(page.width()).arg(page.height())));
            }
        }
    }

    // A bitmap with more pixels than its place on the sheet goes out reduced
    // to the device's pixels, cropped to the sheet, and still the right way
    // round, mirrored or not. Quadrants: red, green above blue, black.
    void printsWhatTheSheetShows_data()
    {
        QTest::addColumn<QRect>("dest");  // device pixels at 20 dpi; negative sizes mirror
        QTest::newRow("on the sheet") << QRect(20, 30, 100, 80);
        QTest::newRow("mirrored both ways") << QRect(120, 110, -100, -80);
        QTest::newRow("half off the sheet") << QRect(-100, 40, 200, 80);
    }

    void printsWhatTheSheetShows()
    {
        QFETCH(QRect, dest);
        if (!HavePoppler()) QSKIP("poppler-utils is not installed");
        const QRgb quadrant[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(0, 0, 0)}};
        const int w = 400, h = 300;
        QByteArray pixels;
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = quadrant[y >= h / 2][x >= w / 2];
                pixels.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            }
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(image.Load(write("q.bmp", crafted::Bitmap(w, h, 24, 0, 0, pixels))));
        const QString pdf = m_dir.filePath("q.pdf");
        QVERIFY(printOnA4(image, pdf, 20, dest));
        const QStringList fields = PdfImageList(pdf).value(2).simplified().split(' ');
        const QRect onSheet = QRect(0, 0, 165, 233).intersected(dest.normalized());
        QVERIFY2(fields.value(3).toInt() <= onSheet.width() + 1 && fields.value(4).toInt() <= onSheet.height() + 1,
                 qPrintable(fields.join(' ')));

        const QImage page = RasterisePdfPage(pdf, 1, 20, true);
        QVERIFY(!page.isNull());
        const QRect d = dest.normalized();
        for (int qy = 0; qy < 2; ++qy)
            for (int qx = 0; qx < 2; ++qx) {
                const QPoint probe(d.x() + d.width() * (1 + 2 * qx) / 4, d.y() + d.height() * (1 + 2 * qy) / 4);
                if (!page.rect().contains(probe)) continue;
                const QRgb want = quadrant[dest.height() < 0 ? 1 - qy : qy][dest.width() < 0 ? 1 - qx : qx];
                const QRgb got = page.pixel(probe);
                QVERIFY2(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want))
                                 + std::abs(qBlue(got) - qBlue(want)) <= 12,
                         qPrintable(QStringLiteral("quadrant %1,%2 shows %3").arg(qx).arg(qy).arg(got, 8, 16)));
            }
    }

    // The document's view of a raster target: extension, size, drawing, thumbnail.
    void targetImageSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pelsPerMeter");
        QTest::addColumn<QSize>("himetric");
        QTest::newRow("0 dpi counts as 72") << "Flat.BMP" << 0 << QSize(25400, 12700);
        QTest::newRow("300 dpi") << "fine.bmp" << 11811 << QSize(6096, 3048);
        QTest::newRow("72 dpi") << "c.Bmp" << 2835 << QSize(25400, 12700);
    }

    void targetImageSize()
    {
        QFETCH(QString, name);
        QFETCH(int, pelsPerMeter);
        QFETCH(QSize, himetric);
        TargetImage target;
        QVERIFY(target.Load(write(name, paletteBitmap(720, 360, pelsPerMeter))));
        QCOMPARE(target.kind(), int(TARGET_KIND_RASTER));
        QCOMPARE(target.GetSizeHimetric(), himetric);

        QImage thumb;
        QImage screen = makeDeviceImage(10, 10, 96, 96);
        QPainter painter(&screen);
        DeviceContext dc(&painter, 96, 96);
        QVERIFY(target.MakeBitmap(dc, thumb, 100, 80));
        QCOMPARE(thumb.size(), QSize(100, 50));
        // The first thumbnail pixel is the average of the 7.2-pixel square it
        // covers (the eighth row and column count a fifth): shrinking drops no
        // source pixel, so thin lines stay whole.
        double sum[3] = {0, 0, 0};
        double weights = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const double w = (x < 7 ? 1.0 : 0.2) * (y < 7 ? 1.0 : 0.2);
                const QRgb c = sourceColor(720, x, y);
                sum[0] += w * qRed(c);
                sum[1] += w * qGreen(c);
                sum[2] += w * qBlue(c);
                weights += w;
            }
        }
        const QRgb got = thumb.pixel(0, 0);
        QVERIFY2(qAbs(qRed(got) - sum[0] / weights) <= 2 && qAbs(qGreen(got) - sum[1] / weights) <= 2
                     && qAbs(qBlue(got) - sum[2] / weights) <= 2,
                 qPrintable(QStringLiteral("%1 %2 %3 against %4 %5 %6").arg(qRed(got)).arg(qGreen(got)).arg(qBlue(got))
                                .arg(sum[0] / weights).arg(sum[1] / weights).arg(sum[2] / weights)));
    }

    void targetImageOpensJpeg()
    {
        const QString corpus = corpusPath(QStringLiteral("jpeg/libjpeg-turbo/testorig.jpg"));
        SKIP_WITHOUT_CORPUS(corpus);
        QFile in(corpus);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray data = in.readAll();
        for (const char* name : {"t.JpEg", "t.JPG", "t.jpeg"}) {
            TargetImage target;
            QVERIFY2(target.Load(write(name, data)), name);
            QCOMPARE(target.kind(), int(TARGET_KIND_RASTER));
            QCOMPARE(target.raster()->Width(), 227u);
            QImage screen = makeDeviceImage(227, 149, 96, 96);
            screen.fill(Qt::black);
            QPainter painter(&screen);
            DeviceContext dc(&painter, 96, 96);
            QVERIFY(target.Draw(dc, GdiRect(0, 0, 227, 149)));
            painter.end();
            QCOMPARE(screen, target.raster()->ToImage().convertToFormat(QImage::Format_RGB32));
        }
        TargetImage other;
        QVERIFY(!other.Load(write("t.jpe", data)));
    }
};

QTEST_MAIN(TestRaster)
#include "tst_raster.moc"
