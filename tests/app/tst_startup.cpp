// The application started offscreen with a configuration folder of its own:
// the main window, its menus and toolbar, opening targets through the open
// dialog, the dialogs' folder and extension rules, Close All and the help
// command. There is one application per process, so the test functions run
// in order on the same one.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/AboutDlg.h"
#include "app/FileDialogs.h"
#include "app/HelpWindow.h"
#include "app/MainFrm.h"
#include "app/TargetApp.h"
#include "designer/TargetDesign.h"
#include "document/TargetDoc.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ShellOpen.h"
#include "platform/WindowMessage.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/HyperlinkButton.h"

using namespace Cmd;

namespace {

const QString TARGETS = QStringLiteral("Targets/My Targets/");
const QString PISTOL = QStringLiteral("25m Precision Pistol.vnt");
const QString RINGS = QStringLiteral("Standard Rings.rgd");

// The texts of a menu's items, separators left out.
QStringList itemTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

QStringList menuTitles(QMenuBar* bar)
{
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    return titles;
}

QMenu* menuNamed(QMenuBar* bar, const QString& title)
{
    for (QAction* a : bar->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

// Notes the MSG_TARGET_SAVED messages it is sent.
class SavedListener : public QWidget {
public:
    using QWidget::QWidget;
    QStringList paths;
    QList<quintptr> wParams;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == WindowMessageEvent::eventType()) {
            auto* m = static_cast<WindowMessageEvent*>(e);
            if (m->message() == MSG_TARGET_SAVED) {
                paths << m->lParamText();
                wParams << m->wParam();
            }
            return true;
        }
        return QWidget::event(e);
    }
};

QString lastDir()
{
    QString value;
    ReadProfileText(QStringLiteral("File Directory"), QStringLiteral("LastDir"), QStringLiteral("<none>"), &value);
    return value;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void mainWindow();
    void menuWithoutDocument();
    void toolbarButtons();
    void openDialogOpensShippedTarget();
    void menuWithTargetDocument();
    void badFileGivesOneMessageAndNoWindow();
    void invalidExtensionQuestion();
    void openTargetFileActivatesOpenWindow();
    void lastDirRules();
    void saveDialogRules();
    void aboutLinkOpensOnce_data();
    void aboutLinkOpensOnce();
    void saveAsAsksBeforeReplacingTheDesign_data();
    void saveAsAsksBeforeReplacingTheDesign();
    void savingADesignTellsTheWindows();
    void closeAllAsksAboutModifiedDesigns();
    void newWindowFillsClientArea_data();
    void newWindowFillsClientArea();
    void menuLettersDoNotClash_data();
    void menuLettersDoNotClash();
    void helpCommand_data();
    void helpCommand();
    void thumbnailViewer();
    void viewerAtStartUp_data();
    void viewerAtStartUp();

private:
    // Answers the next open or save dialog with these files (none: Cancel).
    void answer(const QStringList& files, int errorCode = 0)
    {
        m_answer = files;
        m_errorCode = errorCode;
    }
    QString shipped(const QString& name) const { return m_program + TARGETS + name; }
    QString temp(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
        return path;
    }
    int windows() const { return int(m_app->mainFrame()->childFrames().size()); }
    void closeAll()
    {
        m_app->CloseAllDocuments(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir m_config;
    QTemporaryDir m_dir;
    QString m_oldCwd;
    QString m_program;  // the program folder, ending with '/'
    TargetApp* m_app = nullptr;
    QList<FileDialogRequest> m_requests;
    QStringList m_answer;
    QList<QStringList> m_laterAnswers;  // the answers to the dialogs after the next
    int m_errorCode = 0;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_config.isValid());
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QCoreApplication::setApplicationName(QStringLiteral("Vantric"));
    MessageLog::setEcho(false);
    QVERIFY(!QFile::exists(ProfilePath()));

    // The program folder is the working directory: the shipped data.
    m_oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(VANTRIC_DATA_DIR)));
    m_program = QDir(QStringLiteral(VANTRIC_DATA_DIR)).absolutePath() + QLatin1Char('/');

    // The thumbnail viewer stays closed until its own test opens it.
    WriteProfileUnsigned(QStringLiteral("Thumbnail View"), QStringLiteral("visible"), 0);
    m_app = new TargetApp;
    m_app->setFileDialogRunner([this](const FileDialogRequest& r) {
        m_requests.append(r);
        FileDialogResult result;
        result.accepted = !m_answer.isEmpty();
        result.files = m_answer;
        result.errorCode = m_errorCode;
        if (!m_laterAnswers.isEmpty()) m_answer = m_laterAnswers.takeFirst();
        return result;
    });
    QVERIFY(m_app->InitInstance({QStringLiteral("vantric")}));
    QVERIFY(QTest::qWaitForWindowExposed(m_app->mainFrame()));
}

void TestStartup::cleanupTestCase()
{
    closeAll();
    delete m_app;
    QDir::setCurrent(m_oldCwd);
}

void TestStartup::init()
{
    MessageLog::clear();
    MessageLog::setAnswer(0);
    m_requests.clear();
    m_answer.clear();
    m_laterAnswers.clear();
    m_errorCode = 0;
}

void TestStartup::mainWindow()
{
    CMainFrame* main = m_app->mainFrame();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(main->windowTitle(), QStringLiteral("Vantric"));
    QVERIFY(main->placementApplied());
    // No document window without a file on the command line.
    QCOMPARE(windows(), 0);
    QCOMPARE(main->shownMenu(), IDR_MAINFRAME);
    QCOMPARE(m_app->programFolder(), m_program);
    QCOMPARE(m_app->targetTemplate()->GetDocString(CDocTemplate::regFileTypeId), QStringLiteral("Vantric.Document"));
    QCOMPARE(m_app->targetTemplate()->GetDocString(CDocTemplate::filterExt), QStringLiteral(".vnt"));
    QCOMPARE(m_app->recentFiles().size(), 6);

    // The status bar's indicators follow the message pane.
    QStringList indicators;
    for (QLabel* label : main->statusBarWidget()->findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->text() != QLatin1String("Ready")) indicators << label->text();
    QCOMPARE(indicators, (QStringList{QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL")}));
    QCOMPARE(main->statusBarWidget()->currentMessage(), QStringLiteral("Ready"));
}

void TestStartup::menuWithoutDocument()
{
    CMainFrame* main = m_app->mainFrame();
    QMenuBar* bar = main->menuBar();
    QCOMPARE(menuTitles(bar), (QStringList{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    QCOMPARE(itemTexts(menuNamed(bar, QStringLiteral("&File"))),
             (QStringList{QStringLiteral("&New Ringdesigner...\tCtrl+N"), QStringLiteral("&Open...\tCtrl+O"),
                          QStringLiteral("P&rint Setup..."), QStringLiteral("Printer Ca&libration..."),
                          QStringLiteral("Recent File"), QStringLiteral("E&xit")}));
    QMenu* view = menuNamed(bar, QStringLiteral("&View"));
    QCOMPARE(itemTexts(view), (QStringList{QStringLiteral("Thumbnail &Viewer"), QStringLiteral("&Toolbar"),
                                           QStringLiteral("&Status Bar")}));
    QCOMPARE(itemTexts(menuNamed(bar, QStringLiteral("&Help"))),
             (QStringList{QStringLiteral("&How To Use Vantric..."), QStringLiteral("&About Vantric...")}));

    // The accelerators.
    QCOMPARE(main->commandAction(ID_FILE_NEW)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(main->commandAction(ID_FILE_OPEN)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(main->commandAction(ID_FILE_PRINT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(main->commandAction(ID_FILE_SAVE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(main->commandAction(ID_NEXT_PANE)->shortcut(), QKeySequence(Qt::Key_F6));
    QCOMPARE(main->commandAction(ID_PREV_PANE)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    QVERIFY(main->commandAction(ID_EDIT_PASTE)->shortcuts().contains(QKeySequence(Qt::SHIFT | Qt::Key_Insert)));
    QVERIFY(main->actions().contains(main->commandAction(ID_FILE_OPEN)));

    // Opening the View menu runs its update handlers: the closed thumbnail
    // viewer is unchecked, the bars are checked.
    QMetaObject::invokeMethod(view, "aboutToShow");
    QVERIFY(main->commandAction(ID_VIEW_THUMBNAIL)->isEnabled());
    QVERIFY(!main->commandAction(ID_VIEW_THUMBNAIL)->isChecked());
    QVERIFY(main->commandAction(ID_VIEW_TOOLBAR)->isEnabled());
    QVERIFY(main->commandAction(ID_VIEW_TOOLBAR)->isChecked());
    QVERIFY(main->commandAction(ID_VIEW_STATUS_BAR)->isChecked());
    // Hiding the toolbar clears its check mark; the accelerators for the
    // editing keys do nothing.
    QVERIFY(main->routeCommand(ID_VIEW_TOOLBAR));
    QVERIFY(!main->toolBar()->isVisible());
    QMetaObject::invokeMethod(view, "aboutToShow");
    QVERIFY(!main->commandAction(ID_VIEW_TOOLBAR)->isChecked());
    QVERIFY(main->routeCommand(ID_VIEW_TOOLBAR));
    QVERIFY(main->toolBar()->isVisible());
    QVERIFY(!main->routeCommand(ID_EDIT_COPY));

    // The status-bar prompt of a menu item.
    QCOMPARE(main->commandAction(ID_HELP_HOWTO)->statusTip(), QStringLiteral("Open the Vantric help file"));
}

void TestStartup::toolbarButtons()
{
    CMainFrame* main = m_app->mainFrame();
    QList<int> ids;
    for (QAction* a : main->toolBar()->actions()) ids << (a->isSeparator() ? 0 : a->data().toInt());
    QCOMPARE(ids, (QList<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_PRINT, 0, ID_VIEW_THUMBNAIL, 0,
                              ID_EDIT_RINGDESIGNER, 0, ID_VIEW_ZOOM_100, ID_VIEW_FIT_TO_WINDOW, 0, ID_VIEW_TILE_PAGES,
                              ID_VIEW_TILE_TARGET, 0, ID_VIEW_SCALE_TO_PAGE, ID_VIEW_SCALE_DISTANCE, 0,
                              ID_HELP_HOWTO}));
    // The Open button drops down the recent-file popup.
    QToolButton* open = main->openButton();
    QVERIFY(open);
    QCOMPARE(open->menu(), main->recentFilePopup());
    QCOMPARE(open->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(main->commandAction(ID_VIEW_SCALE_DISTANCE)->toolTip(), QStringLiteral("Scale Taget for Distance"));
    for (QAction* a : main->toolBar()->actions())
        if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->toolTip()));

    // Without a document the document's buttons are greyed.
    main->updateCommandUI(main->toolBar()->actions());
    QVERIFY(main->commandAction(ID_FILE_OPEN)->isEnabled());
    QVERIFY(!main->commandAction(ID_FILE_SAVE)->isEnabled());
    QVERIFY(!main->commandAction(ID_FILE_PRINT)->isEnabled());
    QVERIFY(!main->commandAction(ID_VIEW_ZOOM_100)->isEnabled());
    QVERIFY(main->commandAction(ID_HELP_HOWTO)->isEnabled());
}

void TestStartup::openDialogOpensShippedTarget()
{
    QVERIFY(QFile::exists(shipped(PISTOL)));
    QCOMPARE(lastDir(), QStringLiteral("<none>"));
    answer({shipped(PISTOL)});
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_OPEN));

    QCOMPARE(m_requests.size(), 1);
    const FileDialogRequest& r = m_requests.first();
    QVERIFY(r.open);
    QCOMPARE(r.title, QStringLiteral("Open"));
    QCOMPARE(r.defaultSuffix, QStringLiteral("vnt"));
    QCOMPARE(r.flags, Ofn::HIDEREADONLY | Ofn::FILEMUSTEXIST | Ofn::ALLOWMULTISELECT);
    // Nothing stored yet: the program folder.
    QCOMPARE(r.folder, m_program);
    QStringList names, patterns;
    for (const FileFilter& f : r.filters) {
        names << f.name;
        patterns << f.pattern;
    }
    // The specified filters in their order, the first one listing the new
    // kinds too, then one filter per new kind.
    QCOMPARE(names, (QStringList{QStringLiteral("Image Files (*.vnt;*.rgd;*.wmf;*.jpg;*.bmp;*.pdf;*.svg;*.svgz;*.png)"),
                                 QStringLiteral("Vantric Files (*.vnt)"), QStringLiteral("Ringdesigner Files (*.rgd)"),
                                 QStringLiteral("Windows Metafiles (*.wmf)"), QStringLiteral("JPEG Bitmaps (*.jpg)"),
                                 QStringLiteral("Windows Bitmaps (*.bmp)"), QStringLiteral("PDF Documents (*.pdf)"),
                                 QStringLiteral("SVG Drawings (*.svg;*.svgz)"), QStringLiteral("PNG Images (*.png)")}));
    QCOMPARE(patterns, (QStringList{QStringLiteral("*.vnt;*.rgd;*.wmf;*.jpg;*.bmp;*.pdf;*.svg;*.svgz;*.png"),
                                    QStringLiteral("*.vnt"), QStringLiteral("*.rgd"), QStringLiteral("*.wmf"),
                                    QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.pdf"),
                                    QStringLiteral("*.svg;*.svgz"), QStringLiteral("*.png")}));
    // QFileDialog gets every pattern in both cases.
    QCOMPARE(QtFilterString(r.filters.at(1)), QStringLiteral("Vantric Files (*.vnt) (*.vnt *.VNT)"));

    // A window with the target appears and is the active one.
    QCOMPARE(windows(), 1);
    CDocument* doc = m_app->mainFrame()->GetActiveDocument();
    QVERIFY(doc);
    QCOMPARE(doc->GetTitle(), PISTOL);
    QCOMPARE(static_cast<CTargetDoc*>(doc)->kind(), int(TARGET_KIND_PICTURE));
    QVERIFY(MessageLog::messages().isEmpty());
    QCOMPARE(m_app->recentFiles().at(0), shipped(PISTOL));
    QCOMPARE(m_app->mainFrame()->windowTitle(), QStringLiteral("Vantric - ") + PISTOL);

    // The folder lies inside the program folder: it is stored, and the next
    // dialog starts there.
    QCOMPARE(lastDir(), m_program + TARGETS);
    QCOMPARE(TargetApp::currentOpenFolder(), m_program + TARGETS);
    answer({});
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_OPEN));
    QCOMPARE(m_requests.last().folder, m_program + TARGETS);
    QCOMPARE(windows(), 1);
}

void TestStartup::menuWithTargetDocument()
{
    CMainFrame* main = m_app->mainFrame();
    QCOMPARE(main->shownMenu(), IDR_TARGETTYPE);
    QMenuBar* bar = main->menuBar();
    QCOMPARE(menuTitles(bar), (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View"),
                                           QStringLiteral("&Window"), QStringLiteral("&Help")}));
    QStringList file = itemTexts(menuNamed(bar, QStringLiteral("&File")));
    QCOMPARE(file.size(), 10);
    QCOMPARE(file.mid(0, 8), (QStringList{QStringLiteral("&New Ringdesigner...\tCtrl+N"), QStringLiteral("&Open...\tCtrl+O"),
                                          QStringLiteral("&Close"), QStringLiteral("&Save\tCtrl+S"),
                                          QStringLiteral("Save &As..."), QStringLiteral("&Print...\tCtrl+P"),
                                          QStringLiteral("P&rint Setup..."),
                                          QStringLiteral("Printer Ca&libration...")}));
    // The recent file, numbered, then Exit.
    QVERIFY(file.at(8).startsWith(QLatin1String("&1 ")));
    QVERIFY(file.at(8).endsWith(PISTOL));
    QCOMPARE(file.at(9), QStringLiteral("E&xit"));
    QCOMPARE(itemTexts(menuNamed(bar, QStringLiteral("&Edit"))), QStringList{QStringLiteral("Edit with &Ringdesigner")});
    QMenu* view = menuNamed(bar, QStringLiteral("&View"));
    QCOMPARE(itemTexts(view),
             (QStringList{QStringLiteral("Thumbnail &Viewer"), QStringLiteral("&25% of Original Size"),
                          QStringLiteral("&50% of Original Size"), QStringLiteral("&75% of Original Size"),
                          QStringLiteral("&100% (Full Size)"), QStringLiteral("&Fit Image to View"),
                          QStringLiteral("Scr&een Calibration..."), QStringLiteral("Tile &Pages to Target"),
                          QStringLiteral("Tile T&arget to Page..."),
                          QStringLiteral("P&oster Options..."),
                          QStringLiteral("S&cale Target to Page"), QStringLiteral("Scale Target for &Distance..."),
                          QStringLiteral("P&rint Scale Check"),
                          QStringLiteral("Pa&ge of the Document..."), QStringLiteral("&Toolbar"),
                          QStringLiteral("&Status Bar")}));
    QCOMPARE(itemTexts(menuNamed(bar, QStringLiteral("&Window"))),
             (QStringList{QStringLiteral("&Cascade"), QStringLiteral("&Tile"), QStringLiteral("&Arrange Icons"),
                          QStringLiteral("Close Al&l")}));

    // A target document is not a design: Save, Save As and Edit are greyed.
    QMetaObject::invokeMethod(menuNamed(bar, QStringLiteral("&File")), "aboutToShow");
    QMetaObject::invokeMethod(menuNamed(bar, QStringLiteral("&Edit")), "aboutToShow");
    QMetaObject::invokeMethod(view, "aboutToShow");
    QVERIFY(!main->commandAction(ID_FILE_SAVE)->isEnabled());
    QVERIFY(!main->commandAction(ID_FILE_SAVE_AS)->isEnabled());
    QVERIFY(!main->commandAction(ID_EDIT_RINGDESIGNER)->isEnabled());
    QVERIFY(main->commandAction(ID_FILE_CLOSE)->isEnabled());
    QVERIFY(main->commandAction(ID_VIEW_ZOOM_50)->isEnabled());
    QVERIFY(main->commandAction(ID_VIEW_THUMBNAIL)->isEnabled());
}

void TestStartup::badFileGivesOneMessageAndNoWindow()
{
    const QString before = lastDir();
    const QString bad = temp(QStringLiteral("short.vnt"), QByteArray(50, 'x'));
    answer({bad});
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_OPEN));
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord m = MessageLog::messages().first();
    QCOMPARE(m.text, QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(bad));
    QCOMPARE(m.caption, QStringLiteral("Error Reading File"));
    QCOMPARE(m.buttons, MsgButtons::Ok);
    QVERIFY(m.ownedByMainWindow);
    QCOMPARE(windows(), 1);
    QCOMPARE(m_app->targetTemplate()->documents().size(), 1);
    QVERIFY(!m_app->recentFiles().files().contains(bad));

    // A folder outside the program folder is used for the rest of the run
    // but never stored.
    QCOMPARE(lastDir(), before);
    QCOMPARE(TargetApp::currentOpenFolder(), m_dir.path() + QLatin1Char('/'));

    // The same through the framework's open path.
    MessageLog::clear();
    QVERIFY(!m_app->OpenDocumentFile(bad));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(windows(), 1);
}

void TestStartup::invalidExtensionQuestion()
{
    const QString first = shipped(RINGS);
    const QString text = temp(QStringLiteral("notes.txt"), "text");
    const QString third = shipped(QStringLiteral("Sight-in Grid 8x10.wmf"));
    const int before = windows();

    // OK goes on with the next file.
    MessageLog::setAnswer(IDOK);
    answer({first, text, third});
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_OPEN));
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord m = MessageLog::messages().first();
    QCOMPARE(m.text, QStringLiteral("The file \"%1\" is not a valid image file.").arg(text));
    QCOMPARE(m.caption, QStringLiteral("ERROR: Invalid File Extension"));
    QCOMPARE(m.buttons, MsgButtons::OkCancel);
    QCOMPARE(windows(), before + 2);

    // Cancel stops there; what opened before stays open.
    MessageLog::clear();
    MessageLog::setAnswer(IDCANCEL);
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_OPEN));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(windows(), before + 3);

    // ".jpeg" is not offered by the dialog even though the file opens
    // elsewhere.
    QVERIFY(!IsOpenDialogExtension(QStringLiteral("/x/a.jpeg")));
    QVERIFY(IsOpenDialogExtension(QStringLiteral("/x/A.VNT")));
    QVERIFY(!IsOpenDialogExtension(QStringLiteral("/x.vnt/a")));
    QVERIFY(IsOpenDialogExtension(QStringLiteral("/x/a.SvgZ")));
    QVERIFY(!IsOpenDialogExtension(QStringLiteral("/x/a.jpe")));
    QVERIFY(!IsOpenDialogExtension(QStringLiteral("/x/a.tif")));
    closeAll();
    QCOMPARE(windows(), 0);
    QCOMPARE(m_app->mainFrame()->shownMenu(), IDR_MAINFRAME);
}

void TestStartup::openTargetFileActivatesOpenWindow()
{
    const QString rings = shipped(RINGS);
    QVERIFY(m_app->OpenTargetFile(rings));
    QVERIFY(m_app->OpenTargetFile(shipped(PISTOL)));
    QCOMPARE(windows(), 2);
    CDocument* pistol = m_app->mainFrame()->GetActiveDocument();
    QCOMPARE(pistol->GetTitle(), PISTOL);
    // Asking again (as the thumbnail browser does), however the path is
    // spelt, brings the first window forward instead of opening another.
    const QString path = rings;
    QCOMPARE(SendWindowMessage(m_app->mainFrame(), MSG_OPEN_FILE_REQUEST, 0, TextParam(&path)), qintptr(0));
    QCOMPARE(windows(), 2);
    QCOMPARE(m_app->mainFrame()->GetActiveDocument()->GetTitle(), RINGS);
    QVERIFY(m_app->OpenTargetFile(m_program + QStringLiteral("Targets/../") + TARGETS + PISTOL));
    QCOMPARE(windows(), 2);
    QCOMPARE(m_app->mainFrame()->GetActiveDocument(), pistol);
    // On Linux a name in other letter case is another file.
    QTemporaryDir dir;
    QVERIFY(QFile::copy(shipped(PISTOL), dir.filePath(QStringLiteral("bull.vnt"))));
    QVERIFY(QFile::copy(shipped(PISTOL), dir.filePath(QStringLiteral("BULL.vnt"))));
    QVERIFY(m_app->OpenTargetFile(dir.filePath(QStringLiteral("bull.vnt"))));
    QVERIFY(m_app->OpenTargetFile(dir.filePath(QStringLiteral("BULL.vnt"))));
    QCOMPARE(windows(), 4);
    closeAll();
}

void TestStartup::lastDirRules()
{
    // A program folder of its own, so that nothing is written beside the
    // shipped data.
    const QString program = m_dir.filePath(QStringLiteral("prog")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(program + QStringLiteral("Targets/Club")));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("prog2"))));
    const auto store = [](const QString& value) {
        WritePrivateProfileString(QStringLiteral("File Directory"), QStringLiteral("LastDir"), value,
                                  QLatin1String(PROFILE_FILE));
    };
    const QString saved = lastDir();

    store(program + QStringLiteral("Targets/Club/"));
    QCOMPARE(InitialOpenFolder(program), program + QStringLiteral("Targets/Club/"));
    // The separator is added when missing.
    store(program + QStringLiteral("Targets/Club"));
    QCOMPARE(InitialOpenFolder(program), program + QStringLiteral("Targets/Club/"));
    store(QString(""));
    QCOMPARE(InitialOpenFolder(program), program);
    store(program + QStringLiteral("Targets/Gone/"));
    QCOMPARE(InitialOpenFolder(program), program);
    // Outside the program folder, even one whose name only starts alike.
    store(m_dir.path() + QLatin1Char('/'));
    QCOMPARE(InitialOpenFolder(program), program);
    store(m_dir.filePath(QStringLiteral("prog2")) + QLatin1Char('/'));
    QCOMPARE(InitialOpenFolder(program), program);
    // The comparison heeds case.
    store(program.toUpper() + QStringLiteral("TARGETS/CLUB/"));
    QCOMPARE(InitialOpenFolder(program), program);
    WritePrivateProfileString(QStringLiteral("File Directory"), QStringLiteral("LastDir"), QString(),
                              QLatin1String(PROFILE_FILE));
    QCOMPARE(InitialOpenFolder(program), program);

    // Storing: only folders inside the program folder.
    QVERIFY(OfferLastDir(program + QStringLiteral("Targets/"), program));
    QCOMPARE(lastDir(), program + QStringLiteral("Targets/"));
    QVERIFY(!OfferLastDir(m_dir.filePath(QStringLiteral("prog2/")), program));
    QCOMPARE(lastDir(), program + QStringLiteral("Targets/"));
    store(saved);
}

void TestStartup::saveDialogRules()
{
    QCOMPARE(ForceRgdExtension(QStringLiteral("/t/target")), QStringLiteral("/t/target.rgd"));
    QCOMPARE(ForceRgdExtension(QStringLiteral("/t/target.txt")), QStringLiteral("/t/target.rgd"));
    QCOMPARE(ForceRgdExtension(QStringLiteral("/t/target.RGD")), QStringLiteral("/t/target.rgd"));
    QCOMPARE(ForceRgdExtension(QStringLiteral("/t/a.b/target")), QStringLiteral("/t/a.b/target.rgd"));
    QCOMPARE(ForceRgdExtension(QStringLiteral("/t/my.target.vnt")), QStringLiteral("/t/my.target.rgd"));
    QCOMPARE(ForceRgdExtension(QStringLiteral("C:\\t\\target")), QStringLiteral("C:\\t\\target.rgd"));
    const QString deep = QStringLiteral("/") + QString(300, QLatin1Char('d')) + QStringLiteral("/x.txt");
    QCOMPARE(ForceRgdExtension(deep), deep.left(deep.size() - 4) + QStringLiteral(".rgd"));

    // The dialog: first in the shipped targets folder, one filter, the name
    // proposed, the chosen name made a design's.
    QString name = QStringLiteral("Target1.rgd");
    answer({m_dir.filePath(QStringLiteral("club/mine.txt"))});
    QVERIFY(m_app->PromptForFileName(name, AFX_IDS_SAVEFILE, Ofn::HIDEREADONLY | Ofn::OVERWRITEPROMPT, false,
                                     nullptr));
    QCOMPARE(name, m_dir.filePath(QStringLiteral("club/mine.rgd")));
    const FileDialogRequest& r = m_requests.last();
    QVERIFY(!r.open);
    QCOMPARE(r.title, QStringLiteral("Save As"));
    QCOMPARE(r.folder, m_program + TARGETS);
    QCOMPARE(r.fileName, QStringLiteral("Target1.rgd"));
    QCOMPARE(r.defaultSuffix, QStringLiteral("rgd"));
    QCOMPARE(r.filters.size(), 1);
    QCOMPARE(r.filters.first().name, QStringLiteral("Ringdesigner Files (*.rgd)"));
    QCOMPARE(r.filters.first().pattern, QStringLiteral("*.rgd"));
    QCOMPARE(TargetApp::currentSaveFolder(), m_dir.filePath(QStringLiteral("club/")));

    // Cancel: no message; a dialog error: its text.
    answer({});
    QVERIFY(!m_app->PromptForFileName(name, AFX_IDS_SAVEFILE, 0, false, nullptr));
    QCOMPARE(m_requests.last().folder, m_dir.filePath(QStringLiteral("club/")));
    QVERIFY(MessageLog::messages().isEmpty());
    answer({}, 0x3002);
    QVERIFY(!m_app->PromptForFileName(name, AFX_IDS_SAVEFILE, 0, false, nullptr));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QStringLiteral("A file name is invalid."));
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("ERROR: Common Dialog Error"));
    QCOMPARE(name, m_dir.filePath(QStringLiteral("club/mine.rgd")));
}

// The dialog confirms the name typed; the ".rgd" name saved instead gets its
// own replace question when that file exists. No shows the dialog again with
// the ".rgd" name (here cancelled).
void TestStartup::saveAsAsksBeforeReplacingTheDesign_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("rgdExists");
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("asked");
    const unsigned ask = Ofn::OVERWRITEPROMPT;
    QTest::newRow("other extension, design exists, Yes") << "t.txt" << true << ask << int(IDYES) << true;
    QTest::newRow("other extension, design exists, No") << "t.txt" << true << ask << int(IDNO) << true;
    QTest::newRow("no extension, design exists") << "t" << true << ask << int(IDYES) << true;
    QTest::newRow("other extension, no design") << "t.txt" << false << ask << int(IDNO) << false;
    QTest::newRow("design name typed: the dialog asked") << "t.rgd" << true << ask << int(IDNO) << false;
    QTest::newRow("no overwrite question wanted") << "t.txt" << true << 0u << int(IDNO) << false;
}

void TestStartup::saveAsAsksBeforeReplacingTheDesign()
{
    QFETCH(QString, typed);
    QFETCH(bool, rgdExists);
    QFETCH(unsigned, flags);
    QFETCH(int, reply);
    QFETCH(bool, asked);
    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("t.rgd"));
    QFile f(design);
    QVERIFY(!rgdExists || f.open(QIODevice::WriteOnly));
    answer({dir.filePath(typed)});
    m_laterAnswers = {QStringList()};
    MessageLog::setAnswer(reply);
    QString name = QStringLiteral("Target1");
    const bool saved = !asked || reply == IDYES;
    QCOMPARE(m_app->PromptForFileName(name, AFX_IDS_SAVEFILE, flags, false, nullptr), saved);
    QCOMPARE(int(MessageLog::messages().size()), asked ? 1 : 0);
    if (asked) QCOMPARE(MessageLog::messages().first().text, ReplaceFileQuestion(design));
    QCOMPARE(saved ? name : m_requests.last().fileName, design);
}

// The About box's link opens once per click: Enter afterwards closes the box
// (the link is never the default button); a failure is reported once. The
// link's text sits at its left edge.
void TestStartup::aboutLinkOpensOnce_data()
{
    QTest::addColumn<bool>("launches");
    QTest::newRow("link opens") << true;
    QTest::newRow("link fails") << false;
}

void TestStartup::aboutLinkOpensOnce()
{
    QFETCH(bool, launches);
    int opened = 0;
    const ShellServices old = SetShellServices({[&](const QUrl&) { ++opened; return launches; },
                                                [] { return QString(); }, [](const QString&) { return false; }});
    CAboutDlg about(m_app->mainFrame());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.link()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QTest::mouseClick(about.link(), Qt::LeftButton);
    QCOMPARE(int(MessageLog::messages().size()), launches ? 0 : 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(opened, 1);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    SetShellServices(old);
}

void TestStartup::savingADesignTellsTheWindows()
{
    CTargetDesign design;
    design.LoadDefault();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        design.Write(buffer);
    }
    const QString path = temp(QStringLiteral("design.rgd"), bytes);
    QVERIFY(m_app->OpenTargetFile(path));
    auto* doc = static_cast<CTargetDoc*>(m_app->mainFrame()->GetActiveDocument());
    QCOMPARE(doc->kind(), int(TARGET_KIND_DESIGNER));
    auto* listener = new SavedListener(m_app->mainFrame()->statusBarWidget());

    // Save writes the design's own file, then every window hears of it.
    design.GetElement(10)->SetEnabled(true);
    design.Rebuild();
    doc->GetTargetImage().SetDesigner(design);
    doc->SetModifiedFlag(true);
    m_app->mainFrame()->updateCommandUI(m_app->mainFrame()->commandAction(ID_FILE_SAVE));
    QVERIFY(m_app->mainFrame()->commandAction(ID_FILE_SAVE)->isEnabled());
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_SAVE));
    QVERIFY(m_requests.isEmpty());
    QVERIFY(!doc->IsModified());
    QCOMPARE(listener->paths, QStringList{path});
    QCOMPARE(listener->wParams, QList<quintptr>{0});
    CTargetDoc reread;
    QVERIFY(reread.OnOpenDocument(path));
    QVERIFY(reread.GetTargetImage().designer()->Equals(design));

    // Save As through the dialog: the name becomes a design's, the message
    // carries the name the document had before.
    answer({m_dir.filePath(QStringLiteral("copy.txt"))});
    QVERIFY(m_app->mainFrame()->routeCommand(ID_FILE_SAVE_AS));
    QCOMPARE(m_requests.size(), 1);
    QCOMPARE(m_requests.first().fileName, path);
    const QString copy = m_dir.filePath(QStringLiteral("copy.rgd"));
    QVERIFY(QFile::exists(copy));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("copy.txt"))));
    QCOMPARE(doc->GetPathName(), copy);
    QCOMPARE(doc->GetTitle(), QStringLiteral("copy.rgd"));
    QCOMPARE(listener->paths, (QStringList{path, path}));
    QCOMPARE(m_app->recentFiles().at(0), copy);
    delete listener;
    closeAll();
}

void TestStartup::closeAllAsksAboutModifiedDesigns()
{
    QVERIFY(m_app->OpenTargetFile(shipped(PISTOL)));
    QVERIFY(m_app->OpenTargetFile(shipped(RINGS)));
    QCOMPARE(windows(), 2);
    CDocument* design = m_app->mainFrame()->GetActiveDocument();
    QCOMPARE(static_cast<CTargetDoc*>(design)->kind(), int(TARGET_KIND_DESIGNER));
    design->SetModifiedFlag(true);

    // Cancel keeps every window open (and writes nothing).
    MessageLog::setAnswer(IDCANCEL);
    QVERIFY(m_app->mainFrame()->routeCommand(ID_WINDOW_CLOSE_ALL));
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord m = MessageLog::messages().first();
    QCOMPARE(m.text, QStringLiteral("Save changes to %1?").arg(shipped(RINGS)));
    QCOMPARE(m.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(windows(), 2);
    QVERIFY(design->IsModified());

    // No closes everything.
    MessageLog::clear();
    MessageLog::setAnswer(IDNO);
    QVERIFY(m_app->mainFrame()->routeCommand(ID_WINDOW_CLOSE_ALL));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(windows(), 0);
    QVERIFY(m_app->targetTemplate()->documents().isEmpty());

    // Nothing modified: no question.
    MessageLog::clear();
    QVERIFY(m_app->OpenTargetFile(shipped(RINGS)));
    QVERIFY(m_app->mainFrame()->routeCommand(ID_WINDOW_CLOSE_ALL));
    QVERIFY(MessageLog::messages().isEmpty());
    QCOMPARE(windows(), 0);
}

void TestStartup::newWindowFillsClientArea_data()
{
    QTest::addColumn<bool>("viewer");   // the thumbnail viewer is open
    QTest::addColumn<bool>("cascade");  // a target window was opened and cascaded first
    QTest::newRow("first window") << false << false;
    QTest::newRow("beside the thumbnail viewer") << true << false;
    QTest::newRow("after Cascade") << false << true;
}

void TestStartup::newWindowFillsClientArea()
{
    QFETCH(bool, viewer);
    QFETCH(bool, cascade);
    closeAll();
    CMainFrame* main = m_app->mainFrame();
    if (viewer) QVERIFY(main->routeCommand(ID_VIEW_THUMBNAIL));
    if (cascade) {
        QVERIFY(m_app->OpenTargetFile(shipped(PISTOL)));
        QVERIFY(main->routeCommand(ID_WINDOW_CASCADE));
    }
    QMdiSubWindow* before = main->mdiArea()->activeSubWindow();
    QVERIFY(m_app->OpenTargetFile(shipped(RINGS)));
    QCoreApplication::processEvents();
    QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
    QVERIFY(frame && frame != before);
    // In the fit zoom it keeps all the rest of the client area from the
    // cascade position: the corner, or one title bar on from the window
    // made before it.
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
    const QPoint corner = before ? before->pos() + QPoint(step, step) : QPoint(0, 0);
    const QSize area = main->mdiArea()->viewport()->size();
    QCOMPARE(frame->geometry(), QRect(corner, area - QSize(corner.x(), corner.y())));
    if (viewer) QVERIFY(main->routeCommand(ID_VIEW_THUMBNAIL));
    closeAll();
}

void TestStartup::menuLettersDoNotClash_data()
{
    QTest::addColumn<int>("menu");
    QTest::newRow("no document") << int(IDR_MAINFRAME);
    QTest::newRow("target") << int(IDR_TARGETTYPE);
    QTest::newRow("thumbnail viewer") << int(IDR_THUMBTYPE);
}

void TestStartup::menuLettersDoNotClash()
{
    QFETCH(int, menu);
    // Alt and a letter reach one item of a menu, and one menu of the bar.
    const auto letter = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QStringList titles;
    for (const MenuPopup& popup : MenuResource(menu)) {
        titles << popup.title;
        QMap<QChar, QString> taken;
        for (const MenuItem& item : popup.items) {
            const QChar key = letter(item.text);
            if (item.id <= 0 || key.isNull()) continue;
            QVERIFY2(!taken.contains(key), qPrintable(QStringLiteral("%1: \"%2\" and \"%3\"")
                                                          .arg(popup.title, taken.value(key), item.text)));
            taken.insert(key, item.text);
        }
    }
    QSet<QChar> bar;
    for (const QString& title : titles) bar.insert(letter(title));
    QCOMPARE(bar.size(), titles.size());
}

void TestStartup::helpCommand_data()
{
    QTest::addColumn<QUrl>("link");  // clicked in the help window; empty: none
    QTest::addColumn<bool>("desktopOpens");
    QTest::addColumn<QList<QUrl>>("opened");  // what went to the desktop's handler
    QTest::addColumn<QString>("message");
    const QUrl web(QStringLiteral("https://www.issf-sports.org/"));
    QTest::newRow("the help page") << QUrl() << true << QList<QUrl>{} << QString();
    QTest::newRow("an anchor of the page") << QUrl(QStringLiteral("#zoom")) << true << QList<QUrl>{} << QString();
    QTest::newRow("a web link") << web << true << QList<QUrl>{web} << QString();
    QTest::newRow("a web link nothing opens")
        << web << false << QList<QUrl>{web}
        << QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
                          "filename extension.");
}

void TestStartup::helpCommand()
{
    QFETCH(QUrl, link);
    QFETCH(bool, desktopOpens);
    QList<QUrl> launched;
    const ShellServices old = SetShellServices({[&](const QUrl& url) { launched << url; return desktopOpens; },
                                                [] { return QString(); }, [](const QString&) { return false; }});
    // The program's own window shows the local page; nothing leaves it.
    QVERIFY(m_app->mainFrame()->routeCommand(ID_HELP_HOWTO));
    CHelpWindow* help = m_app->helpWindow();
    QVERIFY(help && help->isVisible());
    const QUrl page = QUrl::fromLocalFile(m_program + QStringLiteral("Vantric.htm"));
    QCOMPARE(help->Browser()->source(), page);
    QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("How To Use Vantric")));
    if (!link.isEmpty()) emit help->Browser()->anchorClicked(link);
    SetShellServices(old);
    QTEST(launched, "opened");
    QCOMPARE(help->Browser()->source().adjusted(QUrl::RemoveFragment), page);
    QFETCH(QString, message);
    QCOMPARE(MessageLog::messages().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(MessageLog::messages().first().text, message);
        QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Vantric"));
    }
    // A page that is not there is not shown.
    QVERIFY(!help->ShowPage(m_program + QStringLiteral("Missing.htm")));
    help->close();
}

void TestStartup::thumbnailViewer()
{
    CMainFrame* main = m_app->mainFrame();
    QAction* toggle = main->commandAction(ID_VIEW_THUMBNAIL);
    const auto visible = [] {
        QString v;
        ReadProfileText(QStringLiteral("Thumbnail View"), QStringLiteral("visible"), QString(), &v);
        return v;
    };
    QVERIFY(main->routeCommand(ID_VIEW_THUMBNAIL));
    QCOMPARE(m_app->thumbTemplate()->documents().size(), 1);
    QCOMPARE(visible(), QStringLiteral("1"));
    main->updateCommandUI(toggle);
    QVERIFY(toggle->isChecked());
    QCOMPARE(main->shownMenu(), int(IDR_THUMBTYPE));
    // The File menu, the recent files between Print Setup and Exit left out.
    const QStringList file = itemTexts(menuNamed(main->menuBar(), QStringLiteral("&File")));
    QCOMPARE(file.mid(0, 6) << file.last(),
             (QStringList{QStringLiteral("&New Ringdesigner...\tCtrl+N"), QStringLiteral("&Open...\tCtrl+O"),
                          QStringLiteral("&Close"), QStringLiteral("&Print...\tCtrl+P"),
                          QStringLiteral("Print Pre&view"), QStringLiteral("P&rint Setup..."),
                          QStringLiteral("E&xit")}));
    QCOMPARE(menuTitles(main->menuBar()), (QStringList{QStringLiteral("&File"), QStringLiteral("&View"),
                                                       QStringLiteral("&Window"), QStringLiteral("&Help")}));
    main->updateCommandUI(main->commandAction(ID_FILE_SAVE));
    QVERIFY(!main->commandAction(ID_FILE_SAVE)->isEnabled());

    // The tree opens at the remembered folder; a folder request selects another.
    CDocument* viewer = m_app->thumbTemplate()->documents().first();
    QCOMPARE(viewer->GetTitle() + QLatin1Char('/'), InitialOpenFolder(m_program));
    const QString targets = m_program + QStringLiteral("Targets");
    QCOMPARE(SendWindowMessage(main, MSG_OPEN_FILE_REQUEST, 1, TextParam(&targets)), qintptr(0));
    QCOMPARE(viewer->GetTitle(), targets);
    // Opening a file from it remembers the file's folder.
    const QString pistol = shipped(PISTOL);
    SendWindowMessage(main, MSG_OPEN_FILE_REQUEST, 0, TextParam(&pistol));
    QCOMPARE(lastDir(), m_program + TARGETS);
    QCOMPARE(windows(), 2);

    // Close All closes the viewer too but leaves it recorded as visible.
    QVERIFY(main->routeCommand(ID_WINDOW_CLOSE_ALL));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(windows(), 0);
    QCOMPARE(visible(), QStringLiteral("1"));
    main->updateCommandUI(toggle);
    QVERIFY(!toggle->isChecked());

    // The close box goes through the toggle: hidden next time.
    QVERIFY(main->routeCommand(ID_VIEW_THUMBNAIL));
    QCOMPARE(windows(), 1);
    main->childFrames().first()->close();
    QTRY_COMPARE(windows(), 0);
    QCOMPARE(visible(), QStringLiteral("0"));
    QVERIFY(m_app->thumbTemplate()->documents().isEmpty());
}

void TestStartup::viewerAtStartUp_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("opens");
    QTest::newRow("hidden") << "0" << false;
    QTest::newRow("absent") << QString() << true;
    QTest::newRow("shown") << "1" << true;
    QTest::newRow("16 bits of 65536") << "65536" << false;
    QTest::newRow("16 bits of 70000") << "70000" << true;
}

void TestStartup::viewerAtStartUp()
{
    QFETCH(QString, stored);
    QFETCH(bool, opens);
    WritePrivateProfileString(QStringLiteral("Thumbnail View"), QStringLiteral("visible"), stored,
                              QLatin1String(PROFILE_FILE));
    m_app->RestoreThumbViewer();
    QCOMPARE(m_app->IsThumbViewerOpen(), opens);
    closeAll();
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
