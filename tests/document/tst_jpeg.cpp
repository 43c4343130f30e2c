#include <QBuffer>
#include <QTest>

#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "document/RasterImage.h"

// JPEGs written here with libjpeg, so colour space, density and length are
// exactly what each case needs.
namespace {

struct EncodeParams {
    int width = 16;
    int height = 16;
    int components = 3;  // 1 grey, 3 colour, 4 Adobe CMYK
    int densityUnit = 0;
    int densityX = 1;
    int densityY = 1;
    std::vector<uchar> pixel;  // one pixel's samples, repeated over the image
};

QByteArray encode(const EncodeParams& s)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(s.width);
    c.image_height = JDIMENSION(s.height);
    c.input_components = s.components;
    c.in_color_space = s.components == 1 ? JCS_GRAYSCALE : s.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    c.density_unit = UINT8(s.densityUnit);
    c.X_density = UINT16(s.densityX);
    c.Y_density = UINT16(s.densityY);
    jpeg_start_compress(&c, TRUE);
    std::vector<uchar> row(std::size_t(s.width) * s.components);
    for (int x = 0; x < s.width; ++x)
        for (int k = 0; k < s.components; ++k) row[std::size_t(x * s.components + k)] = s.pixel[std::size_t(k)];
    JSAMPROW rows[1] = {row.data()};
    while (c.next_scanline < c.image_height) jpeg_write_scanlines(&c, rows, 1);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray data(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return data;
}

bool decode(const QByteArray& data, RasterImage& image)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return image.Load(buffer);
}

} // namespace

class TestJpeg : public QObject {
    Q_OBJECT

private slots:
    // Flat images survive quality 100 exactly, so the samples can be checked.
    void colourSpaces_data()
    {
        QTest::addColumn<int>("components");
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QList<int>>("bgr");
        QTest::newRow("grey") << 1 << QList<int>{77} << 8 << QList<int>{77};
        QTest::newRow("colour in blue-green-red order") << 3 << QList<int>{200, 100, 40} << 24
                                                        << QList<int>{40, 100, 200};
        // Inverted CMYK: blue = k * y / 255, green = k * m / 255, red = k * c / 255.
        QTest::newRow("Adobe CMYK") << 4 << QList<int>{200, 100, 50, 128} << 24
                                    << QList<int>{128 * 50 / 255, 128 * 100 / 255, 128 * 200 / 255};
    }

    void colourSpaces()
    {
        QFETCH(int, components);
        QFETCH(QList<int>, samples);
        QFETCH(int, bits);
        QFETCH(QList<int>, bgr);
        EncodeParams s;
        s.components = components;
        for (int v : samples) s.pixel.push_back(uchar(v));
        RasterImage image(RasterImage::TYPE_JPEG);
        QVERIFY2(decode(encode(s), image), qPrintable(image.LastError()));
        QCOMPARE(image.BitsPerPixel(), bits);
        QCOMPARE(image.Width(), 16u);
        QCOMPARE(image.Height(), 16u);
        const int bytes = bits / 8;
        for (quint32 y : {0u, 7u, 15u}) {
            for (int x : {0, 9, 15}) {
                for (int k = 0; k < bytes; ++k)
                    QCOMPARE(int(image.Row(y)[x * bytes + k]), bgr[k]);
            }
        }
        if (bits == 8) {
            QCOMPARE(image.PaletteSize(), 256);
            const uchar* pal = image.Palette();
            for (int i : {0, 1, 128, 255}) {
                QCOMPARE(int(pal[4 * i]), i);
                QCOMPARE(int(pal[4 * i + 1]), i);
                QCOMPARE(int(pal[4 * i + 2]), i);
            }
        } else {
            QCOMPARE(image.PaletteSize(), 0);
        }
    }

    void density_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::newRow("no density (1 by 1, no unit)") << 0 << 1 << 1 << 96 << 96;
        QTest::newRow("300 dots per inch") << 1 << 300 << 300 << 300 << 300;
        QTest::newRow("0 counts as none") << 1 << 0 << 150 << 96 << 150;
        QTest::newRow("dots per centimetre become per inch") << 2 << 118 << 40 << 299 << 101;
        QTest::newRow("no unit: 2 to 1 is an aspect ratio") << 0 << 2 << 1 << 96 << 96;
        QTest::newRow("no unit: 300 by 300 is no resolution") << 0 << 300 << 300 << 96 << 96;
    }

    void density()
    {
        QFETCH(int, unit);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        EncodeParams s;
        s.pixel = {10, 20, 30};
        s.densityUnit = unit;
        s.densityX = x;
        s.densityY = y;
        RasterImage image(RasterImage::TYPE_JPEG);
        QVERIFY(decode(encode(s), image));
        QCOMPARE(image.DpiX(), dpiX);
        QCOMPARE(image.DpiY(), dpiY);
    }

    // Cut after the header and part of the scan: libjpeg warns, we supply
    // the end-of-image marker, and what remains of the picture is grey.
    void truncatedFileDecodes()
    {
        EncodeParams s;
        s.width = 64;
        s.height = 256;
        s.pixel = {250, 10, 10};
        const QByteArray whole = encode(s);
        RasterImage image(RasterImage::TYPE_JPEG);
        const qsizetype scan = whole.lastIndexOf(QByteArray("\xFF\xDA", 2));
        QVERIFY(scan > 0);
        QVERIFY2(decode(whole.left(scan + (whole.size() - scan) / 3), image), qPrintable(image.LastError()));
        QCOMPARE(image.Width(), 64u);
        QCOMPARE(image.Height(), 256u);
        // The top row came from real data; the bottom row from none.
        const uchar* top = image.Row(255);
        QVERIFY(top[2] > 200 && top[1] < 40);
        const uchar* bottom = image.Row(0);
        QVERIFY(std::abs(bottom[2] - bottom[1]) < 10);
    }

    void fails_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "Empty input file";
        QTest::newRow("a bitmap") << QByteArray("BM\x36\0\0\0", 6) << "Not a JPEG file: starts with 0x42 0x4d";
        EncodeParams s;
        s.pixel = {1, 2, 3};
        const QByteArray good = encode(s);
        QTest::newRow("header only") << good.left(20) << "JPEG datastream contains no image";
    }

    // libjpeg's fatal errors come back as a failed load, however many.
    void fails()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        for (int i = 0; i < 3; ++i) {
            RasterImage image(RasterImage::TYPE_JPEG);
            QVERIFY(!decode(data, image));
            QCOMPARE(image.LastError(), error);
            QVERIFY(image.Block() == nullptr);
        }
    }
};

QTEST_GUILESS_MAIN(TestJpeg)
#include "tst_jpeg.moc"
