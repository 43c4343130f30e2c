#pragma once

#include <QStringList>

#include "platform/ui/Dialog.h"
#include "print/PrinterSettings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Print Setup: chooses the application's printer among the print queues and
// PDF output, its paper and its orientation. Works on a machine without a
// print queue, where PDF output is the one choice.
class CPrintSetupDlg : public CDialog {
    Q_OBJECT
public:
    // queues: the print queues offered before PDF output.
    explicit CPrintSetupDlg(const QStringList& queues, QWidget* parent = nullptr);

    void SetSettings(const PrinterSettings& settings);
    PrinterSettings Settings() const;

    // The text of the PDF output entry.
    static QString PdfOutputText();

private:
    void fillPapers(const QPageSize& keep);
    void onPrinterChosen();
    void onBrowse();

    QComboBox* m_printer = nullptr;
    QLabel* m_where = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_browse = nullptr;
    QComboBox* m_paper = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    int m_resolution = PrinterSettings::PDF_RESOLUTION;
};
