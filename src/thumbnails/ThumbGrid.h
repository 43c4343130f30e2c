#pragma once

#include <QObject>
#include <QRect>
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
// it. It lives on the GUI thread and owns its cells; workers only post to it.
// It keeps the pictures of the cells on show and, around them, as many as
// its cache holds; the others show their placeholder until asked for again.
// The sizes a cell's picture may have, in hundredths of an inch: small,
// medium and large.
inline constexpr int THUMB_SIZES[] = {100, 150, 200};

class ThumbGrid : public QObject {
    Q_OBJECT
public:
    explicit ThumbGrid(QObject* parent = nullptr);
    ~ThumbGrid() override;

    // Starts listing the folder: abandons the listing under way, clears the
    // cells and hands the folder to a fresh worker. Never waits for the old
    // one; while too many old ones are stuck in a read, the listing waits
    // (waitingForFile) and starts when one of them ends.
    void ListFolder(const QString& path);
    void ClearItems();
    // Abandons the worker without waiting for it; the next listing starts another.
    void StopWorker();
    // One placeholder cell per file; false, with the cells made so far kept,
    // when a cell cannot be made.
    bool AddItems(const QStringList& files, int dpiX, int dpiY, int listing);
    // Applies a rendered picture (or a failure) to cell index of the current listing.
    void ReceiveImage(int index, std::unique_ptr<ThumbImageResult> result);
    // Renders the cells of path again after a save; an empty path lists the
    // folder again.
    void RefreshFile(const QString& path);

    // Listed, and every picture asked for has arrived.
    bool isIdle() const { return m_bIdle; }
    // Runs the event loop until the grid is idle, at most the time given.
    bool waitIdle(int milliseconds);
    bool waitingForFile() const { return !m_strPending.isEmpty(); }
    // Old workers of this grid that have not ended yet: stuck in a read, or
    // about to notice they were abandoned.
    int stuckWorkers();
    static constexpr int MAX_STUCK_WORKERS = 4;

    // The part of the grid on show (grid coordinates), whose pictures come
    // first; empty when nothing shows, which renders from the top.
    void setVisibleRect(const QRect& rect);
    // Bytes of pictures kept beyond those on show.
    void setCacheBytes(qint64 bytes);
    // What the next listings' workers render with (RenderThumbnail when empty).
    void setRenderer(ThumbRenderer renderer) { m_renderer = std::move(renderer); }
    qint64 pictureBytes() const;

    void setScreenDpi(int dpiX, int dpiY) { m_dpiX = dpiX; m_dpiY = dpiY; }
    void setClientWidth(int width) { m_nClientWidth = width; }
    // The thumbnail size in hundredths of an inch (one of THUMB_SIZES);
    // true when it changed.
    bool SetThumbSize(int hundredths);
    double thumbInches() const { return m_dThumbInches; }

    // Moves the selection (-1: none) and gives both cells their look.
    bool Select(int index, bool look = true);
    int selected() const { return m_nSelectedItem; }
    int HitTest(const QPoint& gridPoint) const;
    // The cell a key leads to from the selection, or the selection itself.
    int KeyTarget(int key) const;

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
    void waitingChanged();

protected:
    bool event(QEvent* event) override;

private:
    void relayout();
    void startListing(QString path);  // a copy: it may be m_strPending
    void receiveFiles(std::unique_ptr<ThumbFiles> files);
    // Asks the worker for the pictures nearest the view that the cache holds
    // and lets the pictures beyond it go.
    void requestPictures();
    void setIdle(bool idle);

    CPageLayout m_layout;
    std::vector<std::unique_ptr<CVNThumbObject>> m_objList;
    std::vector<int> m_pictured;  // cells given a picture by a worker, some since dropped
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nSelectedItem = -1;
    double m_dThumbInches = 1.5;
    bool m_bPrinting = false;
    QString m_strFolder;
    std::shared_ptr<ThumbMailbox> m_mailbox;
    ThumbRenderer m_renderer;
    std::shared_ptr<ThumbWorker> m_pWorker;
    std::vector<std::shared_ptr<ThumbWorker>> m_oldWorkers;
    QString m_strPending;
    bool m_bIdle = true;
    bool m_bListed = false;
    int m_nBatch = 0;
    qint64 m_nLastPictureBytes = 0;
    QRect m_visible;
    qint64 m_cacheBytes = qint64(64) * 1024 * 1024;
    int m_nListing = 0;
    int m_dpiX = 96;
    int m_dpiY = 96;
    int m_nClientWidth = 0;
};
