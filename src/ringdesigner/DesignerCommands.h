#pragma once

#include <QString>

#include <functional>

class CDesignerDlg;
class CMultiDocTemplate;
class QWidget;

// The two commands that open the Ringdesigner reach it the same way:
// through the target documents' design editor, which InstallRingdesigner
// sets. "Edit with Ringdesigner" is the document's own command
// (CTargetDoc::OnEditRingdesigner); "New Ringdesigner" is below.

// Makes the design editor run this dialog on a copy of the design, with the
// caption "Ringdesigner - <title>", owned by parent (the application's main
// window); on OK the design takes the dialog's result.
void InstallRingdesigner(QWidget* parent);

// "New Ringdesigner": the design editor on the default design, titled
// "NEW"; on OK a new target document of the template holds the result, is
// marked modified and its window is shown. True when a document was made;
// false at once when no editor is installed.
bool RunNewRingdesigner(CMultiDocTemplate& targetTemplate);

// How the dialog is run: DoModal unless replaced (an empty function restores
// it). The result is IDOK or IDCANCEL.
using DesignerDialogRunner = std::function<int(CDesignerDlg& dialog)>;
void SetDesignerDialogRunner(DesignerDialogRunner runner);
