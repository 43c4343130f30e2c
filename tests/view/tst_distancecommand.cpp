#include "helper_commandview.h"

#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ui/NumericComboBox.h"
#include "view/DistanceScaleCommand.h"
#include "view/ScaleForDistanceDlg.h"
#include "view/TileLayoutCommand.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The command 32922 on a view's state, with the dialog answered in place.
class TestDistanceCommand : public QObject {
    Q_OBJECT

private:
    struct Answer {
        int calls = 0;
        bool ok = true;
        QString shooter = QStringLiteral("25");
        QString target = QStringLiteral("100");
        int targetUnit = IDC_TARGET_YARDS;
    };
    static DistanceDialogRunner runner(Answer& a)
    {
        return [&a](CScaleForDistanceDlg& d) {
            ++a.calls;
            d.show();
            static_cast<QRadioButton*>(d.GetDlgItem(a.targetUnit))->click();
            static_cast<NumericComboBox*>(d.GetDlgItem(CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE))->setEditText(a.shooter);
            static_cast<NumericComboBox*>(d.GetDlgItem(CScaleForDistanceDlg::IDC_TARGET_DISTANCE))->setEditText(a.target);
            QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(a.ok ? IDOK : IDCANCEL)), Qt::LeftButton);
            return d.result() == QDialog::Accepted ? IDOK : IDCANCEL;
        };
    }

private slots:
    void init();
    void onThenOff();
    void mixedUnits();
    void cancelLeavesTheView();
    void noPictureReportsTheHeight();
    void enabledOnlyWithAHeight_data();
    void enabledOnlyWithAHeight();
    void posterDroppedAndRestored();
    void gridKeptThenRecomputedForFullSize();
};

void TestDistanceCommand::init()
{
    QFile::remove(ProfilePath());
    MessageLog::clear();
    MessageLog::setEcho(false);
}

void TestDistanceCommand::onThenOff()
{
    CommandTestView v(QSize(25400, 25400));
    Answer a;
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(a.calls, 1);
    QCOMPARE(v.m_modes.Scale(), SCALE_FOR_DISTANCE);
    QVERIFY(ScaleForDistanceChecked(v));
    QCOMPARE(v.m_dDistanceScale, 0.25);
    QCOMPARE(v.m_dShooterDistance, 25.0);
    QCOMPARE(v.m_dTargetDistance, 100.0);
    QCOMPARE(v.m_strShooterUnit, QStringLiteral("yds."));
    QCOMPARE(v.m_strTargetUnit, QStringLiteral("yds."));
    // The 10-inch target is laid out 2.5 inches tall.
    QCOMPARE(v.GetLayoutSize(), QSize(6350, 6350));

    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(a.calls, 1);
    QCOMPARE(v.m_modes.Scale(), SCALE_ACTUAL);
    QVERIFY(!ScaleForDistanceChecked(v));
    QCOMPARE(v.GetLayoutSize(), QSize(25400, 25400));
}

void TestDistanceCommand::mixedUnits()
{
    CommandTestView v(QSize(25400, 25400));
    Answer a;
    a.target = QStringLiteral("50");
    a.targetUnit = IDC_TARGET_METERS;
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QVERIFY(qAbs(v.m_dDistanceScale - 0.4572) < 1e-12);
    QCOMPARE(v.m_strTargetUnit, QStringLiteral("m"));
    QCOMPARE(v.GetLayoutSize().height(), 11612);  // 25400 x 0.4572, truncated
}

void TestDistanceCommand::cancelLeavesTheView()
{
    CommandTestView v(QSize(25400, 25400));
    v.m_modes = ViewModes(SCALE_TO_PAGE, TILE_NONE, TILE_PAGES_TO_TARGET);
    Answer a;
    a.ok = false;
    QVERIFY(!RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(v.m_modes.Scale(), SCALE_TO_PAGE);
    QCOMPARE(v.m_modes.SavedTile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(v.m_dDistanceScale, 1.0);
    QCOMPARE(v.m_strShooterUnit, QStringLiteral("Yards"));
}

void TestDistanceCommand::noPictureReportsTheHeight()
{
    CommandTestView v(QSize(0, 0));
    Answer a;
    QVERIFY(!RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QStringLiteral("Current target has invalid heigth value."));
    QCOMPARE(v.m_modes.Scale(), SCALE_ACTUAL);
}

void TestDistanceCommand::enabledOnlyWithAHeight_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("on");
    QTest::newRow("no picture") << QSize(0, 0) << false;
    QTest::newRow("a target") << QSize(25400, 25400) << false;
    QTest::newRow("on: can be switched off") << QSize(0, 0) << true;
}

void TestDistanceCommand::enabledOnlyWithAHeight()
{
    QFETCH(QSize, size);
    QFETCH(bool, on);
    CommandTestView v(size);
    v.m_modes = ViewModes(on ? SCALE_FOR_DISTANCE : SCALE_ACTUAL, TILE_NONE, TILE_NONE);
    QCOMPARE(ScaleForDistanceEnabled(v), on || size.height() > 0);
}

void TestDistanceCommand::posterDroppedAndRestored()
{
    // 30 inches square: a poster at full size, 7.5 inches scaled.
    CommandTestView v(QSize(76200, 76200));
    v.m_modes = ViewModes(SCALE_ACTUAL, TILE_PAGES_TO_TARGET, TILE_PAGES_TO_TARGET);
    Answer a;
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(v.m_modes.Tile(), TILE_NONE);
    QCOMPARE(v.m_modes.SavedTile(), TILE_PAGES_TO_TARGET);
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(v.m_modes.Tile(), TILE_PAGES_TO_TARGET);
}

void TestDistanceCommand::gridKeptThenRecomputedForFullSize()
{
    // 4 inches: 2 x 2 copies at full size, 5 x 4 at half size.
    CommandTestView v(QSize(10160, 10160));
    v.m_modes = ViewModes(SCALE_ACTUAL, TILE_TARGET_TO_PAGE, TILE_TARGET_TO_PAGE);
    v.m_nTileRows = 2;
    v.m_nTileCols = 2;
    Answer a;
    a.shooter = QStringLiteral("50");
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(v.m_dDistanceScale, 0.5);
    QCOMPARE(v.m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(v.m_nTileRows, 2);

    // A bigger grid for the smaller target...
    v.m_modes.SetGrid(false);
    v.m_nTileRows = 5;
    v.m_nTileCols = 4;
    RecomputeTileSilently(v);
    QCOMPARE(v.m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(v.m_nTileRows, 5);
    v.m_modes.RememberTile();

    // ...shrinks to what fits when the scaling is switched off.
    QVERIFY(RunScaleForDistance(v, nullptr, runner(a)));
    QCOMPARE(v.m_modes.Scale(), SCALE_ACTUAL);
    QCOMPARE(v.m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(v.m_nTileRows, 2);
    QCOMPARE(v.m_nTileCols, 2);
    QVERIFY(v.m_bAskTileSpacing);
}

QTEST_MAIN(TestDistanceCommand)
#include "tst_distancecommand.moc"
