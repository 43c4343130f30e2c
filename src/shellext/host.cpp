// vantric-thumbnail-host: the desktop thumbnailer's worker.
//
//   vantric-thumbnail-host -s SIZE INPUT OUTPUT
//
// Loads VNTThumbView the way a shell does (dlopen, DllGetClassObject, the
// class factory, IPersistFile::Load, IExtractImage::GetLocation and Extract)
// and writes the bitmap as a PNG carrying the freedesktop thumbnail keys
// Thumb::URI and Thumb::MTime. INPUT is a path or a file:// URI. The exit
// status is 0 only when the PNG was written.
//
//   vantric-thumbnail-host --register | --unregister
//
// calls the library's DllRegisterServer or DllUnregisterServer, as regsvr32
// does on Windows: the thumbnailer for this user, in $XDG_DATA_HOME.
//
//   vantric-thumbnail-host --serve SOCKET
//
// stays, with the library loaded and the fonts read, and runs the first
// form for each request vantric-thumbnailer sends (see HostProtocol.h); it
// leaves when idle or when its socket is removed.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QUrl>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shellext/ComTypes.h"
#include "shellext/HostProtocol.h"
#include "shellext/ShellBitmap.h"

namespace {

// Qt's PNG quality 80 is zlib level 1.
constexpr int PNG_QUALITY = 80;

int fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "vantric-thumbnailer: %s%s%s\n", what, detail.isEmpty() ? "" : ": ", qPrintable(detail));
    return 1;
}

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    void** out() { return reinterpret_cast<void**>(&p); }
};

// The library sits beside this program, in the build tree and once installed.
void* openServer()
{
    const QDir dir(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("libVNTThumbView.so")));
    // Lazy binding: of the Qt functions the library's code calls, a thumbnail
    // needs only a few, and resolving all of them up front costs time.
    void* handle = dlopen(path.constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) std::fprintf(stderr, "vantric-thumbnailer: %s\n", dlerror());
    return handle;
}

// The shell's road through the server; the bitmap on success, else null.
HBITMAP extract(void* server, const QString& path, int size)
{
    auto getClassObject = reinterpret_cast<PFN_DllGetClassObject>(dlsym(server, "DllGetClassObject"));
    if (!getClassObject) return nullptr;
    ComPtr<IClassFactory> factory;
    if (getClassObject(CLSID_VNTView, IID_IClassFactory, factory.out()) != S_OK) return nullptr;
    ComPtr<IPersistFile> file;
    if (factory.p->CreateInstance(nullptr, IID_IPersistFile, file.out()) != S_OK) return nullptr;
    if (file.p->Load(reinterpret_cast<LPCOLESTR>(path.utf16()), 0) != S_OK) return nullptr;
    ComPtr<IExtractImage> extractor;
    if (file.p->QueryInterface(IID_IExtractImage, extractor.out()) != S_OK) return nullptr;
    char16_t location[1] = {0};
    DWORD priority = 0, flags = 0;
    const SIZE wanted{size, size};
    if (extractor.p->GetLocation(location, 1, &priority, &wanted, 32, &flags) != S_OK) return nullptr;
    HBITMAP bitmap = nullptr;
    return extractor.p->Extract(&bitmap) == S_OK ? bitmap : nullptr;
}

// The thumbnail command: "-s SIZE INPUT OUTPUT" or "INPUT OUTPUT".
int runCommand(void* server, QStringList args)
{
    int size = 128;
    if (args.size() == 4 && (args[0] == QLatin1String("-s") || args[0] == QLatin1String("--size"))) {
        bool ok = false;
        size = args[1].toInt(&ok);
        if (!ok || size <= 0) return fail("the size must be a positive number", args[1]);
        args = args.mid(2);
    }
    if (args.size() != 2)
        return fail("usage: vantric-thumbnailer -s SIZE INPUT OUTPUT | --register | --unregister");

    const QUrl url(args[0]);
    const QString input = QFileInfo(url.isLocalFile() ? url.toLocalFile() : args[0]).absoluteFilePath();
    const QString output = args[1];

    HBITMAP bitmap = extract(server, input, size);
    if (!bitmap) return fail("no thumbnail for", input);

    // A thumbnail has no transparency: three bytes a pixel, and the fast end
    // of zlib's levels, which on these drawings also gives the smaller file.
    QImage image = ImageOfBitmap(bitmap).convertToFormat(QImage::Format_RGB888);
    DeleteBitmap(bitmap);
    image.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(QUrl::fromLocalFile(input).toEncoded()));
    // The modification time straight from stat: a QDateTime would read the
    // time zone database only to be turned back into seconds.
    struct stat info {};
    if (stat(QFile::encodeName(input).constData(), &info) != 0) return fail("cannot read", input);
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(qint64(info.st_mtime)));
    image.setText(QStringLiteral("Software"), QStringLiteral("vantric-thumbnailer"));
    // PNG is built into Qt: no search of the image format plugins, each of
    // which would be loaded only to be asked what it can write.
    QCoreApplication::setLibraryPaths({});
    const bool written = image.save(output, "PNG", PNG_QUALITY);

    // Every object is released, so a shell could unload the library now. It
    // stays loaded all the same: a host serves the next request with it, a
    // single command ends, and Qt may still hold font and type registrations
    // made from the library's code.
    auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(server, "DllCanUnloadNow"));
    if (canUnload && canUnload() != S_OK) std::fprintf(stderr, "vantric-thumbnailer: the server still holds objects\n");
    if (!written) {
        QFile::remove(output);
        return fail("cannot write", output);
    }
    return 0;
}

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Answers one request: ACCEPTED, the command's messages, the end mark. The
// command runs here, in the client's working folder, with standard error on
// the connection, and on a thread of its own: Qt keeps font engines and glyph
// caches per thread, and what earlier thumbnails left there would shift the
// antialiasing of text, so each request starts with none, as a new process
// would. One that runs past WORK_SECONDS ends the host, and its client
// reports the thumbnail as not made.
void answer(int connection, void* server)
{
    if (!thumbhost::WriteAll(connection, &thumbhost::ACCEPTED, 1)) return;
    // The client sends its request as soon as it connects; one that does not
    // must not hold up the others for long.
    const timeval patience{2, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    std::string request, folder;
    std::vector<std::string> fields;
    const int savedError = dup(STDERR_FILENO);
    dup2(connection, STDERR_FILENO);
    int status = 1;
    if (!thumbhost::ReadAll(connection, request, thumbhost::MAX_REQUEST) ||
        !thumbhost::DecodeRequest(request, folder, fields)) {
        fail("the thumbnail request was not understood");
    } else if (chdir(folder.c_str()) != 0) {
        fail("cannot work in", QFile::decodeName(folder.c_str()));
    } else {
        QStringList args;
        for (const std::string& field : fields) args << QString::fromLocal8Bit(field.c_str());
        alarm(thumbhost::WORK_SECONDS);
        // An exception thrown on the request's thread would end the host and
        // every request after it: it ends this request with a message instead.
        std::thread([&] {
            try {
                status = runCommand(server, args);
            } catch (const std::exception& e) {
                status = fail("the thumbnail failed:", QString::fromLocal8Bit(e.what()));
            } catch (...) {
                status = fail("the thumbnail failed");
            }
        }).join();
        alarm(0);
    }
    std::fflush(stderr);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    (void)!chdir("/");  // out of the client's folder, which may be unmounted next
    const char end[2] = {'\0', status == 0 ? thumbhost::WRITTEN : thumbhost::NOT_WRITTEN};
    thumbhost::WriteAll(connection, end, sizeof end);
}

bool sameFile(const char* path, const struct stat& known)
{
    struct stat now {};
    return stat(path, &now) == 0 && now.st_dev == known.st_dev && now.st_ino == known.st_ino;
}

// The resident host: one per user, as a second one finds the lock taken and
// leaves at once. It answers requests one at a time, in this process, where
// Qt, the library and the font database are ready: a worker forked for each
// request spent more time copying pages than making the thumbnail.
int serve(const QByteArray& socketPath, void* server)
{
    const int lock = open(thumbhost::LockPath(socketPath.toStdString()).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0) return 0;
    unlink(socketPath.constData());
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (listener < 0 || size_t(socketPath.size()) >= sizeof address.sun_path) return 1;
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()) + 1);
    const mode_t mask = umask(077);
    const bool bound = bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    umask(mask);
    struct stat mine {};
    if (!bound || listen(listener, 64) != 0 || stat(socketPath.constData(), &mine) != 0) return 1;
    signal(SIGPIPE, SIG_IGN);
    signal(SIGALRM, SIG_DFL);
    if (chdir("/") != 0) return 1;
    QFontDatabase::families();  // read once, before the first request

    double lastRequest = seconds();
    for (;;) {
        pollfd ready{listener, POLLIN, 0};
        if (poll(&ready, 1, 1000) > 0 && (ready.revents & POLLIN)) {
            const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            ucred peer {};
            socklen_t length = sizeof peer;
            if (connection >= 0 && getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
                peer.uid == getuid()) {
                answer(connection, server);
                lastRequest = seconds();
            }
            if (connection >= 0) close(connection);
        }
        // Gone with the runtime folder, or replaced: this host is no longer the one.
        if (!sameFile(socketPath.constData(), mine)) break;
        if (seconds() - lastRequest > thumbhost::IDLE_SECONDS) {
            unlink(socketPath.constData());
            break;
        }
    }
    close(listener);
    return 0;
}

}  // namespace

// The command form makes no Qt application here: the library starts a Qt GUI
// only for a picture that draws text, and most of a thumbnail's time is that
// start. The host makes one at once, for all the thumbnails it will serve.
int main(int argc, char** argv)
{
    // Thumbnails are drawn off screen: no display connection, ever.
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const bool serving = args.size() == 2 && args[0] == QLatin1String("--serve");
    if (serving) {
        static int guiArgc = 1;
        new QGuiApplication(guiArgc, argv);
        // Every plugin the host needs is loaded: no request searches for more.
        QCoreApplication::setLibraryPaths({});
    }
    void* server = openServer();
    if (!server) return fail("cannot load libVNTThumbView.so");
    if (serving) return serve(QFile::encodeName(args[1]), server);
    if (args.size() == 1 && (args[0] == QLatin1String("--register") || args[0] == QLatin1String("--unregister"))) {
        const char* entry = args[0] == QLatin1String("--register") ? "DllRegisterServer" : "DllUnregisterServer";
        auto call = reinterpret_cast<PFN_DllRegisterServer>(dlsym(server, entry));
        const HRESULT hr = call ? call() : E_FAIL;
        if (hr != S_OK) return fail(entry, QStringLiteral("0x%1").arg(quint32(hr), 8, 16, QLatin1Char('0')));
        return 0;
    }
    return runCommand(server, args);
}
