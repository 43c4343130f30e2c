#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ProgramFolder.h"

// What an installed program does before and beside its window: the command
// line answered with no display, and the folders it finds.
class TestInstalledProgram : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void programFolder_data();
    void programFolder();
};

void TestInstalledProgram::answers_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");  // the start of standard output, empty for nothing
    QTest::addColumn<QString>("err");  // the start of standard error, empty for nothing
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: vantric [--page N] [FILE]..." << "";
    QTest::newRow("help after Qt's options") << QStringList{"-platform", "xcb", "-style=fusion", "-h"} << 0
                                             << "Usage: vantric [--page N] [FILE]..." << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "Vantric " VANTRIC_VERSION "\n" << "";
    QTest::newRow("unknown option") << QStringList{"--fit", "a.vnt"} << 2 << ""
                                    << "vantric: unknown option \"--fit\"\nUsage: vantric [--page N] [FILE]...";
    QTest::newRow("option of another command") << QStringList{"-p", "--tile", "2x2", "a.vnt"} << 2 << ""
                                               << "vantric: --tile is an option of --print-to-pdf\nUsage:";
    QTest::newRow("window without a display") << QStringList{"a.vnt"} << 1 << ""
                                              << "vantric: the window needs a display";
    // Printing needs no display either: it is refused for its file, not
    // for the screen.
    QTest::newRow("print without a display") << QStringList{"--print-to-pdf", "o.pdf", "no-such.vnt"} << 1 << ""
                                             << "Error Reading File: The file \"no-such.vnt\"";
}

void TestInstalledProgram::answers()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QProcess vantric;
    vantric.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    vantric.setProcessEnvironment(env);
    vantric.start(QStringLiteral(VANTRIC_BIN), args);
    QVERIFY(vantric.waitForFinished(60000));
    QCOMPARE(vantric.exitStatus(), QProcess::NormalExit);
    const QString stdOut = QString::fromLocal8Bit(vantric.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(vantric.readAllStandardError());
    QVERIFY2(vantric.exitCode() == status, qPrintable(QString::number(vantric.exitCode()) + stdErr));
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
    if (status == 1) QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("o.pdf"))));
}

void TestInstalledProgram::programFolder_data()
{
    // The folders of a temporary tree: "work" (a working directory, with or
    // without the help page) and "usr/bin" beside "usr/share/vantric".
    QTest::addColumn<bool>("helpInWork");
    QTest::addColumn<bool>("installed");  // usr/share/vantric holds the help page
    QTest::addColumn<QString>("workingDir");
    QTest::addColumn<QString>("folder");      // the program folder found
    QTest::addColumn<QString>("saveFolder");  // where the save dialog starts
    const QString own = QStringLiteral("data/vantric/Targets/");
    QTest::newRow("a build's data folder") << true << true << "work" << "work/" << "work/Targets/My Targets/";
    QTest::newRow("a home folder, installed") << false << true << "work" << "usr/share/vantric/" << own;
    QTest::newRow("started in the installed folder")
        << false << true << "usr/share/vantric" << "usr/share/vantric/" << own;
    QTest::newRow("nowhere a help page") << false << false << "work" << "work/" << "work/Targets/My Targets/";
}

void TestInstalledProgram::programFolder()
{
    QFETCH(bool, helpInWork);
    QFETCH(bool, installed);
    QFETCH(QString, workingDir);
    QTemporaryDir root;
    const QDir top(root.path());
    for (const char* sub : {"work", "usr/bin", "usr/share/vantric"}) QVERIFY(top.mkpath(QLatin1String(sub)));
    auto touch = [&](const QString& path) {
        QFile f(top.filePath(path));
        return f.open(QIODevice::WriteOnly);
    };
    if (helpInWork) QVERIFY(touch(QStringLiteral("work/Vantric.htm")));
    if (installed) QVERIFY(touch(QStringLiteral("usr/share/vantric/Vantric.htm")));

    QFETCH(QString, folder);
    QFETCH(QString, saveFolder);
    const QString base = top.absolutePath() + QLatin1Char('/');
    const ProgramFolder program = FindProgramFolder(base + workingDir, base + QStringLiteral("usr/bin"));
    QCOMPARE(program.folder, base + folder);
    const QString save = DefaultSaveFolder(program, base + QStringLiteral("data"));
    QCOMPARE(save, base + saveFolder);
    // The user's own folder is there for the dialog to open.
    if (program.installed) QVERIFY(QFileInfo(save).isDir());
}

QTEST_MAIN(TestInstalledProgram)
#include "tst_installedprogram.moc"
