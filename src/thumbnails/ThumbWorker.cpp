#include "thumbnails/ThumbWorker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

#include "document/FileKinds.h"
#include "document/JpegDecoder.h"
#include "document/RasterImage.h"
#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "thumbnails/ThumbGrid.h"

namespace {
constexpr int MSG_QUIT = 0x0012;
}

bool IsListedTargetFile(const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String("..")) return false;
    const std::span<const FileKind> kinds = FileKinds();
    return std::any_of(kinds.begin(), kinds.end(), [&](const FileKind& kind) {
        return kind.offered && name.endsWith(QLatin1String(kind.extension), Qt::CaseInsensitive);
    });
}

namespace {

// A JPEG decoded straight at the smallest scale that fills the box: a 12 MP
// photograph is read at an eighth of its size. Null when it does not decode.
std::unique_ptr<ThumbImageResult> renderJpeg(const QString& path, int dpiX, int dpiY, int width, int height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    RasterImage raster(RasterImage::TYPE_JPEG);
    QSize full;
    if (!DecodeJpegForBox(file, raster, width, height, &full) || raster.Width() == 0 || raster.Height() == 0)
        return nullptr;
    auto result = std::make_unique<ThumbImageResult>();
    result->path = path;
    // The physical size is the whole picture's, as the target window shows it.
    const double xDpi = raster.DpiX() ? raster.DpiX() : 72;
    const double yDpi = raster.DpiY() ? raster.DpiY() : 72;
    result->widthHimetric = int(full.width() / xDpi * 2540.0);
    result->heightHimetric = int(full.height() / yDpi * 2540.0);
    const double s = std::min(double(width) / raster.Width(), double(height) / raster.Height());
    const int w = std::max(1, int(raster.Width() * s));
    const int h = std::max(1, int(raster.Height() * s));
    QImage bitmap = makeDeviceImage(w, h, dpiX, dpiY);
    {
        QPainter painter(&bitmap);
        DeviceContext mem(&painter, dpiX, dpiY);
        mem.setStretchMode(DeviceContext::ColorOnColor);
        raster.Draw(mem, 0, 0, w, h);
    }
    result->bitmap = bitmap.convertToFormat(QImage::Format_RGB888);
    return result;
}

}  // namespace

std::unique_ptr<ThumbImageResult> RenderThumbnail(const QString& path, int dpiX, int dpiY, int width, int height)
{
    if (TargetImage::ClassifyRasterExtension(QFileInfo(path).suffix().prepend(QLatin1Char('.'))) == 1) {
        try {
            return renderJpeg(path, dpiX, dpiY, width, height);
        } catch (const std::exception&) {
            ShowMessage(QStringLiteral("Error Reading File:  %1\r\n\r\nCheck file format.").arg(path),
                        QStringLiteral("File Read Error"), MsgButtons::Ok, MsgIcon::Error, false);
            return nullptr;
        }
    }
    TargetImage image;
    if (!image.Load(path)) return nullptr;
    auto result = std::make_unique<ThumbImageResult>();
    QImage probe = makeDeviceImage(1, 1, dpiX, dpiY);
    QPainter painter(&probe);
    DeviceContext dc(&painter, dpiX, dpiY);
    if (!image.MakeBitmap(dc, result->bitmap, width, height)) result->bitmap = QImage();
    // 24-bit rows are what a packed bitmap of a screen picture holds; they
    // keep a listing's memory a quarter smaller than 32-bit ones.
    if (!result->bitmap.isNull()) result->bitmap.convertTo(QImage::Format_RGB888);
    result->path = path;
    const QSize size = image.GetSizeHimetric();
    result->widthHimetric = size.width();
    result->heightHimetric = size.height();
    result->stretchMode =
        image.kind() == TARGET_KIND_PICTURE ? DeviceContext::BlackOnWhite : DeviceContext::ColorOnColor;
    return result;
}

void ManualResetEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void ManualResetEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool ManualResetEvent::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

bool ManualResetEvent::wait(int milliseconds) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_signalled; });
}

ThumbWorker::ThumbWorker(ThumbGrid* grid, QObject* receiver, ManualResetEvent* idle)
    : m_grid(grid), m_receiver(receiver), m_idle(idle)
{
    // The queue exists before the thread does, so nothing posted is lost.
    m_thread = std::thread([this] { run(); });
}

ThumbWorker::~ThumbWorker()
{
    post({MSG_QUIT});
    m_thread.join();
}

void ThumbWorker::post(Request request)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(request));
    }
    m_posted.notify_one();
}

void ThumbWorker::run()
{
    bool quit = false;
    while (!quit) {
        Request request;
        {
            std::unique_lock lock(m_mutex);
            m_posted.wait(lock, [this] { return !m_queue.empty(); });
            request = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (request.message == MSG_QUIT) break;
        if (request.message != MSG_THUMB_LIST_FOLDER) continue;
        list(request, &quit);
    }
    m_idle->set();
}

bool ThumbWorker::aborted(bool* quit)
{
    std::lock_guard lock(m_mutex);
    if (m_queue.empty()) return false;
    const int message = m_queue.front().message;
    m_queue.pop_front();
    if (message == MSG_QUIT) *quit = true;
    return message == MSG_THUMB_ABORT || message == MSG_QUIT;
}

void ThumbWorker::list(const Request& request, bool* quit)
{
    const int tag = request.listing;
    m_idle->reset();
    PostWindowMessage(m_receiver, MSG_THUMB_LIST_STARTED, 0, tag);
    auto finish = [&] {
        m_idle->set();
        PostWindowMessage(m_receiver, MSG_THUMB_WORKER_IDLE, 0, tag);
    };

    QStringList files;
    QDirIterator it(request.folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (IsListedTargetFile(name) && !it.fileInfo().isDir()) files << it.filePath();
        if (aborted(quit)) return finish();
    }
    if (aborted(quit)) return finish();
    if (files.isEmpty()) {
        PostWindowMessage(m_receiver, MSG_THUMB_LIST_DONE, 0, tag);
        return finish();
    }
    std::sort(files.begin(), files.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    if (!m_grid->AddItems(files, request.dpiX, request.dpiY, tag)) return finish();

    // Two inches at screen resolution, whatever size the cells show.
    const int width = 2 * request.dpiX;
    const int height = 2 * request.dpiY;
    for (int i = 0; i < files.size(); ++i) {
        std::unique_ptr<ThumbImageResult> result = RenderThumbnail(files[i], request.dpiX, request.dpiY, width, height);
        if (result) {
            if (aborted(quit)) return finish();
            result->listing = tag;
            PostWindowMessage(m_receiver, MSG_THUMB_IMAGE_READY, quintptr(i), std::move(result));
        }
        if (aborted(quit)) return finish();
    }
    PostWindowMessage(m_receiver, MSG_THUMB_LIST_DONE, 0, tag);
    finish();
}
