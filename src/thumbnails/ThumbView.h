#pragma once

#include <QObject>
#include <QString>

#include "platform/ui/View.h"
#include "print/JobPrinter.h"
#include "thumbnails/ThumbGrid.h"

class QPrinter;

// The update hint that tells the grid which folder to list.
class FolderHint : public QObject {
    Q_OBJECT
public:
    explicit FolderHint(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// The thumbnail grid window: the cells of one folder, rendered in the
// background, selected with the mouse and the arrow keys, opened with a
// double-click or Enter, printed as contact sheets.
class CVNThumbView : public CScrollView {
    Q_OBJECT
public:
    explicit CVNThumbView(QWidget* parent = nullptr);
    ~CVNThumbView() override;

    void ListFolder(const QString& path);
    void OpenSelected();
    ThumbGrid& grid() { return m_grid; }

    void OnInitialUpdate() override;
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject) override;
    void OnDraw(DeviceContext& dc) override;
    void OnActivateView(bool activate) override;
    bool OnWindowMessage(WindowMessageEvent& message) override;

    // Print and preview start from the application's printer, which host
    // keeps (the settings file's printer until one is given).
    void SetPrinterHost(PrinterHost* host) { m_printerHost = host; }
    void OnFilePrint(bool direct);
    void OnFilePrintPreview();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redrawAll();
    void redrawItem(int index);
    void scrollIntoView(int index);

    PrinterHost& printerHost() const { return m_printerHost ? *m_printerHost : StoredPrinter(); }

    ThumbGrid m_grid;
    PrinterHost* m_printerHost = nullptr;
};
