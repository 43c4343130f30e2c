#include <QtTest>

#include <QPainter>

#include "designer/TargetDesign.h"
#include "document/TargetImage.h"
#include "platform/Profile.h"
#include "view/TargetViewState.h"
#include "view/PosterDlg.h"
#include "print/PosterLayout.h"
#include "print/PosterMarks.h"

// The poster's grid, its empty sheets, its labels and the saved choices,
// with numbers worked by hand.
class TestPosterLayout : public QObject {
    Q_OBJECT
private slots:
    void grid_data();
    void grid();
    void emptySheets_data();
    void emptySheets();
    void labelsAndPages_data();
    void labelsAndPages();
    void options_data();
    void options();
    void designZones_data();
    void designZones();
};

namespace {

// A window state over a ring design of concentric circles.
class DesignView : public TargetViewState {
public:
    TargetImage* Target() const override { return const_cast<TargetImage*>(&m_image); }
    QString DocumentTitle() const override { return QStringLiteral("rings"); }
    TargetImage m_image;
};

}  // namespace

void TestPosterLayout::grid_data()
{
    QTest::addColumn<QSize>("target");
    QTest::addColumn<QSize>("sheet");
    QTest::addColumn<int>("overlap");
    QTest::addColumn<int>("band");
    QTest::addColumn<QList<double>>("zones");  // discs about the target's centre, largest first
    QTest::addColumn<QSize>("grid");           // columns x rows
    QTest::addColumn<QPoint>("place");         // the target's corner in the assembly
    QTest::addColumn<int>("centre");

    const QList<double> none;
    const int notAsked = int(CentreResult::NotAsked);
    const int placed = int(CentreResult::Placed);
    const int added = int(CentreResult::AddedSheets);
    const int cannot = int(CentreResult::CannotFit);
    const QSize p600(4800, 6300);
    // Without options, the plain poster: edge to edge, target centred.
    QTest::newRow("fits") << p600 << p600 << 0 << 0 << none << QSize(1, 1) << QPoint(0, 0) << notAsked;
    QTest::newRow("one pixel wider") << QSize(4801, 6300) << p600 << 0 << 0 << none << QSize(2, 1)
                                     << QPoint(2399, 0) << notAsked;
    QTest::newRow("10 x 12 in") << QSize(6000, 7200) << p600 << 0 << 0 << none << QSize(2, 2)
                                << QPoint(1800, 2700) << notAsked;
    // 10 mm at 600 dpi is 236 pixels: columns ceil((W - o) / (pw - o)).
    QTest::newRow("overlap") << QSize(6000, 7200) << p600 << 236 << 0 << none << QSize(2, 2)
                             << QPoint(1682, 2582) << notAsked;
    QTest::newRow("overlap adds a column") << QSize(9400, 100) << p600 << 236 << 0 << none << QSize(3, 1)
                                           << QPoint(2264, 3100) << notAsked;
    // A 5 mm band (118 pixels) leaves 6182 of each sheet's height.
    QTest::newRow("band adds a row") << QSize(100, 12600) << p600 << 0 << 118 << none << QSize(1, 3)
                                     << QPoint(2350, 2973) << notAsked;
    // Centring on sheets of 100 with a margin of 5.
    const QSize s100(100, 100);
    QTest::newRow("centre moves") << QSize(150, 50) << s100 << 0 << 0 << QList<double>{20} << QSize(2, 1)
                                  << QPoint(10, 25) << placed;
    QTest::newRow("centre adds a column") << QSize(190, 50) << s100 << 0 << 0 << QList<double>{20} << QSize(3, 1)
                                          << QPoint(55, 25) << added;
    QTest::newRow("centre too large") << QSize(150, 50) << s100 << 0 << 0 << QList<double>{95} << QSize(2, 1)
                                      << QPoint(25, 25) << cannot;
    QTest::newRow("larger ring when free") << QSize(150, 50) << s100 << 0 << 0 << QList<double>{40, 20}
                                           << QSize(2, 1) << QPoint(0, 25) << placed;
    QTest::newRow("smaller ring saves sheets") << QSize(150, 50) << s100 << 0 << 0 << QList<double>{60, 20}
                                               << QSize(2, 1) << QPoint(10, 25) << placed;
    QTest::newRow("single sheet, zone inside") << QSize(60, 60) << s100 << 0 << 0 << QList<double>{20}
                                               << QSize(1, 1) << QPoint(20, 20) << placed;
}

void TestPosterLayout::grid()
{
    QFETCH(QSize, target);
    QFETCH(QSize, sheet);
    QFETCH(int, overlap);
    QFETCH(int, band);
    QFETCH(QList<double>, zones);
    QFETCH(QSize, grid);
    QFETCH(QPoint, place);
    QFETCH(int, centre);

    PosterGeometry g;
    g.w = target.width();
    g.h = target.height();
    g.pw = sheet.width();
    g.ph = sheet.height();
    g.overlap = overlap;
    g.band = band;
    g.centre = !zones.isEmpty();
    g.margin = 5;
    for (double d : zones) g.zones.emplace_back(g.w / 2.0 - d / 2, g.h / 2.0 - d / 2, d, d);
    const PosterGrid r = LayoutPoster(g);
    QCOMPARE(QSize(r.cols, r.rows), grid);
    QCOMPARE(QPoint(r.targetX, r.targetY), place);
    QCOMPARE(int(r.centre), centre);
    // The assembly holds the whole target.
    QVERIFY(r.targetX >= 0 && r.targetX + g.w <= r.Width());
    QVERIFY(r.targetY >= 0 && r.targetY + g.h <= r.Height());
    if (r.centre == CentreResult::Placed || r.centre == CentreResult::AddedSheets) {
        // The kept zone lies on one sheet, clear of its edges by the margin,
        // and that is the sheet the window names.
        int onSheet = -1;
        for (int k = r.Count() - 1; k >= 0; --k) {
            const QRectF s = QRectF(r.Sheet(k / r.cols, k % r.cols).toQRect()).adjusted(5, 5, -5, -5);
            if (s.contains(r.zone)) onSheet = k;
        }
        QVERIFY(onSheet >= 0);
        QCOMPARE(r.zoneSheet, onSheet);
    }
}

void TestPosterLayout::emptySheets_data()
{
    // A 300 x 300 target on 3 x 3 sheets of 100, drawn small at half size.
    QTest::addColumn<QRect>("ink");  // in the small picture
    QTest::addColumn<bool>("disc");
    QTest::addColumn<int>("grey");
    QTest::addColumn<QList<int>>("empty");
    QTest::newRow("disc in the middle") << QRect(45, 45, 60, 60) << true << 0 << QList<int>{6, 8};
    QTest::newRow("one dot") << QRect(125, 125, 1, 1) << false << 0 << QList<int>{1, 3, 4, 5, 6, 7};
    QTest::newRow("dot beside a seam counts on both") << QRect(100, 125, 1, 1) << false << 0
                                                      << QList<int>{1, 3, 4, 5, 6};
    QTest::newRow("pale grey is ink") << QRect(125, 125, 1, 1) << false << 230 << QList<int>{1, 3, 4, 5, 6, 7};
    QTest::newRow("scanner's near-white is not") << QRect(0, 0, 150, 150) << false << 245
                                                 << QList<int>{1, 3, 4, 5, 6, 7, 8};
    QTest::newRow("no ink keeps title and maker's sheets") << QRect() << false << 0
                                                           << QList<int>{1, 3, 4, 5, 6, 7, 8};
}

void TestPosterLayout::emptySheets()
{
    QFETCH(QRect, ink);
    QFETCH(bool, disc);
    QFETCH(int, grey);
    QFETCH(QList<int>, empty);
    QImage img(150, 150, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(grey, grey, grey));
    if (disc) p.drawEllipse(ink);
    else if (!ink.isNull()) p.fillRect(ink, QColor(grey, grey, grey));
    p.end();
    PosterGeometry g;
    g.w = g.h = 300;
    g.pw = g.ph = 100;
    const PosterGrid grid = LayoutPoster(g);
    const std::vector<bool> found = FindEmptySheets(grid, 300, 300, img);
    QList<int> got;
    for (int k = 0; k < int(found.size()); ++k)
        if (found[size_t(k)]) got << k;
    QCOMPARE(got, empty);
}

void TestPosterLayout::labelsAndPages_data()
{
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QSize>("grid");
    QTest::addColumn<QString>("place");  // label, then left, above, right, below
    QTest::newRow("first") << 0 << QSize(3, 2) << QStringLiteral("A1 - - A2 B1");
    QTest::newRow("middle") << 7 << QSize(5, 4) << QStringLiteral("B3 B2 A3 B4 C3");
    QTest::newRow("last") << 19 << QSize(5, 4) << QStringLiteral("D5 D4 C5 - -");
    QTest::newRow("row 27") << 26 * 10 + 9 << QSize(10, 30) << QStringLiteral("AA10 AA9 Z10 - AB10");
}

void TestPosterLayout::labelsAndPages()
{
    QFETCH(int, sheet);
    QFETCH(QSize, grid);
    QFETCH(QString, place);
    const SheetPlace p = PlaceOfSheet(sheet, grid.height(), grid.width());
    QStringList parts{p.label};
    for (const QString& n : p.neighbours) parts << (n.isEmpty() ? QStringLiteral("-") : n);
    QCOMPARE(parts.join(QLatin1Char(' ')), place);

    // Pages count the sheets that print; the labels keep the grid's places.
    const std::vector<bool> empty{false, true, false, true, false};
    QCOMPARE(SheetOfPage(empty, 5, 1), 0);
    QCOMPARE(SheetOfPage(empty, 5, 2), 2);
    QCOMPARE(SheetOfPage(empty, 5, 3), 4);
    QCOMPARE(SheetOfPage(empty, 5, 4), -1);
}

void TestPosterLayout::options_data()
{
    QTest::addColumn<QString>("overlap");
    QTest::addColumn<int>("himetric");  // -1: refused
    QTest::newRow("mm") << QStringLiteral("10mm") << 1000;
    QTest::newRow("bare number") << QStringLiteral("2.5") << 250;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("largest") << QStringLiteral("50 MM") << 5000;
    QTest::newRow("too wide") << QStringLiteral("51mm") << -1;
    QTest::newRow("negative") << QStringLiteral("-3mm") << -1;
    QTest::newRow("inches") << QStringLiteral("1in") << -1;
    QTest::newRow("empty") << QString() << -1;
}

void TestPosterLayout::options()
{
    QFETCH(QString, overlap);
    QFETCH(int, himetric);
    int got = -1;
    const QString problem = ParseOverlapOption(overlap, &got);
    QCOMPARE(problem.isEmpty(), himetric >= 0);
    if (himetric >= 0) QCOMPARE(got, himetric);

    // The settings keep a choice; what cannot be one reads as off.
    PosterOptions o;
    o.nOverlap = std::max(himetric, 0);
    o.bSheetLabels = himetric % 2 == 0;
    o.bSkipEmpty = true;
    WritePosterOptions(o);
    QCOMPARE(ReadPosterOptions(), o);
    WritePrivateProfileString(QStringLiteral("Poster"), QStringLiteral("Overlap"), QStringLiteral("999"),
                              QStringLiteral("Vantric.ini"));
    QCOMPARE(ReadPosterOptions().nOverlap, 0);
}

void TestPosterLayout::designZones_data()
{
    QTest::addColumn<QList<double>>("rings");   // inches
    QTest::addColumn<double>("distanceScale");
    QTest::addColumn<QList<int>>("zones");      // diameters, HIMETRIC, largest first
    QTest::newRow("rings outside in") << QList<double>{10, 4, 1} << 1.0 << QList<int>{25400, 10160, 2540};
    QTest::newRow("dot grows to 25 mm") << QList<double>{10, 0.5} << 1.0 << QList<int>{25400, 2500};
    QTest::newRow("scaled for distance") << QList<double>{10, 2} << 0.5 << QList<int>{12700, 2540};
}

void TestPosterLayout::designZones()
{
    QFETCH(QList<double>, rings);
    QFETCH(double, distanceScale);
    QFETCH(QList<int>, zones);
    CTargetDesign design;
    for (double d : rings) design.AddCircle(d, 0x000000, 0.0, true, 0xffffff, QString(), false);
    design.Rebuild();
    DesignView v;
    QVERIFY(v.m_image.SetDesigner(design));
    if (distanceScale != 1.0) {
        v.m_modes.StartDistanceScale();
        v.m_dDistanceScale = distanceScale;
    }
    const QSize size = v.GetLayoutSize();
    QList<int> got;
    for (const QRectF& z : v.CentralZones()) {
        // Every zone is a disc about the middle of the target.
        QVERIFY(qAbs(z.center().x() - size.width() / 2.0) < 1.0);
        QVERIFY(qAbs(z.center().y() - size.height() / 2.0) < 1.0);
        got << qRound(z.width());
    }
    QCOMPARE(got, zones);
}

QTEST_MAIN(TestPosterLayout)
#include "tst_posterlayout.moc"
