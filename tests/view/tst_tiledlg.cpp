#include "platform/MessageBox.h"
#include "platform/ui/IntegerEdit.h"
#include "platform/ui/NumericEdit.h"
#include "view/TileSpacingDlg.h"

#include <QPushButton>
#include <QTest>

// A 3 x 3 inch target on an 8 x 10.5 inch printable area, in hundredths of
// a millimetre, unless a case says otherwise.
class TestTileDlg : public QObject {
    Q_OBJECT

private:
    static QLineEdit* field(CTileSpacingDlg& d, int id) { return static_cast<QLineEdit*>(d.GetDlgItem(id)); }
    static void open(CTileSpacingDlg& d, int w, int h, int rows = 0, int cols = 0, int rowGap = 0, int colGap = 0)
    {
        d.SetLimits(w, h, 20320, 26670);
        d.SetValues(rows, cols, rowGap, colGap);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
    }
    static void type(CTileSpacingDlg& d, int id, const QString& text)
    {
        QLineEdit* edit = field(d, id);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    static void leave(CTileSpacingDlg& d) { d.GetDlgItem(IDCANCEL)->setFocus(); }

private slots:
    void firstOpeningProposesTheLargestGrid();
    void spacingHeldToTheLargestGap_data();
    void spacingHeldToTheLargestGap();
    void oneColumnWidensTheGap();
    void fewerRowsWidenTheGapMoreRowsCutIt();
    void readOnlyWhenOnlyOneFits_data();
    void readOnlyWhenOnlyOneFits();
    void enterWithoutLeavingIsHeldToTheLimits();
    void storedValuesOffered();
    void cancel();
};

void TestTileDlg::firstOpeningProposesTheLargestGrid()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620);
    QCOMPARE(d.windowTitle(), QStringLiteral("Tile Target Spacing"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->text(), QStringLiteral("3"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COLS)->text(), QStringLiteral("2"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROW_SPACING)->text(), QStringLiteral("0.00"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->text(), QStringLiteral("0.00"));
    QCOMPARE(d.model().m_dMaxColSpacing, 1.0);
    QCOMPARE(d.model().m_dMaxRowSpacing, 0.5);
    for (int id : {CTileSpacingDlg::IDC_ROWS, CTileSpacingDlg::IDC_COLS, CTileSpacingDlg::IDC_ROW_SPACING,
                   CTileSpacingDlg::IDC_COL_SPACING})
        QVERIFY(!field(d, id)->isReadOnly());
    QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(IDOK)), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    int r, c, rg, cg;
    d.GetValues(r, c, rg, cg);
    QCOMPARE(QList<int>({r, c, rg, cg}), QList<int>({3, 2, 0, 0}));
}

void TestTileDlg::spacingHeldToTheLargestGap_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("himetric");

    QTest::newRow("column gap above 1.00") << int(CTileSpacingDlg::IDC_COL_SPACING) << "5" << "1.00" << 2540;
    QTest::newRow("column gap 0.25") << int(CTileSpacingDlg::IDC_COL_SPACING) << "0.25" << "0.25" << 635;
    QTest::newRow("row gap above 0.50") << int(CTileSpacingDlg::IDC_ROW_SPACING) << "0.75" << "0.50" << 1270;
    QTest::newRow("row gap three decimals") << int(CTileSpacingDlg::IDC_ROW_SPACING) << "0.126" << "0.13" << 330;
}

void TestTileDlg::spacingHeldToTheLargestGap()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, himetric);

    CTileSpacingDlg d;
    open(d, 7620, 7620);
    type(d, id, typed);
    leave(d);
    QCOMPARE(field(d, id)->text(), shown);
    QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(IDOK)), Qt::LeftButton);
    int r, c, rg, cg;
    d.GetValues(r, c, rg, cg);
    QCOMPARE(id == CTileSpacingDlg::IDC_COL_SPACING ? cg : rg, himetric);
}

void TestTileDlg::oneColumnWidensTheGap()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620);
    type(d, CTileSpacingDlg::IDC_COL_SPACING, QStringLiteral("0.8"));
    type(d, CTileSpacingDlg::IDC_COLS, QStringLiteral("1"));
    leave(d);
    QCOMPARE(d.model().m_dMaxColSpacing, 5.0);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->text(), QStringLiteral("0.80"));
    type(d, CTileSpacingDlg::IDC_COL_SPACING, QStringLiteral("9"));
    leave(d);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->text(), QStringLiteral("5.00"));
    // Back to two columns: the gap is cut to the largest that fits.
    type(d, CTileSpacingDlg::IDC_COLS, QStringLiteral("2"));
    leave(d);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->text(), QStringLiteral("1.00"));
}

void TestTileDlg::fewerRowsWidenTheGapMoreRowsCutIt()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620);
    type(d, CTileSpacingDlg::IDC_ROWS, QStringLiteral("9"));
    leave(d);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->text(), QStringLiteral("3"));
    type(d, CTileSpacingDlg::IDC_ROWS, QStringLiteral("2"));
    leave(d);
    QCOMPARE(d.model().m_dMaxRowSpacing, 2.25);
    type(d, CTileSpacingDlg::IDC_ROW_SPACING, QStringLiteral("1.5"));
    type(d, CTileSpacingDlg::IDC_ROWS, QStringLiteral("3"));
    leave(d);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROW_SPACING)->text(), QStringLiteral("0.50"));
}

void TestTileDlg::readOnlyWhenOnlyOneFits_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("rowGap");
    QTest::addColumn<bool>("rowsReadOnly");
    QTest::addColumn<bool>("colsReadOnly");
    QTest::addColumn<QString>("rowGapShown");

    QTest::newRow("tall target") << 5080 << 15000 << 0 << true << false << "0.00";
    QTest::newRow("tall target, stored gap") << 5080 << 15000 << 2540 << true << false << "1.00";
    QTest::newRow("wide target") << 12000 << 5080 << 0 << false << true << "0.00";
}

void TestTileDlg::readOnlyWhenOnlyOneFits()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, rowGap);
    QFETCH(bool, rowsReadOnly);
    QFETCH(bool, colsReadOnly);
    QFETCH(QString, rowGapShown);

    CTileSpacingDlg d;
    open(d, w, h, 0, 0, rowGap, 0);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->isReadOnly(), rowsReadOnly);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROW_SPACING)->isReadOnly(), rowsReadOnly);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COLS)->isReadOnly(), colsReadOnly);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->isReadOnly(), colsReadOnly);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROW_SPACING)->text(), rowGapShown);
    if (rowsReadOnly) {
        QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->text(), QStringLiteral("1"));
        type(d, CTileSpacingDlg::IDC_ROWS, QStringLiteral("5"));
        QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->text(), QStringLiteral("1"));
    }
}

void TestTileDlg::enterWithoutLeavingIsHeldToTheLimits()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620);
    type(d, CTileSpacingDlg::IDC_COL_SPACING, QStringLiteral("4"));
    type(d, CTileSpacingDlg::IDC_COLS, QStringLiteral("7"));
    QTest::keyClick(field(d, CTileSpacingDlg::IDC_COLS), Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    int r, c, rg, cg;
    d.GetValues(r, c, rg, cg);
    QCOMPARE(c, 2);
    QCOMPARE(cg, 2540);
}

void TestTileDlg::storedValuesOffered()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620, 2, 1, 1270, 5080);
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROWS)->text(), QStringLiteral("2"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COLS)->text(), QStringLiteral("1"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_ROW_SPACING)->text(), QStringLiteral("0.50"));
    QCOMPARE(field(d, CTileSpacingDlg::IDC_COL_SPACING)->text(), QStringLiteral("2.00"));
}

void TestTileDlg::cancel()
{
    CTileSpacingDlg d;
    open(d, 7620, 7620);
    type(d, CTileSpacingDlg::IDC_ROWS, QStringLiteral("1"));
    QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(IDCANCEL)), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestTileDlg)
#include "tst_tiledlg.moc"
