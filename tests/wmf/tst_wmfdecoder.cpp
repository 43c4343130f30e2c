// The decoder's display list: named parameters, objects, bitmaps, facts
// read by hand from real files, and what it does with files that lie about
// their sizes.
#include <QTest>

#include <QFile>

#include "../common/CorpusPath.h"
#include "wmf/WmfDecoder.h"
#include "wmf/WmfDib.h"
#include "wmf/writer/WmfWriter.h"

using namespace wmf;

Q_DECLARE_METATYPE(wmf::Params)

namespace {

QByteArray le16(int v) { QByteArray b; b.append(char(v & 0xFF)); b.append(char((v >> 8) & 0xFF)); return b; }
QByteArray le32(quint32 v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); }

// A placeable header and standard header followed by raw record bytes.
QByteArray fileWith(const QByteArray& records, int inch = 1440, int right = 1440, int bottom = 1440)
{
    WmfWriter w(0, 0, right, bottom, inch);
    QByteArray f = w.finish();
    f.chop(6);  // the end record
    return f + records;
}

QByteArray rawRecord(quint32 sizeWords, quint16 function, const QByteArray& params)
{
    return le32(sizeWords) + le16(function) + params;
}

QByteArray dibHeader(int w, int h, int bits, int compression, int colours)
{
    return le32(40) + le32(quint32(w)) + le32(quint32(h)) + le16(1) + le16(bits) + le32(quint32(compression)) + le32(0)
         + le32(0) + le32(0) + le32(quint32(colours)) + le32(0);
}

QByteArray palette(std::initializer_list<QRgb> colours)
{
    QByteArray p;
    for (QRgb c : colours) { p.append(char(qBlue(c))); p.append(char(qGreen(c))); p.append(char(qRed(c))); p.append('\0'); }
    return p;
}

} // namespace

class TestWmfDecoder : public QObject {
    Q_OBJECT
private slots:
    void header();
    void headerRejected_data();
    void headerRejected();
    void params_data();
    void params();
    void objects();
    void text();
    void polyPolygon();
    void stretchDibRoundTrip();
    void dib_data();
    void dib();
    void hostileRecords_data();
    void hostileRecords();
    void everyTruncation();
    void nonPlaceable();
    void corpusFrame_data();
    void corpusFrame();
    void corpusRecord_data();
    void corpusRecord();
    void corpusObjects();
};

void TestWmfDecoder::header()
{
    WmfWriter w(-100, 50, 5660, 4370, 1440);
    Picture pic;
    QVERIFY(decode(w.finish(), pic));
    QVERIFY(pic.placeable);
    QCOMPARE(pic.left, -100);
    QCOMPARE(pic.top, 50);
    QCOMPARE(pic.unitsPerInch, 1440);
    // A box 1440 units wide at 1440 units per inch is one inch: 2540 HIMETRIC.
    QCOMPARE(pic.widthHimetric(), 5760 * 2540 / 1440);
    QCOMPARE(pic.heightHimetric(), 4320 * 2540 / 1440);
    QVERIFY(pic.records.empty());
}

void TestWmfDecoder::headerRejected_data()
{
    QTest::addColumn<QByteArray>("data");
    WmfWriter good(0, 0, 1440, 1440, 1440);
    const QByteArray ok = good.finish();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("key only") << ok.left(4);
    QTest::newRow("placeable header only") << ok.left(22);
    QByteArray zeroInch = ok;
    zeroInch[14] = 0; zeroInch[15] = 0;
    QTest::newRow("zero units per inch") << zeroInch;
    QByteArray emptyBox = ok;
    emptyBox[10] = 0; emptyBox[11] = 0;  // right = left
    QTest::newRow("empty bounding box") << emptyBox;
    QByteArray badType = ok;
    badType[22] = 7;
    QTest::newRow("bad metafile type") << badType;
    QByteArray badHeaderSize = ok;
    badHeaderSize[24] = 12;
    QTest::newRow("bad header size") << badHeaderSize;
    QTest::newRow("not a metafile") << QByteArray(200, 'x');
}

void TestWmfDecoder::headerRejected()
{
    QFETCH(QByteArray, data);
    Picture pic;
    QString error;
    QVERIFY(!decode(data, pic, &error));
    QVERIFY(!error.isEmpty());
}

void TestWmfDecoder::params_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("function");
    QTest::addColumn<Params>("params");
    auto one = [](auto write) {
        WmfWriter w(0, 0, 1440, 1440, 1440);
        write(w);
        return w.finish();
    };
    QTest::newRow("rectangle") << one([](WmfWriter& w) { w.rectangle(10, 20, 300, 400); }) << int(RECTANGLE)
                               << Params(Box{.left = 10, .top = 20, .right = 300, .bottom = 400});
    QTest::newRow("negative ellipse") << one([](WmfWriter& w) { w.ellipse(-10, -20, 30, 40); }) << int(ELLIPSE)
                                      << Params(Box{.left = -10, .top = -20, .right = 30, .bottom = 40});
    QTest::newRow("round rect") << one([](WmfWriter& w) { w.roundRect(1, 2, 3, 4, 5, 6); }) << int(ROUNDRECT)
                                << Params(RoundBox{.box = {1, 2, 3, 4}, .cornerWidth = 5, .cornerHeight = 6});
    QTest::newRow("pie") << one([](WmfWriter& w) { w.arc(PIE, 0, 0, 100, 100, 100, 50, 50, 0); }) << int(PIE)
                         << Params(ArcBox{.box = {0, 0, 100, 100}, .xStart = 100, .yStart = 50, .xEnd = 50, .yEnd = 0});
    QTest::newRow("window org") << one([](WmfWriter& w) { w.setWindowOrg(-5, 7); }) << int(SETWINDOWORG)
                                << Params(Coords{.x = -5, .y = 7});
    QTest::newRow("window ext") << one([](WmfWriter& w) { w.setWindowExt(1000, -2000); }) << int(SETWINDOWEXT)
                                << Params(Coords{.x = 1000, .y = -2000});
    QTest::newRow("text colour") << one([](WmfWriter& w) { w.setTextColor(0x00123456); }) << int(SETTEXTCOLOR)
                                 << Params(ColorArg{0x123456});
    QTest::newRow("restore negative") << one([](WmfWriter& w) { w.restoreDc(-2); }) << int(RESTOREDC)
                                      << Params(Value{-2});
    QTest::newRow("intersect clip") << one([](WmfWriter& w) { w.intersectClipRect(1, 2, 3, 4); })
                                    << int(INTERSECTCLIPRECT) << Params(Box{1, 2, 3, 4});
    // Raw words as the file stores them: reversed.
    QTest::newRow("scale window ext") << one([](WmfWriter& w) { w.record(SCALEWINDOWEXT, {4, 3, 2, 1}); })
                                      << int(SCALEWINDOWEXT)
                                      << Params(Scale{.xNum = 1, .xDenom = 2, .yNum = 3, .yDenom = 4});
    QTest::newRow("patblt") << one([](WmfWriter& w) { w.record(PATBLT, {0x0021, 0x00F0, 40, 30, 20, 10}); })
                            << int(PATBLT)
                            << Params(PatternBlt{.x = 10, .y = 20, .width = 30, .height = 40, .rop = PATCOPY});
    QTest::newRow("set pixel") << one([](WmfWriter& w) { w.record(SETPIXEL, {0x00FF, 0x0000, 9, 8}); })
                               << int(SETPIXEL) << Params(Pixel{.x = 8, .y = 9, .color = 0xFF});
    QTest::newRow("justification") << one([](WmfWriter& w) { w.record(SETTEXTJUSTIFICATION, {3, 40}); })
                                   << int(SETTEXTJUSTIFICATION) << Params(Justify{.extra = 40, .breaks = 3});
    QTest::newRow("frame region") << one([](WmfWriter& w) { w.record(FRAMEREGION, {2, 5, 7, 9}); })
                                  << int(FRAMEREGION)
                                  << Params(RegionPaint{.region = 2, .brush = 5, .width = 9, .height = 7});
    QTest::newRow("bitblt without bitmap")
        << one([](WmfWriter& w) { w.record(BITBLT, {0x0062, 0x00FF, 6, 5, 0, 40, 30, 20, 10}); }) << int(BITBLT)
        << Params(Blit{.xDest = 10, .yDest = 20, .wDest = 30, .hDest = 40, .xSrc = 5, .ySrc = 6, .wSrc = 30,
                    .hSrc = 40, .rop = WHITENESS});
}

void TestWmfDecoder::params()
{
    QFETCH(QByteArray, file);
    QFETCH(int, function);
    QFETCH(Params, params);
    Picture pic;
    QVERIFY(decode(file, pic));
    QCOMPARE(int(pic.records.size()), 1);
    QCOMPARE(int(pic.records[0].function), function);
    QVERIFY(pic.records[0].params == params);
}

void TestWmfDecoder::objects()
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.createPen(PS_DASHDOT, 15, 0x0000FF);
    w.createBrush(BS_HATCHED, 0x00FF00, 4);
    w.createFont(-240, 700, "Courier New", 450, true, 238);
    Picture pic;
    QVERIFY(decode(w.finish(), pic));
    QCOMPARE(int(pic.records.size()), 3);
    QCOMPARE(pic.pens.size(), size_t(1));
    QCOMPARE(pic.pens[0].style, int(PS_DASHDOT));
    QCOMPARE(pic.pens[0].width, 15);
    QCOMPARE(pic.pens[0].color, quint32(0x0000FF));
    QCOMPARE(pic.brushes[0].style, int(BS_HATCHED));
    QCOMPARE(pic.brushes[0].hatch, 4);
    QCOMPARE(pic.brushes[0].color, quint32(0x00FF00));
    const Font& f = pic.fonts[0];
    QCOMPARE(f.height, -240);
    QCOMPARE(f.weight, 700);
    QCOMPARE(f.escapement, 450);
    QVERIFY(f.italic);
    QCOMPARE(f.charSet, 238);
    QCOMPARE(f.faceName, QByteArray("Courier New"));
    for (int i = 0; i < 3; ++i) QCOMPARE(paramsOf<Created>(pic.records[size_t(i)]).index, 0);
}

void TestWmfDecoder::text()
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.textOut(100, 200, "odd");
    w.extTextOut(10, 20, ETO_OPAQUE | ETO_CLIPPED, QRect(1, 2, 30, 40), "abcd", {5, 6, 7, 8});
    w.extTextOut(11, 21, 0, QRect(), "xyz");
    Picture pic;
    QVERIFY(decode(w.finish(), pic));
    QCOMPARE(int(pic.records.size()), 3);
    QVERIFY(pic.records[0].params == Params(TextRun{.x = 100, .y = 200, .text = "odd"}));
    QVERIFY(pic.records[1].params == Params(TextRun{.x = 10, .y = 20, .options = ETO_OPAQUE | ETO_CLIPPED,
                                                    .rect = {1, 2, 31, 42}, .text = "abcd", .dx = {5, 6, 7, 8}}));
    QVERIFY(pic.records[2].params == Params(TextRun{.x = 11, .y = 21, .text = "xyz"}));
}

void TestWmfDecoder::polyPolygon()
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.polyPolygon({{{0, 0}, {10, 0}, {10, 10}}, {{20, 20}, {30, 20}, {30, 30}, {20, 30}}});
    Picture pic;
    QVERIFY(decode(w.finish(), pic));
    const Polys& p = paramsOf<Polys>(pic.records[0]);
    QCOMPARE(p.counts, (std::vector<int>{3, 4}));
    QCOMPARE(int(p.points.size()), 7);
    QCOMPARE(p.points[6], QPoint(20, 30));
}

void TestWmfDecoder::stretchDibRoundTrip()
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0)); img.setPixel(1, 0, qRgb(0, 255, 0)); img.setPixel(2, 0, qRgb(0, 0, 255));
    img.setPixel(0, 1, qRgb(10, 20, 30)); img.setPixel(1, 1, qRgb(40, 50, 60)); img.setPixel(2, 1, qRgb(70, 80, 90));
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.stretchDib(5, 6, 300, 200, img);
    Picture pic;
    QVERIFY(decode(w.finish(), pic));
    const Record& r = pic.records[0];
    QCOMPARE(r.function, quint16(STRETCHDIB));
    QVERIFY(r.params == Params(Blit{.xDest = 5, .yDest = 6, .wDest = 300, .hDest = 200, .wSrc = 3, .hSrc = 2,
                                           .rop = SRCCOPY, .image = 0}));
    QCOMPARE(pic.images[0], img);
}

void TestWmfDecoder::dib_data()
{
    QTest::addColumn<QByteArray>("dib");
    QTest::addColumn<QImage>("expected");
    const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), W = qRgb(255, 255, 255);
    auto image = [](int w, int h, std::initializer_list<QRgb> topDown) {
        QImage img(w, h, QImage::Format_RGB32);
        auto it = topDown.begin();
        for (int y = 0; y < h; ++y) for (int x = 0; x < w; ++x) img.setPixel(x, y, *it++);
        return img;
    };
    // Rows are stored bottom-up and padded to four bytes.
    QTest::newRow("1 bit") << dibHeader(3, 2, 1, 0, 2) + palette({R, G}) + QByteArray::fromHex("40000000") + QByteArray::fromHex("a0000000")
                           << image(3, 2, {G, R, G, R, G, R});
    QTest::newRow("4 bit") << dibHeader(3, 1, 4, 0, 3) + palette({R, G, B}) + QByteArray::fromHex("01200000")
                           << image(3, 1, {R, G, B});
    QTest::newRow("8 bit top-down") << dibHeader(2, -2, 8, 0, 3) + palette({R, G, B}) + QByteArray::fromHex("00010000") + QByteArray::fromHex("02020000")
                                    << image(2, 2, {R, G, B, B});
    QTest::newRow("32 bit") << dibHeader(1, 1, 32, 0, 0) + QByteArray::fromHex("ff804000") << image(1, 1, {qRgb(0x40, 0x80, 0xff)});
    // RLE8: a run of 3 index-1 pixels, end of line, an absolute run of 3, end of bitmap.
    QTest::newRow("rle8") << dibHeader(3, 2, 8, 1, 3) + palette({R, G, B}) + QByteArray::fromHex("03010000" "0003000102" "00" "0001")
                          << image(3, 2, {R, G, B, G, G, G});
    QTest::newRow("rle4") << dibHeader(4, 1, 4, 2, 3) + palette({R, G, B}) + QByteArray::fromHex("04120001")
                          << image(4, 1, {G, B, G, B});
    // An RLE delta that leaves pixels alone keeps them white.
    QTest::newRow("rle8 delta") << dibHeader(3, 1, 8, 1, 3) + palette({R, G, B}) + QByteArray::fromHex("00020200" "0102" "0001")
                                << image(3, 1, {W, W, B});
    // Bits missing at the end: the rows that are present are drawn, the rest stay white.
    QTest::newRow("short bits") << dibHeader(1, 2, 24, 0, 0) + QByteArray::fromHex("0000ff00")
                                << image(1, 2, {W, R});
}

void TestWmfDecoder::dib()
{
    QFETCH(QByteArray, dib);
    QFETCH(QImage, expected);
    const QImage got = decodeDib(reinterpret_cast<const uchar*>(dib.constData()), dib.size());
    QCOMPARE(got.size(), expected.size());
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            QCOMPARE(QColor(got.pixel(x, y)), QColor(expected.pixel(x, y)));
}

void TestWmfDecoder::hostileRecords_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("records");   // records the display list keeps
    const QByteArray rect = rawRecord(7, RECTANGLE, le16(40) + le16(30) + le16(20) + le16(10));
    QTest::newRow("size 0") << fileWith(rect + rawRecord(0, RECTANGLE, QByteArray(8, 0)) + rect) << 1;
    QTest::newRow("size 2") << fileWith(rect + rawRecord(2, RECTANGLE, QByteArray(8, 0)) + rect) << 1;
    QTest::newRow("size past end") << fileWith(rect + rawRecord(1000, RECTANGLE, QByteArray(8, 0))) << 1;
    QTest::newRow("size 0xFFFFFFFF") << fileWith(rect + rawRecord(0xFFFFFFFFu, POLYGON, QByteArray(8, 0))) << 1;
    // A polygon claiming 30000 points in a 5-word record is dropped, what follows is kept.
    QTest::newRow("point count past record") << fileWith(rawRecord(5, POLYGON, le16(30000) + le16(0)) + rect) << 1;
    QTest::newRow("negative point count") << fileWith(rawRecord(5, POLYGON, le16(-5) + le16(0)) + rect) << 1;
    QTest::newRow("polypolygon counts past record")
        << fileWith(rawRecord(7, POLYPOLYGON, le16(2) + le16(30000) + le16(30000) + le16(0)) + rect) << 1;
    QTest::newRow("text longer than record") << fileWith(rawRecord(6, TEXTOUT, le16(5000) + le16(0) + le16(0)) + rect) << 1;
    // A pen whose parameters are cut short still takes its slot, so later indices stay right.
    QTest::newRow("short pen") << fileWith(rawRecord(4, CREATEPENINDIRECT, le16(0)) + rect) << 2;
    // Bitmap larger than its record: the record stays, the image is dropped or partial.
    QTest::newRow("huge dib") << fileWith(rawRecord(3 + 11 + 20, STRETCHDIB, le32(SRCCOPY) + QByteArray(18, 0) + dibHeader(30000, 30000, 24, 0, 0)) + rect) << 2;
    QTest::newRow("unknown function") << fileWith(rawRecord(4, 0x0777, le16(1)) + rect) << 1;
    QTest::newRow("escape") << fileWith(rawRecord(5, ESCAPE, le16(15) + le16(0)) + rect) << 1;
    QByteArray many;
    for (int i = 0; i < 5000; ++i) many += rawRecord(3, SAVEDC, QByteArray());
    QTest::newRow("5000 saves") << fileWith(many) << 5000;
}

void TestWmfDecoder::hostileRecords()
{
    QFETCH(QByteArray, file);
    QFETCH(int, records);
    Picture pic;
    QVERIFY(decode(file, pic));
    QCOMPARE(int(pic.records.size()), records);
    for (const QImage& img : pic.images) QVERIFY(qint64(img.width()) * img.height() <= MAX_BITMAP_PIXELS);
}

void TestWmfDecoder::everyTruncation()
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.createPen(PS_SOLID, 2, 0);
    w.selectObject(0);
    w.polygon({{0, 0}, {100, 0}, {100, 100}});
    w.extTextOut(10, 20, ETO_OPAQUE, QRect(0, 0, 10, 10), "text", {1, 2, 3, 4});
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    w.stretchDib(0, 0, 100, 100, img);
    w.ellipse(0, 0, 50, 50);
    const QByteArray full = w.finish();
    Picture whole;
    QVERIFY(decode(full, whole));
    QCOMPARE(int(whole.records.size()), 6);
    // Every prefix decodes to a prefix of the display list or fails cleanly.
    for (int n = 0; n < full.size(); ++n) {
        Picture pic;
        if (decode(full.left(n), pic)) {
            QVERIFY(n >= PLACEABLE_SIZE + HEADER_SIZE);
            QVERIFY(pic.records.size() <= whole.records.size());
            for (size_t i = 0; i < pic.records.size(); ++i) QCOMPARE(pic.records[i].function, whole.records[i].function);
        }
    }
}

void TestWmfDecoder::nonPlaceable()
{
    WmfWriter w(0, 0, 1440, 1440, 1440);
    w.setWindowOrg(100, 200);
    w.setWindowExt(2880, 1440);
    const QByteArray plain = w.finish().mid(PLACEABLE_SIZE);
    Picture pic;
    QVERIFY(!decode(plain, pic));
    QVERIFY(decode(plain, pic, nullptr, NonPlaceable::FrameFromWindow));
    QCOMPARE(pic.left, 100);
    QCOMPARE(pic.right, 2980);
    QCOMPARE(pic.widthHimetric(), 5080);
    QCOMPARE(pic.heightHimetric(), 2540);
    // A window origin or extent cut short, with no record before it, gives no frame.
    for (quint16 function : {SETWINDOWORG, SETWINDOWEXT}) {
        const QByteArray cut = plain.left(HEADER_SIZE) + rawRecord(4, function, le16(7)) + rawRecord(3, 0, {});
        QVERIFY(!decode(cut, pic, nullptr, NonPlaceable::FrameFromWindow));
    }
}

// Real files from the shared corpus; every number below was read by hand
// from the file's bytes, not from anything this program wrote.
namespace {

Picture corpusPicture(const QString& relative)
{
    QFile f(corpusPath(QStringLiteral("wmf/") + relative));
    Picture pic;
    if (!f.open(QIODevice::ReadOnly) || !decode(f.readAll(), pic, nullptr, NonPlaceable::FrameFromWindow))
        qWarning("%s does not decode", qPrintable(relative));
    return pic;
}

} // namespace

void TestWmfDecoder::corpusFrame_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("placeable");
    QTest::addColumn<QRect>("box");       // left, top, right, bottom as stored
    QTest::addColumn<int>("unitsPerInch");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("skipped");
    // d7cdc69a 0000 | 0000 0000 591f 5113 | a005: box 8025 x 4945 at 1440 per inch; 15 records, none unknown.
    QTest::newRow("probe") << "uniconvertor/probe.wmf" << true << QRect(QPoint(0, 0), QPoint(8025, 4945)) << 1440
                           << 15 << 0;
    // 5905 5905 | b004: 1369 x 1369 at 1200; 28 records, two of them escapes.
    QTest::newRow("drawing") << "pillow/drawing.wmf" << true << QRect(QPoint(0, 0), QPoint(1369, 1369)) << 1200
                             << 26 << 2;
    // 9b00 6000 | 6000: 155 x 96 at 96 per inch; 28 records, four of them escapes.
    QTest::newRow("tika") << "tika/testWMF.wmf" << true << QRect(QPoint(0, 0), QPoint(155, 96)) << 96 << 24 << 4;
    // No placeable header: window origin 0,0 and extent 0x66 x 0x43 give the frame; 50 records, two escapes.
    QTest::newRow("charset") << "tika/testWMF_charset.wmf" << false << QRect(QPoint(0, 0), QPoint(102, 67)) << 1440
                             << 48 << 2;
}

void TestWmfDecoder::corpusFrame()
{
    QFETCH(QString, file);
    QFETCH(bool, placeable);
    QFETCH(QRect, box);
    QFETCH(int, unitsPerInch);
    QFETCH(int, records);
    QFETCH(int, skipped);
    SKIP_WITHOUT_CORPUS(corpusPath(QStringLiteral("wmf/") + file));
    const Picture pic = corpusPicture(file);
    QCOMPARE(pic.placeable, placeable);
    QCOMPARE(QRect(QPoint(pic.left, pic.top), QPoint(pic.right, pic.bottom)), box);
    QCOMPARE(pic.unitsPerInch, unitsPerInch);
    QCOMPARE(int(pic.records.size()), records);
    QCOMPARE(pic.skipped, skipped);
}

void TestWmfDecoder::corpusRecord_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("index");       // in the display list, which leaves out the escapes
    QTest::addColumn<int>("function");
    QTest::addColumn<Params>("params");
    // 0x32: 05000000 0c02 5113 591f
    QTest::newRow("probe window ext") << "uniconvertor/probe.wmf" << 1 << int(SETWINDOWEXT)
                                      << Params(Coords{.x = 8025, .y = 4945});
    // 0x3c: 04000000 0201 0100
    QTest::newRow("probe bk mode") << "uniconvertor/probe.wmf" << 2 << int(SETBKMODE) << Params(Value{TRANSPARENT});
    // 0x8a: 04000000 2d01 0200
    QTest::newRow("probe select") << "uniconvertor/probe.wmf" << 9 << int(SELECTOBJECT) << Params(Slot{2});
    // 0xa8: 07000000 1b04 3313 3b1f 1e00 1e00 (bottom, right, top, left)
    QTest::newRow("probe rectangle") << "uniconvertor/probe.wmf" << 12 << int(RECTANGLE)
                                     << Params(Box{.left = 30, .top = 30, .right = 7995, .bottom = 4915});
    // 0x300: 07000000 1804 4006 9001 1405 6400, the file's only ellipse
    QTest::newRow("libuemf ellipse") << "libuemf/test_libuemf_ref.wmf" << -1 << int(ELLIPSE)
                                     << Params(Box{.left = 100, .top = 1300, .right = 400, .bottom = 1600});
    // 0x3c: 04000000 0301 0800
    QTest::newRow("drawing map mode") << "pillow/drawing.wmf" << 2 << int(SETMAPMODE) << Params(Value{MM_ANISOTROPIC});
    // 0x58: 05000000 2e01 1800 0000 (a record one word longer than its parameter)
    QTest::newRow("drawing text align") << "pillow/drawing.wmf" << 5 << int(SETTEXTALIGN) << Params(Value{TA_BASELINE});
    // 0x66f0: 11310000 410b | 2000cc00 | 4800 7400 0000 0000 4800 7400 0000 0000 | a 116 x 72 DIB
    QTest::newRow("tika stretch blt") << "tika/testWMF.wmf" << -1 << int(DIBSTRETCHBLT)
                                      << Params(Blit{.wDest = 116, .hDest = 72, .wSrc = 116, .hSrc = 72, .rop = SRCCOPY,
                                                     .image = 0});
    // 0x211c: 25000000 320a | 2200 0200 1100 0400 | 0000 0000 6600 4200 | "test_embedded_pac" 00 | dx
    QTest::newRow("charset ext text") << "tika/testWMF_charset.wmf" << 9 << int(EXTTEXTOUT)
                                      << Params(TextRun{.x = 2, .y = 34, .options = ETO_CLIPPED, .rect = {0, 0, 102, 66},
                                                        .text = "test_embedded_pac",
                                                        .dx = {4, 6, 5, 4, 6, 6, 8, 6, 6, 6, 6, 6, 6, 6, 6, 6, 5}});
    // 0x22ca: 14000000 320a | 3000 2100 0600 0400 | 0000 0000 6600 4200 | 9581 97d1 8e7a | 0c00 0000 ...
    QTest::newRow("charset two-byte text")
        << "tika/testWMF_charset.wmf" << 26 << int(EXTTEXTOUT)
        << Params(TextRun{.x = 33, .y = 48, .options = ETO_CLIPPED, .rect = {0, 0, 102, 66},
                          .text = QByteArray::fromHex("958197d18e7a"), .dx = {12, 0, 12, 0, 12, 0}});
}

void TestWmfDecoder::corpusRecord()
{
    QFETCH(QString, file);
    QFETCH(int, index);
    QFETCH(int, function);
    QFETCH(Params, params);
    SKIP_WITHOUT_CORPUS(corpusPath(QStringLiteral("wmf/") + file));
    const Picture pic = corpusPicture(file);
    if (index < 0) {  // the file's only record of that function
        const auto it = std::find_if(pic.records.begin(), pic.records.end(),
                                     [&](const Record& r) { return r.function == function; });
        QVERIFY(it != pic.records.end());
        index = int(it - pic.records.begin());
    }
    QVERIFY(index < int(pic.records.size()));
    QCOMPARE(int(pic.records[size_t(index)].function), function);
    QVERIFY(pic.records[size_t(index)].params == params);
}

void TestWmfDecoder::corpusObjects()
{
    SKIP_WITHOUT_CORPUS(corpusPath(QStringLiteral("wmf/pillow/drawing.wmf")));
    // drawing.wmf 0x0f0: 08000000 fa02 0022 0d00 0000 0000 0000; 0x0c2: 07000000 fc02 0000 ff000000 0600;
    // 0x108: 8e000000 2403 4500 3306 9d03 3206 bf03 ... 3306 9d03.
    const Picture drawing = corpusPicture(QStringLiteral("pillow/drawing.wmf"));
    QCOMPARE(int(drawing.pens.size()), 3);
    QCOMPARE(drawing.pens[2].style, 0x2200);
    QCOMPARE(drawing.pens[2].width, 13);
    QCOMPARE(drawing.brushes[1].color, quint32(0x0000FF));
    QCOMPARE(drawing.brushes[1].hatch, 6);
    const auto polygon = std::find_if(drawing.records.begin(), drawing.records.end(),
                                      [](const Record& r) { return r.function == POLYGON; });
    QVERIFY(polygon != drawing.records.end());
    const Polys& p = paramsOf<Polys>(*polygon);
    QCOMPARE(int(p.points.size()), 69);
    QCOMPARE(p.points.front(), QPoint(1587, 925));
    QCOMPARE(p.points[1], QPoint(1586, 959));
    QCOMPARE(p.points.back(), QPoint(1587, 925));
    // testWMF_charset.wmf 0x2166: 1c000000 fb02 f5ff 0000 0000 0000 9001 00 00 00 80 ... "MS UI Gothic"
    const Picture charset = corpusPicture(QStringLiteral("tika/testWMF_charset.wmf"));
    QVERIFY(charset.fonts.size() >= 2);
    QCOMPARE(charset.fonts[1].height, -11);
    QCOMPARE(charset.fonts[1].weight, 400);
    QCOMPARE(charset.fonts[1].charSet, 128);
    QCOMPARE(charset.fonts[1].faceName, QByteArray("MS UI Gothic"));
    QCOMPARE(charset.images.size(), size_t(0));
    const Picture tika = corpusPicture(QStringLiteral("tika/testWMF.wmf"));
    QCOMPARE(tika.images.at(0).size(), QSize(116, 72));
}

QTEST_MAIN(TestWmfDecoder)
#include "tst_wmfdecoder.moc"
