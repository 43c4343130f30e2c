// The doc/view layer: templates making document, frame and view; titles,
// path names and the modified flag; view updates; command routing with
// update handlers; window messages; the recent-file list; launching with
// the shell and its error texts.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <thread>

#include "platform/CommandIds.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/RecentFileList.h"
#include "platform/SameFile.h"
#include "platform/ShellOpen.h"
#include "platform/WindowMessage.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/WindowListDlg.h"

namespace {

// Commands of the test; each level of the route may handle them.
constexpr int ID_ALL = 40001;       // handled everywhere
constexpr int ID_DOC_FRAME = 40002; // by the document and the frame
constexpr int ID_APP_ONLY = 40003;  // by the application
constexpr int ID_NOBODY = 40004;    // by nobody
constexpr int ID_GREYED = 40005;    // handled by the view, greyed by the document
constexpr int ID_CHECKED = 40006;   // handled by the main frame, checked by the frame
constexpr int ID_CHECK_ONLY = 40007; // checked by the document, handled by nobody

QStringList g_handled;  // who ran a command, in order

struct WindowMessageRecord {
    QString who;
    int message;
    quintptr wParam;
    qintptr lParam;
    QString text;
};
QList<WindowMessageRecord> g_messages;

void noteMessage(const QString& who, const WindowMessageEvent& m)
{
    const bool hasText = m.message() == MSG_TARGET_SAVED;
    g_messages.append({who, m.message(), m.wParam(), m.lParam(), hasText ? m.lParamText() : QString()});
}

class TestDoc : public CDocument {
    Q_OBJECT
public:
    TestDoc()
    {
        addCommand(ID_ALL, [] { g_handled << QStringLiteral("doc"); });
        addCommand(ID_DOC_FRAME, [] { g_handled << QStringLiteral("doc"); });
        addUpdateHandler(ID_GREYED, [](CCmdUI& ui) { ui.Enable(false); });
        addUpdateHandler(ID_CHECK_ONLY, [](CCmdUI& ui) { ui.SetCheck(1); });
    }
    // A file holding "bad" does not open; saving fails after writing part of
    // the file when failSave is set.
    bool OnOpenDocument(const QString& path) override
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return false;
        SetModifiedFlag(false);
        return f.readAll() != "bad";
    }
    bool OnSaveDocument(const QString& path) override
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write("partial");
        if (failSave) return false;
        SetModifiedFlag(false);
        return true;
    }
    bool failSave = false;
};

class TestView : public CView {
    Q_OBJECT
public:
    TestView()
    {
        addCommand(ID_ALL, [] { g_handled << QStringLiteral("view"); });
        addCommand(ID_GREYED, [] { g_handled << QStringLiteral("view"); });
    }
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* object) override
    {
        updates.append({sender, hint, object});
        CView::OnUpdate(sender, hint, object);
    }
    bool OnWindowMessage(WindowMessageEvent& m) override
    {
        noteMessage(QStringLiteral("view"), m);
        return true;
    }
    struct Update {
        CDocumentView* sender;
        qintptr hint;
        QObject* object;
    };
    QList<Update> updates;
};

class TestFrame : public CMDIChildWnd {
    Q_OBJECT
public:
    TestFrame()
    {
        addCommand(ID_ALL, [] { g_handled << QStringLiteral("frame"); });
        addCommand(ID_DOC_FRAME, [] { g_handled << QStringLiteral("frame"); });
        addUpdateHandler(ID_CHECKED, [](CCmdUI& ui) { ui.SetCheck(1); });
    }
    bool OnWindowMessage(WindowMessageEvent& m) override
    {
        noteMessage(QStringLiteral("frame"), m);
        return true;
    }
};

class TestMain : public CMDIFrameWnd {
    Q_OBJECT
public:
    TestMain()
    {
        addCommand(ID_ALL, [] { g_handled << QStringLiteral("main"); });
        addCommand(ID_CHECKED, [] { g_handled << QStringLiteral("main"); });
    }
    bool OnWindowMessage(WindowMessageEvent& m) override
    {
        noteMessage(QStringLiteral("main"), m);
        return true;
    }
};

class TestApp : public CWinApp {
    Q_OBJECT
public:
    TestApp()
    {
        addCommand(ID_ALL, [] { g_handled << QStringLiteral("app"); });
        addCommand(ID_APP_ONLY, [] { g_handled << QStringLiteral("app"); });
    }
    // The save dialog answers with dialogAnswer (empty: Cancel) and notes
    // what it was offered.
    bool DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool open, CDocTemplate*) override
    {
        proposals.append(fileName);
        if (dialogAnswer.isEmpty()) return false;
        fileName = dialogAnswer;
        return true;
    }
    QString dialogAnswer;
    QStringList proposals;
};

// A plain widget that notes the window messages it gets and answers with a
// result of its own.
class Recorder : public QWidget {
public:
    Recorder(const QString& name, QWidget* parent) : QWidget(parent), m_name(name) {}
    std::function<void()> onMessage;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == WindowMessageEvent::eventType()) {
            auto* m = static_cast<WindowMessageEvent*>(e);
            noteMessage(m_name, *m);
            m->setResult(m->message() + 1);
            if (onMessage) onMessage();
            return true;
        }
        return QWidget::event(e);
    }

private:
    QString m_name;
};

QStringList whoGot(int message)
{
    QStringList who;
    for (const WindowMessageRecord& r : g_messages)
        if (r.message == message) who << r.who;
    return who;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs an event loop that waits for events, so that it goes idle.
void runIdle()
{
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class TestDocView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void templateMakesDocumentFrameAndView();
    void failedOpenLeavesNothing();
    void titlePathAndModifiedFlag();
    void saveNamesAndFailures();
    void closingAsksForModifiedDocuments();
    void updateAllViewsSkipsSender();
    void commandRouting();
    void updateHandlersSetActionState();
    void windowMessages();
    void postedMessagesOwnTheirPayload();
    void messageBoxFromWorkerThread();
    void recentFileList();
    void fileIdentity_data();
    void fileIdentity();
    void windowTitles_data();
    void windowTitles();
    void windowMenuAndArrangement_data();
    void windowMenuAndArrangement();
    void recentFileOpenedFromTheApplication();
    void launchErrors();
    void openWithShellResults();

private:
    TestDoc* openDoc(const QString& path = QString());
    QString file(const QString& name, const QByteArray& bytes = "ok");

    QTemporaryDir m_config;
    QTemporaryDir m_dir;
    TestApp* m_app = nullptr;
    TestMain* m_main = nullptr;
    CMultiDocTemplate* m_template = nullptr;
};

void TestDocView::initTestCase()
{
    QVERIFY(m_config.isValid());
    QVERIFY(m_dir.isValid());
    // The settings go into a folder of this run only.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    MessageLog::setEcho(false);

    m_app = new TestApp;
    m_template = new CMultiDocTemplate(
        900, QStringLiteral("\nDoc\nDoc\nTest Files (*.tst)\n.tst\nTest.Document\nTest Document"),
        [] { return new TestDoc; }, [] { return new TestFrame; }, [] { return new TestView; });
    m_app->AddDocTemplate(m_template);
    m_main = new TestMain;
    m_app->SetMainFrame(m_main);
    m_main->resize(800, 600);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void TestDocView::cleanupTestCase()
{
    m_app->CloseAllDocuments(true);
    delete m_main;
    delete m_app;
}

void TestDocView::init()
{
    g_handled.clear();
    g_messages.clear();
    MessageLog::clear();
    MessageLog::setAnswer(0);
    m_app->dialogAnswer.clear();
    m_app->proposals.clear();
}

void TestDocView::cleanup()
{
    m_app->CloseAllDocuments(true);
    flushDeletes();
}

TestDoc* TestDocView::openDoc(const QString& path)
{
    return static_cast<TestDoc*>(m_template->OpenDocumentFile(path, true));
}

QString TestDocView::file(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    return writeFile(path, bytes) ? path : QString();
}

void TestDocView::templateMakesDocumentFrameAndView()
{
    TestDoc* doc = openDoc();
    QVERIFY(doc);
    QCOMPARE(m_template->documents(), QList<CDocument*>{doc});
    QCOMPARE(doc->GetDocTemplate(), m_template);
    auto* view = dynamic_cast<TestView*>(doc->firstView());
    QVERIFY(view);
    QCOMPARE(view->GetDocument(), doc);
    CMDIChildWnd* frame = GetParentFrame(view);
    QVERIFY(qobject_cast<TestFrame*>(frame));
    QCOMPARE(frame->GetActiveView(), view);
    QCOMPARE(frame->GetActiveDocument(), doc);
    QCOMPARE(m_main->childFrames(), QList<CMDIChildWnd*>{frame});
    QVERIFY(frame->isVisible());
    QCOMPARE(m_main->MDIGetActive(), frame);
    // The first update reaches the view with no sender and no hint.
    QCOMPARE(view->updates.size(), 1);
    QCOMPARE(view->updates.first().sender, nullptr);
    QCOMPARE(view->updates.first().hint, qintptr(0));

    // New documents are numbered by the template's document name.
    const QString firstTitle = doc->GetTitle();
    QVERIFY(firstTitle.startsWith(QLatin1String("Doc")));
    TestDoc* second = openDoc();
    QCOMPARE(second->GetTitle(), QStringLiteral("Doc%1").arg(firstTitle.mid(3).toInt() + 1));
    QVERIFY(doc->GetPathName().isEmpty());

    // A document that is open again through the framework's open path comes
    // back with its window activated, however its path is spelt.
    const QString path = file(QStringLiteral("Open.tst"));
    TestDoc* opened = static_cast<TestDoc*>(m_app->OpenDocumentFile(path));
    QVERIFY(opened);
    QCOMPARE(m_template->documents().size(), 3);
    m_main->mdiArea()->setActiveSubWindow(frame);
    QCOMPARE(m_app->OpenDocumentFile(m_dir.path() + QStringLiteral("/../") + QFileInfo(m_dir.path()).fileName()
                                     + QStringLiteral("/./Open.tst")),
             opened);
    QCOMPARE(m_template->documents().size(), 3);
    QCOMPARE(m_main->GetActiveDocument(), opened);
    // The template itself always makes a new window.
    QVERIFY(openDoc(path) != opened);
    QCOMPARE(m_template->documents().size(), 4);

    // Closing the last window of a document closes the document.
    QPointer<TestDoc> guard(doc);
    QVERIFY(frame->close());
    flushDeletes();
    QVERIFY(!guard);
    QCOMPARE(m_template->documents().size(), 3);
    QCOMPARE(m_main->childFrames().size(), 3);

    m_app->CloseAllDocuments(false);
    flushDeletes();
    QVERIFY(m_template->documents().isEmpty());
    QVERIFY(m_main->childFrames().isEmpty());
}

void TestDocView::failedOpenLeavesNothing()
{
    const QString bad = file(QStringLiteral("bad.tst"), "bad");
    QVERIFY(!openDoc(bad));
    QVERIFY(!openDoc(m_dir.filePath(QStringLiteral("missing.tst"))));
    QVERIFY(!m_app->OpenDocumentFile(bad));
    flushDeletes();
    QVERIFY(m_template->documents().isEmpty());
    QVERIFY(m_main->childFrames().isEmpty());
    QVERIFY(m_main->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!m_app->recentFiles().files().contains(QFileInfo(bad).absoluteFilePath()));
}

void TestDocView::titlePathAndModifiedFlag()
{
    TestDoc* doc = openDoc();
    auto* frame = GetParentFrame(dynamic_cast<CView*>(doc->firstView()));
    QSignalSpy modified(doc, &CDocument::modifiedChanged);
    QVERIFY(!doc->IsModified());
    doc->SetModifiedFlag(true);
    doc->SetModifiedFlag(true);
    QVERIFY(doc->IsModified());
    QCOMPARE(modified.size(), 1);
    doc->SetModifiedFlag(false);
    QCOMPARE(modified.size(), 2);

    // The path makes the title (the file name) and the frame follows.
    const QString path = file(QStringLiteral("Named Target.tst"));
    doc->SetPathName(path, false);
    QCOMPARE(doc->GetPathName(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(doc->GetTitle(), QStringLiteral("Named Target.tst"));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Named Target.tst"));
    QVERIFY(!m_app->recentFiles().files().contains(doc->GetPathName()));
    doc->SetPathName(path);
    QCOMPARE(m_app->recentFiles().at(0), doc->GetPathName());

    // A relative path is kept as an absolute one.
    doc->SetPathName(QStringLiteral("relative.tst"), false);
    QVERIFY(QFileInfo(doc->GetPathName()).isAbsolute());
    QCOMPARE(doc->GetTitle(), QStringLiteral("relative.tst"));
}

void TestDocView::saveNamesAndFailures()
{
    // Save As on a new document proposes its title cut before the first of
    // " #%;/\" with the template's extension.
    TestDoc* doc = openDoc();
    doc->SetTitle(QStringLiteral("My Target#2"));
    QVERIFY(!doc->DoSave(QString()));
    QCOMPARE(m_app->proposals, QStringList{QStringLiteral("My.tst")});
    doc->SetTitle(QStringLiteral("Target1"));
    QVERIFY(!doc->DoSave(QString()));
    QCOMPARE(m_app->proposals.last(), QStringLiteral("Target1.tst"));
    doc->SetTitle(QStringLiteral("a%b;c"));
    QVERIFY(!doc->DoSave(QString()));
    QCOMPARE(m_app->proposals.last(), QStringLiteral("a.tst"));
    QVERIFY(doc->GetPathName().isEmpty());

    // A failed save into a new name removes what it left there; a file that
    // was there before stays.
    doc->SetModifiedFlag(true);
    doc->failSave = true;
    m_app->dialogAnswer = m_dir.filePath(QStringLiteral("new.tst"));
    QVERIFY(!doc->DoSave(QString()));
    QVERIFY(!QFile::exists(m_app->dialogAnswer));
    QVERIFY(doc->IsModified());
    QCOMPARE(doc->GetTitle(), QStringLiteral("a%b;c"));
    QVERIFY(doc->GetPathName().isEmpty());

    // A successful save gives the document the name, its title and a place
    // at the top of the recent files.
    doc->failSave = false;
    QVERIFY(doc->DoSave(QString()));
    QCOMPARE(readFile(m_app->dialogAnswer), QByteArray("partial"));
    QCOMPARE(doc->GetPathName(), m_app->dialogAnswer);
    QCOMPARE(doc->GetTitle(), QStringLiteral("new.tst"));
    QVERIFY(!doc->IsModified());
    QCOMPARE(m_app->recentFiles().at(0), m_app->dialogAnswer);

    // Save on a document whose file exists writes it without a dialog.
    m_app->proposals.clear();
    m_app->dialogAnswer.clear();
    QVERIFY(doc->DoFileSave());
    QVERIFY(m_app->proposals.isEmpty());
    // Once the file is gone, Save asks again (and Cancel fails silently).
    QVERIFY(QFile::remove(doc->GetPathName()));
    QVERIFY(!doc->DoFileSave());
    QCOMPARE(m_app->proposals, QStringList{doc->GetPathName()});
    QVERIFY(MessageLog::messages().isEmpty());
}

void TestDocView::closingAsksForModifiedDocuments()
{
    TestDoc* doc = openDoc();
    QPointer<TestDoc> guard(doc);
    CMDIChildWnd* frame = GetParentFrame(dynamic_cast<CView*>(doc->firstView()));
    doc->SetModifiedFlag(true);

    MessageLog::setAnswer(IDCANCEL);
    QVERIFY(!frame->close());
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord asked = MessageLog::messages().first();
    QCOMPARE(asked.text, QStringLiteral("Save changes to %1?").arg(doc->GetTitle()));
    QCOMPARE(asked.buttons, MsgButtons::YesNoCancel);
    QVERIFY(guard);
    QVERIFY(!m_app->SaveAllModified());

    // With a second window on the same document, closing one does not ask.
    CMDIChildWnd* second = m_template->CreateNewFrame(doc);
    m_template->InitialUpdateFrame(second, doc, true);
    QCOMPARE(doc->views().size(), 2);
    MessageLog::clear();
    QVERIFY(second->close());
    flushDeletes();
    QVERIFY(MessageLog::messages().isEmpty());
    QCOMPARE(doc->views().size(), 1);

    // No closes the last window without saving.
    MessageLog::setAnswer(IDNO);
    QVERIFY(frame->close());
    flushDeletes();
    QVERIFY(!guard);
    QCOMPARE(MessageLog::messages().size(), 1);

    // An unmodified document closes without a question.
    MessageLog::clear();
    TestDoc* plain = openDoc();
    QVERIFY(GetParentFrame(dynamic_cast<CView*>(plain->firstView()))->close());
    QVERIFY(MessageLog::messages().isEmpty());
}

void TestDocView::updateAllViewsSkipsSender()
{
    TestDoc* doc = openDoc();
    auto* first = dynamic_cast<TestView*>(doc->firstView());
    CMDIChildWnd* frame = m_template->CreateNewFrame(doc);
    m_template->InitialUpdateFrame(frame, doc, true);
    auto* second = dynamic_cast<TestView*>(frame->GetActiveView());
    QVERIFY(second && second != first);
    first->updates.clear();
    second->updates.clear();

    QObject hintObject;
    doc->UpdateAllViews(first, 0x0BD1, &hintObject);
    QVERIFY(first->updates.isEmpty());
    QCOMPARE(second->updates.size(), 1);
    QCOMPARE(second->updates.first().sender, first);
    QCOMPARE(second->updates.first().hint, qintptr(0x0BD1));
    QCOMPARE(second->updates.first().object, &hintObject);

    doc->UpdateAllViews(nullptr, 7);
    QCOMPARE(first->updates.size(), 1);
    QCOMPARE(first->updates.first().hint, qintptr(7));
    QCOMPARE(first->updates.first().object, nullptr);
    QCOMPARE(second->updates.size(), 2);

    // A view that went away is no longer updated.
    QVERIFY(frame->close());
    flushDeletes();
    doc->UpdateAllViews(nullptr, 8);
    QCOMPARE(first->updates.size(), 2);
    QCOMPARE(doc->views().size(), 1);
}

void TestDocView::commandRouting()
{
    // Without a document window the route starts at the main frame.
    QVERIFY(m_main->routeCommand(ID_ALL));
    QVERIFY(m_main->routeCommand(ID_DOC_FRAME) == false);
    QVERIFY(m_main->routeCommand(ID_APP_ONLY));
    QCOMPARE(g_handled, (QStringList{QStringLiteral("main"), QStringLiteral("app")}));

    openDoc();
    g_handled.clear();
    // View first, then document, frame, main frame, application.
    QVERIFY(m_main->routeCommand(ID_ALL));
    QVERIFY(m_main->routeCommand(ID_DOC_FRAME));
    QVERIFY(m_main->routeCommand(ID_APP_ONLY));
    QVERIFY(m_main->routeCommand(ID_CHECKED));
    QVERIFY(!m_main->routeCommand(ID_NOBODY));
    // A command greyed by an update handler does not run.
    QVERIFY(!m_main->routeCommand(ID_GREYED));
    QCOMPARE(g_handled, (QStringList{QStringLiteral("view"), QStringLiteral("doc"), QStringLiteral("app"),
                                     QStringLiteral("main")}));

    // An action carrying the id routes the same way.
    g_handled.clear();
    m_main->commandAction(ID_DOC_FRAME)->trigger();
    QCOMPARE(g_handled, QStringList{QStringLiteral("doc")});
    QCOMPARE(m_main->commandAction(ID_DOC_FRAME), m_main->commandAction(ID_DOC_FRAME));
    QCOMPARE(m_main->commandAction(ID_DOC_FRAME)->data().toInt(), ID_DOC_FRAME);

    // The route as documented.
    const CommandRoute route = m_main->commandRoute();
    QCOMPARE(route.size(), 5);
    QCOMPARE(route.at(0), static_cast<CCmdTarget*>(m_main->GetActiveView()));
    QCOMPARE(route.at(1), static_cast<CCmdTarget*>(m_main->GetActiveDocument()));
    QCOMPARE(route.at(2), static_cast<CCmdTarget*>(m_main->MDIGetActive()));
    QCOMPARE(route.at(3), static_cast<CCmdTarget*>(m_main));
    QCOMPARE(route.at(4), static_cast<CCmdTarget*>(m_app));
}

void TestDocView::updateHandlersSetActionState()
{
    QToolBar bar;
    QMenu menu;
    const QList<int> ids{ID_ALL, ID_DOC_FRAME, ID_NOBODY, ID_GREYED, ID_CHECKED, ID_CHECK_ONLY};
    for (int id : ids) {
        bar.addAction(m_main->commandAction(id));
        menu.addAction(m_main->commandAction(id));
    }
    bar.show();
    auto button = [&](int id) { return qobject_cast<QToolButton*>(bar.widgetForAction(m_main->commandAction(id))); };
    auto action = [&](int id) { return m_main->commandAction(id); };

    // No document: ID_GREYED and ID_CHECK_ONLY have no handler and no
    // update handler on the route.
    m_main->updateCommandUI(bar.actions());
    QVERIFY(action(ID_ALL)->isEnabled());
    QVERIFY(!action(ID_NOBODY)->isEnabled());
    QVERIFY(!action(ID_GREYED)->isEnabled());
    QVERIFY(!action(ID_CHECK_ONLY)->isEnabled());
    QVERIFY(action(ID_CHECKED)->isEnabled());
    QVERIFY(!action(ID_CHECKED)->isChecked());
    QVERIFY(!action(ID_DOC_FRAME)->isEnabled());
    QVERIFY(!button(ID_NOBODY)->isEnabled());

    openDoc();
    // A menu updates its items when it opens, once it is watched.
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    QVERIFY(!action(ID_CHECKED)->isChecked());
    m_main->watchMenu(&menu);
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    QVERIFY(action(ID_ALL)->isEnabled());
    QVERIFY(action(ID_DOC_FRAME)->isEnabled());
    QVERIFY(!action(ID_NOBODY)->isEnabled());
    // The document's update handler greys what the view would handle.
    QVERIFY(!action(ID_GREYED)->isEnabled());
    QVERIFY(!button(ID_GREYED)->isEnabled());
    // The frame checks what the main frame handles; the check mark shows on
    // the button too.
    QVERIFY(action(ID_CHECKED)->isEnabled());
    QVERIFY(action(ID_CHECKED)->isChecked());
    QVERIFY(button(ID_CHECKED)->isChecked());
    // A handler that only checks leaves the enabling to the handlers: none.
    QVERIFY(action(ID_CHECK_ONLY)->isChecked());
    QVERIFY(!action(ID_CHECK_ONLY)->isEnabled());

    // The toolbar's buttons follow when the event loop goes idle.
    // With the windows closed no handler checks anything: no mark stays.
    m_app->CloseAllDocuments(false);
    flushDeletes();
    m_main->setIdleUpdatedActions(bar.actions());
    runIdle();
    QVERIFY(!button(ID_DOC_FRAME)->isEnabled());
    QVERIFY(!button(ID_CHECKED)->isChecked());
    QVERIFY(!button(ID_CHECK_ONLY)->isChecked());
    openDoc();
    runIdle();
    QVERIFY(button(ID_DOC_FRAME)->isEnabled());
    QVERIFY(button(ID_CHECKED)->isChecked());
    m_main->setIdleUpdatedActions({});
}

void TestDocView::windowMessages()
{
    TestDoc* doc = openDoc();
    auto* view = dynamic_cast<TestView*>(doc->firstView());
    // Plain widgets nested below the view are reached too.
    auto* outer = new Recorder(QStringLiteral("outer"), view);
    auto* inner = new Recorder(QStringLiteral("inner"), outer);
    Q_UNUSED(inner);

    const QString path = QStringLiteral("/targets/saved.rgd");
    SendMessageToDescendants(m_main, MSG_TARGET_SAVED, 0, TextParam(&path));
    // Sent, not posted: everything arrived before the call returned; the
    // root itself gets nothing.
    QCOMPARE(whoGot(MSG_TARGET_SAVED),
             (QStringList{QStringLiteral("frame"), QStringLiteral("view"), QStringLiteral("outer"),
                          QStringLiteral("inner")}));
    for (const WindowMessageRecord& r : g_messages) {
        QCOMPARE(r.wParam, quintptr(0));
        QCOMPARE(r.text, path);
    }

    g_messages.clear();
    SendMessageToDescendants(view, MSG_PRINTER_CHANGED, 1, 0);
    QCOMPARE(whoGot(MSG_PRINTER_CHANGED), (QStringList{QStringLiteral("outer"), QStringLiteral("inner")}));
    QCOMPARE(g_messages.first().wParam, quintptr(1));
    QCOMPARE(g_messages.first().lParam, qintptr(0));

    // One message to one receiver, with its answer.
    g_messages.clear();
    QCOMPARE(SendWindowMessage(outer, 0x0560, 3, 4), qintptr(0x0561));
    QCOMPARE(g_messages.size(), 1);
    QCOMPARE(g_messages.first().wParam, quintptr(3));
    QCOMPARE(g_messages.first().lParam, qintptr(4));
    QCOMPARE(SendWindowMessage(m_main, MSG_SHOW_FOLDER), qintptr(0));
    QCOMPARE(whoGot(MSG_SHOW_FOLDER), QStringList{QStringLiteral("main")});
    QCOMPARE(SendWindowMessage(nullptr, MSG_SHOW_FOLDER), qintptr(0));

    // Posted messages arrive from the event loop.
    g_messages.clear();
    PostWindowMessage(outer, MSG_DRIVE_CHANGED, 5, 6);
    QVERIFY(g_messages.isEmpty());
    QCoreApplication::sendPostedEvents(outer);
    QCOMPARE(whoGot(MSG_DRIVE_CHANGED), QStringList{QStringLiteral("outer")});

    // A receiver that destroys widgets still to be visited does not derail
    // the walk.
    g_messages.clear();
    QPointer<Recorder> doomed = new Recorder(QStringLiteral("doomed"), view);
    outer->onMessage = [&] { delete doomed.data(); };
    SendMessageToDescendants(view, MSG_THUMB_SET_SIZE, 0, 0);
    QVERIFY(!doomed);
    QCOMPARE(whoGot(MSG_THUMB_SET_SIZE), (QStringList{QStringLiteral("outer"), QStringLiteral("inner")}));
    outer->onMessage = nullptr;

    // Every message travels as the one event type.
    const WindowMessageEvent a(1, 0, 0), b(2, 0, 0);
    QCOMPARE(a.type(), b.type());
    QVERIFY(a.type() >= QEvent::User);
}

namespace {
struct CountedPayload : MessagePayload {
    explicit CountedPayload(int* freed) : m_freed(freed) {}
    ~CountedPayload() override { ++*m_freed; }
    int* m_freed;
};
}  // namespace

void TestDocView::postedMessagesOwnTheirPayload()
{
    auto* receiver = new Recorder(QStringLiteral("receiver"), m_main);
    // The text is posted from another thread whose copy is gone before the
    // message arrives.
    std::thread([receiver] {
        QString text = QStringLiteral("/targets/from a worker.rgd");
        PostTextMessage(receiver, MSG_TARGET_SAVED, 0, text);
        text.fill(QLatin1Char('x'));
    }).join();
    g_messages.clear();
    QCoreApplication::sendPostedEvents(receiver);
    QCOMPARE(g_messages.size(), 1);
    QCOMPARE(g_messages.first().text, QStringLiteral("/targets/from a worker.rgd"));

    // Delivered or dropped, every payload is freed exactly once.
    int freed = 0;
    PostWindowMessage(receiver, MSG_DRIVE_CHANGED, 0, std::make_unique<CountedPayload>(&freed));
    QCoreApplication::sendPostedEvents(receiver);
    QCOMPARE(freed, 1);
    PostWindowMessage(receiver, MSG_DRIVE_CHANGED, 0, std::make_unique<CountedPayload>(&freed));
    PostWindowMessage(nullptr, MSG_DRIVE_CHANGED, 0, std::make_unique<CountedPayload>(&freed));
    QCOMPARE(freed, 2);
    delete receiver;
    QCOMPARE(freed, 3);
}

void TestDocView::messageBoxFromWorkerThread()
{
    QList<QThread*> shownOn;
    const MessageHandler old = SetMessageHandler([&](const MessageRecord& m) {
        shownOn << QThread::currentThread();
        return int(IDYES);
    });
    int okAnswer = 0;
    int questionAnswer = 0;
    std::thread([&] {
        okAnswer = ShowMessage(QStringLiteral("from a worker"), QStringLiteral("File Read Error"));
        questionAnswer = ShowMessage(QStringLiteral("asked by a worker"), QStringLiteral("Vantric"),
                                     MsgButtons::YesNo);
    }).join();
    // The worker returned without a window; the messages wait for the GUI thread.
    QCOMPARE(okAnswer, int(IDOK));
    QCOMPARE(questionAnswer, int(IDNO));
    QVERIFY(shownOn.isEmpty());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(shownOn, (QList<QThread*>{qApp->thread(), qApp->thread()}));
    SetMessageHandler(old);
}

void TestDocView::recentFileList()
{
    const QString ini = ProfilePath();
    QFile::remove(ini);
    CRecentFileList list(6);
    QStringList paths;
    for (int i = 1; i <= 7; ++i) paths << file(QStringLiteral("t%1.tst").arg(i));
    for (const QString& p : paths) list.Add(p);

    // Six entries, the most recent first; the oldest fell off.
    QCOMPARE(list.count(), 6);
    QCOMPARE(list.at(0), paths.at(6));
    QCOMPARE(list.at(5), paths.at(1));
    const IniFile stored(ini);
    QCOMPARE(stored.keys(QStringLiteral("Recent File List")),
             (QStringList{QStringLiteral("File1"), QStringLiteral("File2"), QStringLiteral("File3"),
                          QStringLiteral("File4"), QStringLiteral("File5"), QStringLiteral("File6")}));
    for (int i = 1; i <= 6; ++i)
        QCOMPARE(stored.value(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(i), QString()),
                 paths.at(7 - i));

    // Adding one again, spelt another way, moves it to the front without a
    // duplicate.
    list.Add(m_dir.path() + QStringLiteral("/./t4.tst"));
    QCOMPARE(list.count(), 6);
    QCOMPARE(QFileInfo(list.at(0)).fileName(), QStringLiteral("t4.tst"));
    QCOMPARE(list.files().filter(QStringLiteral("t4.tst")).size(), 1);
    QCOMPARE(list.at(1), paths.at(6));

    // Removing an entry shifts the rest up; the last key goes.
    list.Remove(0);
    QCOMPARE(list.count(), 5);
    QCOMPARE(list.at(0), paths.at(6));
    const IniFile afterRemove(ini);
    QCOMPARE(afterRemove.keys(QStringLiteral("Recent File List")).size(), 5);
    QVERIFY(!afterRemove.contains(QStringLiteral("Recent File List"), QStringLiteral("File6")));
    list.Remove(9);
    QCOMPARE(list.count(), 5);

    // Another list reads what this one wrote.
    CRecentFileList reread(6);
    reread.ReadList();
    QCOMPARE(reread.files(), list.files());

    // Menus show at most 30 characters, keeping the file name.
    const QString deep = QStringLiteral("/home/someone/shooting/targets/club/season/bull.vnt");
    const QString shown = CRecentFileList::DisplayName(deep);
    QVERIFY(shown.size() <= 30);
    QVERIFY(shown.endsWith(QLatin1String("/bull.vnt")));
    QVERIFY(shown.contains(QLatin1String("...")));
    QCOMPARE(CRecentFileList::DisplayName(QStringLiteral("/tmp/a.vnt")), QStringLiteral("/tmp/a.vnt"));
}

// Two spellings of a path: the same file or not, for the open-document check
// and the recent-file list alike.
void TestDocView::fileIdentity_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("link");  // made as a symbolic link to first
    QTest::addColumn<bool>("same");
    QTest::newRow("case differs") << "id/bull.tst" << "id/BULL.tst" << "" << false;
    QTest::newRow("dot segments") << "id/bull.tst" << "id/sub/../././bull.tst" << "" << true;
    QTest::newRow("symbolic link") << "id/bull.tst" << "id/alias.tst" << "id/alias.tst" << true;
    QTest::newRow("linked folder") << "id/sub/ring.tst" << "idlink/ring.tst" << "idlink" << true;
}

void TestDocView::fileIdentity()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, link);
    QFETCH(bool, same);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("id/sub")));
    const QString a = file(first), b = m_dir.filePath(second);
    if (!link.isEmpty()) {
        QFile::remove(m_dir.filePath(link));
        QVERIFY(QFile::link(link == "idlink" ? m_dir.filePath("id/sub") : a, m_dir.filePath(link)));
    } else if (!second.contains(QLatin1String(".."))) {
        QVERIFY(writeFile(b, "other"));
    }
    QCOMPARE(IsSameFile(a, b), same);
    CDocument* open = openDoc(a);
    CDocument* match = nullptr;
    QCOMPARE(m_template->MatchDocType(b, match) == CDocTemplate::yesAlreadyOpen && match == open, same);
    QFile::remove(ProfilePath());
    CRecentFileList list(6);
    list.Add(a);
    list.Add(b);
    QCOMPARE(list.count(), same ? 1 : 2);
}

// The main title names the active document once, bracketed while its window
// is maximised, and follows a new name (Save As).
void TestDocView::windowTitles_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void TestDocView::windowTitles()
{
    QFETCH(bool, maximised);
    const QString app = QApplication::applicationName(), format = maximised ? "%1 - [%2]" : "%1 - %2";
    TestDoc* doc = openDoc(file(QStringLiteral("first.tst")));
    CMDIChildWnd* frame = m_main->MDIGetActive();
    if (maximised) frame->showMaximized();
    QCOMPARE(m_main->windowTitle(), format.arg(app, "first.tst"));
    doc->SetPathName(file(QStringLiteral("renamed.rgd")), false);
    QCOMPARE(m_main->windowTitle(), format.arg(app, "renamed.rgd"));
    frame->showNormal();
    QCOMPARE(m_main->windowTitle(), app + " - renamed.rgd");
}

// The Window menu lists the windows, the active one checked; Tile and
// Cascade keep every window inside the area, Cascade at a usable size.
void TestDocView::windowMenuAndArrangement_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("one") << 1 << false;
    QTest::newRow("seven maximised") << 7 << true;
    QTest::newRow("twelve") << 12 << false;
}

void TestDocView::windowMenuAndArrangement()
{
    QFETCH(int, count);
    QFETCH(bool, maximised);
    for (int i = 0; i < count; ++i) {
        QVERIFY(openDoc(file(QStringLiteral("w%1.tst").arg(i))));
        if (maximised) m_main->MDIGetActive()->showMaximized();
    }
    const QList<CMDIChildWnd*> frames = m_main->childFrames();
    QMenu menu;
    menu.addAction(m_main->commandAction(ID_ALL));
    m_main->FillWindowList(&menu);
    m_main->FillWindowList(&menu);  // filled again, not twice
    QList<QAction*> listed = menu.actions().mid(2);
    // Past nine windows the list ends with the dialog of them all.
    QAction* more = count > 9 ? listed.takeLast() : nullptr;
    QCOMPARE(int(listed.size()), std::min(count, 9));
    if (more) {
        QCOMPARE(more->text(), QStringLiteral("&More Windows..."));
        QTimer::singleShot(0, [count] {
            auto* dialog = qobject_cast<CWindowListDlg*>(QApplication::activeModalWidget());
            if (!dialog || dialog->List()->count() != count) return;
            dialog->List()->setCurrentRow(count - 1);
            dialog->accept();
        });
        more->trigger();
        QCOMPARE(m_main->MDIGetActive(), frames.last());
    }
    for (int i = 0; i < listed.size(); ++i) {
        QCOMPARE(listed.at(i)->text(), QStringLiteral("&%1 w%2.tst").arg(i + 1).arg(i));
        QCOMPARE(listed.at(i)->isChecked(), frames.at(i) == m_main->MDIGetActive());
    }
    listed.first()->trigger();
    QCOMPARE(m_main->MDIGetActive(), frames.first());
    const QRect area = m_main->mdiArea()->viewport()->rect();
    for (int id : {Cmd::ID_WINDOW_TILE_HORZ, Cmd::ID_WINDOW_CASCADE}) {
        QVERIFY(m_main->routeCommand(id));
        for (CMDIChildWnd* f : frames) QVERIFY(area.contains(f->geometry()) && !f->isMaximized());
    }
    for (CMDIChildWnd* f : frames) QVERIFY(f->width() * 3 >= area.width() * 2 && f->height() * 3 >= area.height() * 2);
}

void TestDocView::recentFileOpenedFromTheApplication()
{
    const QString ini = ProfilePath();
    QFile::remove(ini);
    const QString good = file(QStringLiteral("good.tst"));
    const QString gone = file(QStringLiteral("gone.tst"));
    const QString bad = file(QStringLiteral("bad2.tst"), "bad");
    WritePrivateProfileString(QStringLiteral("recent file list"), QStringLiteral("file1"), gone,
                              QLatin1String(PROFILE_FILE));
    WritePrivateProfileString(QStringLiteral("Recent File List"), QStringLiteral("File2"), good,
                              QLatin1String(PROFILE_FILE));
    WritePrivateProfileString(QStringLiteral("Recent File List"), QStringLiteral("File3"), bad,
                              QLatin1String(PROFILE_FILE));
    m_app->LoadStdProfileSettings(6);
    QCOMPARE(m_app->recentFiles().files(), (QStringList{gone, good, bad}));
    QVERIFY(QFile::remove(gone));

    // The update handler enables the entries the list has.
    CCmdUI third(Cmd::ID_FILE_MRU_FIRST + 2), fourth(Cmd::ID_FILE_MRU_FIRST + 3);
    QVERIFY(RouteUpdate(m_main->commandRoute(), third));
    QVERIFY(!RouteUpdate(m_main->commandRoute(), fourth));

    // An entry whose file fails to open is removed; the others stay.
    QVERIFY(m_main->routeCommand(Cmd::ID_FILE_MRU_FIRST));
    QCOMPARE(m_app->recentFiles().files(), (QStringList{good, bad}));
    QVERIFY(m_template->documents().isEmpty());
    QVERIFY(m_main->routeCommand(Cmd::ID_FILE_MRU_FIRST + 1));
    QCOMPARE(m_app->recentFiles().files(), QStringList{good});

    // One that opens moves to... where it is already: the front.
    QVERIFY(m_main->routeCommand(Cmd::ID_FILE_MRU_FIRST));
    QCOMPARE(m_template->documents().size(), 1);
    QCOMPARE(m_template->documents().first()->GetPathName(), good);
    QCOMPARE(m_app->recentFiles().files(), QStringList{good});
    const IniFile stored(ini);
    QCOMPARE(stored.keys(QStringLiteral("Recent File List")).size(), 1);
}

void TestDocView::launchErrors()
{
    QCOMPARE(LaunchErrorMessage(26), QStringLiteral("Unable to open hyperlink:\n\nA sharing violation occurred. "));
    QCOMPARE(LaunchErrorMessage(1), QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (1) occurred."));
    QCOMPARE(LaunchErrorMessage(33), QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (33) occurred."));
    QCOMPARE(LaunchErrorText(0), QStringLiteral("The operating system is out\nof memory or resources."));
    QCOMPARE(LaunchErrorText(31),
             QStringLiteral("There is no application associated\nwith the given filename extension."));
    QCOMPARE(LaunchErrorText(-1), QStringLiteral("Unknown Error (-1) occurred."));

    ReportLaunchError(27);
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord m = MessageLog::messages().first();
    QCOMPARE(m.text, QStringLiteral("Unable to open hyperlink:\n\nThe filename association is\nincomplete or invalid."));
    QCOMPARE(m.caption, QStringLiteral("Vantric"));
    QCOMPARE(m.buttons, MsgButtons::Ok);
    QCOMPARE(m.icon, MsgIcon::Warning);
}

void TestDocView::openWithShellResults()
{
    QList<QUrl> opened;
    QStringList commands;
    bool openSucceeds = true;
    QString browser;
    bool runSucceeds = true;
    const ShellServices old = SetShellServices({
        [&](const QUrl& url) { opened << url; return openSucceeds; },
        [&] { return browser; },
        [&](const QString& line) { commands << line; return runSucceeds; },
    });

    const QString help = file(QStringLiteral("Vantric.htm"), "<html></html>");
    // Above 32 is success.
    QVERIFY(OpenWithShell(help, 1) > 32);
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(help)});
    QVERIFY(OpenWithShell(QStringLiteral("https://example.org/targets"), 1) > 32);
    QCOMPARE(opened.last(), QUrl(QStringLiteral("https://example.org/targets")));
    QVERIFY(commands.isEmpty());

    // Missing file or folder: the codes of their texts, without asking the
    // desktop.
    opened.clear();
    QCOMPARE(OpenWithShell(m_dir.filePath(QStringLiteral("none.htm")), 1), SE_ERR_FNF);
    QCOMPARE(OpenWithShell(m_dir.filePath(QStringLiteral("no/such/none.htm")), 1), SE_ERR_PNF);
    QCOMPARE(OpenWithShell(QString(), 1), SE_ERR_FNF);
    QVERIFY(opened.isEmpty());

    // The desktop fails and there is no browser: no association.
    openSucceeds = false;
    QCOMPARE(OpenWithShell(help, 1), SE_ERR_NOASSOC);
    QVERIFY(OpenWithShell(help, 1) <= 32);

    // The desktop fails but a browser is registered: its command line, cut
    // before the quoted argument, then a space and the path.
    browser = QStringLiteral("\"/opt/browser/run\" --new \"%1\" --tail");
    QVERIFY(OpenWithShell(help, 1) > 32);
    QCOMPARE(commands, QStringList{QStringLiteral("\"/opt/browser/run\" --new  ") + help});
    runSucceeds = false;
    QCOMPARE(OpenWithShell(help, 1), SE_ERR_NOASSOC);

    QCOMPARE(BrowserCommandLine(QStringLiteral("firefox %u"), QStringLiteral("/p.htm")),
             QStringLiteral("firefox  /p.htm"));
    QCOMPARE(BrowserCommandLine(QStringLiteral("browser"), QStringLiteral("/p.htm")), QStringLiteral("browser /p.htm"));
    QCOMPARE(BrowserCommandLine(QStringLiteral("b %1 \"%1\""), QStringLiteral("/p")), QStringLiteral("b %1  /p"));
    QCOMPARE(DesktopEntryExec(QStringLiteral("[Desktop Action x]\nExec=no\n[Desktop Entry]\nName=B\nExec = b %U\n")),
             QStringLiteral("b %U"));
    QCOMPARE(DesktopEntryExec(QStringLiteral("[Desktop Entry]\nExecutable=x\n")), QString());
    SetShellServices(old);
}

QTEST_MAIN(TestDocView)
#include "tst_docview.moc"
