#pragma once

#include <QObject>
#include <QRecursiveMutex>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "thumbnails/PageLayout.h"
#include "thumbnails/ThumbObject.h"
#include "thumbnails/ThumbWorker.h"

// The thumbnail grid without its window: the cells of the folder being
// shown, the worker that lists and renders them, the selection, the layout
// of the grid for the screen or the paper and its page header and footer.
// The window (CVNThumbView) and the command-line contact sheet both drive
// it. Every member runs on the GUI thread except AddItems (the worker's).
class ThumbGrid : public QObject {
    Q_OBJECT
public:
    explicit ThumbGrid(QObject* parent = nullptr);
    ~ThumbGrid() override;

    // Starts listing the folder: stops the listing under way, clears the
    // cells and hands the folder to the worker. dpi is the screen's.
    void ListFolder(const QString& path);
    void ClearItems();
    // Ends the worker, waiting for it; the next listing starts another.
    void StopWorker() { m_pWorker.reset(); }
    // On the worker: one placeholder cell per file, then a relayout request.
    bool AddItems(const QStringList& files, int dpiX, int dpiY, int listing);
    // Applies a rendered picture to cell index of the current listing.
    void ReceiveImage(int index, std::unique_ptr<ThumbImageResult> result);
    // Renders the cells of path again after a save; an empty path lists the
    // folder again.
    void RefreshFile(const QString& path);

    bool isIdle() const { return m_idle.isSet(); }
    // Waits until the worker is idle, at most the time given.
    bool waitIdle(int milliseconds) const { return m_idle.wait(milliseconds); }

    void setScreenDpi(int dpiX, int dpiY) { m_dpiX = dpiX; m_dpiY = dpiY; }
    void setClientWidth(int width) { m_nClientWidth = width; }
    // The thumbnail size in hundredths of an inch; true when it changed.
    bool SetThumbSize(int hundredths);
    double thumbInches() const { return m_dThumbInches; }

    // Moves the selection (-1: none) and gives both cells their look.
    bool Select(int index, bool look = true);
    int selected() const { return m_nSelectedItem; }
    int HitTest(const QPoint& gridPoint) const;
    // The cell a key leads to from the selection, or the selection itself.
    int KeyTarget(int key) const;

    QRecursiveMutex& lock() { return m_lock; }
    CPageLayout& layout() { return m_layout; }
    int count() const { return int(m_objList.size()); }
    CVNThumbObject* cell(int index) const;
    int columns() const { return m_nColumns; }
    int rows() const { return m_nRows; }
    const QString& folder() const { return m_strFolder; }
    int listing() const { return m_nListing; }

    // Screen painting: lays out when needed, draws the cells meeting the clip
    // and returns the whole grid's size.
    QSize Paint(DeviceContext& dc);
    // The pages a printer of dc's page metrics needs for the grid, for the
    // Print dialog's range; the screen layout is made again afterwards.
    int PreparePrinting(DeviceContext& dc);
    // Printing protocol of the page layout, with this grid's state.
    void BeginPrinting(DeviceContext& dc, CPrintInfo& info);
    void PrintPage(DeviceContext& dc, const CPrintInfo& info);
    void EndPrinting();
    bool isPrinting() const { return m_bPrinting; }

    static void GridLayout(DeviceContext& dc, void* grid);
    static void DrawHeader(DeviceContext& dc, const GdiRect& rect, int page, int pageCount, void* grid);
    static void DrawFooter(DeviceContext& dc, const GdiRect& rect, int page, int pageCount, void* grid);

signals:
    void repaintAll();             // the whole window needs drawing again
    void cellChanged(int index);   // one cell's look or picture changed
    void listStarted();
    void listDone();
    void workerIdle();

protected:
    bool event(QEvent* event) override;

private:
    void relayout();

    CPageLayout m_layout;
    std::vector<std::unique_ptr<CVNThumbObject>> m_objList;
    mutable QRecursiveMutex m_lock;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nSelectedItem = -1;
    double m_dThumbInches = 1.5;
    bool m_bPrinting = false;
    QString m_strFolder;
    ManualResetEvent m_idle{true};
    std::unique_ptr<ThumbWorker> m_pWorker;
    int m_nListing = 0;
    int m_dpiX = 96;
    int m_dpiY = 96;
    int m_nClientWidth = 0;
};
