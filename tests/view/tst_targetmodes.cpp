#include <QtTest>

#include "helper_target.h"
#include "view/DistanceScaleCommand.h"
#include "view/TargetStatus.h"

// The view's modes and the tests that enable its commands, on a printable
// area of 8 x 10.5 in (20320 x 26670).
class TestTargetModes : public QObject {
    Q_OBJECT
private slots:
    void exceedsPrintable_data();
    void exceedsPrintable();
    void canTileTarget_data();
    void canTileTarget();
    void noPictureDisablesEverything();
    void distanceScaleEntersTheTests();
    void stateTable_data();
    void stateTable();
    void scaleToPageHidesAndRestoresPoster();
    void targetChanged_data();
    void targetChanged();
    void zoomCommands_data();
    void zoomCommands();
    void initialValues();
    void statusText_data();
    void statusText();
};

void TestTargetModes::exceedsPrintable_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("exceeds");
    QTest::addColumn<bool>("by20");
    QTest::newRow("fits") << QSize(20320, 26670) << false << false;
    QTest::newRow("one unit wider") << QSize(20321, 100) << true << false;
    QTest::newRow("10 % larger") << QSize(22352, 29337) << true << false;
    QTest::newRow("exactly 20 % wider") << QSize(20320 + 4064, 100) << true << false;
    QTest::newRow("20 % and one wider") << QSize(20320 + 4065, 100) << true << true;
    QTest::newRow("21 % taller only") << QSize(100, 32271) << true << true;
}

void TestTargetModes::exceedsPrintable()
{
    QFETCH(QSize, size);
    SolidTargetView v(size);
    v.UseLetterQuarterInch();
    bool exceeds = false;
    bool by20 = false;
    v.ExceedsPrintable(&exceeds, &by20);
    QTEST(exceeds, "exceeds");
    QTEST(by20, "by20");
    // The automatic poster follows the 20 % test alone and saves nothing.
    v.ChooseAutomaticPoster();
    QCOMPARE(v.m_modes.Tile(), by20 ? TILE_PAGES_TO_TARGET : TILE_NONE);
    QCOMPARE(v.m_modes.SavedTile(), TILE_NONE);
    QCOMPARE(v.TilePagesToTargetEnabled(), exceeds);
    QCOMPARE(v.ScaleTargetToPageEnabled(), exceeds);
}

void TestTargetModes::canTileTarget_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("canTile");
    QTest::newRow("3 x 3 in") << QSize(7620, 7620) << true;
    QTest::newRow("fits twice in height only") << QSize(10200, 10200) << true;
    QTest::newRow("fits once only") << QSize(10200, 13400) << false;
    QTest::newRow("as wide as the printable area") << QSize(20320, 1000) << false;
    QTest::newRow("larger") << QSize(30000, 30000) << false;
}

void TestTargetModes::canTileTarget()
{
    QFETCH(QSize, size);
    SolidTargetView v(size);
    v.UseLetterQuarterInch();
    QTEST(v.CanTileTarget(), "canTile");
}

void TestTargetModes::noPictureDisablesEverything()
{
    SolidTargetView v(QSize(50000, 50000), 0);
    v.UseLetterQuarterInch();
    bool exceeds = true;
    bool by20 = true;
    v.ExceedsPrintable(&exceeds, &by20);
    QVERIFY(!exceeds);
    QVERIFY(!by20);
    QVERIFY(!v.CanTileTarget());
    QVERIFY(!v.TilePagesToTargetEnabled());
    QVERIFY(!v.ScaleTargetToPageEnabled());
    QCOMPARE(v.GetLayoutSize(), QSize(0, 0));
    v.LayoutForScreen(96, 96, QSize(400, 300));
    QCOMPARE(v.m_rcTotal, GdiRect(0, 0, 100, 100));
    QVERIFY(v.m_layoutScreen.m_rcPaper.isNull());
}

void TestTargetModes::distanceScaleEntersTheTests()
{
    // A 30 in target does not fit; at a quarter of its size it does, and
    // fits twice.
    SolidTargetView v(QSize(76200, 76200));
    v.UseLetterQuarterInch();
    v.m_modes = ViewModes(SCALE_FOR_DISTANCE, TILE_NONE, TILE_NONE);
    v.m_dDistanceScale = 0.1;
    QCOMPARE(v.GetLayoutSize(), QSize(7620, 7620));
    QVERIFY(v.CanTileTarget());
    bool exceeds = true;
    v.ExceedsPrintable(&exceeds);
    QVERIFY(!exceeds);
    v.m_dDistanceScale = 0.33333;
    QCOMPARE(v.GetLayoutSize(), QSize(25399, 25399));  // truncated
}

// Rows: the mode state before, the command, the state after.
void TestTargetModes::stateTable_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("saved");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("newScale");
    QTest::addColumn<int>("newTile");
    QTest::addColumn<int>("newSaved");
    const QString page = QStringLiteral("scale to page");
    const QString poster = QStringLiteral("tile pages");
    QTest::newRow("actual: to page") << SCALE_ACTUAL << TILE_NONE << TILE_NONE << page << SCALE_TO_PAGE << TILE_NONE
                                     << TILE_NONE;
    QTest::newRow("actual: poster") << SCALE_ACTUAL << TILE_NONE << TILE_NONE << poster << SCALE_ACTUAL
                                    << TILE_PAGES_TO_TARGET << TILE_PAGES_TO_TARGET;
    QTest::newRow("poster: to page") << SCALE_ACTUAL << TILE_PAGES_TO_TARGET << TILE_PAGES_TO_TARGET << page
                                     << SCALE_TO_PAGE << TILE_NONE << TILE_PAGES_TO_TARGET;
    QTest::newRow("poster: poster off") << SCALE_ACTUAL << TILE_PAGES_TO_TARGET << TILE_NONE << poster
                                        << SCALE_ACTUAL << TILE_NONE << TILE_NONE;
    QTest::newRow("to page: back with saved poster") << SCALE_TO_PAGE << TILE_NONE << TILE_PAGES_TO_TARGET << page
                                                     << SCALE_ACTUAL << TILE_PAGES_TO_TARGET << TILE_PAGES_TO_TARGET;
    QTest::newRow("distance: to page") << SCALE_FOR_DISTANCE << TILE_PAGES_TO_TARGET << TILE_NONE << page
                                       << SCALE_TO_PAGE << TILE_NONE << TILE_PAGES_TO_TARGET;
    QTest::newRow("distance: poster as from actual") << SCALE_FOR_DISTANCE << TILE_NONE << TILE_NONE << poster
                                                     << SCALE_FOR_DISTANCE << TILE_PAGES_TO_TARGET
                                                     << TILE_PAGES_TO_TARGET;
    QTest::newRow("grid: poster replaces it") << SCALE_ACTUAL << TILE_TARGET_TO_PAGE << TILE_TARGET_TO_PAGE << poster
                                              << SCALE_ACTUAL << TILE_PAGES_TO_TARGET << TILE_PAGES_TO_TARGET;
}

void TestTargetModes::stateTable()
{
    QFETCH(int, scale);
    QFETCH(int, tile);
    QFETCH(int, saved);
    QFETCH(QString, command);
    SolidTargetView v(QSize(40000, 40000));
    v.UseLetterQuarterInch();
    v.m_modes = ViewModes(scale, tile, saved);
    if (command == QLatin1String("scale to page"))
        v.ToggleScaleTargetToPage();
    else
        v.ToggleTilePagesToTarget();
    QTEST(v.m_modes.Scale(), "newScale");
    QTEST(v.m_modes.Tile(), "newTile");
    QTEST(v.m_modes.SavedTile(), "newSaved");
    // With Scale Target to Page active the poster command is disabled.
    QCOMPARE(v.TilePagesToTargetEnabled(), v.m_modes.Scale() != SCALE_TO_PAGE);
    QCOMPARE(v.ScaleTargetToPageChecked(), v.m_modes.Scale() == SCALE_TO_PAGE);
    QCOMPARE(v.TilePagesToTargetChecked(), v.m_modes.Tile() == TILE_PAGES_TO_TARGET);
}

void TestTargetModes::scaleToPageHidesAndRestoresPoster()
{
    SolidTargetView v(QSize(40640, 50800));
    v.UseLetterQuarterInch();
    v.ChooseAutomaticPoster();
    QCOMPARE(v.m_modes.Tile(), TILE_PAGES_TO_TARGET);
    v.ToggleScaleTargetToPage();
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    const PrinterPageMetrics dev{QSize(5100, 6600), QSize(4800, 6300), QSize(150, 150)};
    QCOMPARE(v.PrintPageCount(dev, 600, 600), 1);
    QCOMPARE(v.m_layoutPrint.m_dFitScale, 0.5);
    v.ToggleScaleTargetToPage();
    QCOMPARE(v.m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(v.PrintPageCount(dev, 600, 600), 4);
}

void TestTargetModes::targetChanged_data()
{
    QTest::addColumn<QSize>("newSize");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("newScale");
    QTest::addColumn<int>("newTile");
    QTest::addColumn<bool>("recompute");
    QTest::newRow("shrunk: to page falls back") << QSize(7620, 7620) << SCALE_TO_PAGE << TILE_NONE << SCALE_ACTUAL
                                                << TILE_NONE << false;
    QTest::newRow("shrunk: poster falls back") << QSize(7620, 7620) << SCALE_ACTUAL << TILE_PAGES_TO_TARGET
                                               << SCALE_ACTUAL << TILE_NONE << false;
    QTest::newRow("still large: poster kept") << QSize(40000, 40000) << SCALE_ACTUAL << TILE_PAGES_TO_TARGET
                                              << SCALE_ACTUAL << TILE_PAGES_TO_TARGET << false;
    QTest::newRow("grid still fits: recompute") << QSize(7620, 7620) << SCALE_ACTUAL << TILE_TARGET_TO_PAGE
                                                << SCALE_ACTUAL << TILE_TARGET_TO_PAGE << true;
    QTest::newRow("grid no longer fits") << QSize(15000, 15000) << SCALE_ACTUAL << TILE_TARGET_TO_PAGE
                                         << SCALE_ACTUAL << TILE_NONE << false;
}

void TestTargetModes::targetChanged()
{
    QFETCH(QSize, newSize);
    QFETCH(int, scale);
    QFETCH(int, tile);
    SolidTargetView v(newSize);
    v.UseLetterQuarterInch();
    v.m_modes = ViewModes(scale, tile, TILE_NONE);
    const bool recompute = v.ApplyTargetChanged();
    QTEST(v.m_modes.Scale(), "newScale");
    QTEST(v.m_modes.Tile(), "newTile");
    QTEST(recompute, "recompute");
}

void TestTargetModes::zoomCommands_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("zoom");
    QTest::newRow("25 %") << int(Cmd::ID_VIEW_ZOOM_25) << 0.25;
    QTest::newRow("50 %") << int(Cmd::ID_VIEW_ZOOM_50) << 0.5;
    QTest::newRow("75 %") << int(Cmd::ID_VIEW_ZOOM_75) << 0.75;
    QTest::newRow("100 %") << int(Cmd::ID_VIEW_ZOOM_100) << 1.0;
    QTest::newRow("other id of the range") << 32771 << 1.0;
}

void TestTargetModes::zoomCommands()
{
    QFETCH(int, id);
    QFETCH(double, zoom);
    SolidTargetView v;
    QVERIFY(v.IsFitZoom());
    QVERIFY(v.SetZoomCommand(id));
    QCOMPARE(v.m_dZoom, zoom);
    QCOMPARE(v.m_nZoomCmd, id);
    QVERIFY(!v.IsFitZoom());
    // The checked command again changes nothing.
    v.m_dZoom = 3.0;
    QVERIFY(!v.SetZoomCommand(id));
    QCOMPARE(v.m_dZoom, 3.0);
    QVERIFY(v.SetZoomCommand(Cmd::ID_VIEW_FIT_TO_WINDOW));
    QVERIFY(v.IsFitZoom());
    QCOMPARE(v.m_dZoom, 1.0);
}

void TestTargetModes::initialValues()
{
    SolidTargetView v;
    QCOMPARE(v.m_nZoomCmd, 32770);
    QCOMPARE(v.m_dZoom, 0.5);
    QCOMPARE(v.m_rcTotal, GdiRect(0, 0, 1000, 1000));
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QCOMPARE(v.m_modes.Scale(), SCALE_ACTUAL);
    QCOMPARE(v.m_dDistanceScale, 1.0);
    QVERIFY(v.m_bAskTileSpacing);
    QCOMPARE(v.m_strShooterUnit, QStringLiteral("Yards"));
    QCOMPARE(v.m_nPictureKind, 1);
    QVERIFY(v.m_layoutScreen.m_arrTargets.empty());
    QCOMPARE(v.m_layoutScreen.m_dFitScale, 1.0);
    QCOMPARE(v.m_layoutPrint.PageCount(), 1);
}

QTEST_MAIN(TestTargetModes)
void TestTargetModes::statusText_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("mode");  // a scale mode to enter
    QTest::addColumn<QString>("text");
    QTest::newRow("no target") << QSize() << SCALE_ACTUAL << QString();
    QTest::newRow("one sheet") << QSize(15240, 20320) << SCALE_ACTUAL
                               << QStringLiteral("152.4 x 203.2 mm (6.00 x 8.00 in), 1 sheet");
    QTest::newRow("poster of 3 x 3") << QSize(50800, 60960) << SCALE_ACTUAL
                                     << QStringLiteral("508.0 x 609.6 mm (20.00 x 24.00 in), 9 sheets");
    QTest::newRow("scaled to fit") << QSize(50800, 60960) << SCALE_TO_PAGE
                                   << QStringLiteral("508.0 x 609.6 mm (20.00 x 24.00 in), SCALED TO FIT 40 %, 1 sheet");
    QTest::newRow("scaled for distance") << QSize(15240, 20320) << SCALE_FOR_DISTANCE
                                         << QStringLiteral("152.4 x 203.2 mm (6.00 x 8.00 in), SCALED FOR DISTANCE 25 %, "
                                                           "1 sheet");
}

void TestTargetModes::statusText()
{
    QFETCH(QSize, size);
    QFETCH(int, mode);
    SolidTargetView v(size, size.isEmpty() ? 0 : 1);
    v.UseLetterQuarterInch();
    v.ChooseAutomaticPoster();
    if (mode == SCALE_TO_PAGE) v.ToggleScaleTargetToPage();
    if (mode == SCALE_FOR_DISTANCE)
        ApplyDistanceScale(v, 0.25, 25, 100, QStringLiteral("Yards"), QStringLiteral("Yards"));
    v.LayoutForScreen(96, 96, QSize(800, 600));
    QTEST(TargetStatusText(v), "text");
}

#include "tst_targetmodes.moc"
