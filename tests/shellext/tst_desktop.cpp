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

#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include "TargetFiles.h"
#include "shellext/HostProtocol.h"
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
    void hostAnswers_data();
    void hostAnswers();
    void hostLeavesWithItsSocket();

private:
    QString socketPath() const { return m_runtime.filePath("vantric-thumbnailer.socket"); }

    ServerLibrary m_lib;
    QTemporaryDir m_prefix;  // cmake --install of the thumbnailer
    QTemporaryDir m_files;
    QTemporaryDir m_runtime;  // $XDG_RUNTIME_DIR of the thumbnail host
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
    // The program's desktop entry takes its types from the file-kind table.
    QFile kinds(VANTRIC_SOURCE_DIR "/src/document/FileKinds.def");
    QVERIFY(kinds.open(QIODevice::ReadOnly));
    QVERIFY(kinds.readAll().contains("FILE_KIND(\".vnt\", TargetDocument, TARGET_KIND_PICTURE, \"Vantric Files\", true, \"" + type.toLatin1() + "\")"));
    QFile mime(m_prefix.filePath("share/mime/packages/vantric.xml"));
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QByteArray xml = mime.readAll();
    QVERIFY(xml.contains("<mime-type type=\"" + type.toLatin1() + "\">"));
    QVERIFY(xml.contains("<comment>Target Document</comment>"));
}

void TestDesktop::installedRoad_data()
{
    QTest::addColumn<bool>("throughHost");
    QTest::addColumn<QString>("input");  // relative to the thumbnailer's working folder, m_files
    QTest::addColumn<int>("size");
    QTest::addColumn<QSize>("expected");  // empty: exit status 1 and no file
    QTest::addColumn<QString>("message");  // on standard error
    const QString shipped = VANTRIC_DATA_DIR "/Targets/My Targets/";
    // A host that has drawn text must draw the next picture as a new process would.
    for (const bool host : {false, true}) {
        const char* road = host ? "through the host" : "alone";
        QTest::addRow("%s: wmf at 128", road) << host << "quadrant.wmf" << 128 << QSize(128, 96) << QString();
        QTest::addRow("%s: vnt named with a space at 256", road) << host << m_files.filePath("with space.vnt") << 256
                                                                 << QSize(256, 192) << QString();
        QTest::addRow("%s: shipped vnt", road) << host << shipped + "25m Precision Pistol.vnt" << 128
                                               << QSize(128, 128) << QString();
        QTest::addRow("%s: shipped wmf", road) << host << shipped + "Sight-in Grid 8x10.wmf" << 128
                                               << QSize(102, 128) << QString();
        QTest::addRow("%s: vnt marker 1F", road) << host << m_files.filePath("marker1f.vnt") << 128 << QSize()
                                                 << QString();
        QTest::addRow("%s: file read error", road) << host << m_files.filePath("unreadable.vnt") << 128 << QSize()
                                                   << "Error Reading File:  " + m_files.filePath("unreadable.vnt");
    }
}

void TestDesktop::installedRoad()
{
    QFETCH(bool, throughHost);
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_RUNTIME_DIR");
    if (throughHost) env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(m_files.path());
    run.start(args.takeFirst(), args);
    QVERIFY(run.waitForFinished(30000));
    QVERIFY(QString::fromLocal8Bit(run.readAllStandardError()).contains(message));
    QCOMPARE(QFileInfo::exists(socketPath()), throughHost);
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
    const QString absolute = QDir(m_files.path()).absoluteFilePath(input);
    QCOMPARE(png.text("Thumb::URI"), QString::fromLatin1(QUrl::fromLocalFile(absolute).toEncoded()));
    QCOMPARE(png.text("Thumb::MTime"), QString::number(QFileInfo(absolute).lastModified().toSecsSinceEpoch()));
}

void TestDesktop::hostAnswers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<char>("end");  // '0' written, '1' not, 0 no end mark
    QTest::addColumn<QString>("message");
    const std::string folder = m_files.path().toStdString();
    auto request = [&](std::vector<std::string> args) {
        return QByteArray::fromStdString(thumbhost::EncodeRequest(folder, args));
    };
    QTest::newRow("thumbnail") << request({"-s", "64", "quadrant.wmf", "host.png"}) << thumbhost::WRITTEN << QString();
    QTest::newRow("bad size") << request({"-s", "0", "quadrant.wmf", "host.png"}) << thumbhost::NOT_WRITTEN
                              << "the size must be a positive number: 0";
    QTest::newRow("relative working folder") << QByteArray("tmp\0quadrant.wmf\0host.png\0", 26)
                                             << thumbhost::NOT_WRITTEN << "the thumbnail request was not understood";
    QTest::newRow("request without its end") << QByteArray("/tmp\0quadrant.wmf") << thumbhost::NOT_WRITTEN
                                             << "the thumbnail request was not understood";
}

// The host itself, spoken to over its socket as vantric-thumbnailer does.
void TestDesktop::hostAnswers()
{
    QFETCH(QByteArray, request);
    QFETCH(char, end);
    QFETCH(QString, message);
    // A second host finds the lock taken and leaves, so starting one is always safe.
    QProcess host;
    host.setProgram(m_prefix.filePath("lib/vantric/vantric-thumbnail-host"));
    host.setArguments({"--serve", socketPath()});
    host.setStandardOutputFile(QProcess::nullDevice());
    host.setStandardErrorFile(QProcess::nullDevice());
    QVERIFY(host.startDetached());
    int socket = -1;
    for (int tries = 0; socket < 0 && tries < 200; ++tries) {
        socket = thumbhost::Connect(socketPath().toStdString());
        if (socket < 0) QTest::qWait(50);
    }
    QVERIFY(socket >= 0);
    QFile::remove(m_files.filePath("host.png"));
    std::string bytes;
    const bool spoken = thumbhost::WriteAll(socket, request.constData(), size_t(request.size())) &&
                        ::shutdown(socket, SHUT_WR) == 0 && thumbhost::ReadAll(socket, bytes, 1 << 20);
    ::close(socket);
    QVERIFY(spoken);
    const QByteArray answer = QByteArray::fromStdString(bytes);
    QVERIFY(answer.startsWith(thumbhost::ACCEPTED));
    QVERIFY(answer.endsWith(QByteArray(1, '\0') + end));
    QVERIFY(QString::fromLocal8Bit(answer).contains(message));
    QCOMPARE(QFileInfo::exists(m_files.filePath("host.png")), end == thumbhost::WRITTEN);
}

// Logging out empties the runtime folder; the host must not outlive it.
void TestDesktop::hostLeavesWithItsSocket()
{
    QFile lock(QString::fromStdString(thumbhost::LockPath(socketPath().toStdString())));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), -1);  // held by the running host
    QVERIFY(QFile::remove(socketPath()));
    QTRY_COMPARE_WITH_TIMEOUT(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0, 10000);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
