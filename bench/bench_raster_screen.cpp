// Screen drawing of a large raster target made smaller (fit or 50 % zoom):
// the first paint at a zoom averages the picture down, later paints copy the
// kept result. Beside it the nearest-pixel stretch that bitmaps (and, before,
// the screen) get, which builds every paint afresh.
//
//   build/bench/bench_raster_screen [width height [repeats]]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchTiming.h"
#include "document/RasterImage.h"
#include "platform/DeviceContext.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int w = argc > 2 ? std::atoi(argv[1]) : 4000;
    const int h = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 9;

    RasterImage image(RasterImage::TYPE_JPEG);
    if (!image.CreateBitmap(w, h, 24)) return 1;
    for (int y = 0; y < h; ++y) {
        uchar* row = image.Row(quint32(y));
        for (int x = 0; x < w; ++x) {
            const bool line = x % 50 == 0 || y % 50 == 0;
            row[3 * x] = line ? 0 : uchar(x * 255 / w);
            row[3 * x + 1] = line ? 0 : uchar(y * 255 / h);
            row[3 * x + 2] = line ? 0 : 200;
        }
    }

    std::printf("picture %d x %d (%.1f MP), median of %d runs\n\n", w, h, w * double(h) / 1e6, repeats);
    std::printf("| zoom | drawn size | averaged, first paint ms | averaged, later paints ms | nearest pixel, each paint ms |\n"
                "|---|---|---:|---:|---:|\n");
    // A 1280 x 1024 screen: the fit zoom shows the picture 1200 wide; 50 %
    // shows a window of it.
    struct Case {
        const char* name;
        int dw, dh;
    } cases[] = {{"fit", 1200, 1200 * h / w}, {"50 %", w / 2, h / 2}, {"25 %", w / 4, h / 4}};
    QImage screen = makeDeviceImage(1200, 950, 96, 96);
    for (const Case& c : cases) {
        // Each first paint is a new zoom: a new picture at that size.
        RasterImage fresh(RasterImage::TYPE_JPEG);
        fresh.CreateBitmap(w, h, 24);
        std::memcpy(fresh.Bits(), image.Bits(), image.ImageBytes());
        const auto paint = [&](bool window) {
            QPainter painter(&screen);
            DeviceContext dc(&painter, 96, 96);
            if (window) dc.setStretchMode(DeviceContext::Halftone);
            fresh.Draw(dc, 0, 0, c.dw, c.dh);
        };
        double first = 0;
        {
            QElapsedTimer t;
            t.start();
            paint(true);
            first = double(t.nsecsElapsed()) / 1e6;
        }
        const double later = medianMs(repeats, [&] { paint(true); });
        const double nearest = medianMs(repeats, [&] { paint(false); });
        std::printf("| %s | %d x %d | %.1f | %.2f | %.2f |\n", c.name, c.dw, c.dh, first, later, nearest);
    }
    return 0;
}
