#include <QTest>

#include <array>

#include "document/TargetImage.h"

// The 100-byte header check of target documents.
class TestTargetHeader : public QObject {
    Q_OBJECT

    using Header = std::array<unsigned char, TARGET_HEADER_SIZE>;

    // A header whose text is n bytes of 'A', then the zero, then index k.
    static Header make(int n, int k)
    {
        Header h;
        h.fill('A');
        h[n] = 0;
        if (n + 1 < TARGET_HEADER_SIZE) h[n + 1] = static_cast<unsigned char>(k);
        return h;
    }

private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<bool>("program");
        QTest::addColumn<bool>("thumbnailer");

        auto add = [](const char* name, const Header& h, bool program, bool thumb) {
            QTest::newRow(name) << QByteArray(reinterpret_cast<const char*>(h.data()), h.size()) << program
                                << thumb;
        };
        {
            Header h = make(10, 3);
            h[3] = 0x1E;
            add("marker 1E in text", h, true, true);
            h[3] = 0x1F;
            add("marker 1F: program only", h, true, false);
            h[3] = 0x17;
            add("marker 17", h, true, true);
            h[3] = 0x16;
            add("marker 16", h, true, true);
            h[3] = 0x15;
            add("other byte", h, false, false);
        }
        {
            Header h;
            h.fill('A');
            add("no zero byte", h, false, false);
            h[99] = 0;
            add("first zero at 99", h, false, false);
        }
        {
            Header h = make(98, 5);  // index byte at offset 99
            h[5] = 0x1E;
            add("zero at 98, index at 99", h, true, true);
        }
        {
            Header h = make(10, 99);
            add("index 99", h, false, false);
            h[11] = 0x80;
            add("negative index", h, false, false);
            h[11] = 10;
            add("index at the terminating zero", h, false, false);
        }
        {
            Header h = make(0x1E - 1, 0x1E);  // n = 29: index byte at 30 holds 30
            add("index pointing at itself, n 29", h, true, true);
            Header g = make(20, 21);  // index byte at 21 holds 21, not a marker
            add("index pointing at itself, not a marker", g, false, false);
            Header f = make(21, 0x16);  // n = 21, index at 22 holds 22 (0x16)
            add("index pointing at itself, n 21", f, true, true);
        }
        {
            Header h = make(4, 1);
            h[1] = 0x1E;
            QByteArray shortHeader(reinterpret_cast<const char*>(h.data()), 60);
            QTest::newRow("shorter than 100 bytes") << shortHeader << false << false;
        }
    }

    void check()
    {
        QFETCH(QByteArray, header);
        QFETCH(bool, program);
        QFETCH(bool, thumbnailer);
        const auto* bytes = reinterpret_cast<const unsigned char*>(header.constData());
        QCOMPARE(CheckTargetHeader(bytes, header.size(), true), program);
        QCOMPARE(CheckTargetHeader(bytes, header.size(), false), thumbnailer);
    }

    void classifyRasterExtension()
    {
        QCOMPARE(TargetImage::ClassifyRasterExtension(".bmp"), 0);
        QCOMPARE(TargetImage::ClassifyRasterExtension(".BmP"), 0);
        QCOMPARE(TargetImage::ClassifyRasterExtension(".jpg"), 1);
        QCOMPARE(TargetImage::ClassifyRasterExtension(".JPEG"), 1);
        QCOMPARE(TargetImage::ClassifyRasterExtension(".jpe"), -1);
        QCOMPARE(TargetImage::ClassifyRasterExtension(".tif"), -1);
        QCOMPARE(TargetImage::ClassifyRasterExtension(""), -1);
    }
};

QTEST_GUILESS_MAIN(TestTargetHeader)
#include "tst_targetheader.moc"
