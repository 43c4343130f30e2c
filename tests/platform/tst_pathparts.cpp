#include <QTest>

#include "platform/PathParts.h"

// Splitting a path into drive, directory, file name and extension.
class TestPathParts : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void lengthLimits_data();
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

// Room as on Linux, counted in bytes of the file system's encoding: a path
// below 4096, a file name with its extension below 256.
void TestPathParts::lengthLimits_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("fits");
    const auto deep = [](int bytes) {  // "/ddd.../" of the given length
        return QLatin1Char('/') + QString(bytes - 2, QLatin1Char('d')) + QLatin1Char('/');
    };
    const QString e = QString::fromUtf8("\xc3\xa9");  // two bytes in UTF-8
    QTest::newRow("277 characters") << deep(260) + QStringLiteral("target.jpg") << true;
    QTest::newRow("4095 bytes") << deep(4000) + QString(91, QLatin1Char('n')) + QStringLiteral(".jpg") << true;
    QTest::newRow("4096 bytes") << deep(4000) + QString(92, QLatin1Char('n')) + QStringLiteral(".jpg") << false;
    QTest::newRow("folder of 4000 bytes, no name") << deep(4000) << true;
    QTest::newRow("name of 255 bytes") << QStringLiteral("/t/") + QString(251, QLatin1Char('n')) + ".jpg" << true;
    QTest::newRow("name of 256 bytes") << QStringLiteral("/t/") + QString(252, QLatin1Char('n')) + ".jpg" << false;
    QTest::newRow("name of 128 two-byte letters") << QStringLiteral("/t/") + e.repeated(128) << false;
    QTest::newRow("name of 127 two-byte letters") << QStringLiteral("/t/") + e.repeated(127) << true;
    QTest::newRow("extension of 256 bytes") << QStringLiteral("/t/a.") + QString(255, QLatin1Char('x')) << false;
}

void TestPathParts::lengthLimits()
{
    QFETCH(QString, path);
    QFETCH(bool, fits);
    PathParts parts(QStringLiteral("/old/one.vnt"));
    QCOMPARE(parts.Set(path), fits);
    QCOMPARE(parts.GetPath(), fits ? path : QString());
    QCOMPARE(parts.GetDrive() + parts.GetDirectory() + parts.GetFileName() + parts.GetExtension(),
             fits ? path : QString());
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
