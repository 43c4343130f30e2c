#pragma once

#include <QString>

class CDesignerDlg;
class CTargetDesign;
class QWidget;

// Drives the Ringdesigner the way a user does: the dialog is shown and
// active, fields are typed into and left, boxes and buttons are clicked.
namespace DialogDriver {

// Shows the dialog and waits until it has the focus.
bool showActive(CDesignerDlg& dialog);
// Replaces the text of a field by typing, then moves the focus away.
void typeInto(CDesignerDlg& dialog, int id, const QString& text);
// Clicks a check box on its indicator or a button in its middle.
void click(CDesignerDlg& dialog, int id);
// Selects a list entry by its text.
void select(CDesignerDlg& dialog, int id, const QString& text);

QString text(const CDesignerDlg& dialog, int id);
bool isChecked(const CDesignerDlg& dialog, int id);
bool isEnabled(const CDesignerDlg& dialog, int id);
quint32 color(const CDesignerDlg& dialog, int id);

// The design the controls show, read from them the way a user reads them.
void designFromControls(const CDesignerDlg& dialog, CTargetDesign& design);

}  // namespace DialogDriver
