// The thumbnail grid on a generated folder of 1 000 targets: how soon every
// placeholder shows, how soon the last picture arrives, the longest stall of
// a 1 ms GUI timer meanwhile and while scrolling through the whole grid, the
// peak memory; one 12 MP JPEG thumbnail; and gdk-pixbuf-thumbnailer on the
// same raster files one by one, if installed.
//
//   bench_thumbnails [--folder DIR] [--files N] [--sheet OUT.pdf] [--show SIZE SECONDS]
//
// --folder keeps the generated folder in DIR (made when DIR holds no files;
// a folder of files is listed as it is). --files makes N small targets (a
// metafile, a design, a bitmap and a JPEG in turn) instead of the 1 000
// mixed ones. --sheet only prints the folder's contact sheet, as
// --print-contact-sheet does, and reports its time and peak memory. --show
// lists the folder in a window at thumbnail size SIZE (100, 150, 200) and
// keeps it open for SECONDS after the last picture, to look at.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchTiming.h"
#include "designer/TargetDesign.h"
#include "thumbnails/ContactSheet.h"
#include "thumbnails/ThumbView.h"
#include "wmf/writer/WmfWriter.h"

namespace {

QImage picture(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 37 % 360, 40, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int r = 10; r > 0; --r) {
        p.setBrush(r % 2 ? Qt::black : Qt::white);
        const int d = std::min(w, h) * r / 11;
        p.drawEllipse(QPoint(w / 2, h / 2), d / 2, d / 2);
    }
    return image;
}

// 1 000 targets: 250 metafiles, 250 designs, 250 BMPs, 250 JPEGs of which
// every 25th is 12 MP (4000 x 3000) and the others 1 to 3 MP.
void makeFolder(const QString& path)
{
    QDir dir(path);
    // A folder that holds files already is listed as it is.
    if (!dir.entryList(QDir::Files).isEmpty()) return;
    dir.mkpath(QStringLiteral("."));
    for (int i = 0; i < 250; ++i) {
        WmfWriter wmf(0, 0, 1440 * 8, 1440 * 8, 1440);
        for (int r = 8; r > 0; --r) {
            wmf.selectObject(wmf.createBrush(0, r % 2 ? 0x000000 : 0xFFFFFF));
            wmf.ellipse(720 * (8 - r), 720 * (8 - r), 720 * (8 + r), 720 * (8 + r));
        }
        QFile f(dir.filePath(QStringLiteral("m%1.wmf").arg(i, 3, 10, QLatin1Char('0'))));
        f.open(QIODevice::WriteOnly);
        f.write(wmf.finish());

        CTargetDesign design;
        for (int r = 8; r >= 1; --r)
            design.AddSquare(r * 0.5, 0x000000, 0.02, true, r % 2 ? 0x000000 : 0xFFFFFF, QString(), true);
        QFile d(dir.filePath(QStringLiteral("d%1.rgd").arg(i, 3, 10, QLatin1Char('0'))));
        d.open(QIODevice::WriteOnly);
        design.Write(d);

        picture(600, 600, i).save(dir.filePath(QStringLiteral("b%1.bmp").arg(i, 3, 10, QLatin1Char('0'))), "BMP");
        const bool huge = i % 25 == 0;
        const QSize size = huge ? QSize(4000, 3000) : QSize(1200 + (i % 3) * 400, 900 + (i % 3) * 300);
        picture(size.width(), size.height(), i)
            .save(dir.filePath(QStringLiteral("j%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), "JPG", 90);
    }
}

// n small targets, the same four files over and over under other names.
void makeSmallFolder(const QString& path, int n)
{
    QDir dir(path);
    if (!dir.entryList(QDir::Files).isEmpty()) return;
    dir.mkpath(QStringLiteral("."));
    QByteArray kinds[4];
    WmfWriter wmf(0, 0, 1440 * 4, 1440 * 4, 1440);
    for (int r = 4; r > 0; --r) {
        wmf.selectObject(wmf.createBrush(0, r % 2 ? 0x000000 : 0xFFFFFF));
        wmf.ellipse(720 * (4 - r), 720 * (4 - r), 720 * (4 + r), 720 * (4 + r));
    }
    kinds[0] = wmf.finish();
    CTargetDesign design;
    for (int r = 4; r >= 1; --r)
        design.AddSquare(r * 0.5, 0x000000, 0.02, true, r % 2 ? 0x000000 : 0xFFFFFF, QString(), true);
    QBuffer buffer(&kinds[1]);
    buffer.open(QIODevice::WriteOnly);
    design.Write(buffer);
    QBuffer bmp(&kinds[2]);
    bmp.open(QIODevice::WriteOnly);
    picture(300, 300, 1).save(&bmp, "BMP");
    QBuffer jpg(&kinds[3]);
    jpg.open(QIODevice::WriteOnly);
    picture(400, 300, 2).save(&jpg, "JPG", 90);
    static const char* const ext[4] = {"wmf", "rgd", "bmp", "jpg"};
    for (int i = 0; i < n; ++i) {
        QFile f(dir.filePath(QStringLiteral("t%1.%2").arg(i, 6, 10, QLatin1Char('0')).arg(QLatin1String(ext[i % 4]))));
        f.open(QIODevice::WriteOnly);
        f.write(kinds[i % 4]);
    }
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QString folder;
    QString sheet;
    int files = 0;
    int showSize = 0;
    int showSeconds = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) folder = args[++i];
        else if (args[i] == QLatin1String("--files") && i + 1 < args.size()) files = args[++i].toInt();
        else if (args[i] == QLatin1String("--sheet") && i + 1 < args.size()) sheet = args[++i];
        else if (args[i] == QLatin1String("--show") && i + 2 < args.size()) {
            showSize = args[++i].toInt();
            showSeconds = args[++i].toInt();
        }
    }
    QTemporaryDir temp;
    if (folder.isEmpty()) folder = temp.filePath(QStringLiteral("targets"));
    QElapsedTimer made;
    made.start();
    if (files > 0) makeSmallFolder(folder, files);
    else makeFolder(folder);
    std::printf("folder: %s (%lld ms to make)\n", qPrintable(folder), made.elapsed());
    const long before = peakKilobytes();
    if (!sheet.isEmpty()) {
        QElapsedTimer printing;
        printing.start();
        const int status = RunContactSheetPrint({QStringLiteral("vantric"), QStringLiteral("--print-contact-sheet"), sheet,
                                                 QStringLiteral("--dpi"), QStringLiteral("300"), folder});
        std::printf("contact sheet: status %d, %lld ms, %lld KB of PDF\n", status, printing.elapsed(),
                    QFileInfo(sheet).size() / 1024);
        std::printf("peak memory: %ld MB (%ld MB before)\n", peakKilobytes() / 1024, before / 1024);
        return status;
    }

    CVNThumbView view;
    view.resize(1000, 800);
    view.show();
    if (showSize) SendWindowMessage(&view, MSG_THUMB_SET_SIZE, quintptr(showSize));
    QCoreApplication::processEvents();

    // The GUI thread's responsiveness: the longest time between two ticks of
    // a 1 ms timer while the listing runs.
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });

    qint64 placeholders = -1;
    qint64 lastPicture = -1;
    int pictures = 0;
    ThumbGrid& grid = view.grid();
    QObject::connect(&grid, &ThumbGrid::repaintAll, [&] {
        if (placeholders < 0 && grid.count() > 0) {
            view.viewport()->repaint();
            placeholders = clock.nsecsElapsed();
        }
    });
    QObject::connect(&grid, &ThumbGrid::cellChanged, [&] {
        ++pictures;
        lastPicture = clock.nsecsElapsed();
    });
    bool done = false;
    QObject::connect(&grid, &ThumbGrid::workerIdle, [&] { done = true; });
    clock.start();
    ticker.start();
    view.ListFolder(folder);
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 listingGap = longestGap;

    // Scrolling through the whole grid a page at a time, each page shown for
    // 20 ms: the pictures follow the view and the timer must keep ticking.
    longestGap = 0;
    lastTick = clock.nsecsElapsed();
    QElapsedTimer scrolling;
    scrolling.start();
    const int page = view.viewport()->height();
    // The GUI thread's own work, which a loaded machine's scheduling does not lengthen as much.
    qint64 longestTurn = 0;
    std::vector<qint64> turns;
    for (int y = 0; y < view.GetTotalSize().height(); y += page) {
        view.ScrollToPosition(QPoint(0, y));
        QElapsedTimer shown;
        shown.start();
        bool first = true;  // the turn that paints the page scrolled to
        while (shown.elapsed() < 20) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longestTurn = std::max(longestTurn, turn.nsecsElapsed());
            if (first) turns.push_back(turn.nsecsElapsed());
            first = false;
        }
    }
    const qint64 scrollGap = longestGap;
    const qint64 scrollMs = scrolling.elapsed();
    // On a loaded machine the longest turn is mostly the scheduler's; the
    // median and 99th percentile of the turns that paint a new page say what
    // the grid itself costs.
    std::sort(turns.begin(), turns.end());
    const qint64 p99 = turns.empty() ? 0 : turns[turns.size() * 99 / 100];
    const qint64 median = turns.empty() ? 0 : turns[turns.size() / 2];
    longestGap = listingGap;
    ticker.stop();

    std::printf("files: %d, pictures: %d\n", grid.count(), pictures);
    std::printf("every placeholder shown: %.1f ms\n", placeholders / 1e6);
    std::printf("last picture: %.0f ms\n", lastPicture / 1e6);
    std::printf("longest GUI timer gap: %.1f ms\n", longestGap / 1e6);
    std::printf("scrolling through: %lld ms, longest GUI timer gap %.1f ms, longest event-loop turn %.1f ms"
                "; a page's paint: median %.1f ms, 99th percentile %.1f ms of %zu; pictures kept %lld MB\n",
                scrollMs, scrollGap / 1e6, longestTurn / 1e6, median / 1e6, p99 / 1e6, turns.size(),
                grid.pictureBytes() >> 20);
    std::printf("peak memory: %ld MB (%ld MB before listing)\n", peakKilobytes() / 1024, before / 1024);
    if (files > 0) return 0;

    const QString huge = QDir(folder).filePath(QStringLiteral("j000.jpg"));
    const double jpeg = medianMs(5, [&] { RenderThumbnail(huge, 96, 96, 192, 192); });
    std::printf("12 MP JPEG thumbnail: %.1f ms (median of 5)\n", jpeg);

    const QString pixbuf = QStandardPaths::findExecutable(QStringLiteral("gdk-pixbuf-thumbnailer"));
    if (!pixbuf.isEmpty()) {
        QTemporaryDir out;
        QElapsedTimer t;
        t.start();
        int n = 0;
        for (const QString& name : QDir(folder).entryList({"*.bmp", "*.jpg"}, QDir::Files)) {
            QProcess::execute(pixbuf, {"-s", "192", QDir(folder).filePath(name), out.filePath(QStringLiteral("t.png"))});
            ++n;
        }
        std::printf("gdk-pixbuf-thumbnailer, %d raster files one by one: %lld ms\n", n, t.elapsed());
    }

    if (showSize && showSeconds > 0) {
        QTimer::singleShot(showSeconds * 1000, &app, &QApplication::quit);
        return app.exec();
    }
    return 0;
}
