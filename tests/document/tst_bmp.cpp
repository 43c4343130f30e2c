#include <QBuffer>
#include <QTest>
#include <QtEndian>

#include "document/RasterImage.h"
#include "wmf/WmfDib.h"

// Bitmaps built byte by byte, one feature of the format each.
namespace {

void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& b, qint64 v)
{
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

struct Bmp {
    bool fileHeader = true;
    bool core = false;
    quint32 headerSize = 40;
    qint32 width = 1;
    qint32 height = 1;
    int bits = 24;
    quint32 compression = 0;
    quint32 sizeImage = 0;
    qint32 xPels = 0;
    qint32 yPels = 0;
    quint32 colorsUsed = 0;
    QByteArray afterHeader;  // bit-field masks, or the rest of a longer header
    QByteArray palette;
    QByteArray pixels;
    qint64 pixelOffset = -1;  // -1: right after the palette

    QByteArray build() const
    {
        QByteArray info;
        if (core) {
            put32(info, 12);
            put16(info, width);
            put16(info, height);
            put16(info, 1);
            put16(info, bits);
        } else {
            put32(info, headerSize);
            put32(info, width);
            put32(info, height);
            put16(info, 1);
            put16(info, bits);
            put32(info, compression);
            put32(info, sizeImage);
            put32(info, xPels);
            put32(info, yPels);
            put32(info, colorsUsed);
            put32(info, 0);
        }
        info += afterHeader + palette;
        QByteArray out;
        if (fileHeader) {
            const qint64 offset = pixelOffset >= 0 ? pixelOffset : 14 + info.size();
            out += "BM";
            put32(out, 14 + info.size() + pixels.size());
            put32(out, 0);
            put32(out, offset);
        }
        return out + info + pixels;
    }
};

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list) b.append(char(v));
    return b;
}

QByteArray grayPalette(int n, int entryBytes = 4)
{
    QByteArray p;
    for (int i = 0; i < n; ++i) {
        const char v = char(i * 255 / (n - 1));
        p.append(v).append(v).append(v);
        if (entryBytes == 4) p.append('\0');
    }
    return p;
}

// Palette whose entry i is (red i, green 0, blue 255 - i).
QByteArray rampPalette(int n)
{
    QByteArray p;
    for (int i = 0; i < n; ++i) p.append(char(255 - i)).append('\0').append(char(i)).append('\0');
    return p;
}

bool decode(const QByteArray& file, RasterImage& image)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return image.Load(buffer);
}

// Bytes that vary from pixel to pixel and row to row.
QByteArray pattern(int n, int seed)
{
    QByteArray b;
    for (int i = 0; i < n; ++i) b.append(char((i * 37 + seed * 101 + (i >> 3) * 11) & 0xFF));
    return b;
}

// Rows top-down as RGB.
using Picture = QList<QList<QRgb>>;

} // namespace

class TestBmp : public QObject {
    Q_OBJECT

private slots:
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("bits");
        QTest::addColumn<Picture>("picture");

        const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), W = qRgb(255, 255, 255),
                   K = qRgb(0, 0, 0);
        {
            Bmp b;
            b.width = 2;
            b.height = 2;
            b.pixels = bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255});
            QTest::newRow("24-bit, bottom row first") << b.build() << 24 << Picture{{B, K}, {R, G}};
            b.height = -2;
            QTest::newRow("24-bit top-down shows upright") << b.build() << 24 << Picture{{R, G}, {B, K}};
            b.height = 2;
            b.sizeImage = 0xFFFFFFF0u;
            b.pixels += QByteArray(64, char(0x55));
            QTest::newRow("image size field beyond the bitmap") << b.build() << 24 << Picture{{B, K}, {R, G}};
            b.sizeImage = 0;
            b.pixels = bytes({0, 0, 255, 0, 255, 0});
            QTest::newRow("short pixel data leaves zeros") << b.build() << 24 << Picture{{K, K}, {R, G}};
        }
        {
            Bmp b;
            b.fileHeader = false;
            b.width = 3;
            b.height = 1;
            b.bits = 8;
            b.palette = rampPalette(256);
            b.pixels = bytes({0, 128, 255, 0});
            QTest::newRow("headerless 8-bit")
                << b.build() << 8 << Picture{{qRgb(0, 0, 255), qRgb(128, 0, 127), qRgb(255, 0, 0)}};
        }
        {
            Bmp b;
            b.core = true;
            b.width = 3;
            b.height = 1;
            b.bits = 1;
            b.palette = bytes({10, 20, 30, 200, 150, 100});
            b.pixels = bytes({0xA0, 0, 0, 0});
            QTest::newRow("core header, 3-byte palette")
                << b.build() << 1 << Picture{{qRgb(100, 150, 200), qRgb(30, 20, 10), qRgb(100, 150, 200)}};
        }
        {
            Bmp b;
            b.width = 2;
            b.height = 1;
            b.bits = 8;
            b.colorsUsed = 16;
            b.palette = rampPalette(16);
            b.pixels = bytes({3, 15, 0, 0});
            QTest::newRow("8-bit, header says 16 colours")
                << b.build() << 8 << Picture{{qRgb(3, 0, 252), qRgb(15, 0, 240)}};
        }
        {
            Bmp b;
            b.headerSize = 108;
            b.afterHeader = QByteArray(68, char(0x77));
            b.width = 2;
            b.height = 1;
            b.bits = 8;
            b.palette = rampPalette(256);
            b.pixels = bytes({1, 254, 0, 0});
            QTest::newRow("108-byte header: palette after it")
                << b.build() << 8 << Picture{{qRgb(1, 0, 254), qRgb(254, 0, 1)}};
        }
        {
            Bmp b;
            b.width = 5;
            b.height = 1;
            b.bits = 4;
            b.palette = grayPalette(16);
            b.pixels = bytes({0x0F, 0x80, 0x30, 0});
            const QRgb g8 = qRgb(136, 136, 136), g3 = qRgb(51, 51, 51);
            QTest::newRow("4-bit") << b.build() << 4 << Picture{{K, W, g8, K, g3}};
        }
        {
            Bmp b;
            b.width = 4;
            b.height = 1;
            b.bits = 16;
            b.pixels = bytes({0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00});
            QTest::newRow("16-bit without masks is 5-5-5")
                << b.build() << 24
                << Picture{{W, R, G, B}};
            b.compression = 3;
            put32(b.afterHeader, 0xF800);
            put32(b.afterHeader, 0x07E0);
            put32(b.afterHeader, 0x001F);
            b.pixels = bytes({0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00});
            QTest::newRow("16-bit with masks F800 07E0 001F is 5-6-5")
                << b.build() << 24
                << Picture{{W, R, G, B}};
        }
        {
            Bmp b;
            b.width = 2;
            b.height = 1;
            b.bits = 32;
            b.pixels = bytes({10, 20, 30, 0x80, 40, 50, 60, 0xFF});
            QTest::newRow("32-bit drops the fourth byte")
                << b.build() << 24 << Picture{{qRgb(30, 20, 10), qRgb(60, 50, 40)}};
            b.compression = 3;
            put32(b.afterHeader, 0x000000FF);
            put32(b.afterHeader, 0x0000FF00);
            put32(b.afterHeader, 0x00FF0000);
            QTest::newRow("32-bit bit fields in red-first order")
                << b.build() << 24 << Picture{{qRgb(10, 20, 30), qRgb(40, 50, 60)}};
            b.afterHeader.clear();
            put32(b.afterHeader, 0x00FF0000);
            put32(b.afterHeader, 0x0000FF00);
            put32(b.afterHeader, 0);
            QTest::newRow("32-bit bit fields, empty blue mask")
                << b.build() << 24 << Picture{{qRgb(30, 20, 0), qRgb(60, 50, 0)}};
        }
        {
            Bmp b;
            b.width = 3;
            b.height = 2;
            b.bits = 8;
            b.compression = 1;
            b.palette = rampPalette(256);
            // A run past the right edge, then an absolute run of 3 (odd, so
            // padded), a delta past the last row and data that must not land.
            b.pixels = bytes({10, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 0, 5, 4, 9, 0, 1});
            QTest::newRow("RLE8 clipped at the edges")
                << b.build() << 8
                << Picture{{qRgb(1, 0, 254), qRgb(2, 0, 253), qRgb(3, 0, 252)},
                           {qRgb(7, 0, 248), qRgb(7, 0, 248), qRgb(7, 0, 248)}};
            b.pixels = bytes({0, 2, 1, 0, 2, 4, 0, 0, 3, 6, 0, 1});
            QTest::newRow("RLE8 delta skips pixels")
                << b.build() << 8
                << Picture{{qRgb(6, 0, 249), qRgb(6, 0, 249), qRgb(6, 0, 249)},
                           {qRgb(0, 0, 255), qRgb(4, 0, 251), qRgb(4, 0, 251)}};
        }
        {
            Bmp b;
            b.width = 6;
            b.height = 1;
            b.bits = 4;
            b.compression = 2;
            b.palette = grayPalette(16);
            auto g = [](int i) { return qRgb(i * 17, i * 17, i * 17); };
            // Absolute run of 3 takes 2 data bytes and no pad.
            b.pixels = bytes({0, 3, 0x12, 0x30, 3, 0x45, 0, 1});
            QTest::newRow("RLE4 absolute 3: no pad")
                << b.build() << 4 << Picture{{g(1), g(2), g(3), g(4), g(5), g(4)}};
            // Absolute run of 5 takes 3 data bytes and one pad.
            b.pixels = bytes({0, 5, 0x12, 0x34, 0x50, 0x00, 1, 0x66, 0, 1});
            QTest::newRow("RLE4 absolute 5: padded")
                << b.build() << 4 << Picture{{g(1), g(2), g(3), g(4), g(5), g(6)}};
        }
    }

    void decodes()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, bits);
        QFETCH(Picture, picture);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY2(decode(file, image), qPrintable(image.LastError()));
        QCOMPARE(image.BitsPerPixel(), bits);
        QCOMPARE(int(image.Height()), int(picture.size()));
        QCOMPARE(int(image.Width()), int(picture.first().size()));
        const QImage got = image.ToImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < picture.size(); ++y)
            for (int x = 0; x < picture[y].size(); ++x)
                QVERIFY2(got.pixel(x, y) == (picture[y][x] | 0xFF000000u),
                         qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(got.pixel(x, y), 8, 16)));
    }

    // A bitmap inside a metafile and the same bitmap as a headerless ".bmp"
    // file decode to the same pixels.
    void bothRoadsGiveTheSamePixels_data()
    {
        QTest::addColumn<QByteArray>("dib");
        auto rows = [](int bits, int width, int height) { return pattern((width * bits + 31) / 32 * 4 * height, bits); };
        auto add = [&](const char* name, Bmp b) {
            b.fileHeader = false;
            if (b.pixels.isEmpty()) b.pixels = rows(b.bits, b.width, std::abs(b.height));
            QTest::newRow(name) << b.build();
        };
        Bmp b;
        b.width = 7;
        b.height = 3;
        for (int bits : {1, 4, 8}) {
            b.bits = bits;
            b.palette = pattern(4 << bits, bits);
            add(qPrintable(QStringLiteral("%1-bit").arg(bits)), b);
        }
        b.colorsUsed = 5;
        b.palette = pattern(20, 5);
        add("8-bit, 5 colours, indices past them", b);
        b.colorsUsed = 0;
        b.core = true;
        b.palette = pattern(3 * 256, 3);
        add("8-bit core header", b);
        b.core = false;
        b.palette.clear();
        for (int bits : {16, 24, 32}) {
            b.bits = bits;
            add(qPrintable(QStringLiteral("%1-bit").arg(bits)), b);
        }
        b.height = -3;
        add("32-bit top-down", b);
        b.height = 3;
        b.compression = 3;
        struct Fields {
            const char* name;
            int bits;
            quint32 red, green, blue;
        };
        for (const Fields& f : {Fields{"16-bit 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
                                Fields{"16-bit 4-4-4", 16, 0x0F00, 0x00F0, 0x000F},
                                Fields{"16-bit 2-3-1", 16, 0xC000, 0x3800, 0x0400},
                                Fields{"32-bit 10-10-10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF},
                                Fields{"32-bit with an empty blue mask", 32, 0x00FF0000, 0x0000FF00, 0}}) {
            b.bits = f.bits;
            b.afterHeader.clear();
            put32(b.afterHeader, f.red);
            put32(b.afterHeader, f.green);
            put32(b.afterHeader, f.blue);
            add(f.name, b);
        }
        b = Bmp();
        b.width = 6;
        b.height = 2;
        b.bits = 8;
        b.compression = 1;
        b.palette = pattern(1024, 8);
        b.pixels = bytes({6, 200, 0, 0, 0, 3, 1, 2, 3, 0, 3, 40, 0, 1});
        add("RLE8", b);
        b.bits = 4;
        b.compression = 2;
        b.palette = pattern(64, 4);
        b.pixels = bytes({3, 0x12, 0, 3, 0x34, 0x50, 0, 0, 1, 0x70, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1});
        add("RLE4", b);
    }

    void bothRoadsGiveTheSamePixels()
    {
        QFETCH(QByteArray, dib);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY2(decode(dib, image), qPrintable(image.LastError()));
        const QImage file = image.ToImage().convertToFormat(QImage::Format_RGB32);
        const QImage metafile = wmf::decodeDib(reinterpret_cast<const uchar*>(dib.constData()), dib.size());
        QVERIFY(!metafile.isNull());
        QCOMPARE(metafile.size(), file.size());
        for (int y = 0; y < file.height(); ++y)
            for (int x = 0; x < file.width(); ++x)
                QVERIFY2(file.pixel(x, y) == metafile.pixel(x, y),
                         qPrintable(QStringLiteral("pixel %1,%2: %3 from the file, %4 from the metafile")
                                        .arg(x)
                                        .arg(y)
                                        .arg(file.pixel(x, y), 8, 16)
                                        .arg(metafile.pixel(x, y), 8, 16)));
    }

    void fails_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("shorter than a file header") << QByteArray("BM\x10\0\0\0", 6) << "Not a BMP";
        QTest::newRow("information header cut short") << QByteArray("BM").append(30, '\0') << "Error reading BMP info";
        Bmp b;
        b.compression = 1;
        QTest::newRow("24-bit with RLE") << b.build() << "unknown compression";
        b.bits = 32;
        QTest::newRow("32-bit with RLE") << b.build() << "unknown compression";
        b.bits = 8;
        b.compression = 3;
        QTest::newRow("8-bit with bit fields") << b.build() << "compression type not supported";
        b = Bmp();
        b.width = 0;
        QTest::newRow("zero width") << b.build() << "Can't allocate memory";
        b.width = -5;
        QTest::newRow("negative width") << b.build() << "Can't allocate memory";
        b.width = 1;
        b.height = 0;
        QTest::newRow("zero height") << b.build() << "Can't allocate memory";
        b.width = 100000;
        b.height = 100000;
        b.bits = 1;
        QTest::newRow("absurd pixel count") << b.build() << "Can't allocate memory";
        b.width = 30000;
        b.height = 30000;
        b.bits = 24;
        QTest::newRow("rows beyond 1 GiB") << b.build() << "Can't allocate memory";
        b.width = 0x7FFFFFFF;
        b.height = 1;
        b.bits = 0xFFFF;
        QTest::newRow("row size would overflow") << b.build() << "Can't allocate memory";
        b.height = int(0x80000000u);
        QTest::newRow("most negative height") << b.build() << "Can't allocate memory";
    }

    void fails()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(!decode(file, image));
        QCOMPARE(image.LastError(), error);
        QVERIFY(image.Block() == nullptr);
    }

    void resolution_data()
    {
        QTest::addColumn<int>("pelsPerMeter");
        QTest::addColumn<int>("dpi");
        QTest::newRow("2835") << 2835 << 72;
        QTest::newRow("3780") << 3780 << 96;
        QTest::newRow("11811") << 11811 << 300;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("negative counts as none") << -2835 << 0;
    }

    void resolution()
    {
        QFETCH(int, pelsPerMeter);
        QFETCH(int, dpi);
        Bmp b;
        b.xPels = pelsPerMeter;
        b.yPels = 2835;
        b.pixels = QByteArray(4, '\0');
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY(decode(b.build(), image));
        QCOMPARE(image.DpiX(), dpi);
        QCOMPARE(image.DpiY(), 72);
        // The bitmap's own header says the same.
        QCOMPARE(qFromLittleEndian<qint32>(image.Block() + 28), 2835);
    }
};

QTEST_GUILESS_MAIN(TestBmp)
#include "tst_bmp.moc"
