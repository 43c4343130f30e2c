#include "view/CommandLineOptions.h"

#include <QTest>

class TestCommandLineOptions : public QObject {
    Q_OBJECT
private slots:
    void distance_data();
    void distance();
    void distanceChecks_data();
    void distanceChecks();
    void tile_data();
    void tile();
    void tileChecks_data();
    void tileChecks();
};

void TestCommandLineOptions::distance_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("shooter");
    QTest::addColumn<int>("shooterUnits");
    QTest::addColumn<double>("target");
    QTest::addColumn<int>("targetUnits");

    QTest::newRow("yards") << "25yd:100yd" << true << 25.0 << 3030 << 100.0 << 3040;
    QTest::newRow("mixed") << "25yd:50m" << true << 25.0 << 3030 << 50.0 << 3042;
    QTest::newRow("feet, fraction, case") << "12.5FT:100Ft" << true << 12.5 << 3031 << 100.0 << 3041;
    QTest::newRow("metres") << "10m:25m" << true << 10.0 << 3032 << 25.0 << 3042;
    QTest::newRow("unit missing") << "25:100yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("unknown unit") << "25in:100yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("one distance") << "25yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("three distances") << "25yd:50yd:75yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("negative") << "-25yd:100yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("two points") << "2.5.1yd:100yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("beyond the fields' range") << "25yd:1001yd" << false << 0.0 << 0 << 0.0 << 0;
    QTest::newRow("empty") << "" << false << 0.0 << 0 << 0.0 << 0;
}

void TestCommandLineOptions::distance()
{
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(double, shooter);
    QFETCH(int, shooterUnits);
    QFETCH(double, target);
    QFETCH(int, targetUnits);

    DistanceOption option;
    option.shooterDistance = -1.0;
    const QString error = ParseDistanceOption(value, &option);
    QCOMPARE(error.isEmpty(), ok);
    if (!ok) {
        QVERIFY(error.startsWith(QLatin1String("--distance")));
        QCOMPARE(option.shooterDistance, -1.0);
        return;
    }
    QCOMPARE(option.shooterDistance, shooter);
    QCOMPARE(option.shooterUnits, shooterUnits);
    QCOMPARE(option.targetDistance, target);
    QCOMPARE(option.targetUnits, targetUnits);
}

void TestCommandLineOptions::distanceChecks_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("suffixes");

    QTest::newRow("quarter") << "25yd:100yd" << 25400.0 << "" << 0.25 << "yds. yds.";
    QTest::newRow("mixed units") << "25yd:50m" << 25400.0 << "" << 0.4572 << "yds. m";
    QTest::newRow("equal") << "25yd:25yd" << 25400.0
                           << "Distance to target must be greater than distance to shooter." << 0.0 << "";
    QTest::newRow("too small") << "5yd:1000yd" << 25400.0
                               << "Scale distance is too large. The target will be less than 1/2 inch tall." << 0.0
                               << "";
    QTest::newRow("no picture") << "25yd:100yd" << 0.0 << "Current target has invalid heigth value." << 0.0 << "";
}

void TestCommandLineOptions::distanceChecks()
{
    QFETCH(QString, value);
    QFETCH(double, height);
    QFETCH(QString, message);
    QFETCH(double, scale);
    QFETCH(QString, suffixes);

    DistanceOption option;
    QVERIFY(ParseDistanceOption(value, &option).isEmpty());
    double got = 0.0;
    QCOMPARE(CheckDistanceOption(option, height, &got), message);
    if (message.isEmpty()) {
        QVERIFY(qAbs(got - scale) < 1e-12);
        QCOMPARE(ShooterSuffix(option) + QLatin1Char(' ') + TargetSuffix(option), suffixes);
    }
}

void TestCommandLineOptions::tile_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("hasSpacing");
    QTest::addColumn<double>("rowGap");
    QTest::addColumn<double>("colGap");

    QTest::newRow("grid") << "3x2" << true << 3 << 2 << false << 0.0 << 0.0;
    QTest::newRow("grid and gaps") << "3x2@0.5,0.25" << true << 3 << 2 << true << 0.5 << 0.25;
    QTest::newRow("capital X") << "2X4@1,0" << true << 2 << 4 << true << 1.0 << 0.0;
    QTest::newRow("zero rows") << "0x2" << false << 0 << 0 << false << 0.0 << 0.0;
    QTest::newRow("one gap only") << "3x2@0.5" << false << 0 << 0 << false << 0.0 << 0.0;
    QTest::newRow("negative gap") << "3x2@-0.5,0" << false << 0 << 0 << false << 0.0 << 0.0;
    QTest::newRow("garbage") << "3 by 2" << false << 0 << 0 << false << 0.0 << 0.0;
    QTest::newRow("huge count") << "99999x2" << false << 0 << 0 << false << 0.0 << 0.0;
}

void TestCommandLineOptions::tile()
{
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, hasSpacing);
    QFETCH(double, rowGap);
    QFETCH(double, colGap);

    TileOption option;
    const QString error = ParseTileOption(value, &option);
    QCOMPARE(error.isEmpty(), ok);
    if (!ok) {
        QVERIFY(error.startsWith(QLatin1String("--tile")));
        return;
    }
    QCOMPARE(option.rows, rows);
    QCOMPARE(option.cols, cols);
    QCOMPARE(option.hasSpacing, hasSpacing);
    QCOMPARE(option.rowSpacing, rowGap);
    QCOMPARE(option.colSpacing, colGap);
}

void TestCommandLineOptions::tileChecks_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rowGap");
    QTest::addColumn<int>("colGap");

    // On 8 x 10.5 inches.
    QTest::newRow("3 x 2 of 3 in") << "3x2@0.5,0.25" << 7620 << 7620 << true << 1270 << 635;
    QTest::newRow("largest gaps") << "3x2@0.5,1" << 7620 << 7620 << true << 1270 << 2540;
    QTest::newRow("row gap too large") << "3x2@0.6,0" << 7620 << 7620 << false << 0 << 0;
    QTest::newRow("column gap too large") << "1x2@0,1.1" << 7620 << 7620 << false << 0 << 0;
    QTest::newRow("too many columns") << "3x3" << 7620 << 7620 << false << 0 << 0;
    QTest::newRow("too many rows") << "4x2" << 7620 << 7620 << false << 0 << 0;
    QTest::newRow("one column, wide gap") << "2x1@0,5" << 7620 << 7620 << true << 0 << 12700;
    QTest::newRow("target too large") << "2x1" << 20000 << 20000 << false << 0 << 0;
    QTest::newRow("no picture") << "2x1" << 0 << 0 << false << 0 << 0;
}

void TestCommandLineOptions::tileChecks()
{
    QFETCH(QString, value);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, ok);
    QFETCH(int, rowGap);
    QFETCH(int, colGap);

    TileOption option;
    QVERIFY(ParseTileOption(value, &option).isEmpty());
    TileGrid grid;
    const QString error = CheckTileOption(option, w, h, 20320, 26670, &grid);
    QCOMPARE(error.isEmpty(), ok);
    if (!ok) {
        QVERIFY(error.startsWith(QLatin1String("--tile")));
        return;
    }
    QCOMPARE(grid.rows, option.rows);
    QCOMPARE(grid.cols, option.cols);
    QCOMPARE(grid.rowSpacing, rowGap);
    QCOMPARE(grid.colSpacing, colGap);
}

QTEST_MAIN(TestCommandLineOptions)
#include "tst_cmdline_options.moc"
