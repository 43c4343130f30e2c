#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <set>

#include "designer/DesignGeometry.h"
#include "designer/TargetDesign.h"
#include "PdfTools.h"

Q_DECLARE_METATYPE(GdiRect)
Q_DECLARE_METATYPE(std::function<void(CTargetDesign&)>)

// Drawing a design: the integer fitting rules, the rings' pixels at 600 and
// 96 dpi, pens, the grid and the labels, and vector output into a PDF.
class TestDesignDraw : public QObject {
    Q_OBJECT

    static QImage render(CTargetDesign& d, int dpi, int side, GdiRect rect = {})
    {
        QImage img = makeDeviceImage(side, side, dpi, dpi);
        QPainter p(&img);
        DeviceContext dc(&p);
        d.Draw(dc, rect.isNull() ? GdiRect(0, 0, side, side) : rect);
        return img;
    }
    static bool dark(QRgb c) { return qGray(c) < 80; }
    static bool white(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }
    static int darkIn(const QImage& img, int x0, int x1, int y0, int y1)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += dark(img.pixel(x, y));
        return n;
    }

private slots:
    void scaleRect()
    {
        QCOMPARE(ScaleRect(GdiRect(10, -10, 15, -15), 0.5), GdiRect(5, -5, 7, -7));
        QCOMPARE(ScaleRect(GdiRect(3, 3, 3, 3), 0.9999), GdiRect(2, 2, 2, 2));
    }

    void centreRect_data()
    {
        QTest::addColumn<GdiRect>("s");
        QTest::addColumn<GdiRect>("t");
        QTest::addColumn<GdiRect>("expected");
        QTest::newRow("odd room") << GdiRect(0, 0, 10, 10) << GdiRect(0, 0, 21, 21) << GdiRect(5, 5, 15, 15);
        QTest::newRow("about the origin") << GdiRect(-3, -3, 4, 4) << GdiRect(0, 0, 10, 10) << GdiRect(1, 1, 8, 8);
        QTest::newRow("larger: truncates toward zero")
            << GdiRect(0, 0, 10, 10) << GdiRect(0, 0, 5, 5) << GdiRect(-2, -2, 8, 8);
    }
    void centreRect()
    {
        QFETCH(GdiRect, s);
        QFETCH(GdiRect, t);
        QFETCH(GdiRect, expected);
        QCOMPARE(CentreRect(s, t), expected);
    }

    void fitRect_data()
    {
        QTest::addColumn<GdiRect>("s");
        QTest::addColumn<GdiRect>("t");
        QTest::addColumn<GdiRect>("expected");
        QTest::addColumn<double>("scale");
        QTest::newRow("default at 600 dpi")
            << GdiRect(-2100, -2100, 2100, 2100) << GdiRect(0, 0, 4200, 4200) << GdiRect(0, 0, 4200, 4200) << 1.0;
        QTest::newRow("wide source in a tall box")
            << GdiRect(0, 0, 100, 50) << GdiRect(10, 20, 260, 271) << GdiRect(10, 83, 260, 208) << 2.5;
        QTest::newRow("negative target")
            << GdiRect(0, 0, 2, 1) << GdiRect(-10, -10, -1, 5) << GdiRect(-10, -5, -1, -1) << 4.5;
    }
    void fitRect()
    {
        QFETCH(GdiRect, s);
        QFETCH(GdiRect, t);
        QFETCH(GdiRect, expected);
        QFETCH(double, scale);
        double e = 0;
        QCOMPARE(FitRect(s, t, &e), expected);
        QCOMPARE(e, scale);
    }

    void defaultGeometry_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("600 dpi") << 600;
        QTest::newRow("96 dpi") << 96;
    }
    void defaultGeometry()
    {
        QFETCH(int, dpi);
        CTargetDesign d;
        d.LoadDefault();
        const int side = dpi * 7;
        const QImage img = render(d, dpi, side);
        const int c = side / 2;
        const int w = std::max(1, int(0.03 * dpi));

        // The 7-inch ring spans the whole box, within its line width.
        int first = 0, last = side - 1;
        while (first < side && white(img.pixel(first, c))) ++first;
        while (last >= 0 && white(img.pixel(last, c))) --last;
        QVERIFY2(first <= w / 2, qPrintable(QString::number(first)));
        QVERIFY2(last >= side - 1 - w / 2, qPrintable(QString::number(last)));
        QVERIFY(white(img.pixel(w + 1, w + 1)));  // a corner outside the ring

        // Ring k's outline crosses the centre line at centre -/+ k/2 inches.
        for (int k = 1; k <= 7; ++k) {
            const int offset = int(dpi * (k / 2.0));
            for (int x : {c - offset, c + offset}) {
                if (x >= side) x = side - 1;
                QVERIFY2(dark(img.pixel(x, c)), qPrintable(QStringLiteral("ring %1 at %2").arg(k).arg(x)));
                if (k < 7) {
                    QVERIFY(!dark(img.pixel(x - w - 2, c + w + 2)));
                    QVERIFY(!dark(img.pixel(x + w + 2, c + w + 2)));
                }
            }
        }
        // The inner ring is red off the cross; the grey bands are grey.
        QCOMPARE(img.pixel(c + dpi * 3 / 10, c + dpi * 3 / 10) & 0xFFFFFF, 0xFF0000u);
        QCOMPARE(img.pixel(c + dpi * 3 / 4, c + dpi / 10) & 0xFFFFFF, 0xAAA9A9u);
        // The cross is white across the bull's-eye.
        QVERIFY(white(img.pixel(c + dpi / 8, c)));
        QVERIFY(white(img.pixel(c, c - dpi / 8)));

        // Labels "9" to "4" sit left of the centre in their bands, none right.
        const int h = int(dpi * 140.0 / 1440.0);
        for (int k = 2; k <= 7; ++k) {
            const int outer = int(dpi * (k / 2.0)), inner = int(dpi * ((k - 1) / 2.0));
            QVERIFY2(darkIn(img, c - outer + w + 1, c - inner - w - 1, c - h, c + h) > 0, qPrintable(QString::number(k)));
            QCOMPARE(darkIn(img, c + inner + w + 1, c + outer - w - 1, c - h, c + h), 0);
        }
    }

    void labelColour_data()
    {
        QTest::addColumn<uint>("fill");
        QTest::addColumn<uint>("text");
        QTest::newRow("white") << 0xFFFFFFu << 0x000000u;
        QTest::newRow("red, lum 76") << 0x0000FFu << 0xFFFFFFu;
        QTest::newRow("grey A9A9AA, lum 169") << 0xA9A9AAu << 0x000000u;
        QTest::newRow("lum 128") << 0x808080u << 0x000000u;
        QTest::newRow("lum 127") << 0x7F7F7Fu << 0xFFFFFFu;
        QTest::newRow("green 218: lum 127") << 0x00DA00u << 0xFFFFFFu;
        QTest::newRow("green 219: lum 128") << 0x00DB00u << 0x000000u;
        QTest::newRow("full blue is dark") << 0xFF0000u << 0xFFFFFFu;
        QTest::newRow("full red and green") << 0x00FFFFu << 0x000000u;
    }
    void labelColour()
    {
        QFETCH(uint, fill);
        QFETCH(uint, text);
        QCOMPARE(CDesignElement::LabelTextColor(fill), text);
    }

    void whiteLabelOnRed()
    {
        CTargetDesign d;
        d.AddCircle(4.0, 0, 0.03, true, 0x0000FF, "8", false);
        d.AddCircle(1.0, 0, 0.03, true, 0xFFFFFF, "", true);
        const QImage img = render(d, 96, 384);
        int whites = 0;
        for (int x = 10; x < 130; ++x)
            for (int y = 182; y < 202; ++y) whites += white(img.pixel(x, y));
        QVERIFY(whites > 5);
        QCOMPARE(darkIn(img, 10, 130, 182, 202), 0);
    }

    void pens_data()
    {
        QTest::addColumn<double>("thickness");
        QTest::addColumn<bool>("outlined");
        QTest::newRow("0.001 in still one unit") << 0.001 << true;
        QTest::newRow("0 in: outlined in its fill") << 0.0 << false;
    }
    void pens()
    {
        QFETCH(double, thickness);
        QFETCH(bool, outlined);
        for (int shape : {ELEMENT_CIRCLE, ELEMENT_SQUARE, ELEMENT_DIAMOND}) {
            CTargetDesign d;
            if (shape == ELEMENT_CIRCLE) d.AddCircle(2.0, 0x000000, thickness, true, 0x00FFFF, "", true);
            if (shape == ELEMENT_SQUARE) d.AddSquare(2.0, 0x000000, thickness, true, 0x00FFFF, "", true);
            if (shape == ELEMENT_DIAMOND) d.AddDiamond(2.0, 0x000000, thickness, true, 0x00FFFF, "", true);
            const QImage img = render(d, 96, 300, GdiRect(50, 50, 242, 242));
            QVERIFY(white(img.pixel(48, 146)));
            QCOMPARE(darkIn(img, 0, 300, 0, 300) > 0, outlined);
            if (shape == ELEMENT_DIAMOND) continue;  // its tips are single points
            QCOMPARE(dark(img.pixel(50, 146)), outlined);
            QCOMPARE(dark(img.pixel(242, 146)), outlined);
            QCOMPARE(img.pixel(51, 146) & 0xFFFFFF, 0xFFFF00u);
            QCOMPARE(img.pixel(241, 146) & 0xFFFFFF, 0xFFFF00u);
            if (!outlined) QCOMPARE(img.pixel(50, 146) & 0xFFFFFF, 0xFFFF00u);
        }
    }

    void nothingToDraw_data()
    {
        QTest::addColumn<std::function<void(CTargetDesign&)>>("build");
        using F = std::function<void(CTargetDesign&)>;
        QTest::newRow("empty") << F([](CTargetDesign&) {});
        QTest::newRow("all disabled, grid on") << F([](CTargetDesign& d) {
            d.AddCircle(3.0, 0, 0.03, false, 0x0000FF, "1", false);
            d.SetGrid(0, 0.05, true, 0.1);
        });
        QTest::newRow("smaller than a pixel")
            << F([](CTargetDesign& d) { d.AddCircle(0.001, 0, 0.03, true, 0x0000FF, "1", false); });
    }
    void nothingToDraw()
    {
        QFETCH(std::function<void(CTargetDesign&)>, build);
        CTargetDesign d;
        build(d);
        d.Rebuild();
        const QImage img = render(d, 96, 64);
        QImage blank = makeDeviceImage(64, 64, 96, 96);
        QCOMPARE(img, blank);
        if (!d.GetFirstEnabledElement()) QCOMPARE(d.OverallDiameter(), 0.0);
    }

    void gridSteps_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("outermost");
        QTest::newRow("stops at 99 steps") << 100000 << 1.0 << 197 << 9800;
        QTest::newRow("stops at the edge") << 1000 << 1.0 << 11 << 500;
        QTest::newRow("last line on the edge") << 1001 << 1.0 << 11 << 500;
        QTest::newRow("zero spacing") << 1000 << 0.0 << 1 << 0;
    }
    void gridSteps()
    {
        QFETCH(int, side);
        QFETCH(double, spacing);
        QFETCH(int, lines);
        QFETCH(int, outermost);
        const QPainterPath path = CGridElement::GridPath(GdiRect(0, 0, side, side), spacing, 100);
        std::set<int> xs, ys;
        const int cx = side / 2;
        for (int i = 0; i + 1 < path.elementCount(); ++i) {
            const auto a = path.elementAt(i), b = path.elementAt(i + 1);
            if (!a.isMoveTo()) continue;
            if (a.x == b.x) xs.insert(int(a.x) - cx);
            else ys.insert(int(a.y) - cx);
        }
        QCOMPARE(int(xs.size()), lines);
        QCOMPARE(int(ys.size()), lines);
        QCOMPARE(*xs.rbegin(), outermost);
        QCOMPARE(-*xs.begin(), outermost);
    }

    void gridOnTop()
    {
        CTargetDesign d;
        d.LoadDefault();
        d.SetGrid(0x606060, 0.005, true, 1.0);
        const QImage img = render(d, 600, 4200);
        // The grid's centre line is painted over by the bull's-eye's white line.
        QVERIFY(white(img.pixel(2100 + 60, 2100)));
        // Elsewhere the grid lies over the rings.
        QCOMPARE(img.pixel(2100 + 600, 2100 + 300) & 0xFFFFFF, 0x606060u);
        QCOMPARE(img.pixel(2100 + 300, 2100 + 1200) & 0xFFFFFF, 0x606060u);
        QVERIFY(!dark(img.pixel(2100 + 300, 2100 + 1300)));
    }

    void labelsRaisedOverGrid()
    {
        auto topOfLabel = [](bool grid) {
            CTargetDesign d;
            d.LoadDefault();
            d.SetGrid(0xFFFFFF, 0.005, grid, 1.0);  // a white grid leaves the white bands clean
            const QImage img = render(d, 600, 4200);
            for (int y = 1900; y < 2300; ++y)
                for (int x = 2100 - 2100 + 30; x < 2100 - 1800 - 30; ++x)
                    if (dark(img.pixel(x, y))) return y;
            return -1;
        };
        const int off = topOfLabel(false), on = topOfLabel(true);
        QVERIFY(off > 0 && on > 0);
        const int em = (140 * 600 + 360) / 720;
        QVERIFY2(off - on > em * 3 / 10 && off - on < em / 2, qPrintable(QStringLiteral("%1 %2").arg(off).arg(on)));
    }

    void labelFits_data()
    {
        QTest::addColumn<double>("inner");
        QTest::addColumn<QString>("label");
        QTest::newRow("wide band keeps 14 pt") << 1.0 << QStringLiteral("9");
        QTest::newRow("medium band") << 3.7 << QStringLiteral("8888");
        QTest::newRow("tight band") << 3.93 << QStringLiteral("WWWW");
        QTest::newRow("no band: 4 pt") << 3.999 << QStringLiteral("8888");
    }
    void labelFits()
    {
        QFETCH(double, inner);
        QFETCH(QString, label);
        // At 720 dpi a font's pixel size equals its size in tenths of a point.
        CTargetDesign d;
        d.SetLabelFontSize(140);
        CDesignElement* ring = d.AddSquare(4.0, 0, 0.001, true, 0xFFFFFF, label, false);
        d.AddSquare(inner, 0, 0.001, true, 0xFFFFFF, "", true);
        const QImage img = render(d, 720, 3280, GdiRect(200, 200, 3080, 3080));
        const int n = ring->LabelFont().pixelSize();
        const int box = int(720 * 2.0) - int(720 * inner / 2);
        QVERIFY(n >= 40 && n <= 140);
        QVERIFY(n == 140 || n == 40 || (n - 140) % 10 == 0);
        auto width = [&](int px) {
            QFont f = ring->LabelFont();
            f.setPixelSize(px);
            return QFontMetrics(f, &img).horizontalAdvance(label);
        };
        if (n > 40) QVERIFY2(width(n) <= box + 1, qPrintable(QString::number(n)));
        if (n < 140) QVERIFY2(width(n + 10) > box - 1, qPrintable(QString::number(n)));
        if (n == 40 && box < width(40)) {
            // The label overflows its band rather than being clipped: past
            // the outer edge it shows on the paper around the target.
            QVERIFY(darkIn(img, 200 - 40, 200 - 3, 1600, 1680) > 0);
        }
    }

    void pdfStaysVector()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("design.pdf"));
        {
            QPdfWriter writer(path);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::Letter));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter p(&writer);
            DeviceContext dc(&p);
            QCOMPARE(dc.dpiX(), 600);
            CTargetDesign d;
            d.LoadDefault();
            d.SetGrid(0x606060, 0.005, true, 1.0);
            d.Draw(dc, GdiRect(0, 0, 4200, 4200));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray pdf = f.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(!pdf.contains("/Subtype /Image"));
        QVERIFY(pdf.contains("/FontFile"));  // the labels are text

        if (!HavePoppler()) QSKIP("poppler-utils is not installed");
        const QImage page = RasterisePdfPage(path, 1, 50, true);
        QVERIFY(!page.isNull());
        // 3.5 in from the corner, off the cross: the red inner ring.
        const QRgb c = page.pixel(175 + 12, 175 + 12);
        QVERIFY2(qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60, qPrintable(QString::number(c, 16)));
    }
};

QTEST_MAIN(TestDesignDraw)
#include "tst_designdraw.moc"
