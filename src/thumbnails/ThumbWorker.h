#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/DeviceContext.h"
#include "platform/WindowMessage.h"

class QObject;
class ThumbGrid;

// Messages between the grid and its worker, with their fixed numbers. The
// worker's messages to the grid carry the number of the listing they belong
// to in lParam (or in the result), so the grid can drop what an abandoned
// listing left in its queue.
constexpr int MSG_THUMB_LIST_FOLDER = 0x052C;
constexpr int MSG_THUMB_ABORT = 0x052D;
constexpr int MSG_THUMB_LIST_STARTED = 0x0536;
constexpr int MSG_THUMB_RELAYOUT = 0x0572;
constexpr int MSG_THUMB_IMAGE_READY = 0x0540;
constexpr int MSG_THUMB_LIST_DONE = 0x052E;
constexpr int MSG_THUMB_WORKER_IDLE = 0x0537;

// A rendered picture on its way to the grid; the message that carries it
// owns it.
struct ThumbImageResult : MessagePayload {
    int listing = 0;
    QString path;
    QImage bitmap;
    int widthHimetric = 0;
    int heightHimetric = 0;
    DeviceContext::StretchMode stretchMode = DeviceContext::ColorOnColor;
};

// Renders one target file for the grid; null when it does not load.
std::unique_ptr<ThumbImageResult> RenderThumbnail(const QString& path, int dpiX, int dpiY, int width, int height);

// Whether a directory entry name is one the grid lists (".jpeg" is not).
bool IsListedTargetFile(const QString& name);

// A set/reset flag threads wait on: signalled exactly while the worker is idle.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled) : m_signalled(signalled) {}
    void set();
    void reset();
    bool isSet() const;
    // Waits up to the time given; true when signalled.
    bool wait(int milliseconds) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_signalled;
};

// The grid's one long-lived worker thread: lists a folder, hands the cells to
// the grid and renders the pictures one by one, until it is told to stop or
// to list something else.
class ThumbWorker {
public:
    struct Request {
        Request(int m = 0, QString f = QString(), int l = 0, int x = 96, int y = 96)
            : message(m), folder(std::move(f)), listing(l), dpiX(x), dpiY(y)
        {
        }
        int message;
        QString folder;
        int listing;
        int dpiX;
        int dpiY;
    };

    ThumbWorker(ThumbGrid* grid, QObject* receiver, ManualResetEvent* idle);
    ~ThumbWorker();  // posts the quit and waits for the thread

    void post(Request request);

private:
    void run();
    void list(const Request& request, bool* quit);
    // Takes one waiting message, if any: true when it abandons the listing.
    bool aborted(bool* quit);

    ThumbGrid* m_grid;
    QObject* m_receiver;
    ManualResetEvent* m_idle;
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<Request> m_queue;
    std::thread m_thread;
};
