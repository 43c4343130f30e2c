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

    // Good files and the picture each must give, exactly: bit fields of any
    // width included, which are scaled to the full 0 to 255 range.
    struct Good {
        const char* file;
        const char* ref;
    };
    static const QList<Good>& goods()
    {
        static const QList<Good> list = {
            {"bmpsuite/g/pal1.bmp", "bmpsuite/refs/pal1.png"},
            {"bmpsuite/g/pal1wb.bmp", "bmpsuite/refs/pal1.png"},
            {"bmpsuite/g/pal1bg.bmp", "bmpsuite/refs/pal1bg.png"},
            {"bmpsuite/g/pal4.bmp", "bmpsuite/refs/pal4.png"},
            {"bmpsuite/g/pal4gs.bmp", "bmpsuite/refs/pal4gs.png"},
            {"bmpsuite/g/pal4rle.bmp", "bmpsuite/refs/pal4.png"},
            {"bmpsuite/g/pal8.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8-0.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8gs.bmp", "bmpsuite/refs/pal8gs.png"},
            {"bmpsuite/g/pal8rle.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8w126.bmp", "bmpsuite/refs/pal8w126.png"},
            {"bmpsuite/g/pal8w125.bmp", "bmpsuite/refs/pal8w125.png"},
            {"bmpsuite/g/pal8w124.bmp", "bmpsuite/refs/pal8w124.png"},
            {"bmpsuite/g/pal8topdown.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8nonsquare.bmp", "bmpsuite/refs/pal8nonsquare-e.png"},
            {"bmpsuite/g/pal8os2.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8v4.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/pal8v5.bmp", "bmpsuite/refs/pal8.png"},
            {"bmpsuite/g/rgb16.bmp", "bmpsuite/refs/rgb16.png"},
            {"bmpsuite/g/rgb16bfdef.bmp", "bmpsuite/refs/rgb16.png"},
            {"bmpsuite/g/rgb16-565.bmp", "bmpsuite/refs/rgb16-565.png"},
            {"bmpsuite/g/rgb16-565pal.bmp", "bmpsuite/refs/rgb16-565.png"},
            {"bmpsuite/q/rgb16-231.bmp", "bmpsuite/refs/rgb16-231.png"},
            {"bmpsuite/q/rgb16-3103.bmp", "bmpsuite/refs/rgb16-3103.png"},
            {"bmpsuite/q/rgb32-7187.bmp", "bmpsuite/refs/rgb32-7187.png"},
            {"bmpsuite/g/rgb24.bmp", "bmpsuite/refs/rgb24.png"},
            {"bmpsuite/g/rgb24pal.bmp", "bmpsuite/refs/rgb24.png"},
            {"bmpsuite/g/rgb32.bmp", "bmpsuite/refs/rgb24.png"},
            {"bmpsuite/g/rgb32bfdef.bmp", "bmpsuite/refs/rgb24.png"},
            {"bmpsuite/g/rgb32bf.bmp", "bmpsuite/refs/rgb24.png"},
            {"image-rs/Core_1_Bit.bmp", "image-rs/refs/Core_1_Bit.bmp.png"},
            {"image-rs/Core_4_Bit.bmp", "image-rs/refs/Core_4_Bit.bmp.png"},
            {"image-rs/Core_8_Bit.bmp", "image-rs/refs/Core_8_Bit.bmp.png"},
            {"image-rs/Info_1_Bit.bmp", "image-rs/refs/Info_1_Bit.bmp.png"},
            {"image-rs/Info_1_Bit_Top_Down.bmp", "image-rs/refs/Info_1_Bit_Top_Down.bmp.png"},
            {"image-rs/Info_4_Bit.bmp", "image-rs/refs/Info_4_Bit.bmp.png"},
            {"image-rs/Info_4_Bit_Top_Down.bmp", "image-rs/refs/Info_4_Bit_Top_Down.bmp.png"},
            {"image-rs/Info_8_Bit.bmp", "image-rs/refs/Info_8_Bit.bmp.png"},
            {"image-rs/Info_8_Bit_Top_Down.bmp", "image-rs/refs/Info_8_Bit_Top_Down.bmp.png"},
            {"image-rs/Info_A8_R8_G8_B8.bmp", "image-rs/refs/Info_A8_R8_G8_B8.bmp.png"},
            {"image-rs/Info_A8_R8_G8_B8_Top_Down.bmp", "image-rs/refs/Info_A8_R8_G8_B8_Top_Down.bmp.png"},
            {"image-rs/Info_R8_G8_B8.bmp", "image-rs/refs/Info_R8_G8_B8.bmp.png"},
            {"image-rs/Info_R8_G8_B8_Top_Down.bmp", "image-rs/refs/Info_R8_G8_B8_Top_Down.bmp.png"},
            {"image-rs/Info_X1_R5_G5_B5.bmp", "image-rs/refs/Info_X1_R5_G5_B5.bmp.png"},
            {"image-rs/Info_X1_R5_G5_B5_Top_Down.bmp", "image-rs/refs/Info_X1_R5_G5_B5_Top_Down.bmp.png"},
            {"image-rs/V3_A1_R5_G5_B5.bmp", "image-rs/refs/V3_A1_R5_G5_B5.bmp.png"},
            {"image-rs/V3_A1_R5_G5_B5_Top_Down.bmp", "image-rs/refs/V3_A1_R5_G5_B5_Top_Down.bmp.png"},
            {"image-rs/V3_A4_R4_G4_B4.bmp", "image-rs/refs/V3_A4_R4_G4_B4.bmp.png"},
            {"image-rs/V3_A4_R4_G4_B4_Top_Down.bmp", "image-rs/refs/V3_A4_R4_G4_B4_Top_Down.bmp.png"},
            {"image-rs/V3_R5_G6_B5.bmp", "image-rs/refs/V3_R5_G6_B5.bmp.png"},
            {"image-rs/V3_R5_G6_B5_Top_Down.bmp", "image-rs/refs/V3_R5_G6_B5_Top_Down.bmp.png"},
            {"image-rs/V3_X4_R4_G4_B4.bmp", "image-rs/refs/V3_X4_R4_G4_B4.bmp.png"},
            {"image-rs/V3_X4_R4_G4_B4_Top_Down.bmp", "image-rs/refs/V3_X4_R4_G4_B4_Top_Down.bmp.png"},
            {"image-rs/V3_X8_R8_G8_B8.bmp", "image-rs/refs/V3_X8_R8_G8_B8.bmp.png"},
            {"image-rs/V3_X8_R8_G8_B8_Top_Down.bmp", "image-rs/refs/V3_X8_R8_G8_B8_Top_Down.bmp.png"},
            {"image-rs/V4_24_Bit.bmp", "image-rs/refs/V4_24_Bit.bmp.png"},
            {"image-rs/V4_A8_R8_G8_B8.bmp", "image-rs/refs/V4_A8_R8_G8_B8.bmp.png"},
            {"image-rs/V4_R5_G6_B5.bmp", "image-rs/refs/V4_R5_G6_B5.bmp.png"},
            {"image-rs/V5_24_Bit.bmp", "image-rs/refs/V5_24_Bit.bmp.png"},
            {"image-rs/V5_A1_R5_G5_B5.bmp", "image-rs/refs/V5_A1_R5_G5_B5.bmp.png"},
            {"image-rs/V5_A8_R8_G8_B8_Rgb.bmp", "image-rs/refs/V5_A8_R8_G8_B8_Rgb.bmp.png"},
            {"pillow/clipboard.dib", "pillow/refs/clipboard_target.png"},
            {"pillow/hopper.bmp", "pillow/refs/hopper.png"},
        };
        return list;
    }

    // The pixels that differ in any colour channel (alpha is not ours to
    // keep), or -1 when the sizes differ.
    static qint64 mismatches(const QImage& ours, const QImage& reference, int* worst)
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
                if (d > 0) ++bad;
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
        for (const Good& g : goods())
            QTest::newRow(g.file) << QString::fromLatin1(g.file) << QString::fromLatin1(g.ref);
    }

    void goodMatchesReference()
    {
        QFETCH(QString, file);
        QFETCH(QString, ref);
        RasterImage image(RasterImage::TYPE_BMP);
        QVERIFY2(image.Load(m_root + '/' + file), qPrintable(image.LastError()));
        const QImage reference(m_root + '/' + ref);
        QVERIFY(!reference.isNull());
        int worst = 0;
        const qint64 bad = mismatches(image.ToImage(), reference, &worst);
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
