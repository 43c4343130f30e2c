// The desktop's side: DllRegisterServer and DllUnregisterServer in the user's
// data folder, and the installed thumbnailer entry run as a file manager runs
// it, down to the PNG in the thumbnail cache's format.
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "TargetFiles.h"
#include "helper_shellext.h"

using namespace targetfiles;

namespace {

// Every file under a folder with a digest of its content.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QByteArray digest = f.open(QIODevice::ReadOnly)
                                      ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5) : "dir";
        files.insert(QDir(root).relativeFilePath(path), digest);
    }
    return files;
}

// The value of a key in a desktop-entry file (each of ours has one group).
QString entryValue(const QString& file, const QString& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return QString();
    const QByteArray prefix = key.toUtf8() + '=';
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.startsWith(prefix)) return QString::fromUtf8(line.mid(prefix.size()));
    }
    return QString();
}

const char OTHER_PACKAGE[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-someone-else\"><glob pattern=\"*.else\"/></mime-type>\n"
    "</mime-info>\n";

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void registration_data();
    void registration();
    void sameTypeEverywhere();
    void installedRoad_data();
    void installedRoad();

private:
    ServerLibrary m_lib;
    QTemporaryDir m_prefix;  // cmake --install of the thumbnailer
    QTemporaryDir m_files;
    QString m_entry;
};

void TestDesktop::initTestCase()
{
    QVERIFY2(m_lib.isOpen(), dlerror());
    QProcess install;
    install.start(QStringLiteral(CMAKE_COMMAND), {"--install", VANTRIC_BUILD_DIR, "--component", "thumbnailer",
                                                  "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    m_entry = m_prefix.filePath("share/thumbnailers/vantric.thumbnailer");
    QVERIFY(QFileInfo::exists(m_entry));

    const QByteArray picture = quadrantPicture();
    QVERIFY(writeFile(m_files.filePath("quadrant.wmf"), picture));
    QVERIFY(writeFile(m_files.filePath("with space.vnt"), targetHeader(0x16) + picture));
    QVERIFY(writeFile(m_files.filePath("marker1f.vnt"), targetHeader(0x1F) + picture));
    // Reading the process's own memory from offset 0 fails with an I/O error.
    QVERIFY(QFile::link("/proc/self/mem", m_files.filePath("unreadable.vnt")));
}

void TestDesktop::registration_data()
{
    QTest::addColumn<bool>("otherPackage");
    QTest::newRow("data folder without MIME types") << false;
    QTest::newRow("data folder with another MIME type") << true;
}

void TestDesktop::registration()
{
    QFETCH(bool, otherPackage);
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.filePath("applications")));
    QVERIFY(writeFile(home.filePath("applications/mine.desktop"), "[Desktop Entry]\n"));
    if (otherPackage) {
        QVERIFY(QDir().mkpath(home.filePath("mime/packages")));
        QVERIFY(writeFile(home.filePath("mime/packages/else.xml"), OTHER_PACKAGE));
        QCOMPARE(QProcess::execute("update-mime-database", {home.filePath("mime")}), 0);
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const auto before = snapshot(home.path());

    QCOMPARE(m_lib.registerServer(), S_OK);
    const QString entry = home.filePath("thumbnailers/vantric.thumbnailer");
    const QString program = QFileInfo(VNT_THUMBNAILER).canonicalFilePath();
    QCOMPARE(entryValue(entry, "TryExec"), program);
    QCOMPARE(entryValue(entry, "Exec"), program + " -s %s %i %o");
    QCOMPARE(entryValue(entry, "MimeType"), QStringLiteral("application/x-vantric-document;"));
    // The MIME database was refreshed with the type.
    QVERIFY(QFileInfo::exists(home.filePath("mime/application/x-vantric-document.xml")));
    QVERIFY(!(snapshot(home.path()).value("mime/globs2").isEmpty()));

    QCOMPARE(m_lib.unregisterServer(), S_OK);
    QCOMPARE(snapshot(home.path()), before);
    qunsetenv("XDG_DATA_HOME");
}

void TestDesktop::sameTypeEverywhere()
{
    const QString type = QStringLiteral("application/x-vantric-document");
    QCOMPARE(entryValue(m_entry, "MimeType"), type + ';');
    QCOMPARE(entryValue(VANTRIC_SOURCE_DIR "/resources/vantric.desktop.in", "MimeType"), type + ';');
    QFile mime(m_prefix.filePath("share/mime/packages/vantric.xml"));
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QByteArray xml = mime.readAll();
    QVERIFY(xml.contains("<mime-type type=\"" + type.toLatin1() + "\">"));
    QVERIFY(xml.contains("<comment>Target Document</comment>"));
}

void TestDesktop::installedRoad_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("size");
    QTest::addColumn<QSize>("expected");  // empty: exit status 1 and no file
    QTest::addColumn<QString>("message");  // on standard error
    const QString shipped = VANTRIC_DATA_DIR "/Targets/My Targets/";
    QTest::newRow("wmf at 128") << m_files.filePath("quadrant.wmf") << 128 << QSize(128, 96) << QString();
    QTest::newRow("vnt named with a space at 256") << m_files.filePath("with space.vnt") << 256 << QSize(256, 192) << QString();
    QTest::newRow("shipped vnt") << shipped + "25m Precision Pistol.vnt" << 128 << QSize(128, 128) << QString();
    QTest::newRow("shipped wmf") << shipped + "Sight-in Grid 8x10.wmf" << 128 << QSize(102, 128) << QString();
    QTest::newRow("vnt marker 1F") << m_files.filePath("marker1f.vnt") << 128 << QSize() << QString();
    QTest::newRow("file read error") << m_files.filePath("unreadable.vnt") << 128 << QSize()
                                     << "Error Reading File:  " + m_files.filePath("unreadable.vnt");
}

void TestDesktop::installedRoad()
{
    QFETCH(QString, input);
    QFETCH(int, size);
    QFETCH(QSize, expected);
    QFETCH(QString, message);
    // As a file manager expands the Exec line: one argument per field code.
    QStringList args = QProcess::splitCommand(entryValue(m_entry, "Exec"));
    const QString output = m_files.filePath("out.png");
    QFile::remove(output);
    for (QString& arg : args) {
        if (arg == "%s") arg = QString::number(size);
        else if (arg == "%i") arg = input;
        else if (arg == "%o") arg = output;
    }
    QVERIFY2(args.first().startsWith(m_prefix.path()), "the entry names the installed program");
    QProcess run;
    run.start(args.takeFirst(), args);
    QVERIFY(run.waitForFinished(30000));
    QVERIFY(QString::fromLocal8Bit(run.readAllStandardError()).contains(message));
    if (expected.isEmpty()) {
        QCOMPARE(run.exitCode(), 1);
        QVERIFY(!QFileInfo::exists(output));
        return;
    }
    QCOMPARE(run.exitCode(), 0);
    QImage png(output, "PNG");
    QVERIFY(!png.isNull());
    QVERIFY(qAbs(png.width() - expected.width()) <= 1 && qAbs(png.height() - expected.height()) <= 1);
    QCOMPARE(png.pixel(1, 1), qRgb(255, 255, 255));
    const QRect ink = inkedBox(png);
    QVERIFY(ink.isValid());
    QVERIFY(ink.width() > png.width() / 4 && ink.height() > png.height() / 4);
    QCOMPARE(png.text("Thumb::URI"), QString::fromLatin1(QUrl::fromLocalFile(input).toEncoded()));
    QCOMPARE(png.text("Thumb::MTime"), QString::number(QFileInfo(input).lastModified().toSecsSinceEpoch()));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
