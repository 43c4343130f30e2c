#include <QApplication>

#include "app/TargetApp.h"
#include "thumbnails/ContactSheet.h"
#include "view/CommandLinePrint.h"

int main(int argc, char** argv)
{
    const bool sheet = WantsContactSheetPrint(argc, argv);
    const bool print = !sheet && WantsCommandLinePrint(argc, argv);
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantric"));
    // The desktop entry, so the desktop shows its icon for our windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("vantric"));
    if (sheet) return RunContactSheetPrint(QApplication::arguments());
    if (print) return RunCommandLinePrint(QApplication::arguments());

    TargetApp app;
    TargetApp::InstallMessageBoxes();
    if (!app.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
