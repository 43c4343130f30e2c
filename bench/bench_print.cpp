// Print jobs of 2 x 2 posters into PDF at 600 dpi, through the command line's
// print routine (RunCommandLinePrint, the road of "vantric --print-to-pdf"):
// a metafile target and a JPEG target of 12 x 15 inches on letter paper
// (8 x 10.5 in printable), which the automatic poster spreads over four
// sheets. Also timed without the file load: the same layout and print calls
// on a target loaded once. Reports the median times, the PDF sizes and what
// pdfimages says about the images in the PDFs.
//
//   build/bench/bench_print [repeats [folder]]
// With a folder, the targets and PDFs are kept there.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "BenchTiming.h"
#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"
#include "view/CommandLinePrint.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"
#include "view/TargetViewState.h"

namespace {

constexpr double TARGET_W_IN = 12.0, TARGET_H_IN = 15.0;
constexpr int RASTER_DPI = 200;  // 2400 x 3000 pixels
constexpr int PRINT_DPI = 600;

// A ring target as a metafile: ten alternating rings with their numbers, a
// half-inch grid of thin lines behind them and a title, in twips.
QByteArray makeMetafile()
{
    const int inch = 1440;
    const int w = int(TARGET_W_IN * inch), h = int(TARGET_H_IN * inch);
    WmfWriter wmf(0, 0, w, h, inch);
    wmf.setBkMode(1);
    const int grid = wmf.createPen(wmf::PS_SOLID, 4, 0x808080);
    wmf.selectObject(grid);
    for (int x = 0; x <= w; x += inch / 2) {
        wmf.moveTo(x, 0);
        wmf.lineTo(x, h);
    }
    for (int y = 0; y <= h; y += inch / 2) {
        wmf.moveTo(0, y);
        wmf.lineTo(w, y);
    }
    const int black = wmf.createBrush(wmf::BS_SOLID, 0x000000);
    const int white = wmf.createBrush(wmf::BS_SOLID, 0xFFFFFF);
    const int pen = wmf.createPen(wmf::PS_SOLID, 10, 0x000000);
    wmf.selectObject(pen);
    const int font = wmf.createFont(-240, 700, "Arial");
    wmf.selectObject(font);
    const int cx = w / 2, cy = h / 2;
    for (int ring = 1; ring <= 10; ++ring) {
        const int r = (11 - ring) * inch * 55 / 100;  // 5.5 in down to 0.55 in
        wmf.selectObject(ring >= 7 ? black : white);
        wmf.ellipse(cx - r, cy - r, cx + r, cy + r);
    }
    for (int ring = 1; ring <= 9; ++ring) {
        const int r = (11 - ring) * inch * 55 / 100 - inch / 4;
        wmf.setTextColor(ring >= 7 ? 0xFFFFFF : 0x000000);
        const QByteArray n = QByteArray::number(ring);
        wmf.textOut(cx - 60, cy - r - 120, n);
        wmf.textOut(cx - 60, cy + r - 120, n);
        wmf.textOut(cx - r - 60, cy - 120, n);
        wmf.textOut(cx + r - 60, cy - 120, n);
    }
    wmf.setTextColor(0x000000);
    wmf.textOut(inch / 2, inch / 2, "50 FT POSTER TARGET");
    return wmf.finish();
}

// A photograph of a target: rings over a noisy gradient, as a scan looks.
QImage makeRaster()
{
    const int w = int(TARGET_W_IN * RASTER_DPI), h = int(TARGET_H_IN * RASTER_DPI);
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-10, 10);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int base = 200 + 40 * x / w - 30 * y / h;
            line[x] = qRgb(std::clamp(base + noise(rng), 0, 255), std::clamp(base - 10 + noise(rng), 0, 255),
                           std::clamp(base - 25 + noise(rng), 0, 255));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int ring = 1; ring <= 10; ++ring) {
        const double r = (11 - ring) * 0.55 * RASTER_DPI;
        p.setPen(QPen(Qt::black, RASTER_DPI / 50.0));
        p.setBrush(ring >= 7 ? QColor(20, 20, 20) : QColor(Qt::transparent));
        p.drawEllipse(QPointF(w / 2.0, h / 2.0), r, r);
    }
    p.end();
    const int dpm = int(std::lround(RASTER_DPI / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

// A target window without a window, as the command line prints.
class BenchTarget : public TargetViewState {
public:
    TargetImage* Target() const override { return const_cast<TargetImage*>(&m_image); }
    QString DocumentTitle() const override { return m_title; }
    TargetImage m_image;
    QString m_title;
};

// The layout and print calls of the command line on a loaded target.
bool printLoaded(BenchTarget& view, const QString& pdf)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, QPageSize::Letter, PRINT_DPI);
    printer.setDocName(view.m_title);
    PrinterPageMetrics himetric, device;
    int dpiX = 0, dpiY = 0;
    GetDevicePageMetrics(printer, PAGE_UNITS_HIMETRIC, himetric);
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, device, &dpiX, &dpiY);
    view.SetStoredMetrics(himetric);
    view.m_modes = ViewModes(view.m_modes.Scale(), TILE_NONE, view.m_modes.SavedTile());
    view.ChooseAutomaticPoster();
    const int pages = view.PrintPageCount(device, dpiX, dpiY);
    return PrintTargetPages(printer, view, 1, pages);
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Result {
    QString name;
    QString file;
    double jobMs = 0;
    double printMs = 0;
    qint64 pdfBytes = 0;
    int pages = 0;
    QStringList images;  // pdfimages -list rows
};

Result measure(const QString& name, const QString& target, const QString& outDir, int repeats)
{
    Result r;
    r.name = name;
    r.file = target;
    const QString pdf = outDir + QLatin1Char('/') + QFileInfo(target).fileName() + QStringLiteral(".pdf");
    std::vector<double> job, print;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        const int status = RunCommandLinePrint({QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), pdf,
                                                QStringLiteral("--dpi"), QString::number(PRINT_DPI), target});
        job.push_back(t.nsecsElapsed() / 1e6);
        if (status != 0) {
            std::fprintf(stderr, "printing %s failed\n", qPrintable(target));
            std::exit(1);
        }
    }
    BenchTarget view;
    view.m_title = QFileInfo(target).fileName();
    if (!view.m_image.Load(target)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(target));
        std::exit(1);
    }
    view.m_nPictureKind = view.m_image.kind();
    const QString again = outDir + QStringLiteral("/loaded.pdf");
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        if (!printLoaded(view, again)) std::exit(1);
        print.push_back(t.nsecsElapsed() / 1e6);
    }
    r.jobMs = Median(job);
    r.printMs = Median(print);
    r.pdfBytes = QFileInfo(pdf).size();
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:"))) r.pages = line.mid(6).trimmed().toInt();
    const QStringList list = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.images = list.mid(2);
    std::printf("%s: %s\n", qPrintable(name), qPrintable(pdf));
    for (const QString& line : list) std::printf("  %s\n", qPrintable(line));
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageLog::setEcho(true);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        std::fprintf(stderr, "pdfimages not found: the image lists stay empty\n");

    QTemporaryDir temp;
    const QDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path());
    if (!dir.exists() && !QDir().mkpath(dir.path())) return 1;
    const QString wmfPath = dir.filePath(QStringLiteral("poster.wmf"));
    const QString jpgPath = dir.filePath(QStringLiteral("poster.jpg"));
    {
        QFile f(wmfPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(makeMetafile()) < 0) return 1;
    }
    if (!makeRaster().save(jpgPath, "JPG", 90)) return 1;
    for (const QString& p : {wmfPath, jpgPath}) {
        TargetImage image;
        if (!image.Load(p)) return 1;
        const QSize s = image.GetSizeHimetric();
        std::printf("%s: %lld bytes, %d x %d HIMETRIC (%.2f x %.2f in)\n", qPrintable(QFileInfo(p).fileName()),
                    QFileInfo(p).size(), s.width(), s.height(), s.width() / 2540.0, s.height() / 2540.0);
    }

    const Result results[] = {measure(QStringLiteral("metafile"), wmfPath, dir.path(), repeats),
                              measure(QStringLiteral("JPEG"), jpgPath, dir.path(), repeats)};

    std::printf("\nletter, 0.25 in margins, %d dpi, median of %d\n\n", PRINT_DPI, repeats);
    std::printf("| target | pages | job ms (load + print) | print ms (loaded) | PDF bytes | images in PDF |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    for (const Result& r : results) {
        QStringList sizes;
        for (const QString& line : r.images) {
            const QStringList f = line.simplified().split(QLatin1Char(' '));
            if (f.size() > 11) sizes << QStringLiteral("p%1 %2x%3 %4 obj %5").arg(f[0], f[3], f[4], f[8], f[10]);
        }
        std::printf("| %s | %d | %.0f | %.0f | %lld | %lld: %s |\n", qPrintable(r.name), r.pages, r.jobMs, r.printMs,
                    r.pdfBytes, qint64(r.images.size()), qPrintable(sizes.join(QStringLiteral("; "))));
    }
    return 0;
}
