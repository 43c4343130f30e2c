#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>

#include "document/RasterImage.h"
#include "CorpusPath.h"

// Third-party bitmaps: the good ones must decode to their reference
// pictures, every other one must decode or fail with one of our texts.
class TestBmpCorpus : public QObject {
    Q_OBJECT

    QString m_root;

    // Good files and the picture each must give; tolerance is the largest
    // difference allowed per channel, for 16-bit files whose narrow channels
    // we widen with the low bits zero where the references replicate them.
    struct Good {
        const char* file;
        const char* ref;
        int tolerance;
    };
    static const QList<Good>& goods()
    {
        static const QList<Good> list = {
            {"bmpsuite/g/pal1.bmp", "bmpsuite/refs/pal1.png", 0},
            {"bmpsuite/g/pal1wb.bmp", "bmpsuite/refs/pal1.png", 0},
            {"bmpsuite/g/pal1bg.bmp", "bmpsuite/refs/pal1bg.png", 0},
            {"bmpsuite/g/pal4.bmp", "bmpsuite/refs/pal4.png", 0},
            {"bmpsuite/g/pal4gs.bmp", "bmpsuite/refs/pal4gs.png", 0},
            {"bmpsuite/g/pal4rle.bmp", "bmpsuite/refs/pal4.png", 0},
            {"bmpsuite/g/pal8.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8-0.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8gs.bmp", "bmpsuite/refs/pal8gs.png", 0},
            {"bmpsuite/g/pal8rle.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8w126.bmp", "bmpsuite/refs/pal8w126.png", 0},
            {"bmpsuite/g/pal8w125.bmp", "bmpsuite/refs/pal8w125.png", 0},
            {"bmpsuite/g/pal8w124.bmp", "bmpsuite/refs/pal8w124.png", 0},
            {"bmpsuite/g/pal8topdown.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8nonsquare.bmp", "bmpsuite/refs/pal8nonsquare-e.png", 0},
            {"bmpsuite/g/pal8os2.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8v4.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/pal8v5.bmp", "bmpsuite/refs/pal8.png", 0},
            {"bmpsuite/g/rgb16.bmp", "bmpsuite/refs/rgb16.png", 7},
            {"bmpsuite/g/rgb16bfdef.bmp", "bmpsuite/refs/rgb16.png", 7},
            {"bmpsuite/g/rgb16-565.bmp", "bmpsuite/refs/rgb16-565.png", 7},
            {"bmpsuite/g/rgb16-565pal.bmp", "bmpsuite/refs/rgb16-565.png", 7},
            {"bmpsuite/g/rgb24.bmp", "bmpsuite/refs/rgb24.png", 0},
            {"bmpsuite/g/rgb24pal.bmp", "bmpsuite/refs/rgb24.png", 0},
            {"bmpsuite/g/rgb32.bmp", "bmpsuite/refs/rgb24.png", 0},
            {"bmpsuite/g/rgb32bfdef.bmp", "bmpsuite/refs/rgb24.png", 0},
            {"bmpsuite/g/rgb32bf.bmp", "bmpsuite/refs/rgb24.png", 0},
            {"image-rs/Core_1_Bit.bmp", "image-rs/refs/Core_1_Bit.bmp.png", 0},
            {"image-rs/Core_4_Bit.bmp", "image-rs/refs/Core_4_Bit.bmp.png", 0},
            {"image-rs/Core_8_Bit.bmp", "image-rs/refs/Core_8_Bit.bmp.png", 0},
            {"image-rs/Info_1_Bit.bmp", "image-rs/refs/Info_1_Bit.bmp.png", 0},
            {"image-rs/Info_1_Bit_Top_Down.bmp", "image-rs/refs/Info_1_Bit_Top_Down.bmp.png", 0},
            {"image-rs/Info_4_Bit.bmp", "image-rs/refs/Info_4_Bit.bmp.png", 0},
            {"image-rs/Info_4_Bit_Top_Down.bmp", "image-rs/refs/Info_4_Bit_Top_Down.bmp.png", 0},
            {"image-rs/Info_8_Bit.bmp", "image-rs/refs/Info_8_Bit.bmp.png", 0},
            {"image-rs/Info_8_Bit_Top_Down.bmp", "image-rs/refs/Info_8_Bit_Top_Down.bmp.png", 0},
            {"image-rs/Info_A8_R8_G8_B8.bmp", "image-rs/refs/Info_A8_R8_G8_B8.bmp.png", 0},
            {"image-rs/Info_A8_R8_G8_B8_Top_Down.bmp", "image-rs/refs/Info_A8_R8_G8_B8_Top_Down.bmp.png", 0},
            {"image-rs/Info_R8_G8_B8.bmp", "image-rs/refs/Info_R8_G8_B8.bmp.png", 0},
            {"image-rs/Info_R8_G8_B8_Top_Down.bmp", "image-rs/refs/Info_R8_G8_B8_Top_Down.bmp.png", 0},
            {"image-rs/Info_X1_R5_G5_B5.bmp", "image-rs/refs/Info_X1_R5_G5_B5.bmp.png", 7},
            {"image-rs/Info_X1_R5_G5_B5_Top_Down.bmp", "image-rs/refs/Info_X1_R5_G5_B5_Top_Down.bmp.png", 7},
            {"image-rs/V3_A1_R5_G5_B5.bmp", "image-rs/refs/V3_A1_R5_G5_B5.bmp.png", 7},
            {"image-rs/V3_A1_R5_G5_B5_Top_Down.bmp", "image-rs/refs/V3_A1_R5_G5_B5_Top_Down.bmp.png", 7},
            {"image-rs/V3_A4_R4_G4_B4.bmp", "image-rs/refs/V3_A4_R4_G4_B4.bmp.png", 15},
            {"image-rs/V3_A4_R4_G4_B4_Top_Down.bmp", "image-rs/refs/V3_A4_R4_G4_B4_Top_Down.bmp.png", 15},
            {"image-rs/V3_R5_G6_B5.bmp", "image-rs/refs/V3_R5_G6_B5.bmp.png", 7},
            {"image-rs/V3_R5_G6_B5_Top_Down.bmp", "image-rs/refs/V3_R5_G6_B5_Top_Down.bmp.png", 7},
            {"image-rs/V3_X4_R4_G4_B4.bmp", "image-rs/refs/V3_X4_R4_G4_B4.bmp.png", 15},
            {"image-rs/V3_X4_R4_G4_B4_Top_Down.bmp", "image-rs/refs/V3_X4_R4_G4_B4_Top_Down.bmp.png", 15},
            {"image-rs/V3_X8_R8_G8_B8.bmp", "image-rs/refs/V3_X8_R8_G8_B8.bmp.png", 0},
            {"image-rs/V3_X8_R8_G8_B8_Top_Down.bmp", "image-rs/refs/V3_X8_R8_G8_B8_Top_Down.bmp.png", 0},
            {"image-rs/V4_24_Bit.bmp", "image-rs/refs/V4_24_Bit.bmp.png", 0},
            {"image-rs/V4_A8_R8_G8_B8.bmp", "image-rs/refs/V4_A8_R8_G8_B8.bmp.png", 0},
            {"image-rs/V4_R5_G6_B5.bmp", "image-rs/refs/V4_R5_G6_B5.bmp.png", 7},
            {"image-rs/V5_24_Bit.bmp", "image-rs/refs/V5_24_Bit.bmp.png", 0},
            {"image-rs/V5_A1_R5_G5_B5.bmp", "image-rs/refs/V5_A1_R5_G5_B5.bmp.png", 7},
            {"image-rs/V5_A8_R8_G8_B8_Rgb.bmp", "image-rs/refs/V5_A8_R8_G8_B8_Rgb.bmp.png", 0},
            {"pillow/clipboard.dib", "pillow/refs/clipboard_target.png", 0},
            {"pillow/hopper.bmp", "pillow/refs/hopper.png", 0},
        };
        return list;
    }

    // The pixels that differ by more than tolerance in any colour channel
    // (alpha is not ours to keep), or -1 when the sizes differ.
    static qint64 mismatches(const QImage& ours, const QImage& reference, int tolerance, int* worst)
    {
        const QImage a = ours.convertToFormat(QImage::Format_ARGB32);
        const QImage b = reference.convertToFormat(QImage::Format_ARGB32);
        if (a.size() != b.size()) return -1;
        qint64 bad = 0;
        *worst = 0;
        for (int y = 0; y < a.height(); ++y) {
            const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
            const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
            for (int x = 0; x < a.width(); ++x) {
                const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                        std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
                *worst = std::max(*worst, d);
                if (d > tolerance) ++bad;
            }
        }
        return bad;
    }

    static const QSet<QString>& errorTexts()
    {
        static const QSet<QString> texts = {
            "Not a BMP", "Error reading BMP info", "Can't allocate memory", "compression type not supported",
            "unknown compression", "can't allocate memory",
        };
        return texts;
    }

private slots:
    void initTestCase()
    {
        m_root = corpusPath(QStringLiteral("bmp"));
        SKIP_WITHOUT_CORPUS(m_root);
    }

    void goodMatchesReference_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ref");
        QTest::addColumn<int>("tolerance");
        for (const Good& g : goods())
            QTest::newRow(g.file) << QString::fromLatin1(g.file) << QString::fromLatin1(g.ref) << g.tolerance;
    }

    void goodMatchesReference()
    {
        QFETCH(QString, file);
        QFETCH(QString, ref);
        QFETCH(int, tolerance);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY2(image.Load(m_root + '/' + file), qPrintable(image.LastError()));
        const QImage reference(m_root + '/' + ref);
        QVERIFY(!reference.isNull());
        int worst = 0;
        const qint64 bad = mismatches(image.ToImage(), reference, tolerance, &worst);
        QVERIFY2(bad == 0, qPrintable(QStringLiteral("%1 pixels differ, by up to %2").arg(bad).arg(worst)));
    }

    // Everything else, questionable and bad files included: decoded, or
    // refused with one of our texts; never a crash, a hang or a stray read
    // (run under AddressSanitizer to see the last).
    void othersDecodeOrFailCleanly_data()
    {
        QTest::addColumn<QString>("file");
        QSet<QString> good;
        for (const Good& g : goods()) good.insert(QString::fromLatin1(g.file));
        QDirIterator it(m_root, QDir::Files, QDirIterator::Subdirectories);
        QStringList files;
        while (it.hasNext()) {
            const QString path = it.next();
            const QString rel = QDir(m_root).relativeFilePath(path);
            if (rel.contains("/refs/") || good.contains(rel)) continue;
            const QString lower = rel.toLower();
            if (lower.endsWith(".bmp") || lower.endsWith(".dib") || lower.endsWith(".bmp24")) files << rel;
        }
        files.sort();
        for (const QString& f : files) QTest::newRow(qPrintable(f)) << f;
    }

    void othersDecodeOrFailCleanly()
    {
        QFETCH(QString, file);
        RasterImage image(RasterImage::TYPE_BMP);
        const bool ok = image.Load(m_root + '/' + file);
        if (ok) {
            QVERIFY(image.Width() > 0 && image.Height() > 0);
            QVERIFY(image.Block() != nullptr);
            const quint64 expected = 40 + 4 * quint64(image.PaletteSize())
                                     + quint64(image.EffectiveWidth()) * image.Height();
            QCOMPARE(quint64(image.BlockSize()), expected);
            qInfo("decoded %s: %ux%u, %d bits", qPrintable(file), image.Width(), image.Height(),
                  image.BitsPerPixel());
        } else {
            QVERIFY2(errorTexts().contains(image.LastError()), qPrintable(image.LastError()));
            QVERIFY(image.Block() == nullptr);
            qInfo("refused %s: %s", qPrintable(file), qPrintable(image.LastError()));
        }
    }
};

QTEST_GUILESS_MAIN(TestBmpCorpus)
#include "tst_bmpcorpus.moc"
