#pragma once

#include <QString>

#include <functional>

class QUrl;

// Opening a file or web address with the desktop's default handler. The
// result keeps the old rule: above 32 is success, 32 or less an error code
// (the codes of LaunchErrorText).
constexpr int SHELL_LAUNCH_OK = 42;
constexpr int SE_ERR_OOM = 0;
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_NOASSOC = 31;

// Asks the desktop to open the path or address; when that fails, starts the
// default web browser (the handler of text/html) with the path.
int OpenWithShell(const QString& pathOrAddress, int showCmd = 1);

// The explanation of a failed launch, without the "Unable to open
// hyperlink:" prefix.
QString LaunchErrorText(int code);
// The whole message: "Unable to open hyperlink:\n\n" and the explanation.
QString LaunchErrorMessage(int code);
// Shows the message (caption "Vantric", exclamation icon, OK). Callers
// sound the beep before.
void ReportLaunchError(int code);

// The browser's command line with the path in place of its argument: cut
// before the first quoted argument placeholder ("%1", or a desktop entry's
// "%u", "%U", "%f", "%F"), else before the first unquoted one, else whole;
// then one space and the path.
QString BrowserCommandLine(const QString& commandLine, const QString& path);
// The Exec line of a desktop entry's [Desktop Entry] group, or empty.
QString DesktopEntryExec(const QString& desktopEntryText);

// What OpenWithShell asks of the desktop; tests replace it.
struct ShellServices {
    std::function<bool(const QUrl&)> openUrl;          // QDesktopServices::openUrl
    std::function<QString()> defaultBrowserCommand;    // Exec line of the text/html handler
    std::function<bool(const QString&)> runCommand;    // start a command line detached
};
// Installs services (empty members keep the desktop's); returns the previous.
ShellServices SetShellServices(const ShellServices& services);
