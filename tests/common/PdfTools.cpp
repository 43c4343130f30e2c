#include "PdfTools.h"

#include <algorithm>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

bool HavePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()
           && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

static QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QImage RasterisePdfPage(const QString& pdf, int page, int dpi, bool colour)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi),
                                     colour ? QStringLiteral("-png") : QStringLiteral("-gray"),
                                     QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                                     QStringLiteral("-l"), QString::number(page), pdf, base});
    return QImage(base + (colour ? QStringLiteral(".png") : QStringLiteral(".pgm")));
}

int PdfPageCount(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

QSizeF PdfPageSizePoints(const QString& pdf)
{
    // "Page size:      595.276 x 841.89 pts (A4)"
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("Page size:"))) continue;
        const QStringList words = line.mid(10).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() >= 3) return QSizeF(words[0].toDouble(), words[2].toDouble());
    }
    return QSizeF();
}

double PdfDarkSquareInches(const QString& pdf, int dpi)
{
    const int pages = PdfPageCount(pdf);
    qint64 n = 0;
    for (int page = 1; page <= pages; ++page) {
        const QImage image = RasterisePdfPage(pdf, page, dpi);
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x) n += line[x] < 128;
        }
    }
    return double(n) / (double(dpi) * dpi);
}

QString PdfText(const QString& pdf, int page)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                             QString::number(page), pdf, QStringLiteral("-")});
}

QStringList PdfImageList(const QString& pdf)
{
    return run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

static bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

QList<QPair<int, int>> DarkRunsInRow(const QImage& image, int y, int from, int to)
{
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int x = from; x <= to; ++x) {
        const bool d = x < to && dark(image, x, y);
        if (d && start < 0) start = x;
        if (!d && start >= 0) { runs.append({start, x - start}); start = -1; }
    }
    return runs;
}

QList<QPair<int, int>> DarkRunsInColumn(const QImage& image, int x, int from, int to)
{
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int y = from; y <= to; ++y) {
        const bool d = y < to && dark(image, x, y);
        if (d && start < 0) start = y;
        if (!d && start >= 0) { runs.append({start, y - start}); start = -1; }
    }
    return runs;
}

double DarkRunSpan(const QList<QPair<int, int>>& runs)
{
    if (runs.size() < 2) return -1.0;
    auto centre = [](const QPair<int, int>& r) { return r.first + r.second / 2.0; };
    return centre(runs.back()) - centre(runs.front());
}

QSize CentreDarkExtent(const QImage& image)
{
    auto longest = [](const QList<QPair<int, int>>& runs) {
        int best = 0;
        for (const auto& r : runs) best = std::max(best, r.second);
        return best;
    };
    return QSize(longest(DarkRunsInRow(image, image.height() / 2, 0, image.width())),
                 longest(DarkRunsInColumn(image, image.width() / 2, 0, image.height())));
}

bool PdfAsksActualSize(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString text = QString::fromLatin1(file.readAll());
    // Every catalog object; the one written last is the one in force.
    const QRegularExpression catalog(
        QStringLiteral("\\d+ \\d+ obj\\s*<<((?:(?!endobj).)*?/Type\\s*/Catalog(?:(?!endobj).)*)endobj"),
        QRegularExpression::DotMatchesEverythingOption);
    QString last;
    for (const QRegularExpressionMatch& m : catalog.globalMatch(text)) last = m.captured(1);
    if (!last.contains(QRegularExpression(QStringLiteral("/ViewerPreferences\\s*<<\\s*/PrintScaling\\s*/None\\s*>>"))))
        return false;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(60000) || info.exitCode() != 0) return false;
    return info.readAllStandardError().trimmed().isEmpty();
}

QRectF PdfDarkBoundsInches(const QString& pdf, int dpi)
{
    const QImage page = RasterisePdfPage(pdf, 1, dpi);
    if (page.isNull()) return {};
    int left = page.width();
    int top = page.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] >= 128) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return QRectF(double(left) / dpi, double(top) / dpi, double(right + 1 - left) / dpi, double(bottom + 1 - top) / dpi);
}
