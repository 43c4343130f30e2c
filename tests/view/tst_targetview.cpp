// The target window's view in a real main frame, child frame and document:
// its first update, zoom commands and their check marks, the screen sizes at
// the screen's resolution, the mode commands, printer and design changes,
// and what it paints.
#include <QFile>
#include <QMdiArea>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

#include "designer/TargetDesign.h"
#include "document/TargetDoc.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Frame.h"
#include "print/PrinterSettings.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/ScreenCalibration.h"
#include "view/TargetView.h"
#include "view/TileLayout.h"
#include "view/TileLayoutCommand.h"

using namespace Cmd;

namespace {

const int ZOOM_IDS[] = {ID_VIEW_FIT_TO_WINDOW, ID_VIEW_ZOOM_25, ID_VIEW_ZOOM_50, ID_VIEW_ZOOM_75, ID_VIEW_ZOOM_100};
const QRgb BLUE = qRgb(0, 0, 255);
const QRgb LIGHT_BLUE = qRgb(192, 192, 255);
const QRgb RED = qRgb(255, 0, 0);

// A metafile target of w by h inches, solid red all over.
QByteArray redMetafile(double wIn, double hIn)
{
    const int inch = 1000;
    const int w = int(wIn * inch), h = int(hIn * inch);
    WmfWriter wmf(0, 0, w, h, inch);
    wmf.selectObject(wmf.createPen(wmf::PS_NULL, 0, 0));
    wmf.selectObject(wmf.createBrush(wmf::BS_SOLID, 0x0000FF));
    wmf.rectangle(0, 0, w + 1, h + 1);
    return wmf.finish();
}

// A design of one filled circle of the given diameter in inches.
void circleDesign(CTargetDesign& design, double diameter)
{
    design.Clear();
    design.AddCircle(diameter, 0x000000, 0.02, true, 0x000000, QString(), true);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Extent of the pixels of one colour along a row or a column: (first, count).
QPair<int, int> runOf(const QImage& img, QRgb colour, int fixed, bool row)
{
    const int n = row ? img.width() : img.height();
    int first = -1, last = -1;
    for (int i = 0; i < n; ++i) {
        const QRgb px = row ? img.pixel(i, fixed) : img.pixel(fixed, i);
        if ((px & 0xFFFFFF) != (colour & 0xFFFFFF)) continue;
        if (first < 0) first = i;
        last = i;
    }
    return first < 0 ? qMakePair(-1, 0) : qMakePair(first, last - first + 1);
}

int darkPixels(const QImage& img, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += qGray(img.pixel(x, y)) < 100;
    return n;
}

}  // namespace

class TestTargetView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void initialMembersAndEmptyDocument();
    void firstUpdate_data();
    void firstUpdate();
    void zoomCommandsAndCheckMarks();
    void fixedZoomSizesAndScrollRange_data();
    void fixedZoomSizesAndScrollRange();
    void fullSizeIsTheScreensInch_data();
    void fullSizeIsTheScreensInch();
    void fitZoomFillsClientAndFollowsResize();
    void frameShrinksToPictureAtFixedZoom();
    void modeCommands();
    void printerChangedRereadsMetrics();
    void designerChangedRelayout();
    void paintsSheetOutlinesAndCentredTarget();
    void scaleCaptionOnScreen();

private:
    CTargetView* open(const QString& name);
    QString path(const QString& name) const { return m_dir.filePath(name); }
    int route(int id) { return m_main->routeCommand(id) ? 1 : 0; }
    CCmdUI update(int id);
    QImage paint(CTargetView* view);
    // Inches of the default printer's printable area.
    double pw() const { return m_printer.sizePrintable.width() / 2540.0; }
    double ph() const { return m_printer.sizePrintable.height() / 2540.0; }

    QTemporaryDir m_dir;
    PrinterPageMetrics m_printer;  // HIMETRIC
    double m_small = 0;            // side of the small target, inches
    CWinApp* m_app = nullptr;
    CMDIFrameWnd* m_main = nullptr;
    CMultiDocTemplate* m_template = nullptr;
    std::function<CTargetView*()> m_makeView;
};

void TestTargetView::initTestCase()
{
    MessageLog::setEcho(false);
    QVERIFY(m_dir.isValid());
    // Every window lays out for PDF output on Letter, whatever printers the
    // machine has: 8.5 x 11 in with a quarter inch all round, 850 x 1100
    // pixels on the offscreen screen's 100 per inch, 800 x 1050 of them
    // printable, 25 in from the edges. The targets are sized after it.
    PrinterSettings().save();
    GetPrinterPageMetrics(PrinterSettings::load(), PAGE_UNITS_HIMETRIC, m_printer);
    QVERIFY(!m_printer.sizePrintable.isEmpty());
    m_small = 0.3 * std::min(pw(), ph());
    QVERIFY(writeFile(path("small.wmf"), redMetafile(m_small, m_small)));   // fits several times
    QVERIFY(writeFile(path("wide.wmf"), redMetafile(1.1 * pw(), 0.7 * ph())));  // 10 % wider: no poster
    QVERIFY(writeFile(path("poster.wmf"), redMetafile(1.5 * pw(), 1.5 * ph())));  // 2 x 2 poster
    QVERIFY(writeFile(path("ten.wmf"), redMetafile(10, 8)));
    QImage raster(300, 200, QImage::Format_RGB32);                       // 3 x 2 in at 100 dpi
    raster.fill(Qt::red);
    raster.setDotsPerMeterX(3937);
    raster.setDotsPerMeterY(3937);
    QVERIFY(raster.save(path("raster.bmp")));
    CTargetDesign design;
    circleDesign(design, 1.5 * std::max(pw(), ph()));
    QFile rgd(path("big.rgd"));
    QVERIFY(rgd.open(QIODevice::WriteOnly));
    QVERIFY(design.Write(rgd));
    rgd.close();

    m_app = new CWinApp;
    m_main = new CMDIFrameWnd;
    m_app->SetMainFrame(m_main);
    m_makeView = [] { return new CTargetView; };
    m_template = new CMultiDocTemplate(
        IDR_TARGETTYPE, QStringLiteral("\nTarget\nTarget\nTargets (*.vnt)\n.vnt\nVantric.Document\nTarget Document"),
        [] { return new CTargetDoc; }, [] { return new CMDIChildWnd; }, [this] { return m_makeView(); });
    m_app->AddDocTemplate(m_template);
    m_main->resize(1200, 800);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void TestTargetView::cleanupTestCase()
{
    m_app->CloseAllDocuments(true);
    m_app->SetMainFrame(nullptr);
    delete m_main;
    delete m_app;
}

void TestTargetView::cleanup()
{
    m_app->CloseAllDocuments(true);
    m_makeView = [] { return new CTargetView; };
    QCoreApplication::processEvents();
}

CTargetView* TestTargetView::open(const QString& name)
{
    CDocument* doc = m_template->OpenDocumentFile(name.isEmpty() ? QString() : path(name), true);
    if (!doc) return nullptr;
    QCoreApplication::processEvents();
    return dynamic_cast<CTargetView*>(doc->firstView());
}

CCmdUI TestTargetView::update(int id)
{
    CCmdUI ui(id);
    RouteUpdate(m_main->commandRoute(), ui);
    return ui;
}

QImage TestTargetView::paint(CTargetView* view)
{
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void TestTargetView::initialMembersAndEmptyDocument()
{
    CTargetView fresh;
    for (const TargetLayout* L : {&fresh.m_layoutScreen, &fresh.m_layoutPrint}) {
        QVERIFY(L->m_arrTargets.empty() && L->m_arrPages.empty());
        QVERIFY(L->m_rcPaper.isNull() && L->m_rcPrintable.isNull() && L->m_rcTargets.isNull());
        QCOMPARE(L->m_nPageRows * L->m_nPageCols * L->m_nTargetRows * L->m_nTargetCols, 1);
        QCOMPARE(L->m_dFitScale, 1.0);
    }
    QCOMPARE(fresh.m_sizePaper, QSize(0, 0));
    QCOMPARE(fresh.m_sizePrintable, QSize(0, 0));
    QCOMPARE(fresh.m_sizeOffset, QSize(0, 0));
    QCOMPARE(fresh.m_nZoomCmd, ID_VIEW_FIT_TO_WINDOW);
    QCOMPARE(fresh.m_dZoom, 0.5);
    QCOMPARE(fresh.m_rcTotal, GdiRect(0, 0, 1000, 1000));
    QCOMPARE(fresh.m_modes.Tile(), TILE_NONE);
    QCOMPARE(fresh.m_modes.SavedTile(), TILE_NONE);
    QCOMPARE(fresh.m_nCurPage, 0);
    QCOMPARE(fresh.m_modes.Scale(), SCALE_ACTUAL);
    QCOMPARE(fresh.m_dDistanceScale, 1.0);
    QCOMPARE(fresh.m_dTargetDistance, 1.0);
    QCOMPARE(fresh.m_dShooterDistance, 1.0);
    QCOMPARE(fresh.m_nRowSpacing + fresh.m_nColSpacing + fresh.m_nTileRows + fresh.m_nTileCols, 0);
    QVERIFY(fresh.m_bAskTileSpacing);
    QCOMPARE(fresh.m_strShooterUnit, QStringLiteral("Yards"));
    QCOMPARE(fresh.m_strTargetUnit, QStringLiteral("Yards"));
    QCOMPARE(fresh.m_nPictureKind, 1);

    // A document without a picture: 100 x 100 to scroll over, the picture
    // commands greyed, and choosing them does nothing.
    CTargetView* view = open(QString());
    QVERIFY(view);
    QCOMPARE(view->m_rcTotal, GdiRect(0, 0, 100, 100));
    QCOMPARE(view->GetTotalSize(), QSize(100, 100));
    QCOMPARE(view->m_nPictureKind, 1);
    for (int id : {ID_VIEW_TILE_PAGES, ID_VIEW_SCALE_TO_PAGE, ID_VIEW_SCALE_DISTANCE, ID_VIEW_TILE_TARGET, ID_FILE_PRINT})
        QVERIFY2(!update(id).isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 0);
    QCOMPARE(view->m_modes.Scale(), SCALE_ACTUAL);
    QVERIFY(update(ID_VIEW_ZOOM_100).isEnabled());
}

void TestTargetView::firstUpdate_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QSize>("himetric");
    QTest::addColumn<int>("tileMode");
    QTest::addColumn<int>("pages");
    auto him = [](double w, double h) { return QSize(int(w * 2540), int(h * 2540)); };
    QTest::newRow("metafile that fits") << "small.wmf" << 1 << him(m_small, m_small) << TILE_NONE << 1;
    QTest::newRow("metafile 10 % too wide") << "wide.wmf" << 1 << him(1.1 * pw(), 0.7 * ph()) << TILE_NONE << 1;
    QTest::newRow("metafile poster") << "poster.wmf" << 1 << him(1.5 * pw(), 1.5 * ph()) << TILE_PAGES_TO_TARGET
                                     << 4;
    QTest::newRow("raster") << "raster.bmp" << 2 << QSize(7620, 5080) << TILE_NONE << 1;
    const double d = 1.5 * std::max(pw(), ph());
    const int sheets = int(std::ceil(d / pw())) * int(std::ceil(d / ph()));
    QTest::newRow("design poster") << "big.rgd" << 3 << him(d, d) << TILE_PAGES_TO_TARGET << sheets;
}

void TestTargetView::firstUpdate()
{
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(QSize, himetric);
    QFETCH(int, tileMode);
    QFETCH(int, pages);
    CTargetView* view = open(file);
    QVERIFY(view);
    QCOMPARE(view->m_nPictureKind, kind);
    const QSize size = view->GetLayoutSize();
    QVERIFY2(qAbs(size.width() - himetric.width()) <= 3 && qAbs(size.height() - himetric.height()) <= 3,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));

    QCOMPARE(view->StoredMetrics(), m_printer);
    // The automatic poster saves nothing.
    QCOMPARE(view->m_modes.Tile(), tileMode);
    QCOMPARE(view->m_modes.SavedTile(), TILE_NONE);
    QCOMPARE(view->m_layoutScreen.PageCount(), pages);
    QCOMPARE(int(view->m_layoutScreen.m_arrPages.size()), pages);
    QCOMPARE(view->m_nZoomCmd, ID_VIEW_FIT_TO_WINDOW);

    // Fitted, the new window fills the rest of the main window's client area.
    CMDIChildWnd* frame = GetParentFrame(view);
    QVERIFY(frame && frame->isVisible());
    QCOMPARE(m_main->MDIGetActive(), frame);
    const QSize area = m_main->mdiArea()->viewport()->size();
    QCOMPARE(frame->geometry().right() + 1, area.width());
    QCOMPARE(frame->geometry().bottom() + 1, area.height());
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(view->verticalScrollBar()->maximum(), 0);
}

void TestTargetView::zoomCommandsAndCheckMarks()
{
    CTargetView* view = open("ten.wmf");
    QVERIFY(view);
    struct Step { int id; double zoom; };
    const Step steps[] = {{ID_VIEW_ZOOM_25, 0.25}, {ID_VIEW_ZOOM_50, 0.5}, {ID_VIEW_ZOOM_75, 0.75},
                          {ID_VIEW_ZOOM_100, 1.0}, {ID_VIEW_FIT_TO_WINDOW, 1.0}, {ID_VIEW_ZOOM_50, 0.5}};
    for (const Step& s : steps) {
        QCOMPARE(route(s.id), 1);
        QCOMPARE(view->m_nZoomCmd, s.id);
        QCOMPARE(view->m_dZoom, s.zoom);
        QCOMPARE(view->IsFitZoom(), s.id == ID_VIEW_FIT_TO_WINDOW);
        // Through the main frame's actions, as the menu and toolbar see it.
        int checked = 0;
        for (int id : ZOOM_IDS) {
            QAction* action = m_main->commandAction(id);
            m_main->updateCommandUI(action);
            QVERIFY(action->isEnabled());
            QCOMPARE(action->isChecked(), id == s.id);
            checked += action->isChecked();
        }
        QCOMPARE(checked, 1);
    }

    // An identifier of the range without a menu item zooms to full size
    // without fitting, and leaves every named item unchecked.
    const int unnamed = ID_VIEW_FIT_TO_WINDOW + 4;
    QCOMPARE(route(unnamed), 1);
    QCOMPARE(view->m_nZoomCmd, unnamed);
    QCOMPARE(view->m_dZoom, 1.0);
    QVERIFY(!view->IsFitZoom());
    for (int id : ZOOM_IDS) QCOMPARE(update(id).check(), 0);
    QCOMPARE(view->m_layoutScreen.m_arrTargets.front().width(), int(10 * view->ScreenDpi() * view->m_dScreenZoom));

    // Choosing the zoom that is already chosen neither scrolls nor lays out.
    QCOMPARE(route(ID_VIEW_ZOOM_100), 1);
    QVERIFY(view->verticalScrollBar()->maximum() > 40);
    view->verticalScrollBar()->setValue(40);
    view->m_rcTotal = GdiRect(0, 0, 1, 1);
    QCOMPARE(route(ID_VIEW_ZOOM_100), 1);
    QCOMPARE(view->verticalScrollBar()->value(), 40);
    QCOMPARE(view->m_rcTotal, GdiRect(0, 0, 1, 1));
    // Another zoom goes back to the origin.
    QCOMPARE(route(ID_VIEW_ZOOM_75), 1);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QVERIFY(view->m_rcTotal.width() > 1);
}

void TestTargetView::fixedZoomSizesAndScrollRange_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("zoom");
    // Letter at 100 pixels per inch, zoomed and truncated.
    QTest::addColumn<QSize>("paper");
    QTest::addColumn<QSize>("printable");
    QTest::addColumn<int>("offset");
    QTest::newRow("25 %") << ID_VIEW_ZOOM_25 << 0.25 << QSize(212, 275) << QSize(200, 262) << 6;
    QTest::newRow("50 %") << ID_VIEW_ZOOM_50 << 0.5 << QSize(425, 550) << QSize(400, 525) << 12;
    QTest::newRow("75 %") << ID_VIEW_ZOOM_75 << 0.75 << QSize(637, 825) << QSize(600, 787) << 18;
    QTest::newRow("100 %") << ID_VIEW_ZOOM_100 << 1.0 << QSize(850, 1100) << QSize(800, 1050) << 25;
}

void TestTargetView::fixedZoomSizesAndScrollRange()
{
    QFETCH(int, id);
    QFETCH(double, zoom);
    QFETCH(QSize, paper);
    QFETCH(QSize, printable);
    QFETCH(int, offset);
    CTargetView* view = open("ten.wmf");
    QVERIFY(view);
    // On a small sheet it opens as a poster; the single sheet is wanted here.
    if (view->m_modes.Tile() == TILE_PAGES_TO_TARGET) QCOMPARE(route(ID_VIEW_TILE_PAGES), 1);
    QCOMPARE(route(id), 1);
    // The screen's pixels per inch, and the fraction beyond them.
    const int dpiX = view->ScreenDpi(), dpiY = dpiX;
    zoom *= view->m_dScreenZoom;
    const TargetLayout& L = view->m_layoutScreen;
    // 10 x 8 in on the default printer's sheet.
    const GdiRect target = L.m_arrTargets.front();
    QCOMPARE(target.width(), int(10 * dpiX * zoom));
    QCOMPARE(target.height(), int(8 * dpiY * zoom));
    QCOMPARE(dpiX, 100);  // the offscreen screen's
    QCOMPARE(QSize(L.m_rcPaper.width(), L.m_rcPaper.height()), paper);
    QCOMPARE(QSize(L.m_rcPrintable.width(), L.m_rcPrintable.height()), printable);
    QCOMPARE(L.m_rcPrintable.left - L.m_rcPaper.left, offset);
    QCOMPARE(L.m_rcPrintable.top - L.m_rcPaper.top, offset);

    // The picture starts 16 pixels in (further by up to the printable
    // offset, where a target overhanging the printable area is centred on
    // it), and the scroll size adds 16 pixels each side.
    const GdiRect both = L.m_rcPaper.united(L.m_rcTargets);
    const int slackX = offset + 1;
    const int slackY = offset + 1;
    QVERIFY(both.left >= 16 && both.left <= 16 + slackX);
    QVERIFY(both.top >= 16 && both.top <= 16 + slackY);
    QVERIFY(both.width() - std::max(target.width(), L.m_rcPaper.width()) <= slackX);
    QVERIFY(both.height() - std::max(target.height(), L.m_rcPaper.height()) <= slackY);
    const QSize total(both.width() + 32, both.height() + 32);
    QCOMPARE(view->GetTotalSize(), total);
    QCOMPARE(view->horizontalScrollBar()->maximum(), std::max(0, total.width() - view->viewport()->width()));
    QCOMPARE(view->verticalScrollBar()->maximum(), std::max(0, total.height() - view->viewport()->height()));
}

void TestTargetView::fullSizeIsTheScreensInch_data()
{
    QTest::addColumn<double>("measured");  // Screen Calibration's pixels per inch; 0 for none
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("zoom");
    QTest::newRow("as the screen reports it, 100 %") << 0.0 << ID_VIEW_ZOOM_100 << 1.0;
    QTest::newRow("measured 120.5, 100 %") << 120.5 << ID_VIEW_ZOOM_100 << 1.0;
    QTest::newRow("measured 120.5, 50 %") << 120.5 << ID_VIEW_ZOOM_50 << 0.5;
    QTest::newRow("measured 72.3, 25 %") << 72.3 << ID_VIEW_ZOOM_25 << 0.25;
}

void TestTargetView::fullSizeIsTheScreensInch()
{
    QFETCH(double, measured);
    QFETCH(int, id);
    QFETCH(double, zoom);
    CTargetView* view = open("ten.wmf");
    QVERIFY(view);
    QScreen* screen = view->screen();
    if (measured > 0) QVERIFY(SaveScreenCalibration(screen, measured));
    else ResetScreenCalibration(screen);
    const double ppi = measured > 0 ? measured : ReportedScreenPixelsPerInch(screen);
    view->ReadScreenPixelsPerInch();  // as Screen Calibration's OK does
    if (view->m_modes.Tile() == TILE_PAGES_TO_TARGET) QCOMPARE(route(ID_VIEW_TILE_PAGES), 1);
    QCOMPARE(route(id), 1);
    view->Refresh();
    // The 10-inch target is ten of the screen's inches, zoomed, to the pixel.
    const GdiRect target = view->m_layoutScreen.m_arrTargets.front();
    QVERIFY2(std::abs(target.width() - 10 * ppi * zoom) <= 1.0,
             qPrintable(QStringLiteral("%1 pixels at %2 per inch").arg(target.width()).arg(ppi)));
    ResetScreenCalibration(screen);
}

void TestTargetView::fitZoomFillsClientAndFollowsResize()
{
    CTargetView* view = open("wide.wmf");
    QVERIFY(view);
    CMDIChildWnd* frame = GetParentFrame(view);
    const QSize sizes[] = {QSize(900, 500), QSize(500, 760), QSize(700, 700)};
    for (const QSize& s : sizes) {
        frame->resize(s);
        QCoreApplication::processEvents();
        const QSize client = view->viewport()->size();
        const TargetLayout& L = view->m_layoutScreen;
        const GdiRect both = L.m_rcPaper.united(L.m_rcTargets);
        const GdiRect& wider = L.m_rcPaper.width() >= L.m_rcTargets.width() ? L.m_rcPaper : L.m_rcTargets;
        const GdiRect& taller = L.m_rcPaper.height() >= L.m_rcTargets.height() ? L.m_rcPaper : L.m_rcTargets;
        const QString where = QStringLiteral("client %1 x %2, wider (%3, %4), taller (%5, %6)")
                                  .arg(client.width()).arg(client.height())
                                  .arg(wider.left).arg(wider.right).arg(taller.top).arg(taller.bottom);
        // The binding direction keeps 16 pixels each side (less a pixel
        // lost to truncation); the other is centred, give or take the
        // printable offset (nothing without a printer).
        const int spareX = client.width() - 32 - wider.width();
        const int spareY = client.height() - 32 - taller.height();
        QVERIFY2(spareX >= 0 && spareY >= 0 && std::min(spareX, spareY) <= 1, qPrintable(where));
        const int slackX = 25 + 1;  // the printable offset at 100 per inch
        const int slackY = 25 + 1;
        QVERIFY2(qAbs(wider.left - (client.width() - wider.width()) / 2) <= slackX, qPrintable(where));
        QVERIFY2(qAbs(taller.top - (client.height() - taller.height()) / 2) <= slackY, qPrintable(where));
        // Sheet and target keep their proportions.
        const QSize paper = m_printer.sizePaper, target = view->GetLayoutSize();
        QVERIFY2(qAbs(L.m_rcPaper.height() * double(paper.width()) / paper.height() - L.m_rcPaper.width()) <= 2,
                 qPrintable(where));
        QVERIFY2(qAbs(L.m_rcTargets.width() * double(paper.width()) / target.width() - L.m_rcPaper.width()) <= 2,
                 qPrintable(where));
        QCOMPARE(view->m_rcTotal, both);
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(view->verticalScrollBar()->maximum(), 0);
    }
}

void TestTargetView::frameShrinksToPictureAtFixedZoom()
{
    // A view that starts at 25 %: its frame fills the client area, then
    // shrinks to the picture.
    m_makeView = [] {
        auto* v = new CTargetView;
        v->SetZoomCommand(ID_VIEW_ZOOM_25);
        return v;
    };
    CTargetView* view = open("wide.wmf");
    QVERIFY(view);
    QCOMPARE(view->m_dZoom, 0.25);
    const QSize picture(view->m_rcTotal.width(), view->m_rcTotal.height());
    const QSize area = m_main->mdiArea()->viewport()->size();
    QVERIFY(picture.width() < area.width() - 50 && picture.height() < area.height() - 50);
    QCOMPARE(view->viewport()->size(), picture);
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(view->verticalScrollBar()->maximum(), 0);

    // At full size the picture is taller than the main window: the frame
    // fills the client area downwards and scrolls.
    m_makeView = [] {
        auto* v = new CTargetView;
        v->SetZoomCommand(ID_VIEW_ZOOM_100);
        return v;
    };
    view = open("poster.wmf");
    QVERIFY(view);
    CMDIChildWnd* frame = GetParentFrame(view);
    QVERIFY(view->m_rcTotal.height() > area.height());
    QCOMPARE(frame->geometry().bottom() + 1, area.height());
    QVERIFY(frame->geometry().right() + 1 <= area.width());
    QCOMPARE(view->verticalScrollBar()->maximum(), view->m_rcTotal.height() - view->viewport()->height());
}

void TestTargetView::modeCommands()
{
    // A target that fits: neither command applies.
    CTargetView* view = open("small.wmf");
    QVERIFY(view);
    QVERIFY(!update(ID_VIEW_TILE_PAGES).isEnabled());
    QVERIFY(!update(ID_VIEW_SCALE_TO_PAGE).isEnabled());
    QCOMPARE(route(ID_VIEW_TILE_PAGES), 0);
    QCOMPARE(view->m_modes.Tile(), TILE_NONE);
    QVERIFY(update(ID_VIEW_TILE_TARGET).isEnabled());
    m_app->CloseAllDocuments(true);

    // 10 % too wide: both apply; the poster is the user's choice.
    view = open("wide.wmf");
    QVERIFY(view);
    QVERIFY(update(ID_VIEW_TILE_PAGES).isEnabled());
    QVERIFY(update(ID_VIEW_SCALE_TO_PAGE).isEnabled());
    QVERIFY(!update(ID_VIEW_TILE_TARGET).isEnabled());
    QCOMPARE(update(ID_VIEW_TILE_PAGES).check(), 0);
    QCOMPARE(route(ID_VIEW_TILE_PAGES), 1);
    QCOMPARE(view->m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(view->m_modes.SavedTile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(update(ID_VIEW_TILE_PAGES).check(), 1);
    // Two sheets side by side, one row.
    QCOMPARE(view->m_layoutScreen.m_nPageCols, 2);
    QCOMPARE(view->m_layoutScreen.m_nPageRows, 1);

    // Scaling to the page hides the poster and disables it; scaling back
    // brings it back.
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 1);
    QCOMPARE(view->m_modes.Scale(), SCALE_TO_PAGE);
    QCOMPARE(view->m_modes.Tile(), TILE_NONE);
    QCOMPARE(view->m_modes.SavedTile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(update(ID_VIEW_SCALE_TO_PAGE).check(), 1);
    QCOMPARE(update(ID_VIEW_TILE_PAGES).check(), 0);
    QVERIFY(!update(ID_VIEW_TILE_PAGES).isEnabled());
    QVERIFY(!update(ID_VIEW_TILE_TARGET).isEnabled());
    QCOMPARE(route(ID_VIEW_TILE_PAGES), 0);
    QCOMPARE(view->m_layoutScreen.PageCount(), 1);
    // Scaled, the target lies on the printable area.
    const TargetLayout& L = view->m_layoutScreen;
    QVERIFY(L.m_rcTargets.left >= L.m_rcPrintable.left && L.m_rcTargets.right <= L.m_rcPrintable.right);
    QVERIFY(L.m_rcTargets.top >= L.m_rcPrintable.top && L.m_rcTargets.bottom <= L.m_rcPrintable.bottom);
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 1);
    QCOMPARE(view->m_modes.Scale(), SCALE_ACTUAL);
    QCOMPARE(view->m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(view->m_layoutScreen.PageCount(), 2);

    // Switching the poster off is saved too.
    QCOMPARE(route(ID_VIEW_TILE_PAGES), 1);
    QCOMPARE(view->m_modes.Tile(), TILE_NONE);
    QCOMPARE(view->m_modes.SavedTile(), TILE_NONE);
    QCOMPARE(view->m_layoutScreen.PageCount(), 1);
    m_app->CloseAllDocuments(true);

    // The automatic poster: four sheets inside a sheet 10 pixels larger
    // than their union, the target centred on them.
    view = open("poster.wmf");
    QVERIFY(view);
    QCOMPARE(route(ID_VIEW_ZOOM_50), 1);
    const TargetLayout& P = view->m_layoutScreen;
    QCOMPARE(P.m_nPageCols * P.m_nPageRows, 4);
    GdiRect sheets;
    for (const GdiRect& s : P.m_arrPages) sheets = sheets.united(s);
    QCOMPARE(sheets, P.m_rcPrintable);
    QCOMPARE(P.m_rcPaper, GdiRect(sheets.left - 5, sheets.top - 5, sheets.right + 5, sheets.bottom + 5));
    QVERIFY(qAbs((P.m_rcTargets.left + P.m_rcTargets.right) - (sheets.left + sheets.right)) <= 1);
    QVERIFY(qAbs((P.m_rcTargets.top + P.m_rcTargets.bottom) - (sheets.top + sheets.bottom)) <= 1);
    QCOMPARE(P.m_arrPages[1].left, P.m_arrPages[0].right);
    QCOMPARE(P.m_arrPages[2].top, P.m_arrPages[0].bottom);
}

void TestTargetView::printerChangedRereadsMetrics()
{
    CTargetView* view = open("small.wmf");
    QVERIFY(view);
    QCOMPARE(route(ID_VIEW_ZOOM_50), 1);
    const int side = view->GetLayoutSize().width();
    const QSize printable = m_printer.sizePrintable;

    // As if a job had printed on a sheet twice as large, with a grid of
    // copies that only fits there.
    const QSize twice = printable * 2;
    view->SetStoredMetrics({twice + QSize(2540, 2540), twice, QSize(1270, 1270)});
    ApplyTileGrid(*view, TileGrid{twice.height() / side, twice.width() / side, 0, 0});
    QCOMPARE(view->m_modes.Tile(), TILE_TARGET_TO_PAGE);
    view->Refresh();
    // 16 + 1 in at 100 per inch, half of it.
    QCOMPARE(view->m_layoutScreen.m_rcPaper.width(), 850);
    view->horizontalScrollBar()->setValue(10);

    SendMessageToDescendants(m_main, MSG_PRINTER_CHANGED, 1, 0);
    QCOMPARE(view->StoredMetrics(), m_printer);
    // The grid shrinks to what the default printer's sheet holds.
    QCOMPARE(view->m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(view->m_nTileCols, printable.width() / side);
    QCOMPARE(view->m_nTileRows, printable.height() / side);
    QCOMPARE(view->m_layoutScreen.m_nTargetCols, printable.width() / side);
    QCOMPARE(view->m_layoutScreen.m_rcPaper.width(), 425);
    QCOMPARE(view->GetTotalSize(), QSize(view->m_rcTotal.width(), view->m_rcTotal.height()));
    QCOMPARE(view->horizontalScrollBar()->value(), 0);
}

void TestTargetView::designerChangedRelayout()
{
    CTargetView* view = open("big.rgd");
    QVERIFY(view);
    auto* doc = view->GetTargetDoc();
    QCOMPARE(view->m_modes.Tile(), TILE_PAGES_TO_TARGET);
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 1);
    QCOMPARE(view->m_modes.Scale(), SCALE_TO_PAGE);
    CTargetDesign design;
    auto replace = [&](double diameter) {
        circleDesign(design, diameter);
        QVERIFY(doc->GetTargetImage().SetDesigner(design));
        doc->UpdateAllViews(nullptr, HINT_DESIGNER_CHANGED);
    };
    const QSize printable = m_printer.sizePrintable;
    const double shorter = std::min(pw(), ph());

    // Edited down so that it fits: scaling to the page no longer applies.
    replace(0.3 * shorter);
    QCOMPARE(view->m_modes.Scale(), SCALE_ACTUAL);
    QCOMPARE(view->m_modes.Tile(), TILE_NONE);
    QCOMPARE(view->m_layoutScreen.PageCount(), 1);
    const GdiRect small = view->m_layoutScreen.m_rcTargets;
    QVERIFY(!update(ID_VIEW_SCALE_TO_PAGE).isEnabled());

    // A grid of copies is clamped when the target grows and still fits
    // twice, and dropped when one copy is all that fits.
    int side = view->GetLayoutSize().width();
    ApplyTileGrid(*view, TileGrid{printable.height() / side, printable.width() / side, 0, 0});
    QCOMPARE(view->m_modes.Tile(), TILE_TARGET_TO_PAGE);
    const int copies = view->m_nTileRows * view->m_nTileCols;
    replace(0.45 * shorter);
    side = view->GetLayoutSize().width();
    QCOMPARE(view->m_modes.Tile(), TILE_TARGET_TO_PAGE);
    QCOMPARE(view->m_nTileRows, printable.height() / side);
    QCOMPARE(view->m_nTileCols, printable.width() / side);
    QVERIFY(view->m_nTileRows * view->m_nTileCols < copies);
    QCOMPARE(view->m_layoutScreen.m_nTargetRows * view->m_layoutScreen.m_nTargetCols,
             view->m_nTileRows * view->m_nTileCols);
    QVERIFY(view->m_layoutScreen.m_arrTargets.front().width() > small.width());

    replace(0.55 * std::max(pw(), ph()));
    QCOMPARE(view->m_modes.Tile(), TILE_NONE);
    QCOMPARE(view->m_layoutScreen.m_nTargetRows * view->m_layoutScreen.m_nTargetCols, 1);
}

void TestTargetView::paintsSheetOutlinesAndCentredTarget()
{
    // Wider than the printable area and less tall: centred on it both ways.
    CTargetView* view = open("wide.wmf");
    QVERIFY(view);
    for (int id : {ID_VIEW_ZOOM_50, ID_VIEW_FIT_TO_WINDOW}) {
        QCOMPARE(route(id), 1);
        const QImage img = paint(view);
        const TargetLayout& L = view->m_layoutScreen;
        const GdiRect paper = L.m_rcPaper, printable = L.m_rcPrintable, t = L.m_rcTargets;
        // The sheet's edge is solid blue, where the printable area's dotted
        // light blue does not lie over it.
        int blue = 0, other = 0;
        for (int x = paper.left + 2; x < paper.right - 2; ++x) {
            const QRgb c = img.pixel(x, paper.top);
            blue += c == BLUE;
            other += c != BLUE && !(printable.top == paper.top && c == LIGHT_BLUE);
        }
        QVERIFY2(blue > 10 && other == 0, qPrintable(QStringLiteral("blue %1 other %2").arg(blue).arg(other)));
        QCOMPARE(img.pixel(paper.right - 1, paper.bottom - 1) == BLUE || img.pixel(paper.right - 1, paper.bottom - 1) == LIGHT_BLUE, true);
        int dots = 0;
        for (int x = printable.left; x < printable.right; ++x) dots += img.pixel(x, printable.bottom - 1) == LIGHT_BLUE;
        QVERIFY2(dots > printable.width() / 4 && dots < printable.width(), qPrintable(QString::number(dots)));
        // White sheet above the target, button face outside the sheet.
        const int midX = (t.left + t.right) / 2, midY = (t.top + t.bottom) / 2;
        QVERIFY(t.top - 2 > printable.top);
        QCOMPARE(img.pixel(midX, t.top - 2), view->m_clrWindow.rgb());
        QCOMPARE(img.pixel(2, 2), view->m_clrButtonFace.rgb());
        // The red extent is the laid-out rectangle, centred on the printable area.
        const auto across = runOf(img, RED, midY, true);
        const auto down = runOf(img, RED, midX, false);
        QVERIFY2(qAbs(across.first - t.left) <= 1 && qAbs(across.second - t.width()) <= 2,
                 qPrintable(QStringLiteral("red %1+%2, target %3..%4").arg(across.first).arg(across.second)
                                .arg(t.left).arg(t.right)));
        QVERIFY(qAbs(down.first - t.top) <= 1 && qAbs(down.second - t.height()) <= 2);
        QVERIFY(qAbs(2 * across.first + across.second - (printable.left + printable.right)) <= 4);
        QVERIFY2(qAbs(2 * down.first + down.second - (printable.top + printable.bottom)) <= 4,
                 qPrintable(QStringLiteral("red %1+%2 down, printable %3..%4").arg(down.first).arg(down.second)
                                .arg(printable.top).arg(printable.bottom)));
        QVERIFY(across.second > printable.width() && down.second < printable.height());
    }

    // A poster: dotted sheets inside a white border of the sheet.
    m_app->CloseAllDocuments(true);
    view = open("poster.wmf");
    QVERIFY(view);
    QCOMPARE(route(ID_VIEW_ZOOM_25), 1);
    const QImage img = paint(view);
    const TargetLayout& P = view->m_layoutScreen;
    QCOMPARE(img.pixel(P.m_rcPaper.left, P.m_rcPaper.top + 20), BLUE);
    QCOMPARE(img.pixel(P.m_rcPaper.left + 2, P.m_rcPaper.top + 20), view->m_clrWindow.rgb());
    for (const GdiRect& s : P.m_arrPages) {
        const auto edge = runOf(img.copy(s.left, s.top, 1, s.height()), LIGHT_BLUE, 0, false);
        QVERIFY2(edge.second > 0, "a sheet's left edge is dotted");
    }
}

void TestTargetView::scaleCaptionOnScreen()
{
    CTargetView* view = open("wide.wmf");
    QVERIFY(view);
    const QRect strip(0, 0, 400, 12);
    QCOMPARE(darkPixels(paint(view), strip), 0);
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 1);
    const QImage scaled = paint(view);
    // The fitted picture keeps the caption's strip clear of the sheet.
    QVERIFY(view->m_layoutScreen.m_rcPaper.top >= 14);
    QVERIFY(darkPixels(scaled, strip) > 20);

    // The factor of the stored metrics: the target is 10 % too wide.
    const QSize target = view->GetLayoutSize(), printable = m_printer.sizePrintable;
    const long percent = long(std::min(double(printable.width()) / target.width(),
                                       double(printable.height()) / target.height()) * 100);
    QCOMPARE(percent, 90L);
    QCOMPARE(long(view->m_layoutScreen.m_dFitScale * 100), percent);
    // The inked text starts at x = 4 and is as wide as the caption in its font.
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(10.0);
    const QString caption = QString::asprintf("SCALED TO FIT = %ld%%", percent);
    // Points of the screen's own inch, as everything in the window.
    QImage screenInch(1, 1, QImage::Format_RGB32);
    screenInch.setDotsPerMeterX(qRound(view->ScreenDpi() / 0.0254));
    screenInch.setDotsPerMeterY(qRound(view->ScreenDpi() / 0.0254));
    const int advance = QFontMetrics(font, &screenInch).horizontalAdvance(caption);
    int left = -1, right = -1;
    for (int x = 0; x < strip.width(); ++x)
        if (darkPixels(scaled, QRect(x, 0, 1, strip.height())) > 0) {
            if (left < 0) left = x;
            right = x;
        }
    QVERIFY2(left >= 4 && left <= 6, qPrintable(QString::number(left)));
    QVERIFY2(qAbs(right + 1 - 4 - advance) <= 3, qPrintable(QStringLiteral("%1 vs %2").arg(right).arg(advance)));

    // Back to actual size: no caption.
    QCOMPARE(route(ID_VIEW_SCALE_TO_PAGE), 1);
    QCOMPARE(darkPixels(paint(view), strip), 0);
}

QTEST_MAIN(TestTargetView)
#include "tst_targetview.moc"
