#include "view/DistanceScale.h"

#include <QTest>

class TestDistanceScale : public QObject {
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void formatDistance_data();
    void formatDistance();
    void comboDistance_data();
    void comboDistance();
    void suffixes_data();
    void suffixes();
    void storedSettings_data();
    void storedSettings();
};

namespace {
constexpr double kTenInches = 25400.0;
}

void TestDistanceScale::check_data()
{
    QTest::addColumn<double>("shooter");
    QTest::addColumn<int>("shooterUnits");
    QTest::addColumn<double>("target");
    QTest::addColumn<int>("targetUnits");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("result");
    QTest::addColumn<double>("scale");

    const int ok = int(DistanceCheck::Ok);
    const int height = int(DistanceCheck::InvalidHeight);
    const int order = int(DistanceCheck::TargetNotBeyondShooter);
    const int small = int(DistanceCheck::TooSmall);
    QTest::newRow("25 yd at 100 yd") << 25.0 << 3030 << 100.0 << 3040 << kTenInches << ok << 0.25;
    QTest::newRow("25 yd at 50 m") << 25.0 << 3030 << 50.0 << 3042 << kTenInches << ok << 0.4572;
    QTest::newRow("50 ft at 100 yd") << 50.0 << 3031 << 100.0 << 3040 << kTenInches << ok << 50.0 / 300.0;
    QTest::newRow("10 m at 25 ft") << 5.0 << 3032 << 25.0 << 3041 << kTenInches << ok << 5.0 / 7.62;
    QTest::newRow("equal: strict") << 25.0 << 3030 << 25.0 << 3040 << kTenInches << order << 0.0;
    QTest::newRow("equal across units") << 25.0 << 3030 << 75.0 << 3041 << kTenInches << order << 0.0;
    QTest::newRow("target nearer") << 100.0 << 3032 << 100.0 << 3040 << kTenInches << order << 0.0;
    QTest::newRow("empty target") << 25.0 << 3030 << 0.0 << 3040 << kTenInches << order << 0.0;
    QTest::newRow("both empty") << 0.0 << 3030 << 0.0 << 3040 << kTenInches << order << 0.0;
    QTest::newRow("empty shooter fails half inch") << 0.0 << 3030 << 100.0 << 3040 << kTenInches << small << 0.0;
    QTest::newRow("0.05 inch") << 5.0 << 3030 << 1000.0 << 3040 << kTenInches << small << 0.0;
    QTest::newRow("exactly half an inch") << 5.0 << 3030 << 100.0 << 3040 << kTenInches << ok << 0.05;
    QTest::newRow("just under half an inch") << 4.99 << 3030 << 100.0 << 3040 << kTenInches << small << 0.0;
    QTest::newRow("no height") << 25.0 << 3030 << 100.0 << 3040 << 0.0 << height << 0.0;
    QTest::newRow("height checked first") << 25.0 << 3030 << 25.0 << 3040 << -1.0 << height << 0.0;
    QTest::newRow("not a number") << qQNaN() << 3030 << 100.0 << 3040 << kTenInches << order << 0.0;
}

void TestDistanceScale::check()
{
    QFETCH(double, shooter);
    QFETCH(int, shooterUnits);
    QFETCH(double, target);
    QFETCH(int, targetUnits);
    QFETCH(double, height);
    QFETCH(int, result);
    QFETCH(double, scale);

    DistanceInput input;
    input.shooterDistance = shooter;
    input.shooterUnits = shooterUnits;
    input.targetDistance = target;
    input.targetUnits = targetUnits;
    input.targetHeight = height;
    double got = -1.0;
    QCOMPARE(int(CheckDistanceScale(input, &got)), result);
    if (result == int(DistanceCheck::Ok)) {
        QVERIFY2(qAbs(got - scale) < 1e-12, qPrintable(QString::number(got, 'g', 17)));
        // A 10-inch target comes out scale x 10 inches tall.
        QVERIFY(qAbs(got * kTenInches / 2540.0 - scale * 10.0) < 1e-9);
    } else {
        QCOMPARE(got, -1.0);
        QVERIFY(!DistanceCheckMessage(DistanceCheck(result)).isEmpty());
    }
}

void TestDistanceScale::formatDistance_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("100") << 100.0 << "100";
    QTest::newRow("1000") << 1000.0 << "1000";
    QTest::newRow("150.7 truncated") << 150.7 << "150";
    QTest::newRow("99.99 rounds up") << 99.99 << "100.0";
    QTest::newRow("25") << 25.0 << "25.0";
    QTest::newRow("20") << 20.0 << "20.0";
    QTest::newRow("19.999") << 19.999 << "20.00";
    QTest::newRow("10") << 10.0 << "10.00";
    QTest::newRow("5") << 5.0 << "5.00";
}

void TestDistanceScale::formatDistance()
{
    QFETCH(double, x);
    QFETCH(QString, text);
    QCOMPARE(FormatDistance(x), text);
}

void TestDistanceScale::comboDistance_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("25.0") << 25.0 << "25";
    QTest::newRow("12.5") << 12.5 << "12.5";
    QTest::newRow("100") << 100.0 << "100";
    QTest::newRow("7.25") << 7.25 << "7.25";
}

void TestDistanceScale::comboDistance()
{
    QFETCH(double, x);
    QFETCH(QString, text);
    QCOMPARE(FormatComboDistance(x), text);
}

void TestDistanceScale::suffixes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("shooter yards") << 3030 << "yds.";
    QTest::newRow("shooter feet") << 3031 << "ft";
    QTest::newRow("shooter meters") << 3032 << "m";
    QTest::newRow("target yards") << 3040 << "yds.";
    QTest::newRow("target feet") << 3041 << "ft";
    QTest::newRow("target meters") << 3042 << "m";
    QTest::newRow("other code leaves it") << 3033 << "Yards";
}

void TestDistanceScale::suffixes()
{
    QFETCH(int, code);
    QFETCH(QString, suffix);
    QString text = QStringLiteral("Yards");
    UnitSuffixOfCode(code, text);
    QCOMPARE(text, suffix);
}

void TestDistanceScale::storedSettings_data()
{
    QTest::addColumn<int>("shooterUnits");
    QTest::addColumn<int>("targetUnits");
    QTest::addColumn<double>("shooter");
    QTest::addColumn<double>("target");
    QTest::addColumn<int>("expShooterUnits");
    QTest::addColumn<int>("expTargetUnits");
    QTest::addColumn<double>("expShooter");
    QTest::addColumn<double>("expTarget");

    QTest::newRow("valid") << 3031 << 3042 << 50.0 << 100.0 << 3031 << 3042 << 50.0 << 100.0;
    QTest::newRow("bounds inclusive") << 3032 << 3040 << 5.0 << 1000.0 << 3032 << 3040 << 5.0 << 1000.0;
    QTest::newRow("shooter 3 drops both") << 3030 << 3040 << 3.0 << 100.0 << 3030 << 3040 << 0.0 << 0.0;
    QTest::newRow("target too far drops both") << 3030 << 3040 << 25.0 << 1000.5 << 3030 << 3040 << 0.0 << 0.0;
    QTest::newRow("not a number") << 3030 << 3040 << qQNaN() << 100.0 << 3030 << 3040 << 0.0 << 0.0;
    QTest::newRow("shooter unit from target group") << 3042 << 3041 << 25.0 << 100.0 << 3030 << 3041 << 25.0 << 100.0;
    QTest::newRow("target unit from shooter group") << 3031 << 3030 << 25.0 << 100.0 << 3031 << 3040 << 25.0 << 100.0;
}

void TestDistanceScale::storedSettings()
{
    QFETCH(int, shooterUnits);
    QFETCH(int, targetUnits);
    QFETCH(double, shooter);
    QFETCH(double, target);
    QFETCH(int, expShooterUnits);
    QFETCH(int, expTargetUnits);
    QFETCH(double, expShooter);
    QFETCH(double, expTarget);

    DistanceSettings settings;
    AcceptStoredDistanceSettings(settings, std::uint16_t(shooterUnits), std::uint16_t(targetUnits), shooter, target);
    QCOMPARE(settings.shooterUnits, expShooterUnits);
    QCOMPARE(settings.targetUnits, expTargetUnits);
    QCOMPARE(settings.shooterDistance, expShooter);
    QCOMPARE(settings.targetDistance, expTarget);
}

QTEST_MAIN(TestDistanceScale)
#include "tst_distancescale.moc"
