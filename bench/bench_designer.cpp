// Drawing the default ring design and reading + writing it, per call.
//   build/bench/bench_designer [repeats]
// Drawing at 600 dpi fills a letter-size image (5100 x 6600) with the design
// fitted into the 8-inch square centred on it; at screen resolution a 96 dpi
// 400 x 400 preview, as the Ringdesigner redraws it on every change.
#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchTiming.h"
#include "designer/TargetDesign.h"
#include "platform/DeviceContext.h"

namespace {

double drawMs(CTargetDesign& design, int width, int height, int dpi, const GdiRect& rect, int repeats)
{
    QImage image = makeDeviceImage(width, height, dpi, dpi);
    return medianMs(repeats, [&] {
        QPainter painter(&image);
        DeviceContext dc(&painter, dpi, dpi);
        design.Draw(dc, rect);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 21;

    CTargetDesign design;
    design.LoadDefault();

    // Warm the font and label caches once, as a running program has them.
    drawMs(design, 400, 400, 96, GdiRect(0, 0, 400, 400), 1);

    const double paper = drawMs(design, 5100, 6600, 600, GdiRect(150, 900, 4950, 5700), repeats);
    const double screen = drawMs(design, 400, 400, 96, GdiRect(0, 0, 400, 400), repeats);

    QByteArray bytes;
    const double io = medianMs(repeats * 10, [&] {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        design.Write(out);
        out.close();
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        CTargetDesign copy;
        copy.Read(in);
    });

    std::printf("default design, median of %d runs\n\n", repeats);
    std::printf("| what | ms |\n|---|---:|\n");
    std::printf("| Draw at 600 dpi, letter-size image | %.2f |\n", paper);
    std::printf("| Draw at 96 dpi, 400 x 400 preview | %.2f |\n", screen);
    std::printf("| Write + Read (%lld bytes) | %.4f |\n", static_cast<long long>(bytes.size()), io);
    return 0;
}
