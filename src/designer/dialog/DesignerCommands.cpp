#include "designer/dialog/DesignerCommands.h"

#include "designer/TargetDesign.h"
#include "designer/dialog/DesignerDlg.h"
#include "document/TargetDoc.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

namespace {

DesignerDialogRunner& runnerSlot()
{
    static DesignerDialogRunner runner;
    return runner;
}

int runDialog(CDesignerDlg& dialog)
{
    const DesignerDialogRunner& runner = runnerSlot();
    return runner ? runner(dialog) : dialog.DoModal();
}

QWidget* mainWindow()
{
    CWinApp* app = AfxGetApp();
    return app ? app->GetMainFrame() : nullptr;
}

}  // namespace

void SetDesignerDialogRunner(DesignerDialogRunner runner) { runnerSlot() = std::move(runner); }

bool RunRingdesigner(CTargetDesign& design, const QString& name, QWidget* parent)
{
    CDesignerDlg dialog(parent);
    dialog.SetDesign(design, name);
    if (runDialog(dialog) != IDOK) return false;
    design.CopyFrom(dialog.GetDesign());
    return true;
}

bool RunNewRingdesigner(CMultiDocTemplate& targetTemplate, QWidget* parent)
{
    CTargetDesign design;
    design.LoadDefault();
    if (!RunRingdesigner(design, QStringLiteral("NEW"), parent)) return false;

    auto* doc = qobject_cast<CTargetDoc*>(targetTemplate.OpenDocumentFile(QString(), false));
    if (!doc) return false;
    doc->GetTargetImage().SetDesigner(design);
    doc->SetModifiedFlag(true);
    if (auto* view = dynamic_cast<CView*>(doc->firstView())) {
        if (CMDIChildWnd* frame = GetParentFrame(view)) targetTemplate.InitialUpdateFrame(frame, doc, true);
    }
    return true;
}

bool EditWithRingdesigner(CTargetDoc& doc, QWidget* parent)
{
    CTargetDesign* current = doc.GetTargetImage().designer();
    if (doc.kind() != TARGET_KIND_DESIGNER || !current) return false;
    CTargetDesign edited;
    edited.CopyFrom(*current);
    if (!RunRingdesigner(edited, doc.GetTitle(), parent)) return false;
    if (edited.Equals(*current)) return false;
    current->CopyFrom(edited);
    doc.UpdateAllViews(nullptr, HINT_DESIGNER_CHANGED);
    doc.SetModifiedFlag(true);
    return true;
}

void InstallRingdesigner()
{
    CTargetDoc::SetDesignEditor(
        [](CTargetDesign& design, const QString& title) { return RunRingdesigner(design, title, mainWindow()); });
}
