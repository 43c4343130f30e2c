#include <QtTest>

#include "platform/MessageBox.h"
#include "print/CommandLine.h"
#include "view/CommandLinePrint.h"

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void usageListsEveryOption();
    void wants_data();
    void wants();
    void rejected_data();
    void rejected();
};

void TestCommandLine::parse_data()
{
    using C = CommandLineCommand;
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<QString>("error");  // the start of the parser's complaint, empty for none
    QTest::newRow("window with files") << QStringList{"vantric", "a.vnt", "b.rgd"} << int(C::OpenWindow)
                                       << QStringList{"a.vnt", "b.rgd"} << "";
    QTest::newRow("help wins over the rest") << QStringList{"vantric", "--print-to-pdf", "o.pdf", "--fit", "--help"}
                                             << int(C::Help) << QStringList{} << "";
    QTest::newRow("short help") << QStringList{"vantric", "-h"} << int(C::Help) << QStringList{} << "";
    QTest::newRow("version") << QStringList{"vantric", "--version", "a.vnt"} << int(C::Version)
                             << QStringList{"a.vnt"} << "";
    QTest::newRow("unknown option") << QStringList{"vantric", "--fit", "a.vnt"} << int(C::OpenWindow)
                                    << QStringList{"a.vnt"} << "unknown option \"--fit\"";
    QTest::newRow("Qt's options with their values")
        << QStringList{"vantric", "-platform", "offscreen", "--style=fusion", "-reverse", "-qwindowtitle", "T",
                       "a.vnt"}
        << int(C::OpenWindow) << QStringList{"a.vnt"} << "";
    QTest::newRow("Windows print switch in capitals") << QStringList{"vantric", "/P", "a.vnt"}
                                                      << int(C::PrintToPrinter) << QStringList{"a.vnt"} << "";
    QTest::newRow("a path is not a switch") << QStringList{"vantric", "/home/p"} << int(C::OpenWindow)
                                            << QStringList{"/home/p"} << "";
    QTest::newRow("files after --") << QStringList{"vantric", "-p", "--", "-odd.vnt"} << int(C::PrintToPrinter)
                                    << QStringList{"-odd.vnt"} << "";
    QTest::newRow("value after =") << QStringList{"vantric", "--print-to-pdf=o.pdf", "--dpi=300", "a.vnt"}
                                   << int(C::PrintToPdf) << QStringList{"a.vnt"} << "";
    QTest::newRow("missing value") << QStringList{"vantric", "--print-to-pdf", "o.pdf", "a.vnt", "--dpi"}
                                   << int(C::PrintToPdf) << QStringList{"a.vnt"} << "--dpi needs N";
    QTest::newRow("flag with a value") << QStringList{"vantric", "-p", "--scale-check=1", "a.vnt"}
                                       << int(C::PrintToPrinter) << QStringList{"a.vnt"} << "--scale-check takes no value";
    QTest::newRow("option of another command") << QStringList{"vantric", "-p", "--poster", "a.vnt"}
                                               << int(C::PrintToPrinter) << QStringList{"a.vnt"}
                                               << "--poster is an option of --print-to-pdf";
    QTest::newRow("paper without a sheet") << QStringList{"vantric", "--paper", "a4", "a.vnt"} << int(C::OpenWindow)
                                           << QStringList{"a.vnt"}
                                           << "--paper is an option of --print-to-pdf, --calibration-sheet or "
                                              "--print-contact-sheet";
    QTest::newRow("two commands") << QStringList{"vantric", "--calibration-sheet", "c.pdf", "--print-contact-sheet",
                                                 "s.pdf", "dir"}
                                  << int(C::ContactSheet) << QStringList{"dir"}
                                  << "--calibration-sheet and --print-contact-sheet cannot be given together";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    const CommandLine line = ParseCommandLine(args);
    QTEST(int(line.command), "command");
    QTEST(line.operands, "operands");
    if (QTest::currentDataTag() == QByteArray("Qt's options with their values"))
        QCOMPARE(line.qtOptions, (QStringList{"platform", "style", "reverse", "qwindowtitle"}));
    QVERIFY2(error.isEmpty() ? line.error.isEmpty() : line.error.startsWith(error), qPrintable(line.error));
}

void TestCommandLine::usageListsEveryOption()
{
    // --help is made from the table: every option is in it, and it fits a
    // terminal of 80 columns.
    const QString usage = CommandLineUsage();
    for (const CommandLineOptionInfo& o : CommandLineOptionTable()) {
        QVERIFY2(usage.contains(QLatin1String("\n  ") + QLatin1String(o.name)), o.name);
        if (o.valueName) QVERIFY2(usage.contains(QLatin1String(o.valueName)), o.valueName);
    }
    for (const QString& line : usage.split(QLatin1Char('\n'))) QVERIFY2(line.size() < 80, qPrintable(line));
}

void TestCommandLine::wants_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("wants");
    QTest::newRow("print") << QStringList{"vantric", "-p", "a.vnt"} << true;
    QTest::newRow("pdf") << QStringList{"vantric", "--print-to-pdf", "o.pdf", "a.vnt"} << true;
    QTest::newRow("open only") << QStringList{"vantric", "a.vnt"} << false;
    QTest::newRow("nothing") << QStringList{"vantric"} << false;
    QTest::newRow("program name is not an option") << QStringList{"-p"} << false;
}

void TestCommandLine::wants()
{
    QFETCH(QStringList, args);
    std::vector<QByteArray> bytes;
    std::vector<char*> argv;
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    QTEST(WantsCommandLinePrint(int(args.size()), argv.data()), "wants");
}

void TestCommandLine::rejected_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("status");
    const QString out = QDir::temp().filePath(QStringLiteral("vantric-rejected.pdf"));
    const QString missing = QDir::temp().filePath(QStringLiteral("no-such-target.vnt"));
    QTest::newRow("unknown option") << QStringList{"vantric", "--print-to-pdf", out, "--fit", missing}
                                    << "unknown option \"--fit\"" << 2;
    QTest::newRow("bad paper") << QStringList{"vantric", "--print-to-pdf", out, "--paper", "b5", missing}
                               << "Unknown paper \"b5\"" << 1;
    QTest::newRow("bad dpi") << QStringList{"vantric", "--print-to-pdf", out, "--dpi", "lots", missing}
                             << "--dpi needs a resolution" << 1;
    QTest::newRow("dpi too small") << QStringList{"vantric", "--print-to-pdf", out, "--dpi", "0", missing}
                                   << "--dpi needs a resolution" << 1;
    QTest::newRow("no output") << QStringList{"vantric", "--print-to-pdf"} << "--print-to-pdf needs OUT.pdf" << 2;
    QTest::newRow("no file") << QStringList{"vantric", "--print-to-pdf", out} << "exactly one target file" << 1;
    QTest::newRow("overlap too wide") << QStringList{"vantric", "--print-to-pdf", out, "--overlap", "60mm", missing}
                                      << "--overlap expects a width from 0 to 50 mm" << 1;
    QTest::newRow("poster options with -p") << QStringList{"vantric", "-p", "--sheet-labels", missing}
                                            << "--sheet-labels is an option of --print-to-pdf" << 2;
    QTest::newRow("two files") << QStringList{"vantric", "--print-to-pdf", out, missing, missing}
                               << "exactly one target file" << 1;
    QTest::newRow("both targets") << QStringList{"vantric", "-p", "--print-to-pdf", out, missing}
                                  << "-p and --print-to-pdf cannot be given together" << 2;
    QTest::newRow("missing file")
        << QStringList{"vantric", "--print-to-pdf", out, missing}
        << QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(missing) << 1;
    QTest::newRow("unsupported kind")
        << QStringList{"vantric", "--print-to-pdf", out, QStringLiteral(VANTRIC_SOURCE_DIR "/CMakeLists.txt")}
        << "does not appear the be a valid image or target file." << 1;
}

void TestCommandLine::rejected()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(int, status);
    MessageLog::clear();
    MessageLog::setEcho(false);
    QCOMPARE(RunCommandLinePrint(args), status);
    const QList<MessageRecord> shown = MessageLog::messages();
    QVERIFY(!shown.isEmpty());
    QVERIFY2(shown.last().text.contains(message), qPrintable(shown.last().text));
    QVERIFY(!QFile::exists(QDir::temp().filePath(QStringLiteral("vantric-rejected.pdf"))));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
