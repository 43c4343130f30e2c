#include "ringdesigner/DesignerCommands.h"

#include <QPointer>

#include "designer/TargetDesign.h"
#include "document/TargetDoc.h"
#include "platform/MessageBox.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "ringdesigner/DesignerDlg.h"

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

bool runRingdesigner(CTargetDesign& design, const QString& name, QWidget* parent)
{
    CDesignerDlg dialog(parent);
    dialog.SetDesign(design, name);
    if (runDialog(dialog) != IDOK) return false;
    design.CopyFrom(dialog.GetDesign());
    return true;
}

}  // namespace

void SetDesignerDialogRunner(DesignerDialogRunner runner) { runnerSlot() = std::move(runner); }

bool RunNewRingdesigner(CMultiDocTemplate& targetTemplate)
{
    const CTargetDoc::DesignEditor& editor = CTargetDoc::designEditor();
    if (!editor) return false;
    CTargetDesign design;
    design.LoadDefault();
    if (!editor(design, QStringLiteral("NEW"))) return false;

    auto* doc = qobject_cast<CTargetDoc*>(targetTemplate.OpenDocumentFile(QString(), false));
    if (!doc) return false;
    doc->GetTargetImage().SetDesigner(design);
    doc->SetModifiedFlag(true);
    if (auto* view = dynamic_cast<CView*>(doc->firstView())) {
        if (CMDIChildWnd* frame = GetParentFrame(view)) targetTemplate.InitialUpdateFrame(frame, doc, true);
    }
    return true;
}

void InstallRingdesigner(QWidget* parent)
{
    // The window may go before the documents' editor is replaced.
    CTargetDoc::SetDesignEditor([owner = QPointer<QWidget>(parent)](CTargetDesign& design, const QString& title) {
        return runRingdesigner(design, title, owner.data());
    });
}
