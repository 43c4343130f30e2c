#pragma once

#include <QDialog>

#include <functional>

class QHBoxLayout;

// A modal dialog as the program's dialogs use it: DoModal answers IDOK or
// IDCANCEL, and OnInitDialog runs once, when the dialog is first shown, after
// the caller has set its values.
class CDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    int DoModal();

protected:
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* event) override;
    // The right-aligned OK and Cancel buttons (named "ok" and "cancel"): OK
    // is the default button and runs onOK, Cancel closes with IDCANCEL.
    QHBoxLayout* MakeOkCancelRow(const std::function<void()>& onOK);

private:
    bool m_bInitialised = false;
};
