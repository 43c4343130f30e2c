#include "view/TileLayout.h"

#include <QTest>

// Sizes in hundredths of a millimetre: 2540 to the inch.
class TestTileLayout : public QObject {
    Q_OBJECT
private slots:
    void limits_data();
    void limits();
    void valuesClamped_data();
    void valuesClamped();
    void columnsChangeTheLargestGap();
    void silentRecompute_data();
    void silentRecompute();
    void takeValues_data();
    void takeValues();
    void gridCentred_data();
    void gridCentred();
};

void TestTileLayout::limits_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("PW");
    QTest::addColumn<int>("PH");
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<int>("maxCols");
    QTest::addColumn<double>("maxRowGap");
    QTest::addColumn<double>("maxColGap");

    QTest::newRow("3 in on 8 x 10.5 in") << 7620 << 7620 << 20320 << 26670 << 3 << 2 << 0.5 << 1.0;
    QTest::newRow("taller than half") << 5080 << 15000 << 20320 << 26670 << 1 << 4 << 4.594488188976378 << 0.0;  // 11670 / 2540
    QTest::newRow("exact fit leaves no gap") << 5080 << 5080 << 20320 << 20320 << 4 << 4 << 0.0 << 0.0;
    QTest::newRow("no picture") << 0 << 0 << 20320 << 26670 << 1 << 1 << 10.5 << 8.0;
}

void TestTileLayout::limits()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, PW);
    QFETCH(int, PH);
    QFETCH(int, maxRows);
    QFETCH(int, maxCols);
    QFETCH(double, maxRowGap);
    QFETCH(double, maxColGap);

    TileSpacingModel m;
    m.SetLimits(w, h, PW, PH);
    QCOMPARE(m.m_nMaxRows, maxRows);
    QCOMPARE(m.m_nMaxCols, maxCols);
    // First opening: as many as fit, no gaps.
    m.SetValues(0, 0, 0, 0);
    QCOMPARE(m.m_nRows, maxRows);
    QCOMPARE(m.m_nCols, maxCols);
    QCOMPARE(m.m_dRowSpacing, 0.0);
    QCOMPARE(m.m_dColSpacing, 0.0);
    QVERIFY(qAbs(m.m_dMaxRowSpacing - maxRowGap) < 1e-12);
    QVERIFY(qAbs(m.m_dMaxColSpacing - maxColGap) < 1e-12);
}

void TestTileLayout::valuesClamped_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rowGap");
    QTest::addColumn<int>("colGap");
    QTest::addColumn<int>("expRows");
    QTest::addColumn<int>("expCols");
    QTest::addColumn<int>("expRowGap");
    QTest::addColumn<int>("expColGap");

    // 3 x 3 inch target on 8 x 10.5 inches.
    QTest::newRow("within") << 2 << 2 << 1270 << 635 << 2 << 2 << 1270 << 635;
    QTest::newRow("too many") << 9 << 9 << 0 << 0 << 3 << 2 << 0 << 0;
    QTest::newRow("gaps above the largest") << 3 << 2 << 5000 << 5000 << 3 << 2 << 1270 << 2540;
    QTest::newRow("negative gaps") << 3 << 2 << -100 << -1 << 3 << 2 << 0 << 0;
    QTest::newRow("one column allows a wide gap") << 3 << 1 << 0 << 12000 << 3 << 1 << 0 << 12000;
    QTest::newRow("one column gap capped at 5 in") << 3 << 1 << 0 << 20000 << 3 << 1 << 0 << 12700;
}

void TestTileLayout::valuesClamped()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, rowGap);
    QFETCH(int, colGap);
    QFETCH(int, expRows);
    QFETCH(int, expCols);
    QFETCH(int, expRowGap);
    QFETCH(int, expColGap);

    TileSpacingModel m;
    m.SetLimits(7620, 7620, 20320, 26670);
    m.SetValues(rows, cols, rowGap, colGap);
    int r = -1, c = -1, rg = -1, cg = -1;
    m.GetValues(r, c, rg, cg);
    QCOMPARE(r, expRows);
    QCOMPARE(c, expCols);
    QCOMPARE(rg, expRowGap);
    QCOMPARE(cg, expColGap);
}

void TestTileLayout::columnsChangeTheLargestGap()
{
    TileSpacingModel m;
    m.SetLimits(7620, 7620, 20320, 26670);
    m.SetValues(0, 0, 0, 2540);
    QCOMPARE(m.m_dColSpacing, 1.0);
    m.SetCols(1);
    QCOMPARE(m.m_dMaxColSpacing, 5.0);
    QCOMPARE(m.m_dColSpacing, 1.0);
    m.m_dColSpacing = 4.0;
    m.SetCols(2);
    QCOMPARE(m.m_dMaxColSpacing, 1.0);
    QCOMPARE(m.m_dColSpacing, 1.0);
    m.SetRows(2);
    QCOMPARE(m.m_dMaxRowSpacing, 2.25);  // 10.5 in less two 3 in rows, over two gaps
}

void TestTileLayout::silentRecompute_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("colGap");
    QTest::addColumn<int>("expRows");
    QTest::addColumn<int>("expCols");
    QTest::addColumn<int>("expColGap");

    // 8 x 10.5 inch printable area.
    QTest::newRow("grid still fits") << 7620 << 7620 << 3 << 2 << 1270 << 3 << 2 << 1270;
    QTest::newRow("full size loses copies") << 9000 << 9000 << 5 << 4 << 1270 << 2 << 2 << 1160;
    QTest::newRow("gap shrinks to fit") << 7620 << 7620 << 3 << 2 << 5000 << 3 << 2 << 2540;
}

void TestTileLayout::silentRecompute()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, colGap);
    QFETCH(int, expRows);
    QFETCH(int, expCols);
    QFETCH(int, expColGap);

    const TileGrid got = RecomputeTileGrid(w, h, 20320, 26670, TileGrid{rows, cols, 0, colGap});
    QCOMPARE(got.rows, expRows);
    QCOMPARE(got.cols, expCols);
    QCOMPARE(got.colSpacing, expColGap);
    // The grid stays on the printable area.
    QVERIFY(std::int64_t(got.cols) * w + std::int64_t(got.cols - 1) * got.colSpacing <= 20320);
}

void TestTileLayout::takeValues_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("enters");
    QTest::newRow("3 x 2") << 3 << 2 << true;
    QTest::newRow("1 x 2") << 1 << 2 << true;
    QTest::newRow("2 x 1") << 2 << 1 << true;
    QTest::newRow("1 x 1 keeps the old grid") << 1 << 1 << false;
}

void TestTileLayout::takeValues()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, enters);
    TileGrid view{2, 2, 10, 20};
    QCOMPARE(TakeTileValues(TileGrid{rows, cols, 300, 400}, view), enters);
    QCOMPARE(view.rowSpacing, 300);
    QCOMPARE(view.colSpacing, 400);
    QCOMPARE(view.rows, enters ? rows : 2);
    QCOMPARE(view.cols, enters ? cols : 2);
}

void TestTileLayout::gridCentred_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("pw");
    QTest::addColumn<int>("ph");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");

    // 300-pixel copies (3 inches at 100 dpi).
    QTest::newRow("3 x 2 with gaps") << 3 << 2 << 50 << 800 << 1050 << 75 << 25;
    QTest::newRow("odd remainder truncated") << 1 << 2 << 0 << 801 << 301 << 100 << 0;
    QTest::newRow("wider than the area hangs over") << 1 << 3 << 0 << 800 << 300 << -50 << 0;
    QTest::newRow("single copy") << 1 << 1 << 0 << 800 << 1050 << 250 << 375;
}

void TestTileLayout::gridCentred()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, gap);
    QFETCH(int, pw);
    QFETCH(int, ph);
    QFETCH(int, left);
    QFETCH(int, top);

    const TileGridLayout g = LayoutTileGrid(rows, cols, 300, 300, gap, gap, pw, ph);
    QCOMPARE(int(g.copies.size()), rows * cols);
    QCOMPARE(g.bounds.left, left);
    QCOMPARE(g.bounds.top, top);
    // Equal margins on both sides (within the truncated pixel).
    QVERIFY(qAbs((pw - g.bounds.right) - g.bounds.left) <= 1);
    QVERIFY(qAbs((ph - g.bounds.bottom) - g.bounds.top) <= 1);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const GdiRect& c = g.copies[std::size_t(i * cols + j)];
            QCOMPARE(c.left, left + j * (300 + gap));
            QCOMPARE(c.top, top + i * (300 + gap));
            QCOMPARE(c.width(), 300);
            QCOMPARE(c.height(), 300);
        }
}

QTEST_MAIN(TestTileLayout)
#include "tst_tilelayout.moc"
