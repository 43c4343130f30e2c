#include <QtTest>

#include <QImageReader>
#include <QTemporaryDir>

#include <cmath>

#include "designer/CalibreCorrection.h"
#include "designer/DesignUnits.h"
#include "designer/TargetDesign.h"
#include "helper_target.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "view/CommandLineOptions.h"
#include "view/CommandLinePrint.h"
#include "view/DistanceScaleSettings.h"

// Reduced targets corrected for a calibre, with every number worked out by
// hand in the table: D' = k (D + c) - c, a diamond's with c sqrt 2.
class TestCalibre : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void handWorked_data();
    void handWorked();

private:
    QTemporaryDir m_dir;
};

namespace {

// "circle:155.5 square:11.3/0.2": rings in millimetres, path diameter and
// optional line width, added in this order.
void buildDesign(const QString& rings, CTargetDesign& d)
{
    d.Clear();
    for (const QString& ring : rings.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList kind = ring.split(QLatin1Char(':'));
        const QStringList size = kind[1].split(QLatin1Char('/'));
        const double diameter = size[0].toDouble() / 25.4;
        const double line = size.size() > 1 ? size[1].toDouble() / 25.4 : 0.0;
        if (kind[0] == QLatin1String("square"))
            d.AddSquare(diameter, 0x000000, line, true, 0xFFFFFF, QString(), false);
        else if (kind[0] == QLatin1String("diamond"))
            d.AddDiamond(diameter, 0x000000, line, true, 0xFFFFFF, QString(), false);
        else
            d.AddCircle(diameter, 0x000000, line, true, 0xFFFFFF, QString(), false);
    }
    d.Rebuild();
}

DistanceInput inputFor(const QString& distance, const QString& calibre, const CTargetDesign* design)
{
    DistanceOption option;
    ParseDistanceOption(distance, &option);
    DistanceInput in;
    in.shooterDistance = option.shooterDistance;
    in.shooterUnits = option.shooterUnits;
    in.targetDistance = option.targetDistance;
    in.targetUnits = option.targetUnits;
    in.targetHeight = 25400.0;
    in.design = design;
    ParseCalibre(calibre, false, &in.calibre);
    return in;
}

QString mm(double inches)
{
    return QString::number(inches * 25.4, 'f', 2);
}

}  // namespace

void TestCalibre::initTestCase()
{
    QVERIFY(m_dir.isValid());
    MessageLog::setEcho(false);
    // A letter page at 600 dpi is larger than Qt's default image limit.
    QImageReader::setAllocationLimit(0);
}

void TestCalibre::handWorked_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("rings");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("calibre");
    QTest::addColumn<QString>("expected");

    // Printed scoring edges (mm), "/line" where the ring has one.
    QTest::newRow("proportional without calibre: 155.5 / 2")
        << "ring" << "circle:155.5" << "5m:10m" << "" << "77.75";
    QTest::newRow("air pistol 1 ring: 0.5 (155.5 + 4.5) - 4.5")
        << "ring" << "circle:155.5" << "5m:10m" << "4.5mm" << "75.50";
    QTest::newRow("air pistol 10 ring, edge outside the line: 0.5 (11.5 + 4.5) - 4.5, line 0.1")
        << "ring" << "circle:155.5 circle:11.3/0.2" << "5m:10m" << "4.5mm" << "75.50 3.50/0.10";
    QTest::newRow("4 in square at 25:100 yd, .224: 0.25 (101.6 + 5.6896) - 5.6896")
        << "ring" << "square:101.6" << "25yd:100yd" << "0.224in" << "21.13";
    QTest::newRow("diamond: 0.5 (100 + 5.6 sqrt 2) - 5.6 sqrt 2")
        << "ring" << "diamond:100" << "25m:50m" << "5.6mm" << "46.04";
    QTest::newRow("air rifle ten vanishes: 0.5 (0.5 + 4.5) - 4.5 < 0, the 0.5 mm dot")
        << "ring" << "circle:45.5 circle:0.5" << "5m:10m" << "4.5mm" << "20.50 0.50 | dots 0.5 mm";

    // Refused: the outermost ring vanishes. 11.43 / (45.5 + 11.43) x 50 m =
    // 10.04 m = 10.98 yd, up to 11.0; 5 / (45 + 5) x 10 m = 1.0 m exactly,
    // where the ring is zero, so 1.1.
    QTest::newRow("outermost vanishes, in yards")
        << "refuse" << "circle:45.5 circle:0.5" << "5yd:50m" << "11.43mm"
        << "The outermost scoring ring vanishes at this distance with a calibre of 11.43 mm. The shortest shooter "
           "distance at which it remains is 11.0 yds.";
    QTest::newRow("exactly zero is vanished")
        << "refuse" << "circle:45" << "0.9m:10m" << "5mm"
        << "The outermost scoring ring vanishes at this distance with a calibre of 5 mm. The shortest shooter "
           "distance at which it remains is 1.1 m.";
    QTest::newRow("a picture takes no calibre")
        << "refuse" << "" << "5m:10m" << "4.5mm"
        << "--calibre needs a ring design: the rings of a picture are not known, so it can only be scaled "
           "proportionally.";

    // On paper: the caption's end and a 2 in black square, 0.5 (50.8 + 4.5) - 4.5.
    QTest::newRow("printed caption and size")
        << "print" << "square:50.8" << "5m:10m" << "4.5mm" << "Scaled Target Distance: 10.00 m, CALIBRE 4.5 mm|23.15";
    QTest::newRow("printed without calibre: the caption as it was")
        << "print" << "square:50.8" << "5m:10m" << "" << "Scaled Target Distance: 10.00 m|25.40";

    // Settings key "Calibre": written, and what the dialog reads back.
    QTest::newRow("setting mm") << "setting" << "" << "" << "5.6mm" << "5.6mm -> 5.6 mm";
    QTest::newRow("setting in") << "setting" << "" << "" << "0.224in" << "0.224in -> 0.224 in";
    QTest::newRow("setting none") << "setting" << "" << "" << "" << "none -> ";
    QTest::newRow("setting unreadable") << "setting" << "" << "" << "*bad" << "*bad -> ";

    // Grid spacing of one unit, in inches: 3600 tan(1/60 deg), 3600 / 3600,
    // 100 m / 1000 = 3.937 in, 3600 / 1000.
    QTest::newRow("MOA at 100 yd") << "spacing" << "MOA" << "100yd" << "" << "1.0472";
    QTest::newRow("shooter's MOA at 100 yd") << "spacing" << "SMOA" << "100yd" << "" << "1.0000";
    QTest::newRow("MIL at 100 m") << "spacing" << "MIL" << "100m" << "" << "3.9370";
    QTest::newRow("MIL at 100 yd") << "spacing" << "MIL" << "100yd" << "" << "3.6000";
    QTest::newRow("mm") << "spacing" << "mm" << "100yd" << "" << "0.0394";
}

void TestCalibre::handWorked()
{
    QFETCH(QString, what);
    QFETCH(QString, rings);
    QFETCH(QString, distance);
    QFETCH(QString, calibre);
    QFETCH(QString, expected);

    CTargetDesign design;
    if (what != QLatin1String("spacing")) buildDesign(rings, design);
    const DistanceInput in = inputFor(distance, calibre, rings.isEmpty() ? nullptr : &design);

    if (what == QLatin1String("ring")) {
        const DistanceResult result = EvaluateDistanceScale(in);
        QCOMPARE(int(result.check), int(DistanceCheck::Ok));
        CTargetDesign corrected;
        CorrectForCalibre(design, result.scale, in.calibre.Inches(), corrected);
        QStringList printed;
        for (int i = 0; i < corrected.GetElementCount(); ++i) {
            const CDesignElement& e = *corrected.GetElement(i);
            // As drawn: everything reduced by the scale.
            QString text = mm(result.scale * (e.Diameter() + e.Thickness()));
            if (e.Thickness() > 0) text += QLatin1Char('/') + mm(result.scale * e.Thickness());
            printed << text;
        }
        QString actual = printed.join(QLatin1Char(' '));
        if (!result.dots.isEmpty()) actual += QStringLiteral(" | dots ") + result.dots.join(QStringLiteral(", "));
        QCOMPARE(actual, expected);
    } else if (what == QLatin1String("refuse")) {
        DistanceOption option;
        QVERIFY(ParseDistanceOption(distance, &option).isEmpty());
        double scale = 0.0;
        QCOMPARE(CheckDistanceOption(option, in.targetHeight, &scale, in.calibre, in.design), expected);
    } else if (what == QLatin1String("print")) {
        const QString rgd = m_dir.filePath(QStringLiteral("square.rgd"));
        const QString pdf = m_dir.filePath(QStringLiteral("square.pdf"));
        QVERIFY(WriteSquareDesign(rgd, 2.0));
        QStringList args{QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), pdf,
                         QStringLiteral("--distance"), distance};
        if (!calibre.isEmpty()) args << QStringLiteral("--calibre") << calibre;
        QCOMPARE(RunCommandLinePrint(args << rgd), 0);
        const QStringList parts = expected.split(QLatin1Char('|'));
        const QString text = PdfText(pdf, 1).simplified();
        QVERIFY2(text.contains(parts[0]), qPrintable(text));
        QVERIFY2(calibre.isEmpty() != text.contains(QStringLiteral("CALIBRE")), qPrintable(text));
        const QImage img = RasterisePdfPage(pdf, 1, 600);
        const QSize extent = CentreDarkExtent(img);
        QVERIFY2(std::fabs(extent.width() / 600.0 * 25.4 - parts[1].toDouble()) <= 0.1, qPrintable(QString::number(extent.width())));
        QVERIFY(std::fabs(extent.height() / 600.0 * 25.4 - parts[1].toDouble()) <= 0.1);
    } else if (what == QLatin1String("setting")) {
        QFile::remove(ProfilePath());
        DistanceSettings written;
        ParseCalibre(calibre, false, &written.calibre);
        if (calibre.startsWith(QLatin1Char('*'))) {
            WriteDistanceSettings(written);
            WritePrivateProfileString(QLatin1String(kDistanceSection), QStringLiteral("Calibre"), calibre,
                                      QLatin1String(PROFILE_FILE));
        } else {
            WriteDistanceSettings(written);
        }
        QString raw;
        ReadProfileText(QLatin1String(kDistanceSection), QStringLiteral("Calibre"), QStringLiteral("absent"), &raw);
        DistanceSettings read;
        read.calibre = {9.0, false};
        ReadDistanceSettings(read);
        QCOMPARE(raw + QStringLiteral(" -> ") + FormatCalibre(read.calibre), expected);
    } else {
        SpacingUnit unit = SpacingUnit::Inches;
        for (int i = 0; i < SPACING_UNIT_COUNT; ++i)
            if (SpacingUnitName(SpacingUnit(i)) == rings) unit = SpacingUnit(i);
        const bool metres = distance.endsWith(QLatin1String("m"));
        const double range = RangeInches(distance.chopped(metres ? 1 : 2).toDouble(),
                                         metres ? RangeUnit::Metres : RangeUnit::Yards);
        QCOMPARE(QString::number(SpacingUnitInches(unit, range), 'f', 4), expected);
    }
}

QTEST_MAIN(TestCalibre)
#include "tst_calibre.moc"
