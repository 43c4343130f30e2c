#include "platform/IniFile.h"
#include "platform/Profile.h"

#include <QFile>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

#include "FileSizeLimit.h"

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void oddLinesKeptOnWrite();
    void lookup_data();
    void lookup();
    void crlfKept();
    void untouchedBytesKept_data();
    void untouchedBytesKept();
    void failedWriteKeepsOldFile();
    void longValues();
    void readInt_data();
    void readInt();
    void readReal_data();
    void readReal();
    void readShort();
    void realRoundTrip_data();
    void realRoundTrip();
    void unsignedWritesLow16Bits();
    void removeKeyAndSection();
    void placement_data();
    void placement();
    void placementRoundTrip();

private:
    QString write(const QByteArray& content);
    QByteArray contents() const;
    QTemporaryDir m_dir;
    QString m_file;
};

void TestProfile::init()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
    QFile::remove(m_file);
}

QString TestProfile::write(const QByteArray& content)
{
    QFile f(m_file);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(content);
    return m_file;
}

QByteArray TestProfile::contents() const
{
    QFile f(m_file);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

static const QByteArray kOdd =
    "stray=before any section\n"
    "; a comment\n"
    "[Main]\n"
    "Alpha = first \n"
    "alpha=second\n"
    "no equals sign here\n"
    "  ; indented comment\n"
    "Quoted=\"  padded  \"\n"
    "\n"
    "[Other]\n"
    "Alpha=other\n";

void TestProfile::oddLinesKeptOnWrite()
{
    write(kOdd);
    QVERIFY(WritePrivateProfileString(QStringLiteral("MAIN"), QStringLiteral("ALPHA"), QStringLiteral("new"), m_file));
    QVERIFY(WritePrivateProfileString(QStringLiteral("main"), QStringLiteral("Added"), QStringLiteral("7"), m_file));
    QVERIFY(WritePrivateProfileString(QStringLiteral("Fresh"), QStringLiteral("k"), QStringLiteral("v"), m_file));
    const QByteArray expected =
        "stray=before any section\n"
        "; a comment\n"
        "[Main]\n"
        "Alpha=new\n"
        "alpha=second\n"
        "no equals sign here\n"
        "  ; indented comment\n"
        "Quoted=\"  padded  \"\n"
        "Added=7\n"
        "\n"
        "[Other]\n"
        "Alpha=other\n"
        "[Fresh]\n"
        "k=v\n";
    QCOMPARE(contents(), expected);
}

void TestProfile::lookup_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("first duplicate wins, blanks dropped") << "Main" << "alpha" << "first";
    QTest::newRow("section case") << "mAIN" << "ALPHA" << "first";
    QTest::newRow("quotes dropped") << "Main" << "Quoted" << "  padded  ";
    QTest::newRow("other section") << "other" << "alpha" << "other";
    QTest::newRow("line before any section is no key") << "" << "stray" << "dflt";
    QTest::newRow("line without equals") << "Main" << "no equals sign here" << "dflt";
    QTest::newRow("comment is no key") << "Main" << "; a comment" << "dflt";
    QTest::newRow("missing section") << "Nope" << "alpha" << "dflt";
}

void TestProfile::lookup()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    write(kOdd);
    QString out;
    const int n = ReadProfileText(section, key, QStringLiteral("dflt"), &out, m_file);
    QCOMPARE(out, value);
    QCOMPARE(n, int(value.size()));
}

void TestProfile::crlfKept()
{
    write("; c\r\n[S]\r\na=1\r\n");
    QVERIFY(WriteProfileInt(QStringLiteral("s"), QStringLiteral("b"), -5, m_file));
    QCOMPARE(contents(), QByteArray("; c\r\n[S]\r\na=1\r\nb=-5\r\n"));
    int v = 0;
    ReadProfileInt(QStringLiteral("S"), QStringLiteral("A"), 9, &v, m_file);
    QCOMPARE(v, 1);
}

// Whatever the program does not write stays byte for byte: other encodings,
// every kind of line end, a missing last line end; a key in [S] still reads.
void TestProfile::untouchedBytesKept_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("latin-1 comment, non-UTF-8 folder")
        << QByteArray("; caf\xe9 \xff\n[File Directory]\nLastDir=/home/d\xe9j\xe0/\n[S]\na=1\n") << "b" << "2"
        << QByteArray("; caf\xe9 \xff\n[File Directory]\nLastDir=/home/d\xe9j\xe0/\n[S]\na=1\nb=2\n");
    QTest::newRow("CR only") << QByteArray("[S]\ra=1\r; x\r") << "a" << "5"
                             << QByteArray("[S]\ra=5\r; x\r");
    QTest::newRow("CR only, added key") << QByteArray("[S]\ra=1\r") << "b" << "2"
                                        << QByteArray("[S]\ra=1\rb=2\r");
    QTest::newRow("mixed ends") << QByteArray("[S]\r\na=1\nc=3\r\n") << "c" << "4"
                                << QByteArray("[S]\r\na=1\nc=4\r\n");
    QTest::newRow("no last line end") << QByteArray("[S]\na=1") << "b" << "2" << QByteArray("[S]\na=1\nb=2");
    QTest::newRow("path in the file system's encoding")
        << QByteArray("[S]\na=1\n") << "p" << QString::fromUtf8("/home/d\xc3\xa9j\xc3\xa0/")
        << QFile::encodeName(QString::fromUtf8("[S]\na=1\np=/home/d\xc3\xa9j\xc3\xa0/\n"));
}

void TestProfile::untouchedBytesKept()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    write(before);
    QVERIFY(WritePrivateProfileString(QStringLiteral("S"), key, value, m_file));
    QCOMPARE(contents(), after);
    QString read, a;
    ReadProfileText(QStringLiteral("S"), key, QString(), &read, m_file);
    ReadProfileText(QStringLiteral("S"), QStringLiteral("a"), QString(), &a, m_file);
    QCOMPARE(read, value);
    QCOMPARE(a, key == QLatin1String("a") ? value : QStringLiteral("1"));
}

// A write that cannot complete (here a file-size limit standing in for a
// full disk) reports failure and leaves the previous file whole.
void TestProfile::failedWriteKeepsOldFile()
{
    const QByteArray old = "[S]\na=1\n";
    write(old);
    const QString big(4000, QLatin1Char('x'));
    bool written = true;
    {
        FileSizeLimit limit(old.size() + 16);
        written = WritePrivateProfileString(QStringLiteral("S"), QStringLiteral("big"), big, m_file);
    }
    QVERIFY(!written);
    QCOMPARE(contents(), old);
}

void TestProfile::longValues()
{
    const QString big(2000, QLatin1Char('x'));
    QVERIFY(WritePrivateProfileString(QStringLiteral("S"), QStringLiteral("big"), big, m_file));
    QString out;
    QCOMPARE(ReadProfileText(QStringLiteral("S"), QStringLiteral("big"), QString(), &out, m_file), 1023);
    QCOMPARE(out, big.left(1023));
    QCOMPARE(ReadProfileText(QStringLiteral("S"), QStringLiteral("big"), QString(), nullptr, m_file), 0);

    // A number key of 50 characters reads cut to its first 38.
    const QString digits = QStringLiteral("12345678901234567890123456789012345678901234567890");
    QVERIFY(WritePrivateProfileString(QStringLiteral("S"), QStringLiteral("n"), digits, m_file));
    double real = 0;
    QCOMPARE(ReadProfileReal(QStringLiteral("S"), QStringLiteral("n"), 1.0, &real, m_file), 38);
    QCOMPARE(real, digits.left(38).toDouble());
}

void TestProfile::readInt_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("length");
    QTest::newRow("absent key gives default") << QByteArray() << 77 << 11;
    QTest::newRow("sentinel text is absent") << QByteArray("k=__NO_PARM__") << 77 << 11;
    QTest::newRow("sentinel case matters") << QByteArray("k=__no_parm__") << 0 << 11;
    QTest::newRow("empty is zero") << QByteArray("k=") << 0 << 0;
    QTest::newRow("lenient") << QByteArray("k=  -42px") << -42 << 5;
    QTest::newRow("plus") << QByteArray("k=+8") << 8 << 2;
    QTest::newRow("word") << QByteArray("k=abc") << 0 << 3;
    QTest::newRow("saturates high") << QByteArray("k=99999999999") << 2147483647 << 11;
    QTest::newRow("saturates low") << QByteArray("k=-99999999999") << int(-2147483647 - 1) << 12;
}

void TestProfile::readInt()
{
    QFETCH(QByteArray, line);
    QFETCH(int, value);
    QFETCH(int, length);
    write("[S]\n" + line + "\n");
    int out = 0;
    QCOMPARE(ReadProfileInt(QStringLiteral("S"), QStringLiteral("k"), 77, &out, m_file), length);
    QCOMPARE(out, value);
}

void TestProfile::readReal_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("value");
    QTest::newRow("absent key gives default") << QByteArray() << 77.0;
    QTest::newRow("lenient with exponent") << QByteArray("k=  -2.5e1yd") << -25.0;
    QTest::newRow("trailing point") << QByteArray("k=25.") << 25.0;
    QTest::newRow("overflow reads as zero") << QByteArray("k=1e999") << 0.0;
    QTest::newRow("underflow reads as zero") << QByteArray("k=1e-999") << 0.0;
    QTest::newRow("word") << QByteArray("k=inf") << 0.0;
}

void TestProfile::readReal()
{
    QFETCH(QByteArray, line);
    QFETCH(double, value);
    write("[S]\n" + line + "\n");
    double out = -1;
    ReadProfileReal(QStringLiteral("S"), QStringLiteral("k"), 77.0, &out, m_file);
    QCOMPARE(out, value);
}

void TestProfile::readShort()
{
    write("[S]\nbig=70000\nneg=-1\n");
    short out = 0;
    ReadProfileShort(QStringLiteral("S"), QStringLiteral("big"), 1, &out, m_file);
    QCOMPARE(out, short(4464));
    ReadProfileShort(QStringLiteral("S"), QStringLiteral("neg"), 1, &out, m_file);
    QCOMPARE(out, short(-1));
    ReadProfileShort(QStringLiteral("S"), QStringLiteral("none"), 1, &out, m_file);
    QCOMPARE(out, short(1));
}

void TestProfile::realRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("25") << 25.0 << "25.";
    QTest::newRow("100") << 100.0 << "100.";
    QTest::newRow("fraction") << 12.5 << "12.5";
    QTest::newRow("negative") << -0.25 << "-0.25";
    QTest::newRow("zero") << 0.0 << "0.";
    QTest::newRow("twelve digits") << 123456789012.0 << "123456789012.";
    QTest::newRow("exponent large") << 1e12 << "1.e+12";
    QTest::newRow("exponent small") << 0.00001 << "1.e-05";
    QTest::newRow("fixed small") << 0.0001 << "0.0001";
    QTest::newRow("rounded") << 1.0 / 3.0 << "0.333333333333";
}

void TestProfile::realRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QVERIFY(WriteProfileReal(QStringLiteral("ScaleForDistance"), QStringLiteral("d"), value, m_file));
    QString stored;
    ReadProfileText(QStringLiteral("ScaleForDistance"), QStringLiteral("d"), QString(), &stored, m_file);
    QCOMPARE(stored, text);
    double back = -1;
    ReadProfileReal(QStringLiteral("scalefordistance"), QStringLiteral("D"), -1, &back, m_file);
    QCOMPARE(back, text.toDouble());
}

void TestProfile::unsignedWritesLow16Bits()
{
    QVERIFY(WriteProfileUnsigned(QStringLiteral("S"), QStringLiteral("v"), 70000u, m_file));
    QVERIFY(WriteProfileUnsigned(QStringLiteral("S"), QStringLiteral("w"), 1u, m_file));
    QCOMPARE(contents(), QByteArray("[S]\nv=4464\nw=1\n"));
}

void TestProfile::removeKeyAndSection()
{
    write("[A]\nk=1\nK=2\nj=3\n[B]\nk=4\n");
    QVERIFY(WritePrivateProfileString(QStringLiteral("a"), QStringLiteral("k"), QString(), m_file));
    QCOMPARE(contents(), QByteArray("[A]\nj=3\n[B]\nk=4\n"));
    QVERIFY(WritePrivateProfileString(QStringLiteral("A"), QString(), QString(), m_file));
    QCOMPARE(contents(), QByteArray("[B]\nk=4\n"));
}

void TestProfile::placement_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("allowMinimised");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::newRow("normal") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=1\n") << true << true << 10 << 410;
    QTest::newRow("swapped edges normalised") << QByteArray("left=410\nright=10\ntop=320\nbottom=20\nshowCmd=3\n") << true << true << 10 << 410;
    QTest::newRow("25 wide") << QByteArray("left=10\nright=35\ntop=20\nbottom=320\n") << true << false << 0 << 0;
    QTest::newRow("30 wide") << QByteArray("left=10\nright=40\ntop=20\nbottom=320\n") << true << false << 0 << 0;
    QTest::newRow("31 wide") << QByteArray("left=10\nright=41\ntop=20\nbottom=320\n") << true << true << 10 << 41;
    QTest::newRow("20 high") << QByteArray("left=10\nright=410\ntop=20\nbottom=40\n") << true << false << 0 << 0;
    QTest::newRow("past right edge") << QByteArray("left=10\nright=801\ntop=20\nbottom=320\n") << true << false << 0 << 0;
    QTest::newRow("at right edge") << QByteArray("left=10\nright=800\ntop=20\nbottom=600\n") << true << true << 10 << 800;
    QTest::newRow("past bottom") << QByteArray("left=10\nright=410\ntop=20\nbottom=601\n") << true << false << 0 << 0;
    QTest::newRow("negative left") << QByteArray("left=-1\nright=410\ntop=20\nbottom=320\n") << true << false << 0 << 0;
    QTest::newRow("huge edges do not overflow") << QByteArray("left=-2147483648\nright=2147483647\ntop=0\nbottom=300\n") << true << false << 0 << 0;
    QTest::newRow("missing keys") << QByteArray() << true << false << 0 << 0;
    QTest::newRow("minimised allowed") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=2\n") << true << true << 10 << 410;
    QTest::newRow("minimised refused") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=2\n") << false << false << 0 << 0;
    QTest::newRow("hidden") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=0\n") << true << false << 0 << 0;
    QTest::newRow("minimise 6") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=6\n") << true << false << 0 << 0;
    QTest::newRow("show 5") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=5\n") << false << true << 10 << 410;
    QTest::newRow("restore 9") << QByteArray("left=10\nright=410\ntop=20\nbottom=320\nshowCmd=9\n") << false << true << 10 << 410;
}

void TestProfile::placement()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, allowMinimised);
    QFETCH(bool, accepted);
    QFETCH(int, left);
    QFETCH(int, right);
    write("[Window Location]\n" + body);
    WindowPlacementRecord rec;
    rec.normal = GdiRect(1, 2, 3, 4);
    rec.showCmd = 7;
    QCOMPARE(ReadWindowPlacement(QStringLiteral("window location"), allowMinimised, QSize(800, 600), &rec, m_file),
             accepted);
    if (accepted) {
        QCOMPARE(rec.normal.left, left);
        QCOMPARE(rec.normal.right, right);
        QVERIFY(rec.showCmd != 7);
    } else {
        QCOMPARE(rec.normal.left, 1);
        QCOMPARE(rec.normal.bottom, 4);
        QCOMPARE(rec.showCmd, 7);
    }
}

void TestProfile::placementRoundTrip()
{
    WindowPlacementRecord out;
    out.normal = GdiRect(5, 6, 505, 406);
    out.showCmd = SW_SHOWMAXIMIZED;
    WriteWindowPlacement(QStringLiteral("Window Location"), out, m_file);
    QCOMPARE(contents(), QByteArray("[Window Location]\nleft=5\nright=505\ntop=6\nbottom=406\nshowCmd=3\n"));
    WindowPlacementRecord in;
    QVERIFY(ReadWindowPlacement(QStringLiteral("Window Location"), true, QSize(1024, 768), &in, m_file));
    QCOMPARE(in.normal.top, 6);
    QCOMPARE(in.normal.bottom, 406);
    QCOMPARE(in.showCmd, 3);
    // No section: nothing is written.
    WriteWindowPlacement(QString(), out, m_dir.filePath(QStringLiteral("none.ini")));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.ini"))));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
