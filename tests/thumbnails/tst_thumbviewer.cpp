// The thumbnail viewer on a temporary folder hierarchy: the folder tree's
// lazy expansion, its following of the disk, exact path selection and
// removable media; the frame's settings and its command routing.
#include <QApplication>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

#include <sys/stat.h>
#include <optional>

#include "TargetFiles.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/WindowMessage.h"
#include "thumbnails/DriveView.h"
#include "thumbnails/RoutingSplitter.h"
#include "thumbnails/ThumbDoc.h"
#include "thumbnails/ThumbFrame.h"
#include "thumbnails/ThumbView.h"
#include "print/PrintJob.h"

#include "PdfTools.h"

using namespace Cmd;

namespace {

const QString SECTION = QStringLiteral("Thumbnail View");
std::optional<quint64> g_medium;

// The tree as text: the drive as D, each folder by name, "+" for a folded
// item with an expand button, its children in brackets when expanded.
QString dump(const QTreeWidgetItem* item, bool drive = false)
{
    QString text = drive ? QStringLiteral("D") : item->text(0);
    if (item->childCount() > 0 && !item->isExpanded()) return text + QLatin1Char('+');
    if (item->childCount() == 0) return text;
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i) children << dump(item->child(i));
    return text + QLatin1Char('[') + children.join(QLatin1Char(' ')) + QLatin1Char(']');
}

// A viewer whose only drive is a temporary folder holding Alpha/One,
// Beta and Gamma/Deep/Deeper.
struct Viewer {
    explicit Viewer(DriveKind kind = DriveKind::Fixed)
    {
        for (const char* folder : {"Alpha/One", "Beta", "Gamma/Deep/Deeper"}) QDir(root()).mkpath(QLatin1String(folder));
        const QString path = root();
        CDriveView::SetDriveServices([path, kind] { return QList<DriveRoot>{{path, kind, false}}; },
                                     [](const QString&) { return g_medium; });
        CDriveView::SetStartFolder([path] { return path; });
        doc = new CThumbDoc;
        doc->OnNewDocument();
        frame = std::make_unique<CThumbFrame>();
        auto* tree = new CDriveView;
        tree->SetDocument(doc);
        frame->SetView(tree);
        frame->resize(700, 500);
        frame->InitialUpdateFrame(doc, true);
    }
    ~Viewer()
    {
        if (frame) doc->OnCloseDocument();
        CDriveView::SetDriveServices({}, {});
        CDriveView::SetStartFolder({});
    }
    QString root() const { return dir.path(); }
    QString path(const QString& rel) const { return dir.filePath(rel); }
    CDriveView* tree() const { return frame->driveView(); }
    QString text() const { return dump(tree()->tree()->topLevelItem(0), true); }

    QTemporaryDir dir;
    CThumbDoc* doc;
    std::unique_ptr<CThumbFrame> frame;
};

QString readSetting(const QString& key)
{
    QString value;
    ReadProfileText(SECTION, key, QStringLiteral("absent"), &value);
    return value;
}

}  // namespace

class TestThumbViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MessageLog::setEcho(false); }
    void followsDisk_data();
    void followsDisk();
    void manySubfolders();
    void selectPath_data();
    void selectPath();
    void removableMedium_data();
    void removableMedium();
    void sizeSetting_data();
    void sizeSetting();
    void layoutSurvivesRestart();
    void printFromTree_data();
    void printFromTree();
    void selectedLookFollowsFocus();
    void printDialogOffersEveryPage_data();
    void printDialogOffersEveryPage();
};

void TestThumbViewer::followsDisk_data()
{
    QTest::addColumn<QString>("expand");
    QTest::addColumn<QString>("action");  // mkdir, rmdir or mv, then the paths
    QTest::addColumn<QString>("expected");
    QTest::newRow("lazy start") << "" << "" << "D[Alpha+ Beta Gamma+]";
    QTest::newRow("created in expanded, sorted") << "" << "mkdir bravo" << "D[Alpha+ Beta bravo Gamma+]";
    QTest::newRow("deleted in expanded") << "" << "rmdir Beta" << "D[Alpha+ Gamma+]";
    QTest::newRow("collapsed gains button") << "" << "mkdir Beta/Sub" << "D[Alpha+ Beta+ Gamma+]";
    QTest::newRow("collapsed loses button") << "" << "rmdir Alpha/One" << "D[Alpha Beta Gamma+]";
    QTest::newRow("deep branch") << "Gamma/Deep" << "mkdir Gamma/Deep/Alt"
                                 << "D[Alpha+ Beta Gamma[Deep[Alt Deeper]]]";
    QTest::newRow("renamed") << "Alpha" << "mv Alpha/One Alpha/Zero" << "D[Alpha[Zero] Beta Gamma+]";
    QTest::newRow("expanded folder deleted") << "Gamma/Deep" << "rmdir Gamma" << "D[Alpha+ Beta]";
    // Only directories are folders: a FIFO neither shows nor gives its folder a button.
    QTest::newRow("FIFO in expanded") << "" << "mkfifo pipe" << "D[Alpha+ Beta Gamma+]";
    QTest::newRow("FIFO in collapsed") << "" << "mkfifo Beta/pipe" << "D[Alpha+ Beta Gamma+]";
    QTest::newRow("link to a device") << "" << "ln /dev/zero zero" << "D[Alpha+ Beta Gamma+]";
    QTest::newRow("link to a device in collapsed") << "" << "ln /dev/zero Beta/zero" << "D[Alpha+ Beta Gamma+]";
    QTest::newRow("link to a folder") << "" << "ln Alpha beta-link" << "D[Alpha+ Beta beta-link+ Gamma+]";
}

void TestThumbViewer::followsDisk()
{
    QFETCH(QString, expand);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    Viewer v;
    if (!expand.isEmpty()) QVERIFY(v.tree()->SelectPath(v.path(expand), false));
    const QStringList words = action.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!words.isEmpty()) {
        const QString op = words.at(0);
        if (op == QLatin1String("mkdir")) QVERIFY(QDir().mkpath(v.path(words.at(1))));
        else if (op == QLatin1String("rmdir")) QVERIFY(QDir(v.path(words.at(1))).removeRecursively());
        else if (op == QLatin1String("mkfifo")) QCOMPARE(mkfifo(QFile::encodeName(v.path(words.at(1))).constData(), 0600), 0);
        else if (op == QLatin1String("ln")) QVERIFY(QFile::link(words.at(1).startsWith('/') ? words.at(1) : v.path(words.at(1)), v.path(words.at(2))));
        else QVERIFY(QDir().rename(v.path(words.at(1)), v.path(words.at(2))));
    }
    // No user action: the watches bring the tree up to date.
    QTRY_COMPARE_WITH_TIMEOUT(v.text(), expected, 5000);
    // Every folder on show is watched, and nothing else.
    QStringList shown;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (CDriveView::IsPlaceholder(item)) return;
        shown << v.tree()->GetItemPath(item);
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    walk(v.tree()->tree()->topLevelItem(0));
    QStringList watched = v.tree()->watchedFolders();
    shown.sort();
    watched.sort();
    QCOMPARE(watched, shown);
}

// A folder of hundreds of subfolders opens at once with every child's
// button shown; the worker then takes the buttons of the childless ones.
void TestThumbViewer::manySubfolders()
{
    Viewer v;
    // Two large folders, the second opened while the first is still being checked.
    for (const char* folder : {"Many", "More"})
        for (int i = 0; i < 450; ++i)
            QVERIFY(QDir(v.root()).mkpath(
                QStringLiteral("%1/f%2%3").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(i % 9 ? "" : "/sub")));
    // The drive's folder is open already: the folders appear when the change is seen.
    QTRY_VERIFY(v.tree()->SelectPath(v.path(QStringLiteral("Many")), false));
    QVERIFY(v.tree()->SelectPath(v.path(QStringLiteral("More")), false));
    QStringList expected;
    for (int i = 0; i < 450; i += 9) expected << QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0'));
    for (const int row : {3, 4}) {
        const QTreeWidgetItem* folder = v.tree()->tree()->topLevelItem(0)->child(row);
        QCOMPARE(folder->childCount(), 450);
        auto withButton = [folder] {
            QStringList names;
            for (int i = 0; i < folder->childCount(); ++i)
                if (folder->child(i)->childCount() > 0) names << folder->child(i)->text(0);
            return names;
        };
        QTRY_COMPARE_WITH_TIMEOUT(withButton(), expected, 20000);
    }
    const QTreeWidgetItem* many = v.tree()->tree()->topLevelItem(0)->child(3);
    QCOMPARE(many->text(0), QStringLiteral("Many"));
    // Folded and opened again, then closed while the worker may still read.
    v.tree()->tree()->collapseItem(many);
    QVERIFY(v.tree()->SelectPath(v.path(QStringLiteral("Many")), false));
}

void TestThumbViewer::selectPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("viaMessage");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("shown");  // the folder in the title and the grid
    QTest::newRow("exact") << "Gamma/Deep" << false << true << "Gamma/Deep";
    QTest::newRow("trailing separator") << "Gamma/Deep/" << false << true << "Gamma/Deep";
    QTest::newRow("wrong case") << "gamma/Deep" << false << false << "";
    QTest::newRow("wrong case, last name") << "Gamma/deep" << false << false << "";
    QTest::newRow("missing folder") << "Gamma/Nope" << false << false << "";
    QTest::newRow("show folder message") << "Alpha/One" << true << true << "Alpha/One";
}

void TestThumbViewer::selectPath()
{
    QFETCH(QString, path);
    QFETCH(bool, viaMessage);
    QFETCH(bool, found);
    QFETCH(QString, shown);
    Viewer v;
    const QString full = v.path(path);
    if (viaMessage) QCOMPARE(SendWindowMessage(v.tree(), MSG_SHOW_FOLDER, 0, TextParam(&full)), qintptr(0));
    else QCOMPARE(v.tree()->SelectPath(full, true), found);
    // What is not found selects nothing: the drive stays shown.
    const QString expected = shown.isEmpty() ? v.root() : v.path(shown);
    QCOMPARE(v.doc->GetTitle(), expected);
    QCOMPARE(v.frame->thumbView()->grid().folder(), expected);
    QCOMPARE(v.frame->windowTitle(), expected);
}

void TestThumbViewer::removableMedium_data()
{
    QTest::addColumn<int>("medium");  // after the expansion; -1: unmounted
    QTest::addColumn<QString>("expected");
    QTest::newRow("same medium") << 1 << "D[Alpha[One] Beta Gamma+]";
    QTest::newRow("unmounted") << -1 << "D+";
    QTest::newRow("swapped") << 2 << "D+";
}

void TestThumbViewer::removableMedium()
{
    QFETCH(int, medium);
    QFETCH(QString, expected);
    g_medium = 1;
    Viewer v(DriveKind::Removable);
    QVERIFY(v.tree()->SelectPath(v.path(QStringLiteral("Alpha")), true));
    QCOMPARE(CDriveView::ItemImage(v.tree()->tree()->topLevelItem(0)), int(CDriveView::IMG_REMOVABLE));
    g_medium = medium < 0 ? std::nullopt : std::optional<quint64>(medium);
    SendWindowMessage(v.tree(), MSG_DRIVE_CHANGED, 0, 0);
    QCOMPARE(v.text(), expected);
}

void TestThumbViewer::sizeSetting_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("command");
    QTest::newRow("absent") << QString() << 32902;
    QTest::newRow("medium") << "32901" << 32901;
    QTest::newRow("above the range") << "32905" << 32902;
    QTest::newRow("below the range") << "12" << 32900;
    QTest::newRow("empty") << "" << 32900;
}

void TestThumbViewer::sizeSetting()
{
    QFETCH(QString, stored);
    QFETCH(int, command);
    WritePrivateProfileString(SECTION, QStringLiteral("thumbSize"), stored, QLatin1String(PROFILE_FILE));
    Viewer v;
    QCOMPARE(v.frame->thumbCommand(), command);
    const int hundredths = command == ID_THUMB_SMALL ? 100 : command == ID_THUMB_MEDIUM ? 150 : 200;
    QCOMPARE(v.frame->thumbView()->grid().thumbInches(), hundredths / 100.0);
    QCOMPARE(readSetting(QStringLiteral("thumbSize")), QString::number(command));
    // The size already chosen writes nothing; another one is written.
    WritePrivateProfileString(SECTION, QStringLiteral("thumbSize"), QString(), QLatin1String(PROFILE_FILE));
    v.frame->OnThumbSize(command);
    QCOMPARE(readSetting(QStringLiteral("thumbSize")), QStringLiteral("absent"));
    const int other = command == ID_THUMB_SMALL ? ID_THUMB_LARGE : ID_THUMB_SMALL;
    v.frame->OnThumbSize(other);
    QCOMPARE(readSetting(QStringLiteral("thumbSize")), QString::number(other));
    QCOMPARE(v.frame->thumbView()->grid().thumbInches(), other == ID_THUMB_SMALL ? 1.0 : 2.0);
}

void TestThumbViewer::layoutSurvivesRestart()
{
    WriteProfileInt(SECTION, QStringLiteral("col0cx"), 150);
    QRect placed;
    {
        Viewer v;
        QCOMPARE(v.frame->splitter()->sizes().first(), 150);
        v.frame->splitter()->setSizes({180, 400});
        v.frame->setGeometry(30, 40, 600, 450);
        placed = v.frame->geometry();
    }
    QCOMPARE(readSetting(QStringLiteral("col0cx")), QStringLiteral("180"));
    QCOMPARE(readSetting(QStringLiteral("left")), QString::number(placed.left()));
    Viewer again;
    QCOMPARE(again.frame->splitter()->sizes().first(), 180);
    QCOMPARE(again.frame->geometry(), placed);
}

void TestThumbViewer::printFromTree_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("print") << ID_FILE_PRINT << "QPrintDialog";
    QTest::newRow("print preview") << ID_FILE_PRINT_PREVIEW << "QPrintPreviewDialog";
}

void TestThumbViewer::printFromTree()
{
    QFETCH(int, command);
    QFETCH(QString, dialog);
    Viewer v;
    QVERIFY(v.frame->thumbView()->grid().waitIdle(30000));
    QCoreApplication::sendPostedEvents();
    v.tree()->tree()->setFocus();
    QCOMPARE(v.frame->GetActiveView(), static_cast<CView*>(v.tree()));
    // The route a command takes from the tree's window.
    const CommandRoute route = {v.frame->GetActiveView(), v.doc, v.frame.get()};
    CCmdUI state(command);
    QVERIFY(RouteUpdate(route, state));
    CCmdUI save(ID_FILE_SAVE);
    QVERIFY(!RouteUpdate(route, save));
    QString shown;
    QTimer::singleShot(200, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    QVERIFY(RouteCommand(route, command));
    QCOMPARE(shown, dialog);
}

void TestThumbViewer::selectedLookFollowsFocus()
{
    Viewer v;
    for (const char* name : {"a.bmp", "b.rgd"}) QVERIFY(targetfiles::write(QDir(v.path("Alpha")), name));
    QVERIFY(v.tree()->SelectPath(v.path("Alpha"), true));
    CVNThumbView* grid = v.frame->thumbView();
    QTRY_COMPARE_WITH_TIMEOUT(grid->grid().count(), 2, 30000);
    // The focus moving inside the viewer moves the activation: the selected
    // cell is highlighted only while the grid is the active view.
    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    QVERIFY(grid->grid().cell(0)->selectedLook());
    v.tree()->tree()->setFocus();
    QTRY_VERIFY(v.tree()->tree()->hasFocus());
    QVERIFY(!grid->grid().cell(0)->selectedLook());
    grid->setFocus();
    QTRY_VERIFY(grid->grid().cell(0)->selectedLook());
}

void TestThumbViewer::printDialogOffersEveryPage_data()
{
    QTest::addColumn<int>("files");
    QTest::newRow("one page") << 3;
    QTest::newRow("several pages") << 40;
}

void TestThumbViewer::printDialogOffersEveryPage()
{
    if (!HavePoppler()) QSKIP("poppler-utils are not installed");
    QFETCH(int, files);
    Viewer v;
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int i = 0; i < files; ++i)
        QVERIFY(picture.save(v.path(QStringLiteral("t%1.bmp").arg(i, 2, 10, QLatin1Char('0')))));
    ThumbGrid& grid = v.frame->thumbView()->grid();
    grid.ListFolder(v.root());
    QTRY_COMPARE_WITH_TIMEOUT(grid.count(), files, 30000);
    QVERIFY(grid.waitIdle(30000));
    QCoreApplication::sendPostedEvents();

    // The dialog offers pages 1 to the last, and the job prints as many.
    int offered = 0;
    const QString pdf = v.path(QStringLiteral("sheets.pdf"));
    const PrintDialogRunner old = SetPrintDialogRunner([&](QPrinter& printer, int maxPage, QWidget*) {
        offered = maxPage;
        printer.setOutputFileName(pdf);
        return printer.fromPage() == 1 && printer.toPage() == maxPage;
    });
    const CommandRoute route = {v.frame->thumbView(), v.doc, v.frame.get()};
    QVERIFY(RouteCommand(route, ID_FILE_PRINT));
    SetPrintDialogRunner(old);
    QCOMPARE(PdfPageCount(pdf), offered);
    QCOMPARE(offered > 1, files > 12);
}

QTEST_MAIN(TestThumbViewer)
#include "tst_thumbviewer.moc"
