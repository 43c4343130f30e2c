// Decode time per megapixel of raster targets: an uncompressed 24-bit BMP,
// and a baseline JPEG beside libjpeg decoding into a block of the same size
// (the floor Load is measured against), a bare libjpeg loop and libjpeg's own
// djpeg on the same file in the same run.
//
//   build/bench/bench_raster [width height [repeats]]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "BenchTiming.h"
#include "document/RasterImage.h"

namespace {

// A photograph-like picture: smooth gradients with some noise.
std::vector<uchar> makePicture(int w, int h)
{
    std::vector<uchar> rgb(std::size_t(w) * h * 3);
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uchar* p = &rgb[(std::size_t(y) * w + x) * 3];
            p[0] = uchar(std::clamp(x * 255 / w + noise(rng), 0, 255));
            p[1] = uchar(std::clamp(y * 255 / h + noise(rng), 0, 255));
            p[2] = uchar(std::clamp((x + y) * 255 / (w + h) + noise(rng), 0, 255));
        }
    }
    return rgb;
}

QByteArray makeBmp(const std::vector<uchar>& rgb, int w, int h)
{
    const int row = (w * 3 + 3) / 4 * 4;
    QByteArray b(54 + qsizetype(row) * h, '\0');
    uchar* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(h, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    for (int y = 0; y < h; ++y) {
        uchar* dst = p + 54 + std::size_t(h - 1 - y) * row;
        const uchar* src = &rgb[std::size_t(y) * w * 3];
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return b;
}

QByteArray makeJpeg(const std::vector<uchar>& rgb, int w, int h)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uchar*>(&rgb[std::size_t(c.next_scanline) * w * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray data(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return data;
}

// libjpeg with nothing of ours around it: the same file, default
// parameters. Into one reused row; or, for the floor that RasterImage::Load
// is measured against, into a fresh block of the bitmap's size (rows padded
// to four bytes), allocated and freed as a bitmap would be.
void bareLibjpeg(const QString& path, bool intoBlock)
{
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!f) return;
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_stdio_src(&d, f);
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    const std::size_t rowBytes = (std::size_t(d.output_width) * d.output_components + 3) / 4 * 4;
    const std::size_t bytes = intoBlock ? rowBytes * d.output_height : rowBytes;
    uchar* out = static_cast<uchar*>(std::malloc(bytes));
    if (!out) std::abort();
    while (d.output_scanline < d.output_height) {
        JSAMPROW r = intoBlock ? out + rowBytes * d.output_scanline : out;
        jpeg_read_scanlines(&d, &r, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::fclose(f);
    std::free(out);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int w = argc > 2 ? std::atoi(argv[1]) : 4000;
    const int h = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 9;
    const double mp = double(w) * h / 1e6;

    QTemporaryDir dir;
    const std::vector<uchar> rgb = makePicture(w, h);
    const QString bmpPath = dir.filePath("bench.bmp");
    const QString jpgPath = dir.filePath("bench.jpg");
    {
        QFile f(bmpPath);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(makeBmp(rgb, w, h));
    }
    qint64 jpegBytes = 0;
    {
        QFile f(jpgPath);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        jpegBytes = f.write(makeJpeg(rgb, w, h));
    }

    std::printf("picture %d x %d (%.1f MP), median of %d runs; JPEG baseline 4:2:0 q90, %lld bytes\n\n", w, h, mp,
                repeats, static_cast<long long>(jpegBytes));
    std::printf("| what | ms | ms per MP |\n|---|---:|---:|\n");

    auto report = [&](const char* what, double ms) { std::printf("| %s | %.1f | %.2f |\n", what, ms, ms / mp); };

    report("BMP 24-bit, RasterImage::Load", medianMs(repeats, [&] {
               RasterImage image(RasterImage::TYPE_BMP);
               if (!image.Load(bmpPath)) std::abort();
           }));
    const double loadMs = medianMs(repeats, [&] {
        RasterImage image(RasterImage::TYPE_JPEG);
        if (!image.Load(jpgPath)) std::abort();
    });
    report("JPEG, RasterImage::Load", loadMs);
    const double floorMs = medianMs(repeats, [&] { bareLibjpeg(jpgPath, true); });
    report("JPEG, libjpeg into a block of the bitmap's size (the floor)", floorMs);
    report("JPEG, bare libjpeg loop into one row", medianMs(repeats, [&] { bareLibjpeg(jpgPath, false); }));

    const QString djpeg = QStandardPaths::findExecutable("djpeg");
    if (!djpeg.isEmpty()) {
        report("JPEG, djpeg -outfile /dev/null (process included)", medianMs(repeats, [&] {
                   QProcess p;
                   p.start(djpeg, {"-outfile", "/dev/null", jpgPath});
                   p.waitForFinished(-1);
               }));
    } else {
        std::printf("| djpeg not installed | | |\n");
    }
    std::printf("\nJPEG Load / floor: %.2f\n", loadMs / floorMs);
    return 0;
}
