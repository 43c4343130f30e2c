#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ui/NumericComboBox.h"
#include "platform/ui/NumericEdit.h"
#include "view/DistanceScaleSettings.h"
#include "designer/TargetDesign.h"
#include "view/ScaleForDistanceDlg.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

// The dialog is shown without exec() and driven by clicks and keystrokes;
// its messages are recorded by the message helper instead of blocking.
class TestDistanceDlg : public QObject {
    Q_OBJECT

private:
    static const QString kSection;

    static NumericComboBox* combo(CScaleForDistanceDlg& d, int id)
    {
        return static_cast<NumericComboBox*>(d.GetDlgItem(id));
    }
    static QString label(CScaleForDistanceDlg& d, int id) { return static_cast<QLabel*>(d.GetDlgItem(id))->text(); }
    static bool checked(CScaleForDistanceDlg& d, int id)
    {
        return static_cast<QRadioButton*>(d.GetDlgItem(id))->isChecked();
    }
    static void open(CScaleForDistanceDlg& d, double height = 25400.0)
    {
        d.m_dTargetHeight = height;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTRY_VERIFY(!combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->isFirstAttach());
        QTRY_VERIFY(!combo(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE)->isFirstAttach());
    }
    static void type(CScaleForDistanceDlg& d, int id, const QString& text)
    {
        QLineEdit* edit = combo(d, id)->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    static void clickOk(CScaleForDistanceDlg& d)
    {
        QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(IDOK)), Qt::LeftButton);
    }
    static QString stored(const char* key)
    {
        QString value;
        ReadProfileText(kSection, QLatin1String(key), QStringLiteral("absent"), &value);
        return value;
    }

private slots:
    void init();
    void firstOpening();
    void labelsFollowTheUnits();
    void okScalesAndSaves_data();
    void okScalesAndSaves();
    void warningsKeepTheDialogOpen_data();
    void warningsKeepTheDialogOpen();
    void invalidHeightCancels();
    void storedValuesOffered();
    void storedValuesOutOfRangeIgnored();
    void distanceFieldRefusesMinus();
    void cancelSavesNothing();
    void calibreRow_data();
    void calibreRow();
};

const QString TestDistanceDlg::kSection = QStringLiteral("ScaleForDistance");

void TestDistanceDlg::init()
{
    QFile::remove(ProfilePath());
    MessageLog::clear();
    MessageLog::setEcho(false);
}

void TestDistanceDlg::firstOpening()
{
    CScaleForDistanceDlg d;
    QCOMPARE(d.m_dScale, 1.0);
    open(d);
    QCOMPARE(d.windowTitle(), QStringLiteral("Scale Target For Distance"));
    QVERIFY(checked(d, IDC_SHOOTER_YARDS));
    QVERIFY(checked(d, IDC_TARGET_YARDS));
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->count(), 13);
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->itemText(12), QStringLiteral("1000"));
    // The list's "25" and "100", shown as the field shows numbers.
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->currentText(), QStringLiteral("25.0"));
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE)->currentText(), QStringLiteral("100.0"));
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->lineEdit()->maxLength(), 10);
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_SHOOTER_LABEL), QStringLiteral("Distance to Shooter (Yds)"));
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_TARGET_LABEL), QStringLiteral("Distance to Target (Yds)"));
}

void TestDistanceDlg::labelsFollowTheUnits()
{
    CScaleForDistanceDlg d;
    open(d);
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(IDC_SHOOTER_FEET)), Qt::LeftButton);
    QCOMPARE(d.m_nShooterUnits, int(IDC_SHOOTER_FEET));
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_SHOOTER_LABEL), QStringLiteral("Distance to Shooter (ft)"));
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(IDC_TARGET_METERS)), Qt::LeftButton);
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_TARGET_LABEL), QStringLiteral("Distance to Target (M)"));
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_SHOOTER_LABEL), QStringLiteral("Distance to Shooter (ft)"));
    QVERIFY(!checked(d, IDC_TARGET_YARDS));
    QVERIFY(checked(d, IDC_SHOOTER_FEET));
}

void TestDistanceDlg::okScalesAndSaves_data()
{
    QTest::addColumn<QString>("shooter");
    QTest::addColumn<int>("shooterUnit");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("targetUnit");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("suffixes");
    QTest::addColumn<QString>("storedShooter");

    QTest::newRow("25 yd at 100 yd") << "25" << int(IDC_SHOOTER_YARDS) << "100" << int(IDC_TARGET_YARDS) << 0.25
                                     << "yds. yds." << "25.";
    QTest::newRow("25 yd at 50 m") << "25" << int(IDC_SHOOTER_YARDS) << "50" << int(IDC_TARGET_METERS) << 0.4572
                                   << "yds. m" << "25.";
    QTest::newRow("12.5 ft at 25 yd") << "12.5" << int(IDC_SHOOTER_FEET) << "25" << int(IDC_TARGET_YARDS)
                                      << 12.5 / 75.0 << "ft yds." << "12.5";
    // Saved as entered, even though it will not be offered again.
    QTest::newRow("3 yd at 100 yd") << "3" << int(IDC_SHOOTER_YARDS) << "100" << int(IDC_TARGET_YARDS) << 0.03
                                    << "yds. yds." << "3.";
}

void TestDistanceDlg::okScalesAndSaves()
{
    QFETCH(QString, shooter);
    QFETCH(int, shooterUnit);
    QFETCH(QString, target);
    QFETCH(int, targetUnit);
    QFETCH(double, scale);
    QFETCH(QString, suffixes);
    QFETCH(QString, storedShooter);

    CScaleForDistanceDlg d;
    open(d, 25400.0 * 2);
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(shooterUnit)), Qt::LeftButton);
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(targetUnit)), Qt::LeftButton);
    type(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE, shooter);
    type(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE, target);
    clickOk(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(MessageLog::messages().isEmpty());
    QVERIFY2(qAbs(d.m_dScale - scale) < 1e-12, qPrintable(QString::number(d.m_dScale, 'g', 17)));
    QCOMPARE(d.m_dShooterDistance, shooter.toDouble());
    QCOMPARE(d.m_dTargetDistance, target.toDouble());
    QString s = QStringLiteral("Yards"), t = QStringLiteral("Yards");
    d.GetShooterUnitSuffix(s);
    d.GetTargetUnitSuffix(t);
    QCOMPARE(s + QLatin1Char(' ') + t, suffixes);

    QCOMPARE(stored("ShooterUnits"), QString::number(shooterUnit));
    QCOMPARE(stored("TargetUnits"), QString::number(targetUnit));
    QCOMPARE(stored("ShooterDistance"), storedShooter);
    QCOMPARE(stored("TargetDistance"), target + QLatin1Char('.'));
}

void TestDistanceDlg::warningsKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("shooter");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");

    const QString order = QStringLiteral("Distance to target must be greater than distance to shooter.");
    const QString small = QStringLiteral("Scale distance is too large. The target will be less than 1/2 inch tall.");
    QTest::newRow("equal") << "25" << "25" << order;
    QTest::newRow("target empty") << "25" << "" << order;
    QTest::newRow("target nearer") << "100" << "25" << order;
    QTest::newRow("shooter empty") << "" << "100" << small;
    QTest::newRow("shooter 0") << "0" << "100" << small;
    QTest::newRow("0.05 inch") << "5" << "1000" << small;
}

void TestDistanceDlg::warningsKeepTheDialogOpen()
{
    QFETCH(QString, shooter);
    QFETCH(QString, target);
    QFETCH(QString, message);

    CScaleForDistanceDlg d;
    open(d);
    type(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE, shooter);
    type(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE, target);
    clickOk(d);
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, message);
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Warning"));
    QVERIFY(d.isVisible());
    QCOMPARE(d.m_dScale, 1.0);
    QCOMPARE(stored("ShooterDistance"), QStringLiteral("absent"));
    // The entries stay as typed (the target field has lost the focus to OK).
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->currentText().toDouble(), shooter.toDouble());
}

void TestDistanceDlg::invalidHeightCancels()
{
    CScaleForDistanceDlg d;
    open(d, 0.0);
    clickOk(d);
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QStringLiteral("Current target has invalid heigth value."));
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Error"));
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(!d.isVisible());
    QCOMPARE(stored("ShooterUnits"), QStringLiteral("absent"));
}

void TestDistanceDlg::storedValuesOffered()
{
    DistanceSettings s;
    s.shooterUnits = IDC_SHOOTER_METERS;
    s.targetUnits = IDC_TARGET_FEET;
    s.shooterDistance = 12.5;
    s.targetDistance = 300.0;
    WriteDistanceSettings(s);

    CScaleForDistanceDlg d;
    open(d);
    QVERIFY(checked(d, IDC_SHOOTER_METERS));
    QVERIFY(checked(d, IDC_TARGET_FEET));
    QCOMPARE(d.m_dShooterDistance, 12.5);
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->currentText(), QStringLiteral("12.5"));
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE)->currentText(), QStringLiteral("300.0"));
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_SHOOTER_LABEL), QStringLiteral("Distance to Shooter (M)"));
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_TARGET_LABEL), QStringLiteral("Distance to Target (ft)"));
}

void TestDistanceDlg::storedValuesOutOfRangeIgnored()
{
    WriteProfileReal(kSection, QStringLiteral("ShooterDistance"), 3.0);
    WriteProfileReal(kSection, QStringLiteral("TargetDistance"), 100.0);
    WriteProfileUnsigned(kSection, QStringLiteral("ShooterUnits"), 3042);
    WriteProfileUnsigned(kSection, QStringLiteral("TargetUnits"), 3041);

    CScaleForDistanceDlg d;
    open(d);
    QVERIFY(checked(d, IDC_SHOOTER_YARDS));
    QVERIFY(checked(d, IDC_TARGET_FEET));
    QCOMPARE(d.m_dShooterDistance, 0.0);
    QCOMPARE(d.m_dTargetDistance, 0.0);
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->currentIndex(), 4);
    QCOMPARE(combo(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE)->currentIndex(), 7);
}

void TestDistanceDlg::distanceFieldRefusesMinus()
{
    CScaleForDistanceDlg d;
    open(d);
    NumericComboBox* c = combo(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE);
    QSignalSpy beeps(c->numericEdit(), &NumericFieldBase::characterRefused);
    type(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE, QStringLiteral("-2500"));
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(c->currentText(), QStringLiteral("2500"));
    // Leaving the field brings it into the range with one decimal.
    combo(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE)->lineEdit()->setFocus();
    QCOMPARE(c->currentText(), QStringLiteral("1000.0"));
}

void TestDistanceDlg::cancelSavesNothing()
{
    CScaleForDistanceDlg d;
    open(d);
    type(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE, QStringLiteral("50"));
    QTest::mouseClick(static_cast<QPushButton*>(d.GetDlgItem(IDCANCEL)), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(d.m_dScale, 1.0);
    QCOMPARE(stored("ShooterDistance"), QStringLiteral("absent"));
}

void TestDistanceDlg::calibreRow_data()
{
    QTest::addColumn<bool>("design");
    QTest::addColumn<QString>("shooter");  // metres, like the target
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("calibre");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("message");  // empty: OK accepted
    QTest::addColumn<QString>("key");

    // Rings of 155.5, 11.5 and 5 mm. 5 m for 10 m: 0.5 (160) - 4.5 = 75.5;
    // 2 m: 0.2 (160) - 4.5 = 27.5, the 11.5 and 5 mm rings below zero;
    // 0.2 m: the outermost gone, 4.5 / 160 x 10 m = 0.28 m, up to 0.3.
    const QString corrected = QStringLiteral("Each scoring ring is corrected for the calibre: the outermost prints ");
    QTest::newRow("picture: proportional only")
        << false << "5" << "10" << "mm" << "4.5"
        << "Only proportional scaling is possible for a picture: its rings are not known, so it cannot be corrected "
           "for a calibre." << "" << "none";
    QTest::newRow("air pistol, 4.5 mm")
        << true << "5" << "10" << "mm" << "4.5 mm (air)"
        << corrected + "75.5 mm across (77.75 mm proportionally)." << "" << "4.5mm";
    QTest::newRow("rings that become dots")
        << true << "2" << "10" << "mm" << "4.5"
        << corrected + "27.5 mm across (31.1 mm proportionally). Rings that print as the centre dot: 11.5 mm, 5 mm."
        << "" << "4.5mm";
    // and 0.5 (0.197 + 0.224) - 0.224 < 0 for the 5 mm ring.
    QTest::newRow("typed inches: 0.5 (6.122 + 0.224) - 0.224")
        << true << "5" << "10" << "in" << "0.224"
        << corrected + "2.949 in across (3.061 in proportionally). Rings that print as the centre dot: 0.197 in."
        << "" << "0.224in";
    const QString gone = QStringLiteral("The outermost scoring ring vanishes at this distance with a calibre of 4.5 mm. "
                                        "The shortest shooter distance at which it remains is 0.3 m.");
    QTest::newRow("outermost vanishes: refused") << true << "0.2" << "10" << "mm" << "4.5" << gone << gone << "absent";
    QTest::newRow("not a calibre") << true << "5" << "10" << "mm" << "abc"
                                   << "Enter the calibre in mm or in, or choose None."
                                   << "The calibre must be a diameter in mm or in (at most 1 in), or None." << "absent";
}

void TestDistanceDlg::calibreRow()
{
    QFETCH(bool, design);
    QFETCH(QString, shooter);
    QFETCH(QString, target);
    QFETCH(QString, unit);
    QFETCH(QString, calibre);
    QFETCH(QString, note);
    QFETCH(QString, message);
    QFETCH(QString, key);

    CTargetDesign rings;
    for (double mm : {155.5, 11.5, 5.0}) rings.AddCircle(mm / 25.4, 0, 0.0, true, 0xFFFFFF, QString(), false);
    rings.Rebuild();
    CScaleForDistanceDlg d;
    d.m_pDesign = design ? &rings : nullptr;
    open(d, 15550.0);
    auto* calibreList = static_cast<QComboBox*>(d.GetDlgItem(CScaleForDistanceDlg::IDC_CALIBRE));
    QCOMPARE(calibreList->isVisible(), design);
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(IDC_SHOOTER_METERS)), Qt::LeftButton);
    QTest::mouseClick(static_cast<QRadioButton*>(d.GetDlgItem(IDC_TARGET_METERS)), Qt::LeftButton);
    type(d, CScaleForDistanceDlg::IDC_SHOOTER_DISTANCE, shooter);
    type(d, CScaleForDistanceDlg::IDC_TARGET_DISTANCE, target);
    static_cast<QComboBox*>(d.GetDlgItem(CScaleForDistanceDlg::IDC_CALIBRE_UNIT))->setCurrentText(unit);
    calibreList->setEditText(calibre);
    QCOMPARE(label(d, CScaleForDistanceDlg::IDC_CALIBRE_NOTE), note);
    clickOk(d);
    QCOMPARE(MessageLog::messages().isEmpty() ? QString() : MessageLog::messages().first().text, message);
    QCOMPARE(d.isVisible(), !message.isEmpty());
    QCOMPARE(stored("Calibre"), key);
}

QTEST_MAIN(TestDistanceDlg)
#include "tst_distancedlg.moc"
