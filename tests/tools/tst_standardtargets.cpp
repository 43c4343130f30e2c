#include <QtTest>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "designs/ShippedDesigns.h"
#include "designs/StandardTargets.h"
#include "helper_target.h"
#include "platform/MessageBox.h"
#include "view/CommandLinePrint.h"
#include "print/TargetLayout.h"

// The shipped Ringdesigner targets: made again by the generator they must
// come out byte for byte as shipped, and the rulebook targets must print at
// the size of their rules.
class TestStandardTargets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void regeneratedFilesMatchShipped();
    void printsAtRulebookSize_data();
    void printsAtRulebookSize();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString SHIPPED = QStringLiteral(VANTRIC_DATA_DIR "/Targets/");
constexpr int kDpi = 600;
// Letter paper, quarter-inch margins, at 600 dpi.
constexpr int kOrigin = 150;
constexpr int kPageW = 4800;
constexpr int kPageH = 6300;
// The cut borders of poster sheets lie this close to the sheet's edge.
constexpr int kBorder = 12;

double px(const StandardTarget& t, double v) { return v * UnitMillimetres(t) / 25.4 * kDpi; }

QStringList filesIn(const QString& folder, const QStringList& patterns)
{
    return QDir(folder).entryList(patterns, QDir::Files, QDir::Name);
}

// One column of a page at kDpi as grey levels: pdftoppm renders only the
// strip asked for, which keeps the posters' many sheets quick.
QImage pageColumn(const QString& pdf, int page, int x)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("strip"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
             QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
             QStringLiteral("-x"), QString::number(x), QStringLiteral("-y"), QStringLiteral("0"),
             QStringLiteral("-W"), QStringLiteral("1"), QStringLiteral("-H"), QString::number(kOrigin * 2 + kPageH),
             pdf, base});
    if (!p.waitForFinished(120000)) return QImage();
    return QImage(base + QStringLiteral(".pgm"));
}

// Darkness along one column of a poster, in the coordinates of the whole
// assembly of sheets; the strips along the sheets' cut borders read light.
QVector<bool> posterColumn(const QString& pdf, int rows, int cols, int x)
{
    QVector<bool> dark(rows * kPageH, false);
    const int col = x / kPageW;
    for (int r = 0; r < rows; ++r) {
        const QImage img = pageColumn(pdf, r * cols + col + 1, kOrigin + x - col * kPageW);
        if (img.height() < kOrigin + kPageH) return {};
        for (int y = kBorder; y < kPageH - kBorder; ++y) dark[r * kPageH + y] = qGray(img.pixel(0, kOrigin + y)) < 128;
    }
    return dark;
}

} // namespace

void TestStandardTargets::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    QVERIFY2(WriteShippedDesigns(m_dir.path(), &error), qPrintable(error));
    QImageReader::setAllocationLimit(1024);
    MessageLog::setEcho(false);
}

void TestStandardTargets::regeneratedFilesMatchShipped()
{
    // Every file of "Standard Targets" and every design of "My Targets"; the
    // shipped folder holds nothing the generator does not write.
    const QString standard = QStringLiteral("Standard Targets/");
    const QStringList made = filesIn(m_dir.filePath(standard), {});
    QCOMPARE(made.size(), int(StandardTargets().size()) + 1);
    QCOMPARE(filesIn(SHIPPED + standard, {}), made);
    QStringList compared;
    for (const QString& name : made) compared << standard + name;
    for (const QString& name : filesIn(m_dir.filePath(QStringLiteral("My Targets")), {QStringLiteral("*.rgd")}))
        compared << QStringLiteral("My Targets/") + name;
    QCOMPARE(filesIn(SHIPPED + QStringLiteral("My Targets"), {QStringLiteral("*.rgd")}).size(), compared.size() - made.size());
    for (const QString& rel : compared) {
        QFile a(m_dir.filePath(rel)), b(SHIPPED + rel);
        QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), qPrintable(rel));
        QVERIFY2(a.readAll() == b.readAll(), qPrintable(rel + QStringLiteral(" differs from the generator's")));
    }
}

void TestStandardTargets::printsAtRulebookSize_data()
{
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < StandardTargets().size(); ++i) QTest::newRow(StandardTargets()[i].name) << int(i);
}

void TestStandardTargets::printsAtRulebookSize()
{
    QFETCH(int, row);
    if (!HavePoppler()) QSKIP("poppler-utils (pdftoppm, pdfinfo) are not installed");
    const StandardTarget& t = StandardTargets()[size_t(row)];
    const QString rgd = SHIPPED + QStringLiteral("Standard Targets/") + QString::fromLatin1(t.name) + QStringLiteral(".rgd");
    const QString pdf = m_dir.filePath(QStringLiteral("print.pdf"));
    QFile::remove(pdf);
    QCOMPARE(RunCommandLinePrint({QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), pdf,
                                  QStringLiteral("--dpi"), QString::number(kDpi), rgd}),
             0);

    // A target larger than the sheet is a poster centred on its sheets.
    const double outer = px(t, t.rings.front());
    const int side = int(outer + 0.5);
    const int cols = PagesAcross(side, kPageW), rows = PagesAcross(side, kPageH);
    QCOMPARE(PdfPageCount(pdf), rows * cols);
    const int cx = cols * kPageW / 2, cy = rows * kPageH / 2;
    QVERIFY(cx % kPageW > kBorder + 50 && cx % kPageW < kPageW - kBorder - 50);
    const QVector<bool> dark = posterColumn(pdf, rows, cols, cx);
    QVERIFY(!dark.isEmpty());

    // Down the vertical centre line, clear of the numbers on the horizontal
    // one: the first and last dark pixels are the outer ring's edge; the
    // black is where the runs longer than a ring line begin and end.
    const int from = int(cy - outer / 2) - 100, to = int(cy + outer / 2) + 100;
    const double line = px(t, t.line);
    int top = -1, bottom = -1, blackTop = -1, blackBottom = -1;
    for (int y = from; y < to;) {
        if (!dark[y]) {
            ++y;
            continue;
        }
        int end = y;
        while (end < to && dark[end]) ++end;
        if (top < 0) top = y;
        bottom = end;
        if (end - y > 2 * line + 4) {
            if (blackTop < 0) blackTop = y;
            blackBottom = end;
        }
        y = end;
    }
    qInfo("%s: outer %d px (table %.1f), black %d px (table %.1f), tolerance %.1f", t.name, bottom - top, outer,
          blackBottom - blackTop, px(t, t.black), 1 + line);
    const double tolerance = 1 + line;
    const QString seen = QStringLiteral("outer %1..%2, black %3..%4").arg(top).arg(bottom).arg(blackTop).arg(blackBottom);
    QVERIFY2(top > from && bottom < to, qPrintable(seen));
    QVERIFY2(qAbs(bottom - top - outer) <= tolerance, qPrintable(seen + QStringLiteral(" expected %1").arg(outer)));
    QVERIFY2(qAbs(blackBottom - blackTop - px(t, t.black)) <= tolerance,
             qPrintable(seen + QStringLiteral(" expected black %1").arg(px(t, t.black))));
    QVERIFY2(qAbs((top + bottom) / 2 - cy) <= tolerance, qPrintable(seen));
}

QTEST_MAIN(TestStandardTargets)
#include "tst_standardtargets.moc"
