// vantric-thumbnailer: the desktop's thumbnailer for target documents.
//
//   vantric-thumbnailer -s SIZE INPUT OUTPUT
//
// Loads VNTThumbView the way a shell does (dlopen, DllGetClassObject, the
// class factory, IPersistFile::Load, IExtractImage::GetLocation and Extract)
// and writes the bitmap as a PNG carrying the freedesktop thumbnail keys
// Thumb::URI and Thumb::MTime. INPUT is a path or a file:// URI. The exit
// status is 0 only when the PNG was written.
//
//   vantric-thumbnailer --register | --unregister
//
// calls the library's DllRegisterServer or DllUnregisterServer, as regsvr32
// does on Windows: the thumbnailer for this user, in $XDG_DATA_HOME.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QUrl>

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "shellext/ComTypes.h"
#include "shellext/ShellBitmap.h"

#ifndef VANTRIC_BIN_TO_LIB
#define VANTRIC_BIN_TO_LIB "../lib/vantric"
#endif

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

// Beside the program in the build tree, in the library folder once installed.
void* openServer()
{
    const QDir dir(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath());
    for (const QString& path : {dir.filePath(QStringLiteral("libVNTThumbView.so")),
                                dir.filePath(QString::fromLatin1(VANTRIC_BIN_TO_LIB) + QStringLiteral("/libVNTThumbView.so"))}) {
        if (!QFileInfo::exists(path)) continue;
        // Lazy binding: of the Qt functions the library's code calls, a thumbnail
        // needs only a few, and resolving all of them up front costs time.
        if (void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL)) return handle;
        std::fprintf(stderr, "vantric-thumbnailer: %s\n", dlerror());
    }
    return nullptr;
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

}  // namespace

// No Qt application is made here: the library starts a Qt GUI only for a
// picture that draws text, and most of a thumbnail's time is that start.
int main(int argc, char** argv)
{
    // Thumbnails are drawn off screen: no display connection, ever.
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.size() == 1 && (args[0] == QLatin1String("--register") || args[0] == QLatin1String("--unregister"))) {
        void* server = openServer();
        if (!server) return fail("cannot load libVNTThumbView.so");
        const char* entry = args[0] == QLatin1String("--register") ? "DllRegisterServer" : "DllUnregisterServer";
        auto call = reinterpret_cast<PFN_DllRegisterServer>(dlsym(server, entry));
        const HRESULT hr = call ? call() : E_FAIL;
        if (hr != S_OK) return fail(entry, QStringLiteral("0x%1").arg(quint32(hr), 8, 16, QLatin1Char('0')));
        return 0;
    }
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

    void* server = openServer();
    if (!server) return fail("cannot load libVNTThumbView.so");
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

    // Every object is released, so a shell could unload the library now. This
    // process ends instead: unloading would buy nothing, and Qt may still hold
    // font and type registrations made from the library's code.
    auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(server, "DllCanUnloadNow"));
    if (canUnload && canUnload() != S_OK) std::fprintf(stderr, "vantric-thumbnailer: the server still holds objects\n");
    if (!written) {
        QFile::remove(output);
        return fail("cannot write", output);
    }
    return 0;
}
