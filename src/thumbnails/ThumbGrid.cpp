#include "thumbnails/ThumbGrid.h"

#include <QFontMetrics>
#include <QMutexLocker>
#include <QPainter>

#include <algorithm>

#include "view/PrintCaptions.h"

ThumbGrid::ThumbGrid(QObject* parent) : QObject(parent)
{
    m_layout.UseDefaultPrinterMetrics();
    m_layout.SetLayoutCallback(&ThumbGrid::GridLayout, this);
    m_layout.SetHeaderCallback(&ThumbGrid::DrawHeader, this);
    m_layout.SetFooterCallback(&ThumbGrid::DrawFooter, this);
    m_layout.SetMargins(0.75, 0.5, 0.25, 0.75);
}

ThumbGrid::~ThumbGrid()
{
    m_pWorker.reset();
    ClearItems();
}

void ThumbGrid::ListFolder(const QString& path)
{
    if (!m_pWorker) m_pWorker = std::make_unique<ThumbWorker>(this, this, &m_idle);
    m_pWorker->post({MSG_THUMB_ABORT});
    // The worker looks for the abort after every file, so this is at most
    // one file's rendering.
    while (!m_idle.wait(10)) {
    }
    ClearItems();
    m_nSelectedItem = -1;
    // Whatever the old listing left in our queue carries the old number.
    ++m_nListing;
    m_pWorker->post({MSG_THUMB_LIST_FOLDER, path, m_nListing, m_dpiX, m_dpiY});
    m_strFolder = path;
}

void ThumbGrid::ClearItems()
{
    QMutexLocker lock(&m_lock);
    for (auto& cell : m_objList) m_layout.RemoveItem(cell.get());
    m_objList.clear();
    m_layout.MarkChanged();
}

bool ThumbGrid::AddItems(const QStringList& files, int dpiX, int dpiY, int listing)
{
    {
        // The size is read under the lock the GUI thread changes it under.
        QMutexLocker lock(&m_lock);
        const int w = int(dpiX * m_dThumbInches);
        const int h = int(dpiY * m_dThumbInches);
        m_objList.reserve(m_objList.size() + files.size());
        for (const QString& file : files) {
            auto cell = std::make_unique<CVNThumbObject>();
            cell->SetInsets(5, 5, 5);
            cell->Layout(0, 0, w, h, w, 20);
            cell->SetPath(file);
            m_layout.AddItem(cell.get());
            m_objList.push_back(std::move(cell));
        }
    }
    PostWindowMessage(this, MSG_THUMB_RELAYOUT, 0, listing);
    return true;
}

CVNThumbObject* ThumbGrid::cell(int index) const
{
    return index >= 0 && index < int(m_objList.size()) ? m_objList[index].get() : nullptr;
}

void ThumbGrid::ReceiveImage(int index, std::unique_ptr<ThumbImageResult> result)
{
    if (!result || result->listing != m_nListing) return;
    QMutexLocker lock(&m_lock);
    CVNThumbObject* c = cell(index);
    if (!c) return;
    c->SetImage(result->bitmap, result->path, result->stretchMode);
    c->SetPhysicalSize(result->widthHimetric, result->heightHimetric);
    emit cellChanged(index);
}

void ThumbGrid::RefreshFile(const QString& path)
{
    if (path.isEmpty()) {
        if (!m_strFolder.isEmpty()) ListFolder(m_strFolder);
        return;
    }
    QMutexLocker lock(&m_lock);
    for (int i = 0; i < count(); ++i) {
        if (m_objList[i]->path().compare(path, Qt::CaseInsensitive) != 0) continue;
        const QSize box = m_objList[i]->imageBoxSize();
        std::unique_ptr<ThumbImageResult> result = RenderThumbnail(path, m_dpiX, m_dpiY, box.width(), box.height());
        if (!result) continue;
        result->listing = m_nListing;
        ReceiveImage(i, std::move(result));
    }
}

bool ThumbGrid::SetThumbSize(int hundredths)
{
    const double inches = hundredths * 0.01;
    QMutexLocker lock(&m_lock);
    if (inches == m_dThumbInches) return false;
    m_dThumbInches = inches;
    m_layout.MarkChanged();
    return true;
}

bool ThumbGrid::Select(int index, bool look)
{
    QMutexLocker lock(&m_lock);
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
    QMutexLocker lock(&m_lock);
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
    QMutexLocker lock(&grid->m_lock);
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
    QMutexLocker lock(&m_lock);
    m_layout.BeginDraw(dc);
    const QSize extent = m_layout.Draw(dc);
    m_layout.EndDraw(dc);
    return extent;
}

void ThumbGrid::BeginPrinting(DeviceContext& dc, CPrintInfo& info)
{
    m_bPrinting = true;
    QMutexLocker lock(&m_lock);
    m_layout.BeginPrinting(dc, info);
}

void ThumbGrid::PrintPage(DeviceContext& dc, const CPrintInfo& info)
{
    QMutexLocker lock(&m_lock);
    m_layout.PrintPage(dc, info);
    m_layout.Draw(dc);
}

void ThumbGrid::EndPrinting()
{
    {
        QMutexLocker lock(&m_lock);
        m_layout.EndPrinting();
    }
    m_bPrinting = false;
    emit repaintAll();
}

void ThumbGrid::relayout()
{
    QMutexLocker lock(&m_lock);
    m_layout.MarkChanged();
    emit repaintAll();
}

bool ThumbGrid::event(QEvent* e)
{
    if (e->type() != WindowMessageEvent::eventType()) return QObject::event(e);
    auto* m = static_cast<WindowMessageEvent*>(e);
    if (m->message() == MSG_THUMB_IMAGE_READY) {
        std::unique_ptr<MessagePayload> payload = m->takePayload();
        auto* result = dynamic_cast<ThumbImageResult*>(payload.get());
        if (result) {
            payload.release();
            ReceiveImage(int(m->wParam()), std::unique_ptr<ThumbImageResult>(result));
        }
        return true;
    }
    // What an abandoned listing posted has no meaning any more.
    if (m->lParam() != m_nListing) return true;
    switch (m->message()) {
    case MSG_THUMB_LIST_STARTED: emit listStarted(); break;
    case MSG_THUMB_RELAYOUT: relayout(); break;
    case MSG_THUMB_LIST_DONE: {
        QMutexLocker lock(&m_lock);
        // A child view is never the system's active window: cell 0 is
        // selected unhighlighted.
        if (count() > 0 && m_nSelectedItem < 0) Select(0, false);
        emit listDone();
        break;
    }
    case MSG_THUMB_WORKER_IDLE: emit workerIdle(); break;
    default: break;
    }
    return true;
}
