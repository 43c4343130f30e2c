#include <QtTest>

#include "print/DashedLine.h"

namespace {

// Records the pen operations as "M x,y" and "L x,y".
struct Recorder {
    QStringList ops;
    CDashedLine make(std::vector<int> pattern)
    {
        return CDashedLine(
            std::move(pattern), [this](int x, int y) { ops << QStringLiteral("M %1,%2").arg(x).arg(y); },
            [this](int x, int y) { ops << QStringLiteral("L %1,%2").arg(x).arg(y); });
    }
};

}  // namespace

class TestDashedLine : public QObject {
    Q_OBJECT
private slots:
    void inchesToPixels_data();
    void inchesToPixels();
    void patternSteps_data();
    void patternSteps();
    void patternCarriesAcrossSegments();
    void moveRestartsPattern();
    void borderOnPaper();
};

void TestDashedLine::inchesToPixels_data()
{
    QTest::addColumn<int>("ppi");
    QTest::addColumn<double>("inches");
    QTest::addColumn<int>("pixels");
    QTest::newRow("dash at 600") << 600 << 0.03 << 18;
    QTest::newRow("gap at 600") << 600 << 0.12 << 72;
    QTest::newRow("thickness at 600") << 600 << 1.0 / 150 << 4;
    QTest::newRow("thickness at 300") << 600 / 2 << 1.0 / 150 << 2;
    QTest::newRow("dash at 300 rounds") << 300 << 0.03 << 9;
    QTest::newRow("at least one") << 72 << 0.001 << 1;
}

void TestDashedLine::inchesToPixels()
{
    QFETCH(int, ppi);
    QFETCH(double, inches);
    QTEST(CDashedLine::InchesToPixels(ppi, inches), "pixels");
}

void TestDashedLine::patternSteps_data()
{
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QStringList>("ops");
    // Pattern 18 drawn, 72 blank.
    QTest::newRow("100 across") << QPoint(100, 0)
                                << QStringList{"M 0,0", "L 18,0", "M 90,0", "L 100,0"};
    QTest::newRow("ends exactly on a dash end") << QPoint(18, 0) << QStringList{"M 0,0", "L 18,0"};
    QTest::newRow("ends exactly on a gap end") << QPoint(90, 0) << QStringList{"M 0,0", "L 18,0", "M 90,0"};
    QTest::newRow("ends inside a gap") << QPoint(50, 0) << QStringList{"M 0,0", "L 18,0"};
    QTest::newRow("upwards") << QPoint(0, -20) << QStringList{"M 0,0", "L 0,-18"};
    QTest::newRow("diagonal steps the short axis") << QPoint(36, 18)
                                                   << QStringList{"M 0,0", "L 18,9"};
}

void TestDashedLine::patternSteps()
{
    QFETCH(QPoint, end);
    QFETCH(QStringList, ops);
    Recorder r;
    CDashedLine line = r.make({18, 72});
    line.MoveTo(0, 0);
    line.LineTo(end.x(), end.y());
    QCOMPARE(r.ops, ops);
}

void TestDashedLine::patternCarriesAcrossSegments()
{
    // The dash of 18 runs 10 along the top and 8 down the right side; the
    // gap of 4 follows and is half used up at the corner.
    Recorder r;
    CDashedLine line = r.make({18, 4});
    line.MoveTo(0, 0);
    line.LineTo(10, 0);
    line.LineTo(10, 10);
    QCOMPARE(r.ops, (QStringList{"M 0,0", "L 10,0", "L 10,8"}));
    QCOMPARE(line.CurrentEntry(), 1);
    QCOMPARE(line.PixelsLeft(), 2);
    line.LineTo(0, 10);
    QCOMPARE(r.ops.mid(3), (QStringList{"M 8,10", "L 0,10"}));
}

void TestDashedLine::moveRestartsPattern()
{
    Recorder r;
    CDashedLine line = r.make({5, 5});
    line.MoveTo(0, 0);
    line.LineTo(7, 0);  // into the gap
    QCOMPARE(line.CurrentEntry(), 1);
    line.MoveTo(0, 10);
    QCOMPARE(line.CurrentEntry(), 0);
    QCOMPARE(line.PixelsLeft(), 5);
    line.LineTo(3, 10);
    QCOMPARE(r.ops.last(), QStringLiteral("L 3,10"));
}

void TestDashedLine::borderOnPaper()
{
    // The cut border at 600 dpi: 4 pixels thick (4 passes of a 4-pixel pen),
    // dashes of 18 every 90 pixels.
    QImage image = makeDeviceImage(1200, 800, 600, 600);
    {
        QPainter p(&image);
        DeviceContext dc(&p, 600, 600);
        DrawCutBorder(dc, GdiRect(100, 100, 1100, 700));
    }
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    // Inside the first dash of the top edge the band runs from 2 above the
    // line to 2 below the fourth pass.
    for (int y = 98; y <= 104; ++y) QVERIFY2(dark(110, y), qPrintable(QString::number(y)));
    QVERIFY(!dark(110, 95));
    QVERIFY(!dark(110, 108));
    // Middle of the first gap and of the interior are blank.
    QVERIFY(!dark(100 + 18 + 36, 101));
    QVERIFY(!dark(600, 400));
    // Count the dashes along the top edge: one every 90 pixels over 1000.
    int runs = 0;
    bool inRun = false;
    for (int x = 95; x < 1105; ++x) {
        const bool d = dark(x, 101);
        if (d && !inRun) ++runs;
        inRun = d;
    }
    QVERIFY2(runs >= 11 && runs <= 13, qPrintable(QString::number(runs)));
}

QTEST_MAIN(TestDashedLine)
#include "tst_dashedline.moc"
