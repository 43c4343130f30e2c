// Pixels of metafiles of known geometry at 96, 300 and 600 dpi, and the
// vector output on paper.
#include <QPdfWriter>
#include <QPicture>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "helper_wmf.h"
#include "wmf/WmfDecoder.h"
#include "wmf/WmfPlayer.h"
#include "wmf/writer/WmfWriter.h"

using namespace wmf;

namespace {

// 4 x 3 inches at 1440 units per inch.
constexpr int INCH = 1440;

WmfWriter sheet() { return WmfWriter(0, 0, 4 * INCH, 3 * INCH, INCH); }

Picture decoded(WmfWriter& w)
{
    Picture pic;
    if (!decode(w.finish(), pic)) qFatal("test file does not decode");
    return pic;
}

QImage renderAt(const Picture& pic, int dpi) { return wmftest::render(pic, 4 * dpi, 3 * dpi, dpi); }

// Inked runs along a row band: lengths of alternating on and off runs, starting with on.
std::vector<int> runs(const QImage& img, int y, int x0, int x1)
{
    std::vector<int> out;
    bool on = true;
    int len = 0;
    bool started = false;
    for (int x = x0; x < x1; ++x) {
        bool ink = false;
        for (int yy = y - 1; yy <= y + 1; ++yy)
            if (yy >= 0 && yy < img.height() && qRed(img.pixel(x, yy)) < 180) ink = true;
        if (!started) {
            if (!ink) continue;
            started = true;
        }
        if (ink == on) {
            ++len;
        } else {
            out.push_back(len);
            on = ink;
            len = 1;
        }
    }
    if (started && on) out.push_back(len);
    return out;
}

bool near(int value, int expected, int tolerance) { return std::abs(value - expected) <= tolerance; }

} // namespace

class TestWmfRender : public QObject {
    Q_OBJECT
private slots:
    void circle_data();
    void circle();
    void textBaseline_data();
    void textBaseline();
    void penStyles_data();
    void penStyles();
    void widePen_data();
    void widePen();
    void updateCurrentPosition();
    void rotatedText();
    void hatch_data();
    void hatch();
    void clipping();
    void ropNop();
    void bitmap();
    void pdfStaysVector();
    void callerClipAndReplayedPens();
};

void TestWmfRender::circle_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("96") << 96;
    QTest::newRow("300") << 300;
    QTest::newRow("600") << 600;
}

void TestWmfRender::circle()
{
    QFETCH(int, dpi);
    WmfWriter w = sheet();
    w.selectObject(w.createPen(PS_NULL, 0, 0));
    w.selectObject(w.createBrush(BS_SOLID, 0));
    // A one-inch circle whose box starts one inch from the top-left corner.
    w.ellipse(INCH, INCH, 2 * INCH, 2 * INCH);
    const QRect box = wmftest::inkedBox(renderAt(decoded(w), dpi));
    QVERIFY2(near(box.left(), dpi, 1) && near(box.top(), dpi, 1), qPrintable(QStringLiteral("%1,%2").arg(box.left()).arg(box.top())));
    QVERIFY2(near(box.right(), 2 * dpi - 1, 1) && near(box.bottom(), 2 * dpi - 1, 1),
             qPrintable(QStringLiteral("%1,%2").arg(box.right()).arg(box.bottom())));
}

void TestWmfRender::textBaseline_data() { circle_data(); }

void TestWmfRender::textBaseline()
{
    QFETCH(int, dpi);
    WmfWriter w = sheet();
    // 0.2-inch character height (em), baseline 2.5 inches down, starting 3 inches in.
    w.selectObject(w.createFont(-288, 400, "Arial"));
    w.setTextAlign(24);  // TA_BASELINE
    w.setBkMode(1);
    w.setTextColor(0x0000FF);
    w.textOut(3 * INCH, 5 * INCH / 2, "HH");
    const QRect box = wmftest::colourBox(renderAt(decoded(w), dpi), qRgb(255, 0, 0), 200);
    QVERIFY(!box.isNull());
    const double baseline = 2.5 * dpi;
    // Liberation Sans (Arial's metrics) has a cap height of 0.716 em.
    const double capTop = baseline - 0.716 * 0.2 * dpi;
    QVERIFY2(near(box.bottom(), int(baseline) - 1, 1), qPrintable(QString::number(box.bottom())));
    QVERIFY2(std::abs(box.top() - capTop) <= 1.5 + 0.005 * dpi, qPrintable(QString::number(box.top())));
    QVERIFY2(box.left() >= 3 * dpi && box.left() <= 3 * dpi + 0.03 * dpi + 1, qPrintable(QString::number(box.left())));
}

void TestWmfRender::penStyles_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("style");
    QTest::addColumn<std::vector<int>>("pattern");   // device pixels: on, off, on, off...; empty: nothing drawn
    for (int dpi : {96, 300, 600}) {
        const QByteArray d = QByteArray::number(dpi);
        QTest::newRow(d + " dash") << dpi << int(PS_DASH) << std::vector<int>{18, 6, 18, 6};
        QTest::newRow(d + " dot") << dpi << int(PS_DOT) << std::vector<int>{3, 3, 3, 3};
        QTest::newRow(d + " dash dot") << dpi << int(PS_DASHDOT) << std::vector<int>{9, 6, 3, 6, 9};
        QTest::newRow(d + " dash dot dot") << dpi << int(PS_DASHDOTDOT) << std::vector<int>{9, 3, 3, 3, 3, 3, 9};
        QTest::newRow(d + " solid") << dpi << int(PS_SOLID) << std::vector<int>{-1};
        QTest::newRow(d + " inside frame") << dpi << int(PS_INSIDEFRAME) << std::vector<int>{-1};
        QTest::newRow(d + " null") << dpi << int(PS_NULL) << std::vector<int>{};
    }
}

Q_DECLARE_METATYPE(std::vector<int>)

void TestWmfRender::penStyles()
{
    QFETCH(int, dpi);
    QFETCH(int, style);
    QFETCH(std::vector<int>, pattern);
    WmfWriter w = sheet();
    w.selectObject(w.createPen(style, 0, 0xFF0000));
    w.moveTo(INCH / 2, INCH);
    w.lineTo(7 * INCH / 2, INCH);
    const QImage img = renderAt(decoded(w), dpi);
    const std::vector<int> got = runs(img, dpi, 0, img.width());
    if (pattern.empty()) {
        QVERIFY(got.empty());
        return;
    }
    QVERIFY(!got.empty());
    if (pattern[0] < 0) {
        QCOMPARE(int(got.size()), 1);
        QVERIFY(near(got[0], 3 * dpi, 2));
        return;
    }
    QVERIFY(got.size() >= pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i)
        QVERIFY2(near(got[i], pattern[i], 2), qPrintable(QStringLiteral("run %1 is %2").arg(i).arg(got[i])));
}

void TestWmfRender::widePen_data() { circle_data(); }

void TestWmfRender::widePen()
{
    QFETCH(int, dpi);
    WmfWriter w = sheet();
    // A tenth of an inch wide, so it scales with the resolution.
    w.selectObject(w.createPen(PS_SOLID, INCH / 10, 0));
    w.moveTo(INCH, INCH);
    w.lineTo(3 * INCH, INCH);
    const QRect box = wmftest::inkedBox(renderAt(decoded(w), dpi));
    QVERIFY2(near(box.height(), dpi / 10, 1), qPrintable(QString::number(box.height())));
}

void TestWmfRender::updateCurrentPosition()
{
    auto draw = [](bool split) {
        WmfWriter w = sheet();
        w.selectObject(w.createFont(-288, 400, "Arial"));
        w.setBkMode(1);
        w.setTextAlign(1 | 24);  // TA_UPDATECP | TA_BASELINE
        w.moveTo(INCH / 2, 2 * INCH);
        if (split) {
            w.textOut(0, 0, "HE");
            w.textOut(0, 0, "LL");
        } else {
            w.textOut(0, 0, "HELL");
        }
        return wmftest::inkedBox(renderAt(decoded(w), 300));
    };
    const QRect once = draw(false), twice = draw(true);
    QVERIFY2(once.left() >= 150 && once.left() <= 160, qPrintable(QString::number(once.left())));
    QVERIFY2(near(twice.right(), once.right(), 2), qPrintable(QStringLiteral("%1 vs %2").arg(twice.right()).arg(once.right())));
}

void TestWmfRender::rotatedText()
{
    WmfWriter w = sheet();
    w.selectObject(w.createFont(-288, 400, "Arial", 900));
    w.setBkMode(1);
    w.setTextAlign(24);
    w.textOut(2 * INCH, 2 * INCH, "HHHH");
    const QRect box = wmftest::inkedBox(renderAt(decoded(w), 300));
    // Turned a quarter counter-clockwise: the text rises from its start point.
    QVERIFY(box.height() > 2 * box.width());
    QVERIFY(near(box.bottom(), 600, 8));
    QVERIFY(box.right() <= 601);
}

void TestWmfRender::hatch_data() { circle_data(); }

void TestWmfRender::hatch()
{
    QFETCH(int, dpi);
    WmfWriter w = sheet();
    w.selectObject(w.createPen(PS_NULL, 0, 0));
    w.selectObject(w.createBrush(BS_HATCHED, 0, 0));  // HS_HORIZONTAL
    w.setBkMode(1);
    w.rectangle(INCH, INCH, 2 * INCH, 2 * INCH);
    const QImage img = renderAt(decoded(w), dpi);
    // Hatch lines repeat every eight device pixels at any resolution.
    std::vector<int> rows;
    for (int y = dpi; y < 2 * dpi; ++y)
        if (qGray(img.pixel(dpi * 3 / 2, y)) < 128) rows.push_back(y);
    QVERIFY(rows.size() > 4);
    for (size_t i = 1; i < rows.size(); ++i) QCOMPARE(rows[i] - rows[i - 1], 8);
}

void TestWmfRender::clipping()
{
    WmfWriter w = sheet();
    w.selectObject(w.createPen(PS_NULL, 0, 0));
    w.selectObject(w.createBrush(BS_SOLID, 0));
    w.saveDc();
    w.intersectClipRect(INCH, INCH, 2 * INCH, 2 * INCH);
    w.excludeClipRect(INCH, INCH, 2 * INCH, 3 * INCH / 2);
    w.rectangle(0, 0, 4 * INCH, 3 * INCH);
    w.restoreDc(-1);
    w.rectangle(3 * INCH, 0, 4 * INCH, INCH / 2);  // after the restore: unclipped
    const QImage img = renderAt(decoded(w), 100);
    QCOMPARE(wmftest::inkedBox(img.copy(0, 0, 250, 300)), QRect(QPoint(100, 150), QPoint(199, 199)));
    QCOMPARE(wmftest::inkedBox(img.copy(250, 0, 150, 300)), QRect(QPoint(50, 0), QPoint(149, 49)));
}

void TestWmfRender::ropNop()
{
    WmfWriter w = sheet();
    w.selectObject(w.createBrush(BS_SOLID, 0));
    w.setRop2(11);  // R2_NOP
    w.rectangle(0, 0, INCH, INCH);
    QVERIFY(wmftest::inkedBox(renderAt(decoded(w), 96)).isNull());
}

void TestWmfRender::bitmap()
{
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.setPixel(1, 1, qRgb(0, 0, 255));
    WmfWriter w = sheet();
    w.stretchDib(INCH, INCH, 2 * INCH, INCH, red);
    const QImage img = renderAt(decoded(w), 100);
    QCOMPARE(wmftest::colourBox(img, qRgb(255, 0, 0), 30), QRect(QPoint(100, 100), QPoint(299, 199)));
    QCOMPARE(wmftest::colourBox(img, qRgb(0, 0, 255), 30), QRect(QPoint(200, 150), QPoint(299, 199)));
}

void TestWmfRender::pdfStaysVector()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (pdftotext.isEmpty() || pdfimages.isEmpty()) QSKIP("poppler-utils are not installed");
    WmfWriter w = sheet();
    w.selectObject(w.createBrush(BS_SOLID, 0x0000FF));
    w.ellipse(INCH, INCH, 2 * INCH, 2 * INCH);
    w.selectObject(w.createFont(-288, 400, "Arial"));
    w.textOut(INCH, INCH / 4, "Precision 25m");
    const Picture pic = decoded(w);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        QPainter p(&writer);
        Player player(pic, &p, QRectF(0, 0, 2400, 1800));
        player.play();
    }
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    QVERIFY(text.readAllStandardOutput().contains("Precision 25m"));
    QProcess images;
    images.start(pdfimages, {QStringLiteral("-list"), pdf});
    QVERIFY(images.waitForFinished());
    // The listing has two header lines and one line per image: none here.
    QCOMPARE(images.readAllStandardOutput().trimmed().split('\n').size(), 2);
}

void TestWmfRender::callerClipAndReplayedPens()
{
    // A black sheet with a wide white line across it.
    WmfWriter w = sheet();
    w.selectObject(w.createPen(PS_NULL, 0, 0));
    w.selectObject(w.createBrush(BS_SOLID, 0));
    w.rectangle(0, 0, 4 * INCH + 1, 3 * INCH + 1);
    w.selectObject(w.createPen(PS_SOLID, INCH / 10, 0xFFFFFF));
    w.moveTo(0, INCH);
    w.lineTo(4 * INCH, INCH);
    const Picture pic = decoded(w);

    // The caller's clip holds: a poster sheet shows only its share, nothing
    // in the margins, although the picture clips itself to its frame.
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setClipRect(QRect(50, 40, 200, 150));
        Player player(pic, &p, QRectF(0, 0, 400, 300));
        player.play();
    }
    QCOMPARE(wmftest::inkedBox(img), QRect(50, 40, 200, 150));

    // Recorded at 1200 dpi and replayed at a tenth of that, as print preview
    // does: the line stays a tenth of an inch (12 pixels), not 120.
    QPicture recorded;
    {
        QPainter p(&recorded);
        Player player(pic, &p, QRectF(0, 0, 4 * 1200, 3 * 1200));
        player.play();
    }
    QImage replay(480, 360, QImage::Format_RGB32);
    replay.fill(Qt::white);
    {
        QPainter p(&replay);
        p.scale(0.1, 0.1);
        recorded.play(&p);
    }
    int white = 0;
    for (int y = 0; y < replay.height(); ++y) white += qRed(replay.pixel(240, y)) > 128;
    QVERIFY2(near(white, 12, 2), qPrintable(QString::number(white)));
}

QTEST_MAIN(TestWmfRender)
#include "tst_wmfrender.moc"
