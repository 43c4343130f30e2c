#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "CorpusPath.h"
#include "CraftedDrawings.h"
#include "CraftedFiles.h"
#include "PdfTools.h"
#include "designer/TargetDesign.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"

using namespace crafted;

// Damaged and absurd files, each printed by the program itself as
// "vantric --print-to-pdf" prints, in a child process held to 2.5 GB of
// address space and 60 s: every one must end in pages or in a message, with
// status 0 or 1, never in a crash, a hang or an exhausted machine. Entries
// that are no regular file (a FIFO, a socket, a device) are refused alone
// and left out of, or end in a placeholder on, a contact sheet of their folder.
class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void endsInPicturesOrMessage_data();
    void endsInPicturesOrMessage();
    void specialEntries_data();
    void specialEntries();

private:
    QTemporaryDir m_dir;
};

namespace {

constexpr int kDpi = 150;
const char* const kInvalid = "does not appear the be a valid image or target file";

QByteArray designWith(double diameter, double thickness, double gridSpacing)
{
    CTargetDesign d;
    d.AddCircle(diameter, 0, thickness, true, 0xFFFFFF, QStringLiteral("1"), false);
    d.SetGrid(0, 0.01, true, gridSpacing);
    d.Rebuild();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    d.Write(buffer);
    return buffer.data();
}

// Bitmaps that each stay within the per-bitmap limit but together would take
// count x 64 MB once decoded.
QByteArray metafileOfBitmaps(int count)
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    const QByteArray dib = DibHeader(4096, 4096, 8, 1, 0) + Rle8Stripe();
    for (int i = 0; i < count; ++i) {
        std::vector<quint16> words = {quint16(wmf::SRCCOPY & 0xFFFF), quint16(wmf::SRCCOPY >> 16), 0,
                                      4096, 4096, 0, 0, 100, 100, 0, 0};
        for (int k = 0; k + 1 < dib.size(); k += 2)
            words.push_back(quint16(uchar(dib[k]) | (uchar(dib[k + 1]) << 8)));
        w.record(wmf::STRETCHDIB, words);
    }
    return w.finish();
}

QByteArray metafileOfPens(int count)
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    for (int i = 0; i < count; ++i) w.record(wmf::CREATEPENINDIRECT, {0, 1, 0, 0, 0});
    w.rectangle(100, 100, 1000, 1000);
    return w.finish();
}

// Runs the program in a child process held to 2.5 GB of address space and
// 60 s; its exit status, or -1 after a crash or a hang (with err saying which).
int runProgram(const QStringList& arguments, QString* err)
{
    QProcess child;
#ifdef VANTRIC_UNLIMITED_CHILD
    const QString limit;  // sanitizers reserve far more address space than they use
#else
    const QString limit = QStringLiteral("ulimit -v 2621440 && ");
#endif
    child.start(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), limit + QStringLiteral("exec \"$0\" \"$@\""),
                                                       QStringLiteral(VANTRIC_BIN)}
                                               + arguments);
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        *err = QStringLiteral("did not end within 60 s");
        return -1;
    }
    *err = QString::fromLocal8Bit(child.readAllStandardError());
    if (child.exitStatus() != QProcess::NormalExit) {
        *err = QStringLiteral("crashed: ") + *err;
        return -1;
    }
    return child.exitCode();
}

// Makes the entry of the kind at path: none of them is a target one can read.
bool makeEntry(const QByteArray& path, const QString& kind)
{
    if (kind == QLatin1String("fifo")) return mkfifo(path.constData(), 0600) == 0;
    if (kind == QLatin1String("zero")) return symlink("/dev/zero", path.constData()) == 0;
    if (kind == QLatin1String("loop")) return symlink(path.constData(), path.constData()) == 0;
    if (kind == QLatin1String("gone")) return symlink("/nonexistent/gone.bmp", path.constData()) == 0;
    if (kind == QLatin1String("folder")) return mkdir(path.constData(), 0700) == 0;
    if (kind == QLatin1String("socket")) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || size_t(path.size()) >= sizeof address.sun_path) return false;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return bound;
    }
    // Garbage that nobody may read (root still can: then it fails as garbage).
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, kind == QLatin1String("unreadable") ? 0 : 0600);
    const bool written = fd >= 0 && write(fd, "BMnot a bitmap", 14) == 14;
    if (fd >= 0) close(fd);
    return written;
}

}  // namespace

void TestHostileFiles::specialEntries_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("listed");  // a cell with the placeholder on the sheet
    QTest::newRow("FIFO") << QByteArray("x.bmp") << "fifo" << false;
    QTest::newRow("socket") << QByteArray("s.wmf") << "socket" << false;
    QTest::newRow("link to /dev/zero") << QByteArray("z.bmp") << "zero" << false;
    QTest::newRow("folder named like a target") << QByteArray("d.rgd") << "folder" << false;
    QTest::newRow("loop of links") << QByteArray("loop.vnt") << "loop" << true;
    QTest::newRow("link to a file that is gone") << QByteArray("gone.bmp") << "gone" << true;
    QTest::newRow("unreadable") << QByteArray("u.jpg") << "unreadable" << true;
    QTest::newRow("name not valid UTF-8") << QByteArray("bad\xff\xfe.bmp") << "file" << true;
}

void TestHostileFiles::specialEntries()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, kind);
    QFETCH(bool, listed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray entry = QFile::encodeName(dir.path()) + '/' + name;
    QVERIFY(makeEntry(entry, kind));
    {
        QFile good(dir.filePath(QStringLiteral("good.bmp")));
        QVERIFY(good.open(QIODevice::WriteOnly));
        QVERIFY(good.write(Bitmap(8, 8, 24, 0, 3780, QByteArray(192, '\x40'))) > 0);
    }

    // Alone, it ends in a message.
    QString err;
    const QString pdf = dir.path() + QStringLiteral(".pdf");
    QVERIFY2(runProgram({QStringLiteral("--print-to-pdf"), pdf, QFile::decodeName(entry)}, &err) == 1, qPrintable(err));

    // In its folder, the good target is printed and it is left out or ends
    // in the placeholder of a file that failed.
    const QString sheet = dir.path() + QStringLiteral("-sheet.pdf");
    QVERIFY2(runProgram({QStringLiteral("--print-contact-sheet"), sheet, dir.path()}, &err) == 0, qPrintable(err));
    const QString text = PdfText(sheet, 1);
    QVERIFY2(text.contains(QStringLiteral("good.bmp")), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("0.0\" x 0.0\"")), listed ? 1 : 0);
    QFile::remove(pdf);
    QFile::remove(sheet);
    // QTemporaryDir cannot remove a name it cannot spell.
    QCOMPARE(kind == QLatin1String("folder") ? rmdir(entry.constData()) : unlink(entry.constData()), 0);
}

void TestHostileFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(QStringLiteral(VANTRIC_BIN)), VANTRIC_BIN);
    if (!HavePoppler()) QSKIP("poppler-utils are not installed");
}

void TestHostileFiles::endsInPicturesOrMessage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");   // -1: either pages or the message
    QTest::addColumn<int>("pages");    // status 0: sheets in the PDF
    QTest::addColumn<QString>("says"); // status 1: what the message holds

    const QStringList toPage = {QStringLiteral("--scale-to-page")};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // 729 million pixels of 1080 bytes: more than the PDF writer can take whole.
    QTest::newRow("27000^2 RLE8 scaled to the page")
        << "big.bmp" << Bitmap(27000, 27000, 8, 1, 0, Rle8Stripe()) << toPage << 0 << 1 << QString();
    // At 1800 dpi it is 15 inches: a poster of 2 x 2 sheets, each sent what it shows.
    QTest::newRow("27000^2 RLE8 poster") << "poster.bmp" << Bitmap(27000, 27000, 8, 1, 70866, Rle8Stripe())
                                         << QStringList() << 0 << 4 << QString();
    QTest::newRow("12000^2 24-bit headerless, short")
        << "deep.bmp" << Bitmap(12000, 12000, 24, 0, 0, QByteArray(3000, '\x40'), true) << toPage << 0 << 1
        << QString();

    QTest::newRow("a million inches wide at 1 dpi")
        << "wide.bmp" << Bitmap(1000000, 1, 8, 0, 39, QByteArray(1000000, '\x01')) << toPage << 1 << 0 << kInvalid;
    QTest::newRow("so dense it has no size")
        << "dense.bmp" << Bitmap(1, 1, 24, 0, 2147483647, QByteArray(4, 0)) << toPage << 1 << 0 << kInvalid;
    QTest::newRow("design diameter NaN") << "nan.rgd" << designWith(nan, 0.03, 1) << toPage << 1 << 0 << kInvalid;
    QTest::newRow("design diameter infinite") << "inf.rgd" << designWith(inf, 0.03, 1) << toPage << 1 << 0 << kInvalid;
    QTest::newRow("design diameter 1e300") << "huge.rgd" << designWith(1e300, 0.03, 1) << toPage << 1 << 0
                                           << kInvalid;
    QTest::newRow("design thickness 1e300") << "thick.rgd" << designWith(6, 1e300, 1) << toPage << 1 << 0
                                            << kInvalid;
    QTest::newRow("design grid spacing NaN") << "grid.rgd" << designWith(6, 0.03, nan) << toPage << 1 << 0
                                             << kInvalid;
    QTest::newRow("metafile frame 65535 inches")
        << "frame.wmf" << WmfWriter(-32768, 0, 32767, 1, 1).finish() << QStringList() << 1 << 0 << kInvalid;

    // 20000 pixels at 72 dpi: 278 inches, about 900 sheets.
    QTest::newRow("poster of too many sheets") << "long.bmp" << Bitmap(20000, 20000, 8, 1, 2835, Rle8Stripe())
                                               << QStringList() << 1 << 0 << "sheets, more than 500";

    QTest::newRow("40 bitmaps of 16 MP") << "bitmaps.wmf" << metafileOfBitmaps(40) << QStringList() << 1 << 0
                                         << kInvalid;

    QByteArray shortExt = WmfWriter(0, 0, 1440, 1440, 1440).finish().mid(wmf::PLACEABLE_SIZE);
    shortExt.chop(6);
    shortExt += le32(4) + le16(wmf::SETWINDOWEXT) + le16(7) + le32(3) + le16(0);
    QTest::newRow("no placeable header, short window extent") << "plain.wmf" << shortExt << QStringList() << 1 << 0
                                                              << kInvalid;

    QTest::newRow("400000 pens") << "pens.wmf" << metafileOfPens(400000) << QStringList() << 0 << 1 << QString();

    QTest::newRow("pdf cut in half") << "half.pdf" << Pdf({"/MediaBox [0 0 612 792]"}).left(200) << toPage << 1 << 0
                                     << kInvalid;
    QTest::newRow("pdf of a million inches") << "wide.pdf" << Pdf({"/MediaBox [0 0 72000000 72]"}) << toPage << 1 << 0
                                             << kInvalid;
    QTest::newRow("svg of a billion entity expansions")
        << "laughs.svg"
        << QByteArray("<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>"
                      "<!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'>"
                      "<!ENTITY e '&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;'><!ENTITY f '&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;'>]>"
                      "<svg xmlns='http://www.w3.org/2000/svg' width='1in' height='1in'><text>&f;&f;&f;&f;</text></svg>")
        << toPage << -1 << 1 << kInvalid;
    // Files that once crashed or hung an SVG renderer.
    const QString bad = corpusPath(QStringLiteral("svg/librsvg-bad"));
    for (const QFileInfo& f : QDir(bad).entryInfoList({QStringLiteral("*.svg"), QStringLiteral("*.svgz")}, QDir::Files,
                                                     QDir::Name)) {
        QFile in(f.filePath());
        if (in.open(QIODevice::ReadOnly))
            QTest::newRow(qPrintable(f.fileName())) << f.fileName() << in.readAll() << QStringList() << -1 << 1
                                                    << kInvalid;
    }
}

void TestHostileFiles::endsInPicturesOrMessage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(int, pages);
    QFETCH(QString, says);

    const QString file = m_dir.filePath(name);
    const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    QString err;
    const int exitCode = runProgram(QStringList{QStringLiteral("--print-to-pdf"), pdf, QStringLiteral("--dpi"),
                                                QString::number(kDpi)}
                                        + options + QStringList{file},
                                    &err);
    if (status < 0) status = exitCode == 0 ? 0 : 1;
    QVERIFY2(exitCode == status, qPrintable(QStringLiteral("status %1: %2").arg(exitCode).arg(err)));
    if (status != 0) {
        QVERIFY2(err.contains(says), qPrintable(err));
        return;
    }

    if (name.endsWith(QLatin1String(".pdf")) || name.contains(QLatin1String(".svg"))) QVERIFY(PdfPageCount(pdf) >= 1);
    else QCOMPARE(PdfPageCount(pdf), pages);
    // No sheet is sent more pixels than a letter sheet holds at the PDF's resolution.
    for (const QString& line : PdfImageList(pdf).mid(2)) {
        const QStringList f = line.simplified().split(' ');
        QVERIFY2(f.value(3).toLongLong() * f.value(4).toLongLong() <= qint64(8.5 * kDpi) * (11 * kDpi),
                 qPrintable(line));
    }
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
