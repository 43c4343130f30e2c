// Every metafile of the shared corpus: it decodes or fails cleanly, it plays
// without crashing, and where an independent renderer's picture exists ours
// must resemble it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "helper_wmf.h"
#include "wmf/WmfDecoder.h"
#include "CorpusPath.h"

class TestWmfCorpus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void files_data();
    void files();
    void cleanupTestCase();

private:
    QString m_root;
    QStringList m_report;
};

static const char* const REFS = "refs-libwmf";

void TestWmfCorpus::initTestCase()
{
    m_root = corpusPath(QStringLiteral("wmf"));
    SKIP_WITHOUT_CORPUS(m_root);
}

void TestWmfCorpus::files_data()
{
    QTest::addColumn<QString>("path");
    QDirIterator it(m_root, {QStringLiteral("*.wmf"), QStringLiteral("*.WMF")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext()) {
        const QString p = it.next();
        if (!p.contains(QLatin1String("/refs"))) paths << p;
    }
    paths.sort();
    for (const QString& p : paths) QTest::newRow(qPrintable(QDir(m_root).relativeFilePath(p))) << p;
}

// Lowest similarity (1 - mean absolute grey difference at 128 x 128) that
// every file with a reference reaches; see bench/results/wmf.md for the
// per-file figures.
static constexpr double SIMILARITY_FLOOR = 0.72;

void TestWmfCorpus::files()
{
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    wmf::Picture pic;
    QString error;
    const bool ok = wmf::decode(data, pic, &error, wmf::NonPlaceable::FrameFromWindow);
    const QString rel = QDir(m_root).relativeFilePath(path);
    QString refPath = m_root + QLatin1Char('/') + QLatin1String(REFS) + QLatin1Char('/') + rel;
    refPath.chop(4);
    refPath += QLatin1String(".png");
    const QImage ref(refPath);
    if (!ok) {
        m_report << QStringLiteral("| %1 | fails: %2 | | |").arg(rel, error);
        QVERIFY2(ref.isNull(), qPrintable(QStringLiteral("a file the reference renderer draws does not load: ") + error));
        return;
    }
    const int w = ref.isNull() ? 256 : ref.width();
    const int h = ref.isNull() ? 256 : ref.height();
    const QImage ours = wmftest::render(pic, w, h);
    if (ref.isNull()) {
        m_report << QStringLiteral("| %1 | loads, %2 records | no reference | |").arg(rel).arg(pic.records.size());
        return;
    }
    const double sim = wmftest::similarity(ours, ref);
    const double ink = wmftest::inkOverlap(ours, ref);
    m_report << QStringLiteral("| %1 | %2 records | %3 | %4 |").arg(rel).arg(pic.records.size()).arg(sim, 0, 'f', 3).arg(ink, 0, 'f', 3);
    if (qEnvironmentVariableIsSet("VANTRIC_WMF_DUMP")) {
        QString name = rel;
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        ours.save(qEnvironmentVariable("VANTRIC_WMF_DUMP") + QLatin1Char('/') + name + QLatin1String(".png"));
    }
    QVERIFY2(sim >= SIMILARITY_FLOOR, qPrintable(QStringLiteral("similarity %1").arg(sim)));
}

void TestWmfCorpus::cleanupTestCase()
{
    if (qEnvironmentVariableIsSet("VANTRIC_WMF_REPORT")) {
        QFile out(qEnvironmentVariable("VANTRIC_WMF_REPORT"));
        if (out.open(QIODevice::WriteOnly | QIODevice::Text)) out.write(m_report.join(QLatin1Char('\n')).toUtf8() + '\n');
    }
}

QTEST_MAIN(TestWmfCorpus)
#include "tst_wmfcorpus.moc"
