// Picture targets: PictureImage's load, sizes, the 27-unit source rectangle,
// natural-size drawing and thumbnails; ".vnt" and ".wmf" documents through
// TargetImage; the shipped metafile targets.
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "document/PictureImage.h"
#include "document/TargetImage.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"

namespace {

constexpr int INCH = 1440;

// 4 x 3 inches with a black one-inch circle one inch from the top-left corner.
QByteArray circleFile()
{
    WmfWriter w(0, 0, 4 * INCH, 3 * INCH, INCH);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, 0));
    w.ellipse(INCH, INCH, 2 * INCH, 2 * INCH);
    return w.finish();
}

QByteArray vntHeader(unsigned char marker)
{
    QByteArray h(100, '\0');
    h.replace(0, 5, "title");
    h[6] = char(50);
    h[50] = char(marker);
    return h;
}

QRect inked(const QImage& img)
{
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) { l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y); }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

bool loadFrom(PictureImage& pic, const QByteArray& data, qint64 offset = 0)
{
    QBuffer buf;
    buf.setData(data);
    buf.open(QIODevice::ReadOnly);
    buf.seek(offset);
    return pic.Load(buf);
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void sizes();
    void loadFromPosition();
    void loadFailures_data();
    void loadFailures();
    void renderUsesSourceRectangle_data();
    void renderUsesSourceRectangle();
    void naturalSize();
    void thumbnail();
    void documents_data();
    void documents();
    void shippedTargets_data();
    void shippedTargets();
};

void TestPicture::sizes()
{
    PictureImage pic;
    QCOMPARE(pic.GetSizeHimetric(), QSize(0, 0));
    QCOMPARE(pic.lastSizeResult(), -1);
    QVERIFY(loadFrom(pic, circleFile()));
    QCOMPARE(pic.GetSizeHimetric(), QSize(10160, 7620));
    QCOMPARE(pic.lastSizeResult(), 0);
    QImage img = makeDeviceImage(10, 10, 300, 300);
    QPainter p(&img);
    DeviceContext dc(&p, 300, 300);
    QCOMPARE(pic.GetSizeDevice(&dc), QSize(1200, 900));
    QCOMPARE(pic.GetSizeDevice(nullptr), QSize(384, 288));
    pic.Clear();
    QCOMPARE(pic.GetSizeHimetric(), QSize(0, 0));
    QCOMPARE(pic.GetSizeDevice(&dc), QSize(0, 0));
}

void TestPicture::loadFromPosition()
{
    PictureImage pic;
    QVERIFY(loadFrom(pic, QByteArray(37, 'j') + circleFile(), 37));
    QVERIFY(!loadFrom(pic, QByteArray(37, 'j') + circleFile(), 0));
    QVERIFY(!pic.isLoaded());
}

void TestPicture::loadFailures_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated header") << circleFile().left(30);
    QTest::newRow("no placeable header") << circleFile().mid(22);
    QTest::newRow("text") << QByteArray("This is not a metafile at all, but it is long enough to be read.");
}

void TestPicture::loadFailures()
{
    QFETCH(QByteArray, data);
    PictureImage pic;
    QVERIFY(!loadFrom(pic, data));
    QCOMPARE(pic.GetSizeHimetric(), QSize(0, 0));
}

void TestPicture::renderUsesSourceRectangle_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("96") << 96;
    QTest::newRow("300") << 300;
    QTest::newRow("600") << 600;
}

void TestPicture::renderUsesSourceRectangle()
{
    QFETCH(int, dpi);
    PictureImage pic;
    QVERIFY(loadFrom(pic, circleFile()));
    QImage img = makeDeviceImage(4 * dpi, 3 * dpi, dpi, dpi);
    QPainter p(&img);
    DeviceContext dc(&p, dpi, dpi);
    pic.Render(dc, 0, 0, 4 * dpi, 3 * dpi, nullptr);
    p.end();
    // The source is 27 HIMETRIC wider and taller than the picture: 10160 of 10187
    // across and 7620 of 7647 down, so the circle sits a little up and left.
    const double fx = 10160.0 / 10187.0, fy = 7620.0 / 7647.0;
    const QRect box = inked(img);
    QVERIFY2(std::abs(box.left() - dpi * fx) <= 1 && std::abs(box.top() - dpi * fy) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(box.left()).arg(box.top())));
    QVERIFY2(std::abs(box.right() + 1 - 2 * dpi * fx) <= 1 && std::abs(box.bottom() + 1 - 2 * dpi * fy) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(box.right()).arg(box.bottom())));
}

void TestPicture::naturalSize()
{
    PictureImage pic;
    QVERIFY(loadFrom(pic, circleFile()));
    QImage img = makeDeviceImage(800, 600, 200, 200);
    QPainter p(&img);
    DeviceContext dc(&p, 200, 200);
    p.translate(50, 40);
    pic.Render(dc, 0, 0, 0, 0, nullptr);
    p.end();
    const QRect box = inked(img);
    QVERIFY2(std::abs(box.left() - (50 + 200 * 10160.0 / 10187)) <= 1, qPrintable(QString::number(box.left())));
    QVERIFY2(std::abs(box.width() - 200 * 10160.0 / 10187) <= 2, qPrintable(QString::number(box.width())));
}

void TestPicture::thumbnail()
{
    PictureImage pic;
    QVERIFY(loadFrom(pic, circleFile()));
    QImage screen = makeDeviceImage(1, 1, 96, 96);
    QPainter p(&screen);
    DeviceContext dc(&p, 96, 96);
    QImage bitmap;
    // A 4:3 picture asked for at 96 x 96 gives 96 x 72 on white.
    QVERIFY(pic.MakeBitmap(dc, bitmap, 96, 96));
    QCOMPARE(bitmap.size(), QSize(96, 72));
    QCOMPARE(QColor(bitmap.pixel(0, 0)), QColor(Qt::white));
    QCOMPARE(QColor(bitmap.pixel(36, 36)), QColor(Qt::black));
    PictureImage empty;
    QVERIFY(!empty.MakeBitmap(dc, bitmap, 96, 96));
}

void TestPicture::documents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    QTest::newRow("wmf") << "a.wmf" << circleFile() << true;
    QTest::newRow("WMF upper case") << "B.WMF" << circleFile() << true;
    QTest::newRow("vnt marker 1E") << "c.vnt" << vntHeader(0x1E) + circleFile() << true;
    QTest::newRow("vnt marker 1F") << "d.VNT" << vntHeader(0x1F) + circleFile() << true;
    QTest::newRow("vnt bad marker") << "e.vnt" << vntHeader(0x20) + circleFile() << false;
    QTest::newRow("vnt without header") << "f.vnt" << circleFile() << false;
    QTest::newRow("vnt with broken picture") << "g.vnt" << vntHeader(0x16) + circleFile().left(40) << false;
    QTest::newRow("wmf with target header") << "h.wmf" << vntHeader(0x1E) + circleFile() << false;
}

void TestPicture::documents()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    TargetImage target;
    QCOMPARE(target.Load(path), loads);
    if (!loads) return;
    QCOMPARE(target.kind(), int(TARGET_KIND_PICTURE));
    QCOMPARE(target.GetSizeHimetric(), QSize(10160, 7620));
    QImage img = makeDeviceImage(400, 300, 100, 100);
    QPainter p(&img);
    DeviceContext dc(&p, 100, 100);
    QVERIFY(target.Draw(dc, GdiRect(0, 0, 400, 300)));
    p.end();
    QVERIFY(!inked(img).isNull());
}

void TestPicture::shippedTargets_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("himetric");
    QTest::addColumn<double>("blackDiameterMm");
    QTest::newRow("pistol") << "25m Precision Pistol.vnt" << QSize(55000, 55000) << 200.0;
    QTest::newRow("rifle") << "50m Smallbore Rifle.vnt" << QSize(17000, 17000) << 122.4;
    QTest::newRow("sight-in") << "Sight-in Grid 8x10.wmf" << QSize(20320, 25400) << 2 * 25.4;
}

void TestPicture::shippedTargets()
{
    QFETCH(QString, file);
    QFETCH(QSize, himetric);
    QFETCH(double, blackDiameterMm);
    TargetImage target;
    QVERIFY(target.Load(QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/") + file));
    QCOMPARE(target.GetSizeHimetric(), himetric);
    // Drawn at actual size at 50 dpi, the black centre measures its diameter across
    // the middle row (the source rectangle's 27 units shrink it by under 0.2 %).
    const int dpi = 50;
    const int w = himetric.width() * dpi / 2540, h = himetric.height() * dpi / 2540;
    QImage img = makeDeviceImage(w, h, dpi, dpi);
    QPainter p(&img);
    DeviceContext dc(&p, dpi, dpi);
    QVERIFY(target.Draw(dc, GdiRect(0, 0, w, h)));
    p.end();
    // Along the diagonal through the centre (clear of the ring numbers), bridging
    // the thin white ring lines inside the black.
    const double cx = w / 2.0, cy = h / 2.0;
    int first = 0, gap = 0, best = 0;
    bool inRun = false;
    for (int t = -std::min(w, h) / 2; t < std::min(w, h) / 2; ++t) {
        const int x = int(cx + t / std::sqrt(2.0)), y = int(cy + t / std::sqrt(2.0));
        if (qGray(img.pixel(x, y)) < 100) {
            if (!inRun || gap > 6) first = t;
            inRun = true;
            gap = 0;
            best = std::max(best, t - first + 1);
        } else if (inRun) {
            ++gap;
        }
    }
    const double measured = best * 25.4 / dpi;
    QVERIFY2(std::abs(measured - blackDiameterMm) < 2.5 * 25.4 / dpi, qPrintable(QString::number(measured)));
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
