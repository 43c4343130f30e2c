#include "thumbnails/ThumbWorker.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "document/FileKinds.h"
#include "document/JpegDecoder.h"
#include "document/RasterImage.h"
#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"
#include "platform/Units.h"

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
    QFile file;
    if (!OpenRegularFile(path, file)) return nullptr;
    RasterImage raster(RasterImage::TYPE_JPEG);
    QSize full;
    if (!DecodeJpegForBox(file, raster, width, height, &full) || raster.Width() == 0 || raster.Height() == 0)
        return nullptr;
    auto result = std::make_unique<ThumbImageResult>();
    result->path = path;
    // The physical size is the whole picture's, as the target window shows it.
    const double xDpi = raster.DpiX() ? raster.DpiX() : 72;
    const double yDpi = raster.DpiY() ? raster.DpiY() : 72;
    result->widthHimetric = int(Units::InchesToHimetric(full.width() / xDpi));
    result->heightHimetric = int(Units::InchesToHimetric(full.height() / yDpi));
    const double s = std::min(double(width) / raster.Width(), double(height) / raster.Height());
    const int w = std::max(1, int(raster.Width() * s));
    const int h = std::max(1, int(raster.Height() * s));
    result->bitmap = raster.Thumbnail(w, h, dpiX, dpiY).convertToFormat(QImage::Format_RGB888);
    return result;
}

std::unique_ptr<ThumbImageResult> renderTarget(const QString& path, int dpiX, int dpiY, int width, int height)
{
    if (const FileKind* kind = FileKindOfPath(path); kind && kind->loader == FileLoader::Jpeg) {
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

}  // namespace

std::unique_ptr<ThumbImageResult> RenderThumbnail(const QString& path, int dpiX, int dpiY, int width, int height)
{
    // Whatever a file makes a decoder or a painter throw ends in this cell's
    // placeholder, never in the end of the program.
    try {
        return renderTarget(path, dpiX, dpiY, width, height);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantric: thumbnail of %s: %s\n", QFile::encodeName(path).constData(), e.what());
    } catch (...) {
        std::fprintf(stderr, "vantric: thumbnail of %s: unknown exception\n", QFile::encodeName(path).constData());
    }
    return nullptr;
}

void ThumbMailbox::post(int message, quintptr wParam, qintptr lParam)
{
    std::lock_guard lock(m_mutex);
    PostWindowMessage(m_receiver, message, wParam, lParam);
}

void ThumbMailbox::post(int message, quintptr wParam, std::unique_ptr<MessagePayload> payload)
{
    std::lock_guard lock(m_mutex);
    PostWindowMessage(m_receiver, message, wParam, std::move(payload));
}

void ThumbMailbox::close()
{
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

std::shared_ptr<ThumbWorker> ThumbWorker::Start(std::shared_ptr<ThumbMailbox> mailbox, ThumbRenderer renderer,
                                                const QString& folder, int listing, int dpiX, int dpiY)
{
    std::shared_ptr<ThumbWorker> worker(new ThumbWorker);
    worker->m_mailbox = std::move(mailbox);
    worker->m_renderer = renderer ? std::move(renderer) : ThumbRenderer(&RenderThumbnail);
    worker->m_folder = folder;
    worker->m_listing = listing;
    worker->m_dpiX = dpiX;
    worker->m_dpiY = dpiY;
    std::thread([worker] { worker->run(worker); }).detach();
    return worker;
}

void ThumbWorker::SetJobs(std::vector<ThumbJob> jobs, int batch)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
        m_batch = batch;
        m_idlePending = !m_jobs.empty();
    }
    m_changed.notify_all();
}

void ThumbWorker::Cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
}

bool ThumbWorker::Ended()
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

bool ThumbWorker::WaitEnded(int milliseconds)
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_ended; });
}

bool ThumbWorker::cancelled()
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

void ThumbWorker::run(std::shared_ptr<ThumbWorker> self)
{
    try {
        list();
        // Two inches at screen resolution, whatever size the cells show.
        const int width = 2 * m_dpiX;
        const int height = 2 * m_dpiY;
        for (;;) {
            ThumbJob job;
            {
                std::unique_lock lock(m_mutex);
                if (m_jobs.empty() && m_idlePending && !m_cancelled) {
                    m_idlePending = false;
                    m_mailbox->post(MSG_THUMB_WORKER_IDLE, quintptr(m_batch), m_listing);
                }
                m_changed.wait(lock, [this] { return m_cancelled || !m_jobs.empty() || m_idlePending; });
                if (m_cancelled) break;
                if (m_jobs.empty()) continue;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            std::unique_ptr<ThumbImageResult> result;
            try {
                result = m_renderer(job.path, m_dpiX, m_dpiY, width, height);
            } catch (...) {
                std::fprintf(stderr, "vantric: no thumbnail of %s: an exception\n",
                             QFile::encodeName(job.path).constData());
            }
            if (cancelled()) break;
            if (!result) {
                result = std::make_unique<ThumbImageResult>();
                result->path = job.path;
                result->failed = true;
            }
            result->listing = m_listing;
            m_mailbox->post(MSG_THUMB_IMAGE_READY, quintptr(job.index), std::move(result));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantric: thumbnail worker: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "vantric: thumbnail worker: unknown exception\n");
    }
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
    m_mailbox->post(MSG_THUMB_WORKER_ENDED, 0, m_listing);
    // self goes last: the grid may have let go of this worker long ago.
    (void)self;
}

void ThumbWorker::list()
{
    m_mailbox->post(MSG_THUMB_LIST_STARTED, 0, m_listing);
    auto files = std::make_unique<ThumbFiles>();
    files->listing = m_listing;
    // Read with the system's own calls: each entry is looked at by its bytes,
    // so a name that is not valid UTF-8 still gets its cell (and, as it
    // cannot be opened by its decoded name, its placeholder).
    const QString folder = m_folder.endsWith(QLatin1Char('/')) ? m_folder : m_folder + QLatin1Char('/');
    if (DIR* dir = opendir(QFile::encodeName(m_folder).constData())) {
        while (const dirent* entry = readdir(dir)) {
            const QString name = QFile::decodeName(entry->d_name);
            if (!IsListedTargetFile(name)) continue;
            // Only regular files, also through links. An entry stat cannot
            // see (gone since, a loop of links) keeps its cell and ends in the
            // placeholder.
            struct stat info {};
            if (fstatat(dirfd(dir), entry->d_name, &info, 0) == 0 && !S_ISREG(info.st_mode)) continue;
            files->files << folder + name;
            if (cancelled()) break;
        }
        closedir(dir);
    }
    std::sort(files->files.begin(), files->files.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    if (cancelled()) return;
    m_mailbox->post(MSG_THUMB_FILES, 0, std::move(files));
}
