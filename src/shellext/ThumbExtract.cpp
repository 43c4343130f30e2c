#include "shellext/ThumbExtract.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "document/PictureImage.h"
#include "document/TargetImage.h"
#include "platform/DeviceContext.h"
#include "platform/RegularFile.h"
#include "wmf/WmfFormat.h"

namespace {

struct ScreenResolution {
    int dpiX = 96;
    int dpiY = 96;
};

// The counterpart of a "DISPLAY" device context: the screen's resolution.
// A host that runs a Qt GUI lends its screen. Otherwise a picture without
// text is drawn with no GUI at all, at the 96 dpi an offscreen screen has,
// and only a picture that draws text starts a Qt GUI on the offscreen
// platform for its fonts: starting one and reading the font database costs
// more than everything else in a thumbnail. That GUI is kept for the life of
// the process (its arguments live on the heap so an unloaded library leaves
// nothing dangling). A host with a non-GUI Qt application cannot give us one.
bool makeDisplay(ScreenResolution& display, bool needFonts)
{
    if (needFonts) {
        static std::once_flag once;
        std::call_once(once, [] {
            if (QCoreApplication::instance()) return;
            static int* argc = new int(3);
            static char** argv = new char* [4] { strdup("VNTThumbView"), strdup("-platform"), strdup("offscreen"), nullptr };
            new QGuiApplication(*argc, argv);
        });
        if (!qGuiApp) return false;
    }
    if (const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr) {
        display.dpiX = qRound(screen->logicalDotsPerInchX());
        display.dpiY = qRound(screen->logicalDotsPerInchY());
    }
    return display.dpiX > 0 && display.dpiY > 0;
}

void reportReadError(const QByteArray& path)
{
    // The desktop's thumbnailing runs unattended: the message goes to standard
    // error instead of a message box nobody could answer.
    std::fprintf(stderr, "File Read Error: Error Reading File:  %s\n\nCheck file format.\n", path.constData());
}

enum class Load { Ok, Failed, ReadError };

Load loadPicture(const QByteArray& path, PictureImage& picture)
{
    const QByteArray ext = PathExtension(path).toUpper();
    const bool targetDocument = ext == ".VNT";
    if (!targetDocument && ext != ".WMF") return Load::Failed;

    QFile file;
    if (!OpenRegularFile(QFile::decodeName(path), file)) return Load::Failed;
    if (targetDocument) {
        unsigned char header[TARGET_HEADER_SIZE];
        const qint64 got = file.read(reinterpret_cast<char*>(header), TARGET_HEADER_SIZE);
        if (got < 0 || file.error() != QFileDevice::NoError) return Load::ReadError;
        if (got != TARGET_HEADER_SIZE || !CheckTargetHeader(header, TARGET_HEADER_SIZE, false)) return Load::Failed;
    }
    if (picture.Load(file)) return Load::Ok;
    return file.error() != QFileDevice::NoError ? Load::ReadError : Load::Failed;
}

}  // namespace

QByteArray PathExtension(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    return dot > slash ? path.mid(dot) : QByteArray();
}

bool ExtractThumbnail(const QByteArray& path, QSize requested, QImage& bitmap)
{
    // Sizes beyond any desktop's largest thumbnail would only ask for memory.
    if (requested.width() > MAX_THUMBNAIL_SIDE || requested.height() > MAX_THUMBNAIL_SIDE) return false;
    PictureImage picture;
    Load result;
    try {
        result = loadPicture(path, picture);
    } catch (const std::bad_alloc&) {
        result = Load::ReadError;
    }
    if (result == Load::ReadError) reportReadError(path);
    if (result != Load::Ok) return false;
    ScreenResolution display;
    if (!makeDisplay(display, picture.picture()->drawsText())) return false;

    // The picture holder sizes, fills and draws the bitmap; the context only
    // lends it the display's resolution.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    DeviceContext dc(&painter, display.dpiX, display.dpiY);
    QImage out;
    if (!picture.MakeBitmap(dc, out, requested.width(), requested.height()) || out.isNull()) return false;
    bitmap = std::move(out);
    return true;
}
