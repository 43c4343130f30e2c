#include <QtTest>

#include "platform/MessageBox.h"
#include "view/CommandLinePrint.h"

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void wants_data();
    void wants();
    void rejected_data();
    void rejected();
};

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
    const QString out = QDir::temp().filePath(QStringLiteral("vantric-rejected.pdf"));
    const QString missing = QDir::temp().filePath(QStringLiteral("no-such-target.vnt"));
    QTest::newRow("unknown option") << QStringList{"vantric", "--print-to-pdf", out, "--fit", missing}
                                    << "Unknown option \"--fit\".";
    QTest::newRow("bad paper") << QStringList{"vantric", "--print-to-pdf", out, "--paper", "b5", missing}
                               << "Unknown paper \"b5\"";
    QTest::newRow("bad dpi") << QStringList{"vantric", "--print-to-pdf", out, "--dpi", "lots", missing}
                             << "--dpi needs a resolution";
    QTest::newRow("dpi too small") << QStringList{"vantric", "--print-to-pdf", out, "--dpi", "0", missing}
                                   << "--dpi needs a resolution";
    QTest::newRow("overlap too wide") << QStringList{"vantric", "--print-to-pdf", out, "--overlap", "60mm", missing}
                                      << "--overlap expects a width from 0 to 50 mm";
    QTest::newRow("poster options with -p") << QStringList{"vantric", "-p", "--sheet-labels", missing}
                                            << "The print options belong to --print-to-pdf.";
    QTest::newRow("no output") << QStringList{"vantric", "--print-to-pdf"} << "needs an output file";
    QTest::newRow("no file") << QStringList{"vantric", "--print-to-pdf", out} << "exactly one target file";
    QTest::newRow("two files") << QStringList{"vantric", "--print-to-pdf", out, missing, missing}
                               << "exactly one target file";
    QTest::newRow("both targets") << QStringList{"vantric", "-p", "--print-to-pdf", out, missing}
                                  << "either -p or --print-to-pdf";
    QTest::newRow("missing file")
        << QStringList{"vantric", "--print-to-pdf", out, missing}
        << QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(missing);
    QTest::newRow("unsupported kind")
        << QStringList{"vantric", "--print-to-pdf", out, QStringLiteral(VANTRIC_SOURCE_DIR "/CMakeLists.txt")}
        << "does not appear the be a valid image or target file.";
}

void TestCommandLine::rejected()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    MessageLog::clear();
    MessageLog::setEcho(false);
    QCOMPARE(RunCommandLinePrint(args), 1);
    const QList<MessageRecord> shown = MessageLog::messages();
    QVERIFY(!shown.isEmpty());
    QVERIFY2(shown.last().text.contains(message), qPrintable(shown.last().text));
    QVERIFY(!QFile::exists(QDir::temp().filePath(QStringLiteral("vantric-rejected.pdf"))));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
