// Decode + render of every corpus metafile at 300 dpi (natural size, fitted
// into a letter page when larger), beside libwmf's wmf2gd drawing the same
// files at the same pixel size in the same run.
//   bench_wmf [report.md]
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "wmf/WmfDecoder.h"
#include "wmf/WmfPlayer.h"

namespace {

constexpr int DPI = 300;
constexpr int LETTER_W = 2550, LETTER_H = 3300;  // 8.5 x 11 inches at 300 dpi
constexpr int RUNS = 3;

QSize pixelSize(const wmf::Picture& pic)
{
    double w = std::abs(pic.widthHimetric()) * DPI / 2540.0;
    double h = std::abs(pic.heightHimetric()) * DPI / 2540.0;
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    const double s = std::min({1.0, LETTER_W / w, LETTER_H / h});
    return QSize(std::max(1, int(w * s)), std::max(1, int(h * s)));
}

// Milliseconds for decode + render, best of RUNS; -1 when the file does not decode.
double ours(const QByteArray& data, QSize* size)
{
    double best = -1;
    for (int i = 0; i < RUNS; ++i) {
        QElapsedTimer t;
        t.start();
        wmf::Picture pic;
        if (!wmf::decode(data, pic, nullptr, wmf::NonPlaceable::FrameFromWindow)) return -1;
        const QSize s = pixelSize(pic);
        QImage img(s, QImage::Format_RGB32);
        img.fill(Qt::white);
        img.setDotsPerMeterX(qRound(DPI / 0.0254));
        img.setDotsPerMeterY(qRound(DPI / 0.0254));
        {
            QPainter p(&img);
            wmf::Player player(pic, &p, QRectF(0, 0, s.width(), s.height()));
            player.play();
        }
        const double ms = t.nsecsElapsed() / 1e6;
        if (best < 0 || ms < best) best = ms;
        *size = s;
    }
    return best;
}

double theirs(const QString& tool, const QString& path, const QSize& size, const QString& out)
{
    double best = -1;
    for (int i = 0; i < RUNS; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(tool, {QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("--maxwidth=%1").arg(size.width()),
                       QStringLiteral("--maxheight=%1").arg(size.height()), QStringLiteral("--maxpect"),
                       QStringLiteral("-o"), out, path});
        if (!p.waitForFinished(60000)) { p.kill(); p.waitForFinished(); return -1; }
        const double ms = t.nsecsElapsed() / 1e6;
        if (p.exitCode() != 0) return -1;
        if (best < 0 || ms < best) best = ms;
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QString root = QStringLiteral(VANTRIC_CORPUS_DIR "/wmf");
    if (!QDir(root).exists()) {
        std::fprintf(stderr, "corpus not found: %s\n", qPrintable(root));
        return 1;
    }
    QStringList paths;
    QDirIterator it(root, {QStringLiteral("*.wmf"), QStringLiteral("*.WMF")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (!p.contains(QLatin1String("/refs"))) paths << p;
    }
    paths.sort();
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("wmf2gd"));
    QTemporaryDir tmp;
    QString report;
    QTextStream out(&report);
    out << "| file | pixels at 300 dpi | ours ms | wmf2gd ms |\n|---|---|---|---|\n";
    double totalOurs = 0, totalTheirs = 0, totalOursBoth = 0, worst = 0;
    int both = 0, over50 = 0;
    QString worstName;
    for (const QString& path : paths) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray data = f.readAll();
        QSize size(0, 0);
        const double a = ours(data, &size);
        const double b = tool.isEmpty() || a < 0 ? -1 : theirs(tool, path, size, tmp.filePath(QStringLiteral("out.png")));
        const QString rel = QDir(root).relativeFilePath(path);
        out << "| " << rel << " | " << size.width() << "x" << size.height() << " | "
            << (a < 0 ? QStringLiteral("fails") : QString::number(a, 'f', 1)) << " | "
            << (b < 0 ? QStringLiteral("-") : QString::number(b, 'f', 1)) << " |\n";
        if (a >= 0) {
            totalOurs += a;
            if (a > 50) ++over50;
            if (a > worst) { worst = a; worstName = rel; }
        }
        if (a >= 0 && b >= 0) {
            ++both;
            totalOursBoth += a;
            totalTheirs += b;
        }
    }
    out << "\nFiles: " << paths.size() << "; total ours " << QString::number(totalOurs, 'f', 0) << " ms; "
        << "on the " << both << " files both draw: ours " << QString::number(totalOursBoth, 'f', 0) << " ms, wmf2gd "
        << QString::number(totalTheirs, 'f', 0) << " ms (wmf2gd times include starting its process); "
        << "slowest of ours " << QString::number(worst, 'f', 1) << " ms (" << worstName << "); files over 50 ms: " << over50
        << ".\n";
    out.flush();
    std::fputs(qPrintable(report), stdout);
    if (argc > 1) {
        QFile r(QString::fromLocal8Bit(argv[1]));
        if (r.open(QIODevice::WriteOnly | QIODevice::Text)) r.write(report.toUtf8());
    }
    return 0;
}
