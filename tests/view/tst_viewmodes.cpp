// The view's mode transitions, row by row as the View commands make them;
// the plain toggles are checked through the view in tst_targetmodes.
#include <QTest>

#include <functional>

#include "view/ViewModes.h"

Q_DECLARE_METATYPE(ViewModes)

class TestViewModes : public QObject {
    Q_OBJECT
private slots:
    void transitions_data();
    void transitions();
};

namespace {
const int A = SCALE_ACTUAL, PAGE = SCALE_TO_PAGE, DIST = SCALE_FOR_DISTANCE;
const int NONE = TILE_NONE, POSTER = TILE_PAGES_TO_TARGET, GRID = TILE_TARGET_TO_PAGE;

const QHash<QString, std::function<void(ViewModes&)>>& operations()
{
    static const QHash<QString, std::function<void(ViewModes&)>> ops{
        {"poster", [](ViewModes& m) { m.TogglePoster(); }},
        {"to page", [](ViewModes& m) { m.ToggleScaleToPage(); }},
        {"distance on", [](ViewModes& m) { m.StartDistanceScale(); }},
        {"distance off", [](ViewModes& m) { m.EndDistanceScale(); }},
        {"grid chosen", [](ViewModes& m) { m.SetGrid(true); m.RememberTile(); }},
        {"grid off", [](ViewModes& m) { m.SetGrid(false); m.RememberTile(); }},
        {"automatic poster", [](ViewModes& m) { m.ChoosePoster(); }},
        {"target fits", [](ViewModes& m) { m.DropScaleToPage(); m.DropPoster(); }},
        {"grid no longer fits", [](ViewModes& m) { m.DropGrid(); }},
    };
    return ops;
}
}  // namespace

void TestViewModes::transitions_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<ViewModes>("from");
    QTest::addColumn<ViewModes>("to");
    auto row = [](const char* op, ViewModes from, ViewModes to) {
        QTest::addRow("%s from %d/%d/%d", op, from.Scale(), from.Tile(), from.SavedTile()) << QString(op) << from << to;
    };
    row("poster", {DIST, GRID, NONE}, {DIST, POSTER, POSTER});
    row("to page", {DIST, GRID, NONE}, {PAGE, NONE, GRID});
    row("distance on", {A, GRID, NONE}, {DIST, GRID, GRID});
    row("distance on", {PAGE, NONE, POSTER}, {DIST, NONE, NONE});
    row("distance off", {DIST, NONE, POSTER}, {A, POSTER, POSTER});
    row("grid chosen", {DIST, POSTER, NONE}, {DIST, GRID, GRID});
    row("grid off", {A, GRID, GRID}, {A, NONE, NONE});
    row("automatic poster", {A, NONE, NONE}, {A, POSTER, NONE});
    row("target fits", {PAGE, NONE, POSTER}, {A, NONE, POSTER});
    row("target fits", {A, POSTER, POSTER}, {A, NONE, POSTER});
    row("target fits", {DIST, GRID, GRID}, {DIST, GRID, GRID});
    row("grid no longer fits", {A, GRID, GRID}, {A, NONE, GRID});
    row("grid no longer fits", {A, POSTER, NONE}, {A, POSTER, NONE});
}

void TestViewModes::transitions()
{
    QFETCH(QString, operation);
    QFETCH(ViewModes, from);
    QFETCH(ViewModes, to);
    ViewModes m = from;
    operations().value(operation)(m);
    QCOMPARE(m.Scale(), to.Scale());
    QCOMPARE(m.Tile(), to.Tile());
    QCOMPARE(m.SavedTile(), to.SavedTile());
}

QTEST_APPLESS_MAIN(TestViewModes)
#include "tst_viewmodes.moc"
