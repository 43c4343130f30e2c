#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "document/RasterImage.h"
#include "CorpusPath.h"

// Third-party JPEGs against libjpeg's own djpeg on the same files: where
// djpeg writes a picture we must hold exactly its pixels (in blue, green, red
// order); where it gives up we must fail with its message, never crash.
class TestJpegCorpus : public QObject {
    Q_OBJECT

    QString m_root;
    QString m_djpeg;
    QTemporaryDir m_tmp;

    struct Pnm {
        int channels = 0;
        int width = 0;
        int height = 0;
        QByteArray pixels;
    };

    static bool parsePnm(const QByteArray& data, Pnm* out)
    {
        if (data.size() < 2 || data[0] != 'P' || (data[1] != '5' && data[1] != '6')) return false;
        out->channels = data[1] == '5' ? 1 : 3;
        qsizetype pos = 2;
        int values[3];
        for (int& v : values) {
            while (pos < data.size() && (std::isspace(uchar(data[pos])) || data[pos] == '#')) {
                if (data[pos] == '#')
                    while (pos < data.size() && data[pos] != '\n') ++pos;
                else ++pos;
            }
            v = 0;
            while (pos < data.size() && std::isdigit(uchar(data[pos]))) v = v * 10 + (data[pos++] - '0');
        }
        ++pos;  // the single whitespace before the pixels
        out->width = values[0];
        out->height = values[1];
        out->pixels = data.mid(pos);
        return values[2] == 255 && out->pixels.size() == qsizetype(out->width) * out->height * out->channels;
    }

    // djpeg's picture, or its last complaint as the error.
    bool runDjpeg(const QString& file, Pnm* pnm, QString* error)
    {
        const QString outPath = m_tmp.filePath("out.pnm");
        QFile::remove(outPath);
        QProcess p;
        p.start(m_djpeg, {"-pnm", "-outfile", outPath, file});
        p.waitForFinished(60000);
        const QStringList lines = QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        *error = lines.isEmpty() ? QString() : lines.last().trimmed();
        // Exit status 2 means it warned (a truncated file, stray bytes) but
        // wrote the picture.
        if (p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && p.exitCode() != 2)) return false;
        QFile f(outPath);
        return f.open(QIODevice::ReadOnly) && parsePnm(f.readAll(), pnm);
    }

    static bool isCmyk(const QString& file)
    {
        return file.contains("cmyk") || file.contains("ycck");
    }

private slots:
    void initTestCase()
    {
        m_root = corpusPath(QStringLiteral("jpeg"));
        SKIP_WITHOUT_CORPUS(m_root);
        m_djpeg = QStandardPaths::findExecutable("djpeg");
        if (m_djpeg.isEmpty()) QSKIP("djpeg (libjpeg-turbo-progs) is not installed");
        QVERIFY(m_tmp.isValid());
    }

    void sameAsDjpeg_data()
    {
        QTest::addColumn<QString>("file");
        QDirIterator it(m_root, {"*.jpg", "*.jpeg"}, QDir::Files, QDirIterator::Subdirectories);
        QStringList files;
        while (it.hasNext()) files << QDir(m_root).relativeFilePath(it.next());
        files.sort();
        for (const QString& f : files) QTest::newRow(qPrintable(f)) << f;
    }

    void sameAsDjpeg()
    {
        QFETCH(QString, file);
        const QString path = m_root + '/' + file;
        Pnm ref;
        QString djpegError;
        const bool refOk = runDjpeg(path, &ref, &djpegError);

        RasterImage image(RasterImage::TYPE_JPEG);
        const bool ok = image.Load(path);
        if (!refOk) {
            QVERIFY2(!ok, "djpeg refused a file we decoded");
            QVERIFY(image.Block() == nullptr);
            QCOMPARE(image.LastError(), djpegError);
            qInfo("refused: %s", qPrintable(image.LastError()));
            return;
        }
        QVERIFY2(ok, qPrintable(image.LastError()));
        QCOMPARE(int(image.Width()), ref.width);
        QCOMPARE(int(image.Height()), ref.height);
        QCOMPARE(image.BitsPerPixel(), ref.channels == 1 ? 8 : 24);

        // djpeg rounds its CMYK conversion where ours truncates: ours is the
        // same or one less.
        const bool cmyk = isCmyk(file);
        qint64 bad = 0;
        for (int y = 0; y < ref.height; ++y) {
            const uchar* ours = image.Row(quint32(ref.height - 1 - y));
            const uchar* theirs =
                reinterpret_cast<const uchar*>(ref.pixels.constData()) + qsizetype(y) * ref.width * ref.channels;
            for (int x = 0; x < ref.width; ++x) {
                for (int c = 0; c < ref.channels; ++c) {
                    const int o = ref.channels == 1 ? ours[x] : ours[3 * x + (2 - c)];
                    const int t = theirs[ref.channels * x + c];
                    if (cmyk ? (o > t || t - o > 1) : o != t) ++bad;
                }
            }
        }
        QVERIFY2(bad == 0, qPrintable(QStringLiteral("%1 samples differ").arg(bad)));
        if (ref.channels == 1) {
            const uchar* pal = image.Palette();
            for (int i = 0; i < 256; ++i) {
                QCOMPARE(int(pal[4 * i]), i);
                QCOMPARE(int(pal[4 * i + 1]), i);
                QCOMPARE(int(pal[4 * i + 2]), i);
                QCOMPARE(int(pal[4 * i + 3]), 0);
            }
        }
    }

    void resolution_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::newRow("96 dpi") << "pillow/hopper.jpg" << 96 << 96;
        QTest::newRow("300 dpi") << "pillow/rgb.jpg" << 300 << 300;
        QTest::newRow("no JFIF") << "jpeg-decoder/reftest/rgb.jpg" << 96 << 96;
        QTest::newRow("aspect 1:1") << "libjpeg-turbo/testorig.jpg" << 96 << 96;
        QTest::newRow("units 0, 72:72 is an aspect ratio") << "pillow/app13-multiple.jpg" << 96 << 96;
        QTest::newRow("per cm, 1 by 2") << "pillow/jfif_unit_cm.jpg" << 96 << 5;
    }

    void resolution()
    {
        QFETCH(QString, file);
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        RasterImage image(RasterImage::TYPE_JPEG);
        QVERIFY2(image.Load(m_root + '/' + file), qPrintable(image.LastError()));
        QCOMPARE(image.DpiX(), dpiX);
        QCOMPARE(image.DpiY(), dpiY);
    }
};

QTEST_GUILESS_MAIN(TestJpegCorpus)
#include "tst_jpegcorpus.moc"
