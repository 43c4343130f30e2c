#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QMdiArea>
#include <QTest>

#include "designer/TargetDesign.h"
#include "document/TargetDoc.h"
#include "helper_dialog.h"
#include "platform/CmdTarget.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"
#include "ringdesigner/DesignerCommands.h"
#include "ringdesigner/DesignerDlg.h"
#include "ringdesigner/MiniTargetView.h"

using namespace DialogDriver;

namespace {

// A target window's view that notes the hints it is sent.
class HintView : public CView {
public:
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* object) override
    {
        hints.append(hint);
        auto* doc = qobject_cast<CTargetDoc*>(GetDocument());
        kinds.append(doc ? doc->kind() : -1);
        CView::OnUpdate(sender, hint, object);
    }
    QList<qintptr> hints;
    QList<int> kinds;  // the document's kind at each update
};

QByteArray bytesOf(const CTargetDesign& design)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    design.Write(buffer);
    return buffer.data();
}

}  // namespace

class TestDesignerCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void newRingdesigner_data();
    void newRingdesigner();
    void newRingdesignerNumbersWindows();
    void editWithRingdesigner_data();
    void editWithRingdesigner();
    void editIgnoresOtherKinds();
    void editorOutlivesItsWindow();
    void newDesignSavedAndReopened();

private:
    CTargetDoc* newDesignDocument(const CTargetDesign& design);

    CWinApp* m_app = nullptr;
    CMDIFrameWnd* m_main = nullptr;
    CMultiDocTemplate* m_template = nullptr;
    // What the test's "user" does in the dialog; returns IDOK or IDCANCEL.
    std::function<int(CDesignerDlg&)> m_user;
    QString m_seenCaption;
    QWidget* m_seenParent = nullptr;
    bool m_seenDefault = false;
};

void TestDesignerCommands::initTestCase()
{
    MessageLog::setEcho(false);
    m_app = new CWinApp;
    m_main = new CMDIFrameWnd;
    m_app->SetMainFrame(m_main);
    m_template = new CMultiDocTemplate(
        129, QStringLiteral("\nTarget\nTarget\nTargets (*.vnt)\n.vnt\nVantric.Document\nTarget Document"),
        [] { return new CTargetDoc; }, [] { return new CMDIChildWnd; }, [] { return new HintView; });
    m_app->AddDocTemplate(m_template);
    m_main->resize(1200, 800);
    m_main->show();
    InstallRingdesigner(m_main);
    SetDesignerDialogRunner([this](CDesignerDlg& dialog) {
        if (!showActive(dialog)) return int(IDCANCEL);
        m_seenCaption = dialog.windowTitle();
        m_seenParent = dialog.parentWidget();
        CTargetDesign def;
        def.LoadDefault();
        m_seenDefault = dialog.GetDesign().Equals(def);
        const int answer = m_user ? m_user(dialog) : int(IDCANCEL);
        if (answer == IDOK) {
            click(dialog, IDC_OK);
            return dialog.result() == QDialog::Accepted ? int(IDOK) : int(IDCANCEL);
        }
        click(dialog, IDC_CANCEL);
        return int(IDCANCEL);
    });
}

void TestDesignerCommands::cleanupTestCase()
{
    SetDesignerDialogRunner({});
    CTargetDoc::SetDesignEditor({});
    m_app->CloseAllDocuments(true);
    m_app->SetMainFrame(nullptr);
    delete m_main;
    delete m_app;
}

void TestDesignerCommands::init()
{
    MessageLog::clear();
    m_seenCaption.clear();
    m_seenParent = nullptr;
    m_seenDefault = false;
    m_user = {};
}

void TestDesignerCommands::cleanup() { m_app->CloseAllDocuments(true); }

CTargetDoc* TestDesignerCommands::newDesignDocument(const CTargetDesign& design)
{
    auto* doc = qobject_cast<CTargetDoc*>(m_template->OpenDocumentFile(QString(), true));
    if (doc) doc->GetTargetImage().SetDesigner(design);
    return doc;
}

void TestDesignerCommands::newRingdesigner_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("edit");
    QTest::newRow("OK on the default") << true << false;
    QTest::newRow("OK after edits") << true << true;
    QTest::newRow("Cancel") << false << true;
}

void TestDesignerCommands::newRingdesigner()
{
    QFETCH(bool, ok);
    QFETCH(bool, edit);
    CTargetDesign shown;
    m_user = [&](CDesignerDlg& dialog) {
        if (edit) {
            click(dialog, IDC_RING_ENABLE + 9);  // Ring 1 on: 10.00 in
            select(dialog, IDC_RING_SHAPE + 9, "Square");
        }
        designFromControls(dialog, shown);
        return ok ? int(IDOK) : int(IDCANCEL);
    };
    const int before = int(m_template->documents().size());
    const bool made = RunNewRingdesigner(*m_template);
    QCOMPARE(made, ok);
    QCOMPARE(m_seenCaption, QStringLiteral("Ringdesigner - NEW"));
    QCOMPARE(m_seenParent, static_cast<QWidget*>(m_main));
    QVERIFY(m_seenDefault);
    QCOMPARE(int(m_template->documents().size()), before + (ok ? 1 : 0));
    if (!ok) return;

    auto* doc = qobject_cast<CTargetDoc*>(m_template->documents().last());
    QVERIFY(doc);
    QCOMPARE(doc->kind(), int(TARGET_KIND_DESIGNER));
    QVERIFY(doc->IsModified());
    QVERIFY(doc->GetTargetImage().designer()->Equals(shown));
    QCOMPARE(doc->GetTargetImage().designer()->OverallDiameter(), edit ? 10.0 : 7.0);
    QCOMPARE(doc->GetTargetImage().GetSizeHimetric(), edit ? QSize(25400, 25400) : QSize(17780, 17780));
    // Its window is shown and active, and its view's initial update saw
    // the design.
    auto* view = dynamic_cast<HintView*>(doc->firstView());
    QVERIFY(view);
    QVERIFY(GetParentFrame(view)->isVisible());
    QCOMPARE(m_main->MDIGetActive(), GetParentFrame(view));
    QVERIFY(!view->hints.isEmpty());
    QCOMPARE(view->hints.last(), qintptr(0));
    QCOMPARE(view->kinds.last(), int(TARGET_KIND_DESIGNER));
}

void TestDesignerCommands::newRingdesignerNumbersWindows()
{
    m_user = [](CDesignerDlg&) { return int(IDOK); };
    QStringList titles;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(RunNewRingdesigner(*m_template));
        titles << m_template->documents().last()->GetTitle();
    }
    QVERIFY(titles[0].startsWith(QLatin1String("Target")));
    const int first = titles[0].mid(6).toInt();
    QVERIFY(first >= 1);
    QCOMPARE(titles[1], QStringLiteral("Target%1").arg(first + 1));
}

void TestDesignerCommands::editWithRingdesigner_data()
{
    QTest::addColumn<int>("action");  // 0 OK unchanged, 1 OK changed, 2 Cancel after a change
    QTest::addColumn<bool>("changed");
    QTest::newRow("OK, nothing changed") << 0 << false;
    QTest::newRow("OK, a ring changed") << 1 << true;
    QTest::newRow("Cancel after a change") << 2 << false;
}

void TestDesignerCommands::editWithRingdesigner()
{
    QFETCH(int, action);
    QFETCH(bool, changed);
    CTargetDesign original;
    original.LoadDefault();
    CTargetDoc* doc = newDesignDocument(original);
    QVERIFY(doc);
    doc->SetModifiedFlag(false);
    auto* view = dynamic_cast<HintView*>(doc->firstView());
    view->hints.clear();
    m_user = [&](CDesignerDlg& dialog) {
        if (action != 0) typeInto(dialog, IDC_RING_DIAMETER + 2, "3.25");
        return action == 2 ? int(IDCANCEL) : int(IDOK);
    };
    QVERIFY(RouteCommand({doc}, Cmd::ID_EDIT_RINGDESIGNER));
    QCOMPARE(m_seenCaption, QStringLiteral("Ringdesigner - %1").arg(doc->GetTitle()));
    QCOMPARE(m_seenParent, static_cast<QWidget*>(m_main));
    QCOMPARE(doc->IsModified(), changed);
    QCOMPARE(view->hints, changed ? QList<qintptr>{HINT_DESIGNER_CHANGED} : QList<qintptr>{});
    const CTargetDesign& now = *doc->GetTargetImage().designer();
    QCOMPARE(now.Equals(original), !changed);
    if (changed) QCOMPARE(now.GetElement(3)->Diameter(), 3.25);
    else QCOMPARE(bytesOf(now), bytesOf(original));
}

void TestDesignerCommands::editIgnoresOtherKinds()
{
    auto* doc = qobject_cast<CTargetDoc*>(m_template->OpenDocumentFile(QString(), true));
    QVERIFY(doc);
    bool asked = false;
    m_user = [&](CDesignerDlg&) { asked = true; return int(IDOK); };
    doc->OnEditRingdesigner();
    QVERIFY(!asked);
    QVERIFY(!doc->IsModified());
}

void TestDesignerCommands::editorOutlivesItsWindow()
{
    // A main window that is gone leaves the dialog without an owner.
    auto* window = new QWidget;
    InstallRingdesigner(window);
    delete window;
    m_user = [](CDesignerDlg&) { return int(IDCANCEL); };
    CTargetDesign design;
    design.LoadDefault();
    CTargetDoc* doc = newDesignDocument(design);
    QVERIFY(doc);
    doc->OnEditRingdesigner();
    QCOMPARE(m_seenCaption, QStringLiteral("Ringdesigner - %1").arg(doc->GetTitle()));
    QCOMPARE(m_seenParent, nullptr);
    InstallRingdesigner(m_main);
}

void TestDesignerCommands::newDesignSavedAndReopened()
{
    m_user = [](CDesignerDlg& dialog) {
        click(dialog, IDC_RING_ENABLE + 8);
        select(dialog, IDC_RING_SHAPE + 8, "Diamond");
        typeInto(dialog, IDC_RING_THICKNESS + 8, "0.125");
        return int(IDOK);
    };
    QVERIFY(RunNewRingdesigner(*m_template));
    auto* doc = qobject_cast<CTargetDoc*>(m_template->documents().last());
    QVERIFY(doc && doc->IsModified());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("edited.rgd"));
    QVERIFY(doc->DoSave(path));
    QVERIFY(!doc->IsModified());
    QCOMPARE(doc->GetPathName(), path);

    auto* reopened = qobject_cast<CTargetDoc*>(m_template->OpenDocumentFile(path, true));
    QVERIFY(reopened && reopened != doc);
    QCOMPARE(reopened->kind(), int(TARGET_KIND_DESIGNER));
    QVERIFY(reopened->GetTargetImage().designer()->Equals(*doc->GetTargetImage().designer()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytesOf(*reopened->GetTargetImage().designer()));
    QCOMPARE(reopened->GetTargetImage().designer()->GetElement(9)->Type(), int(ELEMENT_DIAMOND));
    QCOMPARE(reopened->GetTargetImage().GetSizeHimetric(), QSize(22860, 22860));
}

QTEST_MAIN(TestDesignerCommands)
#include "tst_designercommands.moc"
