// The folder tree's expansion on the window's thread: the time to open the
// tree down to a folder (each level read, each child checked for subfolders
// and watched), for real system folders and a made-up folder of 5000
// subfolders. See README.md for the recorded results.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

#include "BenchTiming.h"
#include "thumbnails/DriveView.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CDriveView::SetDriveServices([] { return QList<DriveRoot>{{QStringLiteral("/"), DriveKind::Fixed, false}}; },
                                 [](const QString&) { return std::optional<quint64>(); });
    QTemporaryDir wide;
    for (int i = 0; i < 5000; ++i) QDir(wide.path()).mkpath(QStringLiteral("f%1/sub").arg(i, 4, 10, QLatin1Char('0')));
    const QStringList folders{QStringLiteral("/usr/share"), QStringLiteral("/usr/share/doc"),
                              QStringLiteral("/usr/lib/x86_64-linux-gnu"), wide.path()};
    std::printf("| folder | subfolders | open down to it and expand, median of 5 (ms) |\n|---|---|---|\n");
    for (const QString& folder : folders) {
        const int count = int(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
        const double ms = medianMs(5, [&] {
            CDriveView view;
            view.AddDrives();
            if (!view.SelectPath(folder, false)) std::fprintf(stderr, "not found: %s\n", qPrintable(folder));
        });
        std::printf("| %s | %d | %.1f |\n", qPrintable(folder == wide.path() ? QStringLiteral("temporary, made up")
                                                                           : folder),
                    count, ms);
    }
    return 0;
}
