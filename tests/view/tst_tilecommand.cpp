#include "helper_commandview.h"

#include "platform/MessageBox.h"
#include "platform/ui/IntegerEdit.h"
#include "platform/ui/NumericEdit.h"
#include "view/TileLayoutCommand.h"
#include "view/TileSpacingDlg.h"

#include <QPushButton>
#include <QTest>

// The command 32926 on a view's state, with the dialog answered in place.
class TestTileCommand : public QObject {
    Q_OBJECT

private:
    struct Answer {
        int calls = 0;
        bool ok = true;
        QString rows, cols, rowGap, colGap;  // empty: leave the field as offered
        QString offeredRows, offeredCols;
    };
    static TileDialogRunner runner(Answer& a)
    {
        return [&a](CTileSpacingDlg& d) {
            ++a.calls;
            d.show();
            auto set = [&d](int id, const QString& text) {
                if (!text.isEmpty())
                    static_cast<QLineEdit*>(d.GetDlgItem(id))->setText(text);
            };
            a.offeredRows = static_cast<QLineEdit*>(d.GetDlgItem(CTileSpacingDlg::IDC_ROWS))->text();
            a.offeredCols = static_cast<QLineEdit*>(d.GetDlgItem(CTileSpacingDlg::IDC_COLS))->text();
            set(CTileSpacingDlg::IDC_ROWS, a.rows);
            set(CTileSpacingDlg::IDC_COLS, a.cols);
            set(CTileSpacingDlg::IDC_ROW_SPACING, a.rowGap);
            set(CTileSpacingDlg::IDC_COL_SPACING, a.colGap);
            QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(a.ok ? IDOK : IDCANCEL)), Qt::LeftButton);
            return d.result() == QDialog::Accepted ? IDOK : IDCANCEL;
        };
    }

private slots:
    void firstRunEntersTheGridSecondRunLeavesIt();
    void cancelChangesNothing();
    void oneByOneKeepsTheGapsOnly();
    void tooLargeShowsNoDialog();
    void silentRecompute_data();
    void silentRecompute();
    void enabling_data();
    void enabling();
};

void TestTileCommand::firstRunEntersTheGridSecondRunLeavesIt()
{
    CommandTestView v;
    Answer a;
    a.colGap = QStringLiteral("0.75");
    RunTileTargetToPage(v, nullptr, runner(a));
    QCOMPARE(a.calls, 1);
    QCOMPARE(a.offeredRows, QStringLiteral("3"));
    QCOMPARE(a.offeredCols, QStringLiteral("2"));
    QCOMPARE(v.m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(v.m_modes.SavedTile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(v.m_nTileRows, 3);
    QCOMPARE(v.m_nTileCols, 2);
    QCOMPARE(v.m_nColSpacing, 1905);
    QVERIFY(TileTargetToPageChecked(v));

    RunTileTargetToPage(v, nullptr, runner(a));
    QCOMPARE(a.calls, 1);
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QCOMPARE(v.m_modes.SavedTile(), TILE_NONE);
    // Offered again next time.
    QCOMPARE(v.m_nTileRows, 3);
    QCOMPARE(v.m_nColSpacing, 1905);
}

void TestTileCommand::cancelChangesNothing()
{
    CommandTestView v;
    Answer a;
    a.ok = false;
    a.rows = QStringLiteral("2");
    a.rowGap = QStringLiteral("0.3");
    RunTileTargetToPage(v, nullptr, runner(a));
    QCOMPARE(a.calls, 1);
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QCOMPARE(v.m_nTileRows, 0);
    QCOMPARE(v.m_nRowSpacing, 0);
}

void TestTileCommand::oneByOneKeepsTheGapsOnly()
{
    CommandTestView v;
    Answer a;
    a.rows = a.cols = QStringLiteral("1");
    a.colGap = QStringLiteral("0.5");
    RunTileTargetToPage(v, nullptr, runner(a));
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QVERIFY(!TileTargetToPageChecked(v));
    QCOMPARE(v.m_nTileRows, 0);
    QCOMPARE(v.m_nTileCols, 0);
    QCOMPARE(v.m_nColSpacing, 1270);
}

void TestTileCommand::tooLargeShowsNoDialog()
{
    CommandTestView v(QSize(20320, 5000));
    Answer a;
    RunTileTargetToPage(v, nullptr, runner(a));
    QCOMPARE(a.calls, 0);
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QVERIFY(v.m_bAskTileSpacing);
}

void TestTileCommand::silentRecompute_data()
{
    QTest::addColumn<QSize>("newSize");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("colGap");

    QTest::newRow("still fits") << QSize(7620, 7620) << TILE_TARGET_TO_PAGE << 3 << 2 << 2540;
    QTest::newRow("bigger: fewer copies") << QSize(9000, 9000) << TILE_TARGET_TO_PAGE << 2 << 2 << 1160;
    // Only one copy fits: the grid mode is not entered again.
    QTest::newRow("one copy") << QSize(15000, 15000) << TILE_NONE << 3 << 2 << 2540;
}

void TestTileCommand::silentRecompute()
{
    QFETCH(QSize, newSize);
    QFETCH(int, mode);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, colGap);

    CommandTestView v;
    v.m_modes.SetGrid(true);
    v.m_nTileRows = 3;
    v.m_nTileCols = 2;
    v.m_nColSpacing = 2540;
    v.m_size = newSize;
    RecomputeTileSilently(v);
    QCOMPARE(v.m_modes.Tile(), mode);
    QCOMPARE(v.m_modes.SavedTile(), mode);
    QCOMPARE(v.m_nTileRows, rows);
    QCOMPARE(v.m_nTileCols, cols);
    QCOMPARE(v.m_nColSpacing, colGap);
    QVERIFY(v.m_bAskTileSpacing);
}

void TestTileCommand::enabling_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("scaleMode");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("fits twice") << QSize(7620, 7620) << SCALE_ACTUAL << true;
    QTest::newRow("scale to page") << QSize(7620, 7620) << SCALE_TO_PAGE << false;
    QTest::newRow("once only") << QSize(15000, 15000) << SCALE_ACTUAL << false;
    QTest::newRow("no picture") << QSize(0, 0) << SCALE_ACTUAL << false;
}

void TestTileCommand::enabling()
{
    QFETCH(QSize, size);
    QFETCH(int, scaleMode);
    QFETCH(bool, enabled);
    CommandTestView v(size);
    v.m_modes = ViewModes(scaleMode, v.m_modes.Tile(), v.m_modes.SavedTile());
    QCOMPARE(TileTargetToPageEnabled(v), enabled);
}

QTEST_MAIN(TestTileCommand)
#include "tst_tilecommand.moc"
