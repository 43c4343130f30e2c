#include <QTest>

#include "platform/PathParts.h"

// Splitting a path into drive, directory, file name and extension.
class TestPathParts : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void lengthLimits();
    void setClearsPreviousParts();
};

void TestPathParts::split_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");

    QTest::newRow("windows path") << "C:\\Targets\\My Targets\\bull.VNT" << "C:" << "\\Targets\\My Targets\\"
                                  << "bull" << ".VNT";
    QTest::newRow("unix path") << "/home/ann/Targets/bull.vnt" << "" << "/home/ann/Targets/" << "bull" << ".vnt";
    QTest::newRow("mixed separators") << "D:/a\\b/c.rgd" << "D:" << "/a\\b/" << "c" << ".rgd";
    QTest::newRow("no extension") << "/tmp/target" << "" << "/tmp/" << "target" << "";
    QTest::newRow("dots in folders, none in name") << "/tmp/v1.2/x.y/target" << "" << "/tmp/v1.2/x.y/" << "target"
                                                   << "";
    QTest::newRow("dots in folders and name") << "/tmp/v1.2/a.b.jpeg" << "" << "/tmp/v1.2/" << "a.b" << ".jpeg";
    QTest::newRow("trailing slash") << "/tmp/Targets/" << "" << "/tmp/Targets/" << "" << "";
    QTest::newRow("trailing backslash") << "C:\\Targets\\" << "C:" << "\\Targets\\" << "" << "";
    QTest::newRow("hidden file") << "/home/ann/.vantricrc" << "" << "/home/ann/" << "" << ".vantricrc";
    QTest::newRow("hidden file with extension") << "/home/ann/.hidden.vnt" << "" << "/home/ann/" << ".hidden"
                                                << ".vnt";
    QTest::newRow("name ending in a dot") << "/tmp/target." << "" << "/tmp/" << "target" << ".";
    QTest::newRow("bare name") << "bull.wmf" << "" << "" << "bull" << ".wmf";
    QTest::newRow("drive only") << "C:" << "C:" << "" << "" << "";
    QTest::newRow("drive and name, no folder") << "C:bull.bmp" << "C:" << "" << "bull" << ".bmp";
    QTest::newRow("root") << "/" << "" << "/" << "" << "";
    QTest::newRow("empty") << "" << "" << "" << "" << "";
}

void TestPathParts::split()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QFETCH(QString, dir);
    QFETCH(QString, name);
    QFETCH(QString, ext);

    const PathParts parts(path);
    QCOMPARE(parts.GetPath(), path);
    QCOMPARE(parts.GetDrive(), drive);
    QCOMPARE(parts.GetDirectory(), dir);
    QCOMPARE(parts.GetFileName(), name);
    QCOMPARE(parts.GetExtension(), ext);
    QCOMPARE(parts.GetFolder(), drive + dir);
    // The parts put back together give the path again.
    QCOMPARE(drive + dir + name + ext, path);
}

void TestPathParts::lengthLimits()
{
    // 259 characters fit the 260-byte buffer, 260 do not.
    const QString folder = QStringLiteral("/") + QString(200, QLatin1Char('d')) + QLatin1Char('/');
    const QString fits = folder + QString(259 - folder.size() - 4, QLatin1Char('n')) + QStringLiteral(".vnt");
    QCOMPARE(fits.size(), 259);
    PathParts ok;
    QVERIFY(ok.Set(fits));
    QCOMPARE(ok.GetDirectory(), folder);
    QCOMPARE(ok.GetExtension(), QStringLiteral(".vnt"));

    const QString tooLong = fits + QLatin1Char('x');
    PathParts bad;
    QVERIFY(!bad.Set(tooLong));
    QVERIFY(bad.GetPath().isEmpty());
    QVERIFY(bad.GetDirectory().isEmpty());
    QVERIFY(bad.GetFileName().isEmpty());
    QVERIFY(bad.GetExtension().isEmpty());

    // A directory of 256 characters does not fit its buffer even though the
    // whole path would.
    const QString longDir = QStringLiteral("/") + QString(254, QLatin1Char('d')) + QLatin1Char('/');
    QCOMPARE(longDir.size(), 256);
    PathParts dirTooLong;
    QVERIFY(!dirTooLong.Set(longDir + QStringLiteral("a")));
    QVERIFY(dirTooLong.GetPath().isEmpty());
    QVERIFY(dirTooLong.Set(longDir.mid(1) + QStringLiteral("a")));
    QCOMPARE(dirTooLong.GetFileName(), QStringLiteral("a"));
}

void TestPathParts::setClearsPreviousParts()
{
    PathParts parts(QStringLiteral("C:\\Targets\\bull.vnt"));
    QCOMPARE(parts.GetDrive(), QStringLiteral("C:"));
    QVERIFY(parts.Set(QStringLiteral("/tmp/other")));
    QCOMPARE(parts.GetDrive(), QString());
    QCOMPARE(parts.GetExtension(), QString());
    QVERIFY(!parts.Set(QString(300, QLatin1Char('a'))));
    QCOMPARE(parts.GetFileName(), QString());
    QCOMPARE(parts.GetDirectory(), QString());
}

QTEST_APPLESS_MAIN(TestPathParts)
#include "tst_pathparts.moc"
