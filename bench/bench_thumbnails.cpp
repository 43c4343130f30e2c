// The thumbnail grid on a generated folder of 1 000 targets: how soon every
// placeholder shows, how soon the last picture arrives, the longest stall of
// a 1 ms GUI timer meanwhile, the peak memory; one 12 MP JPEG thumbnail; and
// gdk-pixbuf-thumbnailer on the same raster files one by one, if installed.
//
//   bench_thumbnails [--folder DIR] [--show SIZE SECONDS]
//
// --folder keeps the generated folder in DIR (made when DIR holds no files;
// a folder of files is listed as it is). --show
// lists the folder in a window at thumbnail size SIZE (100, 150, 200) and
// keeps it open for SECONDS after the last picture, to look at.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

#include "BenchTiming.h"
#include "designer/TargetDesign.h"
#include "thumbnails/ThumbView.h"
#include "wmf/WmfWriter.h"

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
    int showSize = 0;
    int showSeconds = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) folder = args[++i];
        else if (args[i] == QLatin1String("--show") && i + 2 < args.size()) {
            showSize = args[++i].toInt();
            showSeconds = args[++i].toInt();
        }
    }
    QTemporaryDir temp;
    if (folder.isEmpty()) folder = temp.filePath(QStringLiteral("targets"));
    QElapsedTimer made;
    made.start();
    makeFolder(folder);
    std::printf("folder: %s (%lld ms to make)\n", qPrintable(folder), made.elapsed());
    const long before = peakKilobytes();

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
    ticker.stop();

    std::printf("files: %d, pictures: %d\n", grid.count(), pictures);
    std::printf("every placeholder shown: %.1f ms\n", placeholders / 1e6);
    std::printf("last picture: %.0f ms\n", lastPicture / 1e6);
    std::printf("longest GUI timer gap: %.1f ms\n", longestGap / 1e6);
    std::printf("peak memory: %ld MB (%ld MB before listing)\n", peakKilobytes() / 1024, before / 1024);

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
