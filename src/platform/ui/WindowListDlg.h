#pragma once

#include "platform/ui/Dialog.h"

class QListWidget;

// "Select Window": every document window by its title, the active one
// chosen; OK (or a double-click) answers the chosen row. The Window menu
// lists nine windows and offers this for the rest.
class CWindowListDlg : public CDialog {
    Q_OBJECT
public:
    CWindowListDlg(const QStringList& titles, int current, QWidget* parent = nullptr);

    int SelectedRow() const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list = nullptr;
};
