#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/WindowMessage.h"

// Messages from a worker to its grid, with their fixed numbers. Each carries
// the number of the listing it belongs to (in lParam or in its payload), so
// the grid can drop what an abandoned listing left in its queue.
constexpr int MSG_THUMB_LIST_STARTED = 0x0536;
constexpr int MSG_THUMB_FILES = 0x0538;  // the sorted names of the folder's targets
constexpr int MSG_THUMB_IMAGE_READY = 0x0540;
constexpr int MSG_THUMB_WORKER_IDLE = 0x0537;  // wParam: the batch of requests it finished
constexpr int MSG_THUMB_WORKER_ENDED = 0x0539;

// A rendered picture on its way to the grid; the message that carries it
// owns it. A file that does not load arrives as a result with failed set.
struct ThumbImageResult : MessagePayload {
    int listing = 0;
    QString path;
    QImage bitmap;
    int widthHimetric = 0;
    int heightHimetric = 0;
    DeviceContext::StretchMode stretchMode = DeviceContext::ColorOnColor;
    bool failed = false;
};

// The listed targets of a folder, sorted as the grid shows them.
struct ThumbFiles : MessagePayload {
    int listing = 0;
    QStringList files;
};

// Renders one target file for the grid; null when it does not load. An
// exception ends in null and a line on standard error.
std::unique_ptr<ThumbImageResult> RenderThumbnail(const QString& path, int dpiX, int dpiY, int width, int height);

// What renders a cell's picture on a worker: RenderThumbnail, unless a test
// puts something slower or stranger in its place.
using ThumbRenderer = std::function<std::unique_ptr<ThumbImageResult>(const QString& path, int dpiX, int dpiY,
                                                                      int width, int height)>;

// Whether a directory entry name is one the grid lists (".jpeg" is not).
bool IsListedTargetFile(const QString& name);

// Where workers post: the grid's queue, as long as the grid is there. The
// grid closes it when it goes; whatever is posted after that is dropped with
// its payload, so a worker never needs the grid to outlive it.
class ThumbMailbox {
public:
    explicit ThumbMailbox(QObject* receiver) : m_receiver(receiver) {}
    void post(int message, quintptr wParam, qintptr lParam);
    void post(int message, quintptr wParam, std::unique_ptr<MessagePayload> payload);
    void close();

private:
    std::mutex m_mutex;
    QObject* m_receiver;
};

// One picture the grid wants: cell index of the listing, from path.
struct ThumbJob {
    int index = 0;
    QString path;
};

// A worker thread of its own for one listing: lists the folder, posts its
// targets, then renders the cells the grid asks for, nearest the view first,
// until it is cancelled. It is never waited for: a worker stuck in a read
// costs its thread, which ends when the read returns; the grid starts a fresh
// one meanwhile. The thread shares this object with the grid.
class ThumbWorker {
public:
    static std::shared_ptr<ThumbWorker> Start(std::shared_ptr<ThumbMailbox> mailbox, ThumbRenderer renderer,
                                              const QString& folder, int listing, int dpiX, int dpiY);
    // Replaces the pictures waiting to be rendered; batch comes back with the
    // idle message once they are all done (none comes for no pictures).
    void SetJobs(std::vector<ThumbJob> jobs, int batch);
    // The thread ends after the file it is working on.
    void Cancel();
    bool Ended();
    // Waits at most the time given for this worker's thread to end.
    bool WaitEnded(int milliseconds);

private:
    ThumbWorker() = default;
    void run(std::shared_ptr<ThumbWorker> self);
    void list();
    bool cancelled();

    std::shared_ptr<ThumbMailbox> m_mailbox;
    ThumbRenderer m_renderer;
    QString m_folder;
    int m_listing = 0;
    int m_dpiX = 96;
    int m_dpiY = 96;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ThumbJob> m_jobs;
    int m_batch = 0;
    bool m_idlePending = false;
    bool m_cancelled = false;
    bool m_ended = false;
};
