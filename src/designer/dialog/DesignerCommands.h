#pragma once

#include <QString>

#include <functional>

class CDesignerDlg;
class CMultiDocTemplate;
class CTargetDesign;
class CTargetDoc;
class QWidget;

// The two commands that open the Ringdesigner.

// Runs the dialog on a copy of design with the caption name; on OK design
// takes the dialog's result. True for OK.
bool RunRingdesigner(CTargetDesign& design, const QString& name, QWidget* parent);

// "New Ringdesigner": the dialog on the default design, titled "NEW"; on OK
// a new target document of the template holds the result, is marked
// modified and its window is shown. True when a document was made.
bool RunNewRingdesigner(CMultiDocTemplate& targetTemplate, QWidget* parent);

// "Edit with Ringdesigner" on a document holding a design: on OK with a
// changed design the document takes it, its views get HINT_DESIGNER_CHANGED
// and it is marked modified. True when the document changed.
bool EditWithRingdesigner(CTargetDoc& doc, QWidget* parent);

// Makes the target documents' "Edit with Ringdesigner" command (and the
// application's "New Ringdesigner", which asks the same) use this dialog,
// owned by the application's main window.
void InstallRingdesigner();

// How the dialog is run: DoModal unless replaced (an empty function restores
// it). The result is IDOK or IDCANCEL.
using DesignerDialogRunner = std::function<int(CDesignerDlg& dialog)>;
void SetDesignerDialogRunner(DesignerDialogRunner runner);
