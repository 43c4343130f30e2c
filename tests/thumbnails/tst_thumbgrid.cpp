// The thumbnail grid: cell geometry and columns, keys, the listing and its
// order, stale results of an abandoned listing, bad files, captions and
// contact sheets printed to PDF.
#include <QPrinter>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "MakerLine.h"
#include "PdfTools.h"
#include "TargetFiles.h"
#include "platform/MessageBox.h"
#include "thumbnails/ContactSheet.h"
#include "thumbnails/ThumbGrid.h"
#include "thumbnails/ThumbView.h"
#include "print/PrintJob.h"

namespace {

// Lays the grid out for a screen of the given width at 96 dpi.
void layOutOnScreen(ThumbGrid& grid, int width)
{
    QImage image = makeDeviceImage(width, 100, 96, 96);
    QPainter painter(&image);
    DeviceContext dc(&painter, 96, 96);
    grid.setClientWidth(width);
    grid.layout().MarkChanged();
    grid.Paint(dc);
}

// Lists the folder to its end and delivers everything the worker posted.
void listToEnd(ThumbGrid& grid, const QString& folder)
{
    QSignalSpy idle(&grid, &ThumbGrid::workerIdle);
    grid.ListFolder(folder);
    QVERIFY(idle.wait(60000));
    QCoreApplication::sendPostedEvents(&grid);
}

// Seven cells of files that do not exist, laid out at the given size.
void layOutSeven(ThumbGrid& grid, int size, int width)
{
    grid.SetThumbSize(size);
    QStringList files;
    for (int i = 0; i < 7; ++i) files << QStringLiteral("/none/%1.bmp").arg(i);
    grid.AddItems(files, 96, 96, grid.listing());
    layOutOnScreen(grid, width);
}

}  // namespace

class TestThumbGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageLog::setEcho(false); }
    void geometry_data();
    void geometry();
    void keys_data();
    void keys();
    void captions_data();
    void captions();
    void listingOrder();
    void rasterLinesSurviveShrinking_data();
    void rasterLinesSurviveShrinking();
    void badFilesKeepPlaceholders();
    void abandonedListingNeverApplied();
    void stuckWorkersNeverHoldTheWindow();
    void picturesFollowTheView();
    void refreshFile_data();
    void refreshFile();
    void viewKeysSizeAndOpen();
    void viewArrowKeysNeverScroll_data();
    void viewArrowKeysNeverScroll();
    void contactSheet_data();
    void contactSheet();
};

void TestThumbGrid::geometry_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("cellWidth");
    QTest::addColumn<int>("columns");
    QTest::newRow("large, 603") << 200 << 603 << 192 << 200 << 3;
    QTest::newRow("large, 602") << 200 << 602 << 192 << 200 << 2;
    QTest::newRow("large, 150") << 200 << 150 << 192 << 200 << 1;
    QTest::newRow("small, 602") << 100 << 602 << 96 << 104 << 5;
}

void TestThumbGrid::geometry()
{
    QFETCH(int, size);
    QFETCH(int, clientWidth);
    ThumbGrid grid;
    layOutSeven(grid, size, clientWidth);
    QFETCH(int, box);
    const CVNThumbObject* first = grid.cell(0);
    QCOMPARE(first->imageBoxSize(), QSize(box, box));
    QTEST(first->cellSize().width(), "cellWidth");
    QTEST(grid.columns(), "columns");
    // Cells sit at a pitch of their size + 1; the picture box is inset by
    // the spacing of 0.05 inch.
    const GdiRect second = grid.cell(1)->cellRect();
    if (grid.columns() > 1) QCOMPARE(second.left, first->cellSize().width() + 1);
    else QCOMPARE(second.top, first->cellSize().height() + 1);
    QCOMPARE(first->imageBox().top, 4);
}

void TestThumbGrid::keys_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("down from 3") << 3 << int(Qt::Key_Down) << 6;
    QTest::newRow("down from 4: no cell 7") << 4 << int(Qt::Key_Down) << 4;
    QTest::newRow("right from 2: no wrap") << 2 << int(Qt::Key_Right) << 2;
    QTest::newRow("left from 3: no wrap") << 3 << int(Qt::Key_Left) << 3;
    QTest::newRow("up from 4") << 4 << int(Qt::Key_Up) << 1;
    QTest::newRow("right from 4") << 4 << int(Qt::Key_Right) << 5;
    QTest::newRow("nothing selected") << -1 << int(Qt::Key_Down) << -1;
}

void TestThumbGrid::keys()
{
    QFETCH(int, from);
    QFETCH(int, key);
    ThumbGrid grid;
    layOutSeven(grid, 200, 603);
    QCOMPARE(grid.columns(), 3);
    QCOMPARE(grid.rows(), 3);
    grid.Select(from);
    QTEST(grid.KeyTarget(key), "to");
}

void TestThumbGrid::captions_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("himetric");
    QTest::addColumn<QString>("caption");
    QTest::newRow("target document") << "/t/Bravo.VNT" << QSize(21590, 27940) << "Bravo\n8.5\" x 11.0\"";
    QTest::newRow("failed") << "/t/alpha.BMP" << QSize(0, 0) << "alpha.BMP\n0.0\" x 0.0\"";
    QTest::newRow("still loading: no size") << "/t/alpha.BMP" << QSize() << "alpha.BMP";
    QTest::newRow("ampersand") << "/t/a&b.rgd" << QSize(5080, 5080) << "a&b.rgd\n2.0\" x 2.0\"";
}

void TestThumbGrid::captions()
{
    QFETCH(QString, path);
    QFETCH(QSize, himetric);
    CVNThumbObject cell;
    cell.SetPath(path);
    if (himetric.isValid()) cell.SetPhysicalSize(himetric.width(), himetric.height());
    QTEST(cell.Caption(), "caption");
}

void TestThumbGrid::listingOrder()
{
    QTemporaryDir dir;
    for (const char* name : {"charlie.jpg", "Bravo.vnt", "delta.jpeg", "notes.txt", "alpha.BMP"})
        QVERIFY(targetfiles::write(QDir(dir.path()), QString::fromLatin1(name)));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.bmp")));
    ThumbGrid grid;
    listToEnd(grid, dir.path());
    QStringList captions;
    for (int i = 0; i < grid.count(); ++i) captions << grid.cell(i)->Caption().section(QLatin1Char('\n'), 0, 0);
    QCOMPARE(captions, (QStringList{"alpha.BMP", "Bravo", "charlie.jpg"}));
    QVERIFY(grid.cell(0)->hasImage());
    QCOMPARE(grid.selected(), 0);
}

void TestThumbGrid::rasterLinesSurviveShrinking_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bitmap") << "lines.bmp" << QByteArray("BMP");
    QTest::newRow("JPEG") << "lines.jpg" << QByteArray("JPEG");
}

void TestThumbGrid::rasterLinesSurviveShrinking()
{
    // One-pixel lines on a 400-pixel square, shrunk to a quarter: averaged,
    // each stays a whole grey line; dropping three pixels of four would lose
    // these two altogether.
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QTemporaryDir dir;
    QImage lines(400, 400, QImage::Format_RGB32);
    lines.fill(Qt::white);
    for (int i = 0; i < 400; ++i) {
        lines.setPixel(201, i, qRgb(0, 0, 0));
        lines.setPixel(i, 201, qRgb(0, 0, 0));
    }
    QVERIFY(lines.save(dir.filePath(name), format.constData(), 100));
    const auto result = RenderThumbnail(dir.filePath(name), 96, 96, 100, 100);
    QVERIFY(result);
    const QImage shrunk = result->bitmap.convertToFormat(QImage::Format_Grayscale8);
    QCOMPARE(shrunk.size(), QSize(100, 100));
    for (int i = 0; i < 100; ++i) {
        QVERIFY2(qGray(shrunk.pixel(50, i)) < 225, qPrintable(QStringLiteral("column at row %1").arg(i)));
        QVERIFY2(qGray(shrunk.pixel(i, 50)) < 225, qPrintable(QStringLiteral("row at column %1").arg(i)));
    }
}

void TestThumbGrid::badFilesKeepPlaceholders()
{
    QTemporaryDir dir;
    const QStringList good{"a1.bmp", "a2.jpg", "a3.wmf", "a4.rgd"};
    const QStringList bad{"b1.jpg", "b2.wmf", "b3.rgd", "b4.bmp", "b5.vnt"};
    for (const QString& name : good) QVERIFY(targetfiles::write(QDir(dir.path()), name));
    for (const QString& name : bad) QVERIFY(targetfiles::write(QDir(dir.path()), name, true));
    MessageLog::clear();
    ThumbGrid grid;
    listToEnd(grid, dir.path());
    QCOMPARE(grid.count(), good.size() + bad.size());
    for (int i = 0; i < grid.count(); ++i) {
        const bool isGood = i < good.size();
        QCOMPARE(grid.cell(i)->hasImage(), isGood);
        if (!isGood) QVERIFY(grid.cell(i)->Caption().endsWith(QStringLiteral("\n0.0\" x 0.0\"")));
    }
    // At most one message per bad file, none for a good one.
    QStringList named;
    for (const MessageRecord& m : MessageLog::messages()) {
        const auto it = std::find_if(bad.begin(), bad.end(), [&](const QString& b) { return m.text.contains(b); });
        QVERIFY2(it != bad.end(), qPrintable(m.text));
        QVERIFY(!named.contains(*it));
        named << *it;
    }
}

void TestThumbGrid::abandonedListingNeverApplied()
{
    QTemporaryDir first, second;
    for (int i = 0; i < 500; ++i)
        QVERIFY(targetfiles::write(QDir(first.path()), QStringLiteral("f%1.%2").arg(i, 3, 10, QLatin1Char('0'))
                                                              .arg(i % 3 == 0 ? "rgd" : i % 3 == 1 ? "wmf" : "bmp")));
    for (int i = 0; i < 4; ++i) QVERIFY(targetfiles::write(QDir(second.path()), QStringLiteral("s%1.bmp").arg(i)));
    ThumbGrid grid;
    QSignalSpy pictures(&grid, &ThumbGrid::cellChanged);
    grid.ListFolder(first.path());
    QVERIFY(pictures.wait(30000));
    // Let old results pile up in the queue before the new folder is chosen.
    QTest::qSleep(200);
    QSignalSpy idle(&grid, &ThumbGrid::workerIdle);
    grid.ListFolder(second.path());
    QVERIFY(idle.wait(30000));
    QCoreApplication::sendPostedEvents(&grid);
    QCOMPARE(grid.count(), 4);
    for (int i = 0; i < grid.count(); ++i) {
        QVERIFY(grid.cell(i)->path().startsWith(second.path()));
        QVERIFY(grid.cell(i)->hasImage());
    }
}

void TestThumbGrid::stuckWorkersNeverHoldTheWindow()
{
    // A renderer that blocks on files named "stuck" as a read from a dead
    // network share would, and throws on files named "throw".
    struct Gate {
        std::mutex mutex;
        std::condition_variable open;
        bool released = false;
        std::atomic<int> entered{0};
    };
    auto gate = std::make_shared<Gate>();
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (int i = 0; i < ThumbGrid::MAX_STUCK_WORKERS; ++i) {
        QVERIFY(root.mkdir(QStringLiteral("s%1").arg(i)));
        QVERIFY(targetfiles::write(QDir(root.filePath(QStringLiteral("s%1").arg(i))), QStringLiteral("stuck.bmp")));
    }
    QVERIFY(root.mkdir(QStringLiteral("good")));
    for (const char* name : {"a.bmp", "throw.bmp"}) QVERIFY(targetfiles::write(QDir(root.filePath("good")), name));

    ThumbGrid grid;
    grid.setRenderer([gate](const QString& path, int dpiX, int dpiY, int w, int h) {
        if (path.contains(QLatin1String("stuck"))) {
            ++gate->entered;
            std::unique_lock lock(gate->mutex);
            gate->open.wait(lock, [&] { return gate->released; });
        }
        if (path.contains(QLatin1String("throw"))) throw std::runtime_error("unreadable");
        return RenderThumbnail(path, dpiX, dpiY, w, h);
    });
    // Each listing starts at once on a fresh worker while the ones before
    // are stuck; the window's thread never waits for them.
    for (int i = 0; i < ThumbGrid::MAX_STUCK_WORKERS; ++i) {
        grid.ListFolder(root.filePath(QStringLiteral("s%1").arg(i)));
        QTRY_COMPARE_WITH_TIMEOUT(gate->entered.load(), i + 1, 30000);
    }
    // Past that the grid waits for a file instead of starting more.
    grid.ListFolder(root.filePath("good"));
    QVERIFY(grid.waitingForFile());
    QCOMPARE(grid.count(), 0);
    QTest::qWait(200);
    QVERIFY(grid.waitingForFile());
    {
        std::lock_guard lock(gate->mutex);
        gate->released = true;
    }
    gate->open.notify_all();
    QVERIFY(grid.waitIdle(30000));
    QVERIFY(!grid.waitingForFile());
    QCOMPARE(grid.count(), 2);
    QVERIFY(grid.cell(0)->hasImage());
    // The exception ends in the placeholder of a file that failed.
    QVERIFY(!grid.cell(1)->hasImage());
    QVERIFY(grid.cell(1)->failed());
    QTRY_COMPARE_WITH_TIMEOUT(grid.stuckWorkers(), 0, 30000);
}

void TestThumbGrid::picturesFollowTheView()
{
    QTemporaryDir dir;
    for (int i = 0; i < 60; ++i) QVERIFY(targetfiles::write(QDir(dir.path()), QStringLiteral("c%1.bmp").arg(i, 2, 10, QLatin1Char('0'))));
    ThumbGrid grid;
    grid.SetThumbSize(200);
    const qint64 picture = 192 * 3 * 96;  // a 2:1 bitmap at two inches of 96 dpi, 24-bit
    grid.setCacheBytes(6 * picture);
    listToEnd(grid, dir.path());
    layOutOnScreen(grid, 603);
    QCOMPARE(grid.columns(), 3);
    const int pitch = grid.cell(0)->cellSize().height() + 1;
    // Without a view the cache fills from the top.
    for (int i = 0; i < grid.count(); ++i) QCOMPARE(grid.cell(i)->hasImage(), i < 6);

    // Two rows on show at the end: they and the cache around them keep
    // pictures, those at the top let theirs go and show the placeholder.
    grid.setVisibleRect(QRect(0, 18 * pitch, 603, 2 * pitch));
    QVERIFY(grid.waitIdle(30000));
    QCoreApplication::sendPostedEvents(&grid);
    for (int i = 54; i < 60; ++i) QVERIFY2(grid.cell(i)->hasImage(), qPrintable(QString::number(i)));
    for (int i = 0; i < 40; ++i) QVERIFY2(!grid.cell(i)->hasImage() && !grid.cell(i)->failed(), qPrintable(QString::number(i)));
    QVERIFY(grid.cell(0)->Caption().endsWith(QStringLiteral("\" x 0.5\"")));
    QVERIFY(grid.pictureBytes() <= 6 * picture + 6 * picture);
}

void TestThumbGrid::refreshFile_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("renderedAgain");
    QTest::newRow("the cell's file") << "a.bmp" << true;
    QTest::newRow("a name differing in case is another file") << "A.BMP" << false;
}

void TestThumbGrid::refreshFile()
{
    QFETCH(QString, saved);
    QTemporaryDir dir;
    QVERIFY(targetfiles::write(QDir(dir.path()), QStringLiteral("a.bmp")));
    ThumbGrid grid;
    listToEnd(grid, dir.path());
    QSignalSpy changed(&grid, &ThumbGrid::cellChanged);
    grid.RefreshFile(dir.filePath(saved));
    // Rendered again on the worker: the window's thread only waits for events.
    QVERIFY(grid.waitIdle(30000));
    QCoreApplication::sendPostedEvents(&grid);
    QTEST(!changed.isEmpty(), "renderedAgain");
    QVERIFY(grid.cell(0)->hasImage());
}

void TestThumbGrid::viewKeysSizeAndOpen()
{
    QTemporaryDir dir;
    for (int i = 0; i < 7; ++i) QVERIFY(targetfiles::write(QDir(dir.path()), QStringLiteral("c%1.bmp").arg(i)));
    CVNThumbView view;
    view.resize(700, 900);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    SendWindowMessage(&view, MSG_THUMB_SET_SIZE, 200);
    QSignalSpy idle(&view.grid(), &ThumbGrid::workerIdle);
    view.ListFolder(dir.path());
    QVERIFY(idle.wait(30000));
    view.viewport()->repaint();
    QCOMPARE(view.grid().columns(), 3);
    // Below the cells the grid shows the button face, not the white of a scroll area.
    const QImage shown = view.viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(shown.width() - 2, shown.height() - 2), view.palette().color(QPalette::Button));

    // Keys move the selection through the window; Enter opens the cell,
    // which without a main window says so.
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.grid().selected(), 4);
    MessageLog::clear();
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QStringLiteral("CWnd *pWnd = AfxGetMainWnd() failed."));

    // A smaller size lays the same pictures out in more columns.
    SendWindowMessage(&view, MSG_THUMB_SET_SIZE, 100);
    view.viewport()->repaint();
    QCOMPARE(view.grid().columns(), 6);
    for (int i = 0; i < view.grid().count(); ++i) QVERIFY(view.grid().cell(i)->hasImage());
}

void TestThumbGrid::viewArrowKeysNeverScroll_data()
{
    // Thirty cells in three columns, the view scrolled to the middle.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("nothing selected, down") << -1 << int(Qt::Key_Down) << false;
    QTest::newRow("nothing selected, left") << -1 << int(Qt::Key_Left) << false;
    QTest::newRow("row end, right") << 14 << int(Qt::Key_Right) << false;
    QTest::newRow("column end, down") << 28 << int(Qt::Key_Down) << false;
    QTest::newRow("nothing selected, page down") << -1 << int(Qt::Key_PageDown) << true;
    QTest::newRow("page up") << 14 << int(Qt::Key_PageUp) << true;
}

void TestThumbGrid::viewArrowKeysNeverScroll()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QTemporaryDir dir;
    for (int i = 0; i < 30; ++i)
        QVERIFY(targetfiles::write(QDir(dir.path()), QStringLiteral("k%1.bmp").arg(i, 2, 10, QLatin1Char('0'))));
    CVNThumbView view;
    view.resize(700, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    SendWindowMessage(&view, MSG_THUMB_SET_SIZE, 200);
    view.ListFolder(dir.path());
    QVERIFY(view.grid().waitIdle(30000));
    view.viewport()->repaint();
    QCOMPARE(view.grid().columns(), 3);
    view.grid().Select(from);
    view.ScrollToPosition(QPoint(0, 700));
    const QPoint before = view.GetScrollPosition();
    QCOMPARE(before.y(), 700);
    QTest::keyClick(&view, Qt::Key(key));
    QCOMPARE(view.grid().selected(), from);
    QTEST(view.GetScrollPosition() != before, "scrolls");
}

void TestThumbGrid::contactSheet_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("files");
    QTest::addColumn<QString>("maker");  // the maker's line of the settings, none when empty
    QTest::newRow("2 inch") << "2" << 13 << "Kingston Rifle Club, 12 Range Road";
    QTest::newRow("1 inch") << "1" << 13 << "";
    QTest::newRow("empty folder") << "1.5" << 0 << "Kingston Rifle Club";
}

void TestThumbGrid::contactSheet()
{
    if (!HavePoppler()) QSKIP("poppler-utils missing");
    QFETCH(QString, size);
    QFETCH(int, files);
    QFETCH(QString, maker);
    QVERIFY(SetMakerLine(maker));
    QTemporaryDir dir;
    for (int i = 0; i < files; ++i)
        QVERIFY(targetfiles::write(QDir(dir.path()), QStringLiteral("t%1.%2").arg(i).arg(i % 2 ? "bmp" : "rgd")));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(RunContactSheetPrint({"vantric", "--print-contact-sheet", pdf, "--thumb-size", size, "--dpi", "300",
                                   dir.path()}),
             0);

    // The same grid, laid out for the same paper, tells how many pages and
    // which cells each holds.
    ThumbGrid grid;
    grid.SetThumbSize(int(size.toDouble() * 100));
    listToEnd(grid, dir.path());
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, dir.filePath(QStringLiteral("again.pdf")), QPageSize::Letter, 300);
    const int pages = PrintContactSheet(printer, grid);
    QCOMPARE(PdfPageCount(pdf), pages);
    // Columns fill the body (7.5 in wide) at the cell pitch; a 2-inch grid of
    // 13 cells needs two pages of three rows on letter paper.
    if (size == QLatin1String("2")) QCOMPARE(pages, 2);
    if (files == 0) QCOMPARE(pages, 1);
    // Every page has its header and footer; every cell's caption is printed
    // once, on one page.
    QString all;
    for (int page = 1; page <= pages; ++page) {
        const QString text = PdfText(pdf, page);
        QVERIFY(text.contains(QStringLiteral("Vantric")));
        QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
        if (!maker.isEmpty()) QVERIFY(text.contains(maker));
        QVERIFY(!text.contains(QStringLiteral("github.com")));
        all += text;
    }
    for (int i = 0; i < files; ++i)
        QCOMPARE(all.count(QRegularExpression(QStringLiteral("\\bt%1\\.").arg(i))), 1);
    // The cells' pictures reach the paper as they are, never as JPEG.
    for (const QString& line : PdfImageList(pdf).mid(2))
        QVERIFY2(line.simplified().split(' ').value(8) != QLatin1String("jpeg"), qPrintable(line));
    if (files == 0) return;

    // The first cell is a design of one square, which fills its picture box:
    // on paper the box is the thumbnail size in inches.
    const QImage page = RasterisePdfPage(pdf, 1, 100);
    const int box = int(size.toDouble() * 100);
    const auto runs = DarkRunsInRow(page, 50 + 5 + box / 2, 75, 75 + box + 20);  // margin, spacing, half the box
    QVERIFY(!runs.isEmpty());
    const int inked = runs.last().first + runs.last().second - runs.first().first;
    QVERIFY2(qAbs(inked - box) <= 2, qPrintable(QStringLiteral("%1 px").arg(inked)));
}

QTEST_MAIN(TestThumbGrid)
#include "tst_thumbgrid.moc"
