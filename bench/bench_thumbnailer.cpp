// The desktop thumbnailer end to end: for every ".vnt" and ".wmf" among the
// shipped targets and the metafile corpus, the time of one
// `vantric-thumbnailer -s 256 FILE OUT.png` process as the desktop runs it,
// median of three: through the thumbnail host, which the first run starts
// (start, hand-over, decode, draw, PNG write, answer, exit), and alone, with
// no runtime folder (start, Qt, library load, decode, draw, PNG write,
// exit). Beside them the time of `gdk-pixbuf-thumbnailer -s 256` on a PNG of
// the same pixel size (our own output), the desktop's cheapest thumbnailer;
// and, to tell the work from the process around it, the library's Extract
// alone (Load, GetLocation, Extract through its exports, in this process).
// Last, the first thumbnail with no host running, which starts one.
//
//   build/bench/bench_thumbnailer [SIZE]
#include <QGuiApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

#include <dlfcn.h>

#include "BenchTiming.h"
#include "shellext/ComTypes.h"
#include "shellext/ShellBitmap.h"

namespace {

// runtime: the $XDG_RUNTIME_DIR to give it; empty for none.
bool run(const QString& program, const QStringList& args, const QString& runtime = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    p.setProcessEnvironment(env);
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList targets()
{
    QStringList files;
    const QStringList roots = {QStringLiteral(VANTRIC_SOURCE_DIR "/data/Targets/My Targets"),
                               QStringLiteral(VANTRIC_CORPUS_DIR "/wmf")};
    for (const QString& root : roots) {
        QDirIterator it(root, {"*.vnt", "*.VNT", "*.wmf", "*.WMF"}, QDir::Files, QDirIterator::Subdirectories);
        QStringList found;
        while (it.hasNext()) found << it.next();
        found.sort();
        files += found;
    }
    return files;
}

// One thumbnail through the library's exports; false when none was made.
bool extractInProcess(PFN_DllGetClassObject getClassObject, const QString& file, int size)
{
    IClassFactory* factory = nullptr;
    if (getClassObject(CLSID_VNTView, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) return false;
    IPersistFile* view = nullptr;
    factory->CreateInstance(nullptr, IID_IPersistFile, reinterpret_cast<void**>(&view));
    factory->Release();
    if (!view) return false;
    IExtractImage* extractor = nullptr;
    view->QueryInterface(IID_IExtractImage, reinterpret_cast<void**>(&extractor));
    view->Load(reinterpret_cast<LPCOLESTR>(file.utf16()), 0);
    DWORD priority = 0, flags = 0;
    const SIZE wanted{size, size};
    extractor->GetLocation(nullptr, 0, &priority, &wanted, 32, &flags);
    HBITMAP bitmap = nullptr;
    const bool made = extractor->Extract(&bitmap) == S_OK;
    if (made) DeleteBitmap(bitmap);
    extractor->Release();
    view->Release();
    return made;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int size = argc > 1 ? std::atoi(argv[1]) : 256;
    const QString ours = QStringLiteral(VNT_THUMBNAILER);
    const QString gdk = QStandardPaths::findExecutable(QStringLiteral("gdk-pixbuf-thumbnailer"));
    void* server = dlopen(VNT_THUMBVIEW_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    auto getClassObject = server ? reinterpret_cast<PFN_DllGetClassObject>(dlsym(server, "DllGetClassObject")) : nullptr;
    if (!getClassObject) {
        std::fprintf(stderr, "cannot load %s\n", VNT_THUMBVIEW_LIBRARY);
        return 1;
    }
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out.png"), gdkOut = tmp.filePath("gdk.png");

    QTemporaryDir runtime;  // the host leaves when this folder goes
    const QString sizeArg = QString::number(size);
    std::printf("| file | thumbnail | through the host ms | alone ms | gdk-pixbuf-thumbnailer ms | Extract alone ms |\n"
                "|---|---|---|---|---|---|\n");
    std::vector<double> hostAll, aloneAll, gdkAll, extractAll;
    int files = 0, made = 0, hostOver50 = 0, aloneOver50 = 0, hostSlower = 0;
    for (const QString& file : targets()) {
        ++files;
        bool ok = true;
        const double hostMs = medianMs(3, [&] { ok = run(ours, {"-s", sizeArg, file, out}, runtime.path()) && ok; });
        const double aloneMs = medianMs(3, [&] { ok = run(ours, {"-s", sizeArg, file, out}) && ok; });
        const QString name = QDir(QStringLiteral(VANTRIC_CORPUS_DIR)).relativeFilePath(file).startsWith("..")
                                 ? QFileInfo(file).fileName() : QDir(QStringLiteral(VANTRIC_CORPUS_DIR)).relativeFilePath(file);
        if (!ok) {
            std::printf("| %s | none | %.1f | %.1f | - | - |\n", qPrintable(name), hostMs, aloneMs);
            continue;
        }
        ++made;
        hostAll.push_back(hostMs);
        aloneAll.push_back(aloneMs);
        hostOver50 += hostMs > 50;
        aloneOver50 += aloneMs > 50;
        const QSize pixels = QImageReader(out).size();
        double gdkMs = -1;
        if (!gdk.isEmpty()) {
            gdkMs = medianMs(3, [&] { run(gdk, {"-s", sizeArg, out, gdkOut}); });
            gdkAll.push_back(gdkMs);
            hostSlower += hostMs >= gdkMs;
        }
        const double extractMs = medianMs(3, [&] { extractInProcess(getClassObject, file, size); });
        extractAll.push_back(extractMs);
        std::printf("| %s | %dx%d | %.1f | %.1f | %.1f | %.1f |\n", qPrintable(name), pixels.width(), pixels.height(),
                    hostMs, aloneMs, gdkMs, extractMs);
    }
    // The first thumbnail of a session: each run in a runtime folder of its own, so each starts a host.
    const QString first = QStringLiteral(VANTRIC_SOURCE_DIR "/data/Targets/My Targets/25m Precision Pistol.vnt");
    const double firstMs = medianMs(5, [&] {
        QTemporaryDir fresh;
        run(ours, {"-s", sizeArg, first, out}, fresh.path());
    });
    auto slowest = [](const std::vector<double>& v) { return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end()); };
    std::printf("\nFiles: %d; thumbnails made: %d\n"
                "Through the host: median %.1f ms, slowest %.1f ms, over 50 ms: %d; not faster than gdk-pixbuf-thumbnailer: %d\n"
                "Alone: median %.1f ms, slowest %.1f ms, over 50 ms: %d\n"
                "gdk-pixbuf-thumbnailer: median %.1f ms, slowest %.1f ms\n"
                "Extract alone: median %.1f ms, slowest %.1f ms\n"
                "First thumbnail, starting the host (25m Precision Pistol.vnt, median of 5): %.1f ms\n",
                files, made, Median(hostAll), slowest(hostAll), hostOver50, hostSlower, Median(aloneAll),
                slowest(aloneAll), aloneOver50, Median(gdkAll), slowest(gdkAll), Median(extractAll), slowest(extractAll),
                firstMs);
    return 0;
}
