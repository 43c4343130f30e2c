#include "thumbnails/ThumbGrid.h"

#include <QFontMetrics>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cstdio>

#include "print/PrinterSettings.h"
#include "print/PrintCaptions.h"

ThumbGrid::ThumbGrid(QObject* parent) : QObject(parent), m_mailbox(std::make_shared<ThumbMailbox>(this))
{
    // Until a job measures its own printer, the stored one.
    m_layout.UsePrinterMetrics(PrinterSettings::load());
    m_layout.SetLayoutCallback(&ThumbGrid::GridLayout, this);
    m_layout.SetHeaderCallback(&ThumbGrid::DrawHeader, this);
    m_layout.SetFooterCallback(&ThumbGrid::DrawFooter, this);
    m_layout.SetMargins(0.75, 0.5, 0.25, 0.75);
}

ThumbGrid::~ThumbGrid()
{
    m_mailbox->close();
    StopWorker();
    // A worker that was rendering ends within one file; one stuck in a read
    // is left to end when the read returns (it posts to a closed mailbox).
    QElapsedTimer clock;
    clock.start();
    for (auto& worker : m_oldWorkers) worker->WaitEnded(std::max(0, 500 - int(clock.elapsed())));
    ClearItems();
}

void ThumbGrid::StopWorker()
{
    if (!m_pWorker) return;
    m_pWorker->Cancel();
    m_oldWorkers.push_back(std::move(m_pWorker));
    m_pWorker.reset();
}

int ThumbGrid::stuckWorkers()
{
    std::erase_if(m_oldWorkers, [](const std::shared_ptr<ThumbWorker>& w) { return w->Ended(); });
    return int(m_oldWorkers.size());
}

void ThumbGrid::ListFolder(const QString& path)
{
    StopWorker();
    ClearItems();
    m_nSelectedItem = -1;
    // Whatever the old listing left in our queue carries the old number.
    ++m_nListing;
    m_strFolder = path;
    m_bListed = false;
    setIdle(false);
    if (stuckWorkers() >= MAX_STUCK_WORKERS) {
        m_strPending = path;
        emit waitingChanged();
        return;
    }
    startListing(path);
}

void ThumbGrid::startListing(QString path)
{
    const bool wasWaiting = waitingForFile();
    m_strPending.clear();
    m_pWorker = ThumbWorker::Start(m_mailbox, m_renderer, path, m_nListing, m_dpiX, m_dpiY);
    if (wasWaiting) emit waitingChanged();
}

void ThumbGrid::setIdle(bool idle)
{
    if (idle == m_bIdle) return;
    m_bIdle = idle;
    if (idle) emit workerIdle();
}

bool ThumbGrid::waitIdle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_bIdle && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return m_bIdle;
}

void ThumbGrid::ClearItems()
{
    // The layout forgets every cell at once instead of one search each.
    m_layout.RemoveAllItems();
    m_objList.clear();
    m_pictured.clear();
    m_layout.MarkChanged();
}

bool ThumbGrid::AddItems(const QStringList& files, int dpiX, int dpiY, int listing)
{
    if (listing != m_nListing) return false;
    const int w = int(dpiX * m_dThumbInches);
    const int h = int(dpiY * m_dThumbInches);
    bool made = true;
    try {
        m_objList.reserve(m_objList.size() + files.size());
        for (const QString& file : files) {
            auto cell = std::make_unique<CVNThumbObject>();
            cell->SetInsets(5, 5, 5);
            cell->Layout(0, 0, w, h, w, 20);
            cell->SetPath(file);
            m_objList.push_back(std::move(cell));
            m_layout.AddItem(m_objList.back().get());
        }
    } catch (const std::bad_alloc&) {
        // The cell the layout could not take goes; those before it stay.
        if (!m_objList.empty() && m_objList.back()->owner() != &m_layout) m_objList.pop_back();
        made = false;
    }
    m_layout.MarkChanged();
    return made;
}

void ThumbGrid::receiveFiles(std::unique_ptr<ThumbFiles> files)
{
    // A listing that cannot make all its cells ends there, with the cells it
    // made, and asks for no relayout beyond what the next paint does.
    if (AddItems(files->files, m_dpiX, m_dpiY, files->listing)) relayout();
    else std::fprintf(stderr, "vantric: out of memory listing %s\n", QFile::encodeName(m_strFolder).constData());
    m_bListed = true;
    // A child view is never the system's active window: cell 0 is selected
    // unhighlighted.
    if (count() > 0 && m_nSelectedItem < 0) Select(0, false);
    emit listDone();
    requestPictures();
}

CVNThumbObject* ThumbGrid::cell(int index) const
{
    return index >= 0 && index < int(m_objList.size()) ? m_objList[index].get() : nullptr;
}

void ThumbGrid::ReceiveImage(int index, std::unique_ptr<ThumbImageResult> result)
{
    if (!result || result->listing != m_nListing) return;
    CVNThumbObject* c = cell(index);
    if (!c || c->path() != result->path) return;
    if (result->failed) {
        c->SetFailed();
    } else {
        if (!c->hasImage()) m_pictured.push_back(index);
        c->SetImage(result->bitmap, result->path, result->stretchMode);
        c->SetPhysicalSize(result->widthHimetric, result->heightHimetric);
        if (c->imageBytes() > 0) m_nLastPictureBytes = c->imageBytes();
    }
    emit cellChanged(index);
}

void ThumbGrid::RefreshFile(const QString& path)
{
    if (path.isEmpty()) {
        if (!m_strFolder.isEmpty()) ListFolder(m_strFolder);
        return;
    }
    // Paths are compared exactly: two names that differ in case are two files.
    bool any = false;
    for (auto& c : m_objList) {
        if (c->path() != path) continue;
        c->MarkStale();
        any = true;
    }
    if (any) requestPictures();
}

void ThumbGrid::setVisibleRect(const QRect& rect)
{
    if (rect == m_visible) return;
    m_visible = rect;
    requestPictures();
}

void ThumbGrid::setCacheBytes(qint64 bytes)
{
    m_cacheBytes = bytes;
    requestPictures();
}

qint64 ThumbGrid::pictureBytes() const
{
    qint64 bytes = 0;
    for (const auto& c : m_objList) bytes += c->imageBytes();
    return bytes;
}

void ThumbGrid::requestPictures()
{
    if (!m_pWorker || !m_bListed) return;
    const int n = count();
    // The cells on show, by rows of the current layout; without a view the
    // grid renders from the top.
    int first = 0;
    int last = -1;
    if (!m_visible.isEmpty() && m_nColumns > 0 && n > 0) {
        const int pitch = m_objList.front()->cellSize().height() + 1;
        first = std::clamp(m_visible.top() / pitch * m_nColumns, 0, n);
        last = std::clamp((m_visible.bottom() / pitch + 1) * m_nColumns - 1, -1, n - 1);
    }
    // A picture not rendered yet is reckoned at the size of the last one that
    // came, or at two inches square of 24-bit screen before any.
    const qint64 estimate = m_nLastPictureBytes > 0 ? m_nLastPictureBytes : qint64(2 * m_dpiX) * 2 * m_dpiY * 3;
    std::vector<char> keep(size_t(n), 0);
    std::vector<ThumbJob> jobs;
    qint64 bytes = 0;
    auto take = [&](int i) {
        CVNThumbObject* c = m_objList[size_t(i)].get();
        keep[size_t(i)] = 1;
        if (c->needsPicture()) jobs.push_back({i, c->path()});
        bytes += c->hasImage() ? c->imageBytes() : c->failed() ? 0 : estimate;
    };
    for (int i = first; i <= last; ++i) take(i);
    // Then outwards, a row below for each row above, while the cache holds them.
    const qint64 shown = bytes;
    for (int below = last + 1, above = first - 1; (below < n || above >= 0) && bytes - shown < m_cacheBytes;) {
        if (below < n) take(below++);
        if (above >= 0 && bytes - shown < m_cacheBytes) take(above--);
    }
    // Only the cells known to hold a picture are visited: a scroll through a
    // large folder must not walk all its cells.
    bool dropped = false;
    std::vector<int> still;
    for (int i : m_pictured) {
        if (i >= n || !m_objList[size_t(i)]->hasImage()) continue;
        if (keep[size_t(i)]) {
            still.push_back(i);
            continue;
        }
        m_objList[size_t(i)]->DropImage();
        dropped = true;
    }
    m_pictured.swap(still);
    if (dropped) emit repaintAll();
    setIdle(jobs.empty());
    m_pWorker->SetJobs(std::move(jobs), ++m_nBatch);
}

bool ThumbGrid::SetThumbSize(int hundredths)
{
    const double inches = hundredths * 0.01;
    if (inches == m_dThumbInches) return false;
    m_dThumbInches = inches;
    m_layout.MarkChanged();
    return true;
}

bool ThumbGrid::Select(int index, bool look)
{
    if (index == m_nSelectedItem || (index >= 0 && !cell(index))) return false;
    if (CVNThumbObject* old = cell(m_nSelectedItem)) {
        old->SetSelectedLook(false);
        emit cellChanged(m_nSelectedItem);
    }
    m_nSelectedItem = index;
    if (CVNThumbObject* now = cell(index)) {
        now->SetSelectedLook(look);
        emit cellChanged(index);
    }
    return true;
}

int ThumbGrid::HitTest(const QPoint& pt) const
{
    for (int i = 0; i < count(); ++i)
        if (m_objList[i]->HitTest(pt)) return i;
    return -1;
}

int ThumbGrid::KeyTarget(int key) const
{
    const int s = m_nSelectedItem;
    if (s < 0 || m_nColumns <= 0) return s;
    const int row = s / m_nColumns;
    const int column = s % m_nColumns;
    int target = s;
    switch (key) {
    case Qt::Key_Down: if (row + 1 < m_nRows) target = m_nColumns * (row + 1) + column; break;
    case Qt::Key_Up: if (row - 1 >= 0) target = m_nColumns * (row - 1) + column; break;
    case Qt::Key_Right: if (column + 1 < m_nColumns) target = s + 1; break;
    case Qt::Key_Left: if (column - 1 >= 0) target = s - 1; break;
    default: break;
    }
    return target >= 0 && target < count() ? target : s;
}

void ThumbGrid::GridLayout(DeviceContext& dc, void* data)
{
    auto* grid = static_cast<ThumbGrid*>(data);
    if (grid->m_objList.empty()) return;
    const int w = int(dc.dpiX() * grid->m_dThumbInches);
    const int h = int(dc.dpiY() * grid->m_dThumbInches);
    const int captionHeight = 3 * QFontMetrics(MakePointFont(ArialFont(80), dc.dpiY())).height();
    const int g = int(dc.dpiX() * 0.05);
    for (auto& c : grid->m_objList) c->SetInsets(g, g, g);
    const GdiRect first = grid->m_objList.front()->Layout(0, 0, w, h, w, captionHeight);
    const int pitchX = first.width() + 1;
    const int pitchY = first.height() + 1;
    const int available = dc.isPrinting() ? grid->m_layout.GetBody().width() : grid->m_nClientWidth;
    grid->m_nColumns = std::max(1, available / pitchX);
    grid->m_nRows = (grid->count() + grid->m_nColumns - 1) / grid->m_nColumns;
    for (int k = 0; k < grid->count(); ++k)
        grid->m_objList[k]->Layout((k % grid->m_nColumns) * pitchX, (k / grid->m_nColumns) * pitchY, w, h, w,
                                   captionHeight);
}

namespace {

// The payload of a message when it is of the kind expected; the message lets go of it.
template <typename T>
std::unique_ptr<T> takePayload(WindowMessageEvent& message)
{
    std::unique_ptr<MessagePayload> payload = message.takePayload();
    if (!dynamic_cast<T*>(payload.get())) return nullptr;
    return std::unique_ptr<T>(static_cast<T*>(payload.release()));
}

// One line of Arial 10 pt, unclipped, aligned in the rectangle.
void pageText(DeviceContext& dc, const GdiRect& rect, Qt::Alignment align, const QString& text)
{
    QPainter* p = dc.painter();
    p->save();
    p->setFont(MakePointFont(ArialFont(100), dc.dpiY()));
    p->setPen(Qt::black);
    p->drawText(rect.toQRect(), int(align | Qt::TextSingleLine | Qt::TextDontClip), text);
    p->restore();
}

}  // namespace

void ThumbGrid::DrawHeader(DeviceContext& dc, const GdiRect& rect, int, int, void* data)
{
    auto* grid = static_cast<ThumbGrid*>(data);
    pageText(dc, rect, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Vantric"));
    pageText(dc, rect, Qt::AlignRight | Qt::AlignTop, grid->m_strFolder);
}

void ThumbGrid::DrawFooter(DeviceContext& dc, const GdiRect& rect, int page, int pageCount, void*)
{
    pageText(dc, rect, Qt::AlignHCenter | Qt::AlignBottom, QString::asprintf("Page %d of %d", page, pageCount));
    const QString maker = MakerLine();
    if (!maker.isEmpty()) pageText(dc, rect, Qt::AlignRight | Qt::AlignBottom, maker);
}

QSize ThumbGrid::Paint(DeviceContext& dc)
{
    m_layout.BeginDraw(dc);
    const QSize extent = m_layout.Draw(dc);
    m_layout.EndDraw(dc);
    return extent;
}

int ThumbGrid::PreparePrinting(DeviceContext& dc)
{
    CPrintInfo info;
    m_layout.PreparePrinting(dc, info);
    m_layout.EndPrinting();
    emit repaintAll();
    return info.maxPage;
}

void ThumbGrid::BeginPrinting(DeviceContext& dc, CPrintInfo& info)
{
    m_bPrinting = true;
    m_layout.BeginPrinting(dc, info);
}

void ThumbGrid::PrintPage(DeviceContext& dc, const CPrintInfo& info)
{
    m_layout.PrintPage(dc, info);
    // A page's cells that have no picture (beyond the cache, or the grid has
    // no view) are rendered for the page and let go after it, so a sheet of
    // any length holds one page of pictures more than the screen does.
    std::vector<CVNThumbObject*> lent;
    if (info.currentPage >= 1 && info.currentPage <= m_layout.pageCount()) {
        for (CLayoutItem* item : m_layout.pageItems(info.currentPage - 1)) {
            auto* c = static_cast<CVNThumbObject*>(item);
            if (c->hasImage() || c->failed()) continue;
            std::unique_ptr<ThumbImageResult> r = RenderThumbnail(c->path(), m_dpiX, m_dpiY, 2 * m_dpiX, 2 * m_dpiY);
            if (!r) {
                c->SetFailed();
                continue;
            }
            c->SetImage(r->bitmap, r->path, r->stretchMode);
            c->SetPhysicalSize(r->widthHimetric, r->heightHimetric);
            lent.push_back(c);
        }
    }
    m_layout.Draw(dc);
    for (CVNThumbObject* c : lent) c->DropImage();
}

void ThumbGrid::EndPrinting()
{
    {
            m_layout.EndPrinting();
    }
    m_bPrinting = false;
    emit repaintAll();
}

void ThumbGrid::relayout()
{
    m_layout.MarkChanged();
    emit repaintAll();
}

bool ThumbGrid::event(QEvent* e)
{
    if (e->type() != WindowMessageEvent::eventType()) return QObject::event(e);
    auto* m = static_cast<WindowMessageEvent*>(e);
    switch (m->message()) {
    case MSG_THUMB_IMAGE_READY:
        if (auto result = takePayload<ThumbImageResult>(*m)) ReceiveImage(int(m->wParam()), std::move(result));
        return true;
    case MSG_THUMB_FILES:
        if (auto files = takePayload<ThumbFiles>(*m); files && files->listing == m_nListing)
            receiveFiles(std::move(files));
        return true;
    case MSG_THUMB_WORKER_ENDED:
        // An old worker let go of its file: a listing that waited for one starts.
        if (waitingForFile() && stuckWorkers() < MAX_STUCK_WORKERS) startListing(m_strPending);
        return true;
    default: break;
    }
    // What an abandoned listing posted has no meaning any more.
    if (m->lParam() != m_nListing) return true;
    if (m->message() == MSG_THUMB_LIST_STARTED) emit listStarted();
    // The batch is done: the cache may hold more now that the pictures'
    // real size is known; the grid is idle when it asks for nothing more.
    else if (m->message() == MSG_THUMB_WORKER_IDLE && int(m->wParam()) == m_nBatch) requestPictures();
    return true;
}
