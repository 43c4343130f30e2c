#include <QApplication>

#include <cstdio>

#include "app/TargetApp.h"
#include "thumbnails/ContactSheet.h"
#include "print/CommandLine.h"
#include "view/CommandLinePrint.h"

int main(int argc, char** argv)
{
    // The command line is read before any application object exists: the
    // answers and the printers need no display, and only the window needs one.
    const CommandLine line = ParseCommandLine(CommandLineArguments(argc, argv));
    if (line.command == CommandLineCommand::Help) {
        std::fputs(qPrintable(CommandLineUsage()), stdout);
        return 0;
    }
    if (line.command == CommandLineCommand::Version) {
        std::fputs("Vantric " VANTRIC_VERSION "\n", stdout);
        return 0;
    }
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "vantric: %s\n%s", qPrintable(line.error), qPrintable(CommandLineUsage()));
        return COMMAND_LINE_USAGE_ERROR;
    }
    // Qt would abort without a display: the window says why it cannot open.
    if (line.command == CommandLineCommand::OpenWindow && !DisplayOrPlatformChosen()
        && !line.qtOptions.contains(QLatin1String("platform"))) {
        std::fputs("vantric: the window needs a display, and none is set (DISPLAY or WAYLAND_DISPLAY).\n"
                   "Printing needs none: vantric --help lists the commands.\n",
                   stderr);
        return 1;
    }
    // Either selects Qt's offscreen platform when there is no display.
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
