#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "CorpusPath.h"
#include "CraftedDrawings.h"
#include "PdfTools.h"
#include "document/RasterImage.h"
#include "document/TargetImage.h"
#include "document/VectorTarget.h"

using namespace crafted;

// PNG, PDF and SVG targets: the size each kind carries, the road each file
// takes, and real files drawn as their references show them.
class TestDrawings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void sizeAndRoad_data();
    void sizeAndRoad();
    void pdfPages();
    void pdfCorpus_data();
    void pdfCorpus();
    void svgW3c_data();
    void svgW3c();
    void cleanupTestCase();

private:
    QString write(const QString& name, const QByteArray& bytes);
    QTemporaryDir m_dir;
    int m_discs = 0, m_textOnly = 0;
    int m_w3c = 0, m_qtAlone = 0, m_vectors = 0, m_vectorsMatching = 0, m_builtMatching = 0;
};

namespace {

QByteArray png(QImage image, int ppm)
{
    if (ppm) {
        image.setDotsPerMeterX(ppm);
        image.setDotsPerMeterY(ppm);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    QByteArray bytes = buffer.data();
    if (!ppm) {
        // Qt always writes a pHYs chunk: cut it out (4 length, 4 type, 9 data, 4 CRC).
        const qsizetype at = bytes.indexOf("pHYs");
        if (at > 0) bytes.remove(at - 4, 21);
    }
    return bytes;
}

QImage filled(QImage::Format format)
{
    QImage image(100, 50, format);
    if (format == QImage::Format_Indexed8) {
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(0);
    } else {
        image.fill(QColor(0, 0, 0, format == QImage::Format_ARGB32 ? 0 : 255));
    }
    return image;
}

// The target drawn into an image of its own size at dpi.
QImage drawn(TargetImage& target, int dpi, bool printing)
{
    const QSize him = target.GetSizeHimetric();
    const int w = int(std::lround(him.width() / 2540.0 * dpi)), h = int(std::lround(him.height() / 2540.0 * dpi));
    QImage image = makeDeviceImage(w, h, dpi, dpi);
    QPainter painter(&image);
    DeviceContext dc(&painter, dpi, dpi);
    dc.setPrinting(printing);
    target.Draw(dc, GdiRect(0, 0, w, h));
    return image;
}

// The longest run of dark pixels along any row or column.
int longestDarkRun(const QImage& grey)
{
    const QImage g = grey.convertToFormat(QImage::Format_Grayscale8);
    int best = 0;
    std::vector<int> column(size_t(g.width()), 0);
    for (int y = 0; y < g.height(); ++y) {
        const uchar* line = g.constScanLine(y);
        int run = 0;
        for (int x = 0; x < g.width(); ++x) {
            const bool dark = line[x] < 128;
            run = dark ? run + 1 : 0;
            column[size_t(x)] = dark ? column[size_t(x)] + 1 : 0;
            best = std::max({best, run, column[size_t(x)]});
        }
    }
    return best;
}

} // namespace

QString TestDrawings::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
    return path;
}

void TestDrawings::sizeAndRoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSizeF>("inches");  // empty: the file does not open
    QTest::addColumn<int>("road");       // 1 vectors, 0 image, -1 not a drawing

    const QSizeF none;
    // PNG: pHYs, else 96 dpi; every depth prints its ink.
    QTest::newRow("png 300 dpi") << "a.png" << png(filled(QImage::Format_RGB32), 11811) << QSizeF(100 / 300.0, 50 / 300.0) << -1;
    QTest::newRow("png without pHYs") << "b.png" << png(filled(QImage::Format_RGB32), 0) << QSizeF(100 / 96.0, 50 / 96.0) << -1;
    QTest::newRow("png 16-bit") << "c.png" << png(filled(QImage::Format_RGBX64), 3937) << QSizeF(1, 0.5) << -1;
    QTest::newRow("png palette") << "d.png" << png(filled(QImage::Format_Indexed8), 3937) << QSizeF(1, 0.5) << -1;
    QTest::newRow("png grey") << "e.png" << png(filled(QImage::Format_Grayscale8), 3937) << QSizeF(1, 0.5) << -1;
    QTest::newRow("png transparent lies on white")
        << "f.png" << png(filled(QImage::Format_ARGB32), 3937) << QSizeF(1, 0.5) << -1;
    QTest::newRow("png bytes named .jpe are refused") << "h.jpe" << png(filled(QImage::Format_RGB32), 0) << none << -1;
    QTest::newRow("png bytes named .tif are refused") << "i.tif" << png(filled(QImage::Format_RGB32), 0) << none << -1;
    QTest::newRow("png cut short") << "g.png" << png(filled(QImage::Format_RGB32), 3937).left(60) << none << -1;

    // SVG: width and height in CSS units, else the viewBox at 96 per inch.
    QTest::newRow("svg mm") << "a.svg" << Svg("width='100mm' height='50mm' viewBox='0 0 100 100'") << QSizeF(100 / 25.4, 50 / 25.4) << 1;
    QTest::newRow("svg in and cm") << "b.svg" << Svg("width='2in' height='2.54cm'") << QSizeF(2, 1) << 1;
    QTest::newRow("svg pt and pc") << "c.svg" << Svg("width='72pt' height='3pc'") << QSizeF(1, 0.5) << 1;
    QTest::newRow("svg px and plain numbers") << "d.svg" << Svg("width='192px' height='96'") << QSizeF(2, 1) << 1;
    QTest::newRow("svg percent takes the viewBox") << "e.svg" << Svg("width='100%' height='100%' viewBox='0 0 288 96'") << QSizeF(3, 1) << 1;
    QTest::newRow("svg no size takes the viewBox") << "f.svg" << Svg("viewBox='0,0,96,48'") << QSizeF(1, 0.5) << 1;
    QTest::newRow("svg without any size") << "g.svg" << Svg("") << none << -1;
    QTest::newRow("svg not well-formed") << "h.svg" << Svg("width='1in' height='1in'").left(120) << none << -1;
    QTest::newRow("svg plain target: rings, text, fills")
        << "i.svg"
        << Svg("width='4in' height='4in' viewBox='0 0 400 400'",
               "<g fill='none' stroke='black'><circle cx='200' cy='200' r='190'/><circle cx='200' cy='200' r='100'/></g>"
               "<path d='M 0 200 L 400 200' stroke='black'/><circle cx='200' cy='200' r='40' fill='black'/>"
               "<text x='10' y='390' font-size='20'>10</text>")
        << QSizeF(4, 4) << 1;
    QTest::newRow("svg clip path takes librsvg")
        << "j.svg"
        << Svg("width='1in' height='1in' viewBox='0 0 100 100'",
               "<clipPath id='c'><rect width='50' height='50'/></clipPath><circle clip-path='url(#c)' cx='50' cy='50' r='40'/>")
        << QSizeF(1, 1) << 0;
    QTest::newRow("svg drawing another file takes librsvg")
        << "k.svg" << Svg("width='1in' height='1in'", "<use xlink:href='other.svg#a'/><rect width='9' height='9'/>")
        << QSizeF(1, 1) << 0;
    QByteArray gz = qCompress(Svg("width='1in' height='2in'"));
    QTest::newRow("svgz is not a gzip stream") << "l.svgz" << gz << none << -1;

    // PDF: the crop box, else the media box, with /Rotate.
    QTest::newRow("pdf media box") << "a.pdf" << Pdf({"/MediaBox [0 0 612 792]"}) << QSizeF(8.5, 11) << 1;
    QTest::newRow("pdf crop box") << "b.pdf" << Pdf({"/MediaBox [0 0 612 792] /CropBox [36 36 180 108]"}) << QSizeF(2, 1) << 1;
    QTest::newRow("pdf rotated") << "c.pdf" << Pdf({"/MediaBox [0 0 144 72] /Rotate 90"}) << QSizeF(1, 2) << 1;
    QTest::newRow("pdf with a soft mask takes the image road")
        << "d.pdf" << Pdf({"/MediaBox [0 0 72 72] /Resources << /ExtGState << /G << /SMask << /S /Luminosity >> >> >> >>"})
        << QSizeF(1, 1) << 0;
    QTest::newRow("pdf with a font of no known type takes the image road")
        << "h.pdf"
        << Pdf({"/MediaBox [0 0 72 72] /Resources << /Font << /F1 << /Type /Font /Subtype /Bogus /BaseFont /X >> >> >>"},
               "BT /F1 12 Tf 10 10 Td (x) Tj ET 0 0 0 rg 10 10 50 50 re f")
        << QSizeF(1, 1) << 0;
    QTest::newRow("pdf empty") << "e.pdf" << QByteArray() << none << -1;
    QTest::newRow("pdf garbage") << "f.pdf" << QByteArray(5000, 'x') << none << -1;
    QTest::newRow("pdf without pages") << "g.pdf" << Pdf({}) << none << -1;
}

void TestDrawings::sizeAndRoad()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSizeF, inches);
    QFETCH(int, road);
    const QString path = write(name, bytes);
    QVERIFY(!path.isEmpty());
    TargetImage target;
    QCOMPARE(target.Load(path), !inches.isEmpty());
    if (inches.isEmpty()) return;
    const QSize him = target.GetSizeHimetric();
    QVERIFY2(std::abs(him.width() - inches.width() * 2540) <= 1 && std::abs(him.height() - inches.height() * 2540) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(him.width()).arg(him.height())));
    if (road >= 0) {
        QVERIFY(target.drawing());
        QCOMPARE(target.drawing()->DrawsVectors(), road == 1);
    }
    // Whatever the road, the ink lands where the file puts it: the PNGs are
    // black except the transparent one, which is white paper.
    const QImage image = drawn(target, 96, true);
    const double ink = InkIoU(image, makeDeviceImage(image.width(), image.height(), 96, 96));
    if (name.endsWith(QLatin1String(".png"))) QCOMPARE(ink < 0.5, name != QLatin1String("f.png"));
    else QVERIFY(ink < 1.0);
}

void TestDrawings::pdfPages()
{
    const QString path = write("two.pdf", Pdf({"/MediaBox [0 0 72 72]", "/MediaBox [0 0 144 216]"}));
    TargetImage target;
    QVERIFY(target.Load(path));
    QCOMPARE(target.PageCount(), 2);
    QCOMPARE(target.GetSizeHimetric(), QSize(2540, 2540));
    QVERIFY(!target.SetPage(3));
    QVERIFY(target.SetPage(2));
    QCOMPARE(target.Page(), 2);
    QCOMPARE(target.GetSizeHimetric(), QSize(5080, 7620));
}

void TestDrawings::pdfCorpus_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("diameter");  // mm; 0 for a page of text only
    const QString folder = corpusPath(QStringLiteral("pdf/cabinfever"));
    SKIP_WITHOUT_CORPUS(folder);
    if (!HavePoppler()) QSKIP("poppler-utils are not installed");
    static const QRegularExpression stated(QStringLiteral("Diameter (\\d+) mm"));
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
        const QString file = folder + QLatin1Char('/') + name;
        const QString text = PdfText(file, 1);
        const QRegularExpressionMatch m = stated.match(text);
        const double d = m.hasMatch() && !text.contains(QLatin1String("too big")) ? m.captured(1).toDouble() : 0;
        ++(d > 0 ? m_discs : m_textOnly);
        QTest::newRow(qPrintable(name)) << file << d;
    }
}

// Each disc measures what its text says, within one dot at 600 dpi; a page
// of text alone draws the text pdftoppm draws.
void TestDrawings::pdfCorpus()
{
    QFETCH(QString, file);
    QFETCH(double, diameter);
    TargetImage target;
    QVERIFY(target.Load(file));
    QVERIFY2(target.drawing()->DrawsVectors(), qPrintable(target.drawing()->RoadReason()));
    if (diameter > 0) {
        const double measured = longestDarkRun(drawn(target, 600, true)) * 25.4 / 600;
        QVERIFY2(std::abs(measured - diameter) <= 25.4 / 600, qPrintable(QString::number(measured)));
    } else {
        // Glyph edges differ by a pixel between the two renderers.
        const double near = InkNear(drawn(target, 150, true), RasterisePdfPage(file, 1, 150), 1);
        QVERIFY2(near >= 0.95, qPrintable(QString::number(near)));
    }
}

void TestDrawings::svgW3c_data()
{
    QTest::addColumn<QString>("file");
    const QString folder = corpusPath(QStringLiteral("svg/w3c-svg11"));
    SKIP_WITHOUT_CORPUS(folder);
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name)) {
        const QString ref = folder + QLatin1Char('/') + QString(name).replace(QLatin1String(".svg"), QLatin1String("-ref.png"));
        if (QFileInfo::exists(ref)) QTest::newRow(qPrintable(name)) << folder + QLatin1Char('/') + name;
    }
}

// Drawn at the reference's size, a file matches when its ink's intersection
// over union with the reference is at least 0.9. Every file drawn as vectors
// must match.
void TestDrawings::svgW3c()
{
    QFETCH(QString, file);
    const QImage ref = QImage(QString(file).replace(QLatin1String(".svg"), QLatin1String("-ref.png")))
                           .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!ref.isNull());
    ++m_w3c;
    QImage qt(ref.size(), QImage::Format_ARGB32);
    qt.fill(Qt::white);
    {
        QSvgRenderer renderer(file);
        QPainter painter(&qt);
        renderer.render(&painter, QRectF(QPointF(0, 0), ref.size()));
    }
    m_qtAlone += InkIoU(qt, ref) >= 0.9;

    TargetImage target;
    if (!target.Load(file)) return;  // the file message, counted as no match
    QImage built = makeDeviceImage(ref.width(), ref.height(), 96, 96);
    {
        QPainter painter(&built);
        DeviceContext dc(&painter, 96, 96);
        target.Draw(dc, GdiRect(0, 0, ref.width(), ref.height()));
    }
    const double iou = InkIoU(built, ref);
    m_builtMatching += iou >= 0.9;
    if (!target.drawing()->DrawsVectors()) return;
    ++m_vectors;
    m_vectorsMatching += iou >= 0.9;
    QVERIFY2(iou >= 0.9, qPrintable(QStringLiteral("drawn as vectors, IoU %1").arg(iou)));
}

void TestDrawings::cleanupTestCase()
{
    if (m_w3c > 0)
        qInfo("W3C: %d files; Qt SVG alone matches %d; as built %d drawn as vectors (%d of them match), %d match in all",
              m_w3c, m_qtAlone, m_vectors, m_vectorsMatching, m_builtMatching);
    // Every file was classified: 52 state a disc that fits the paper, 40
    // hold text alone (a diameter of 0, or too big for the paper).
    if (m_discs + m_textOnly > 0) {
        QCOMPARE(m_discs, 52);
        QCOMPARE(m_textOnly, 40);
    }
}

QTEST_MAIN(TestDrawings)
#include "tst_drawings.moc"
