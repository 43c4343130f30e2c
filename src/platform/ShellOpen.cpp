#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/MessageBox.h"

namespace {

ShellServices& services()
{
    static ShellServices s;
    return s;
}

bool desktopOpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

QString desktopBrowserCommand()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                            QStringLiteral("text/html")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return QString();
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (id.isEmpty()) return QString();
    const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    if (entry.isEmpty()) return QString();
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return DesktopEntryExec(QString::fromUtf8(file.readAll()));
}

bool desktopRunCommand(const QString& commandLine)
{
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty()) return false;
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
}

bool isAddress(const QString& s)
{
    const QUrl url(s);
    // A scheme of one letter is a Windows drive, not an address.
    return url.isValid() && url.scheme().size() > 1 && !QFileInfo(s).isAbsolute();
}

}  // namespace

ShellServices SetShellServices(const ShellServices& s)
{
    ShellServices old = services();
    services() = s;
    return old;
}

int OpenWithShell(const QString& pathOrAddress, int showCmd)
{
    const ShellServices& s = services();
    auto openUrl = s.openUrl ? s.openUrl : desktopOpenUrl;
    auto browserCommand = s.defaultBrowserCommand ? s.defaultBrowserCommand : desktopBrowserCommand;
    auto runCommand = s.runCommand ? s.runCommand : desktopRunCommand;

    int result = SHELL_LAUNCH_OK;
    if (pathOrAddress.isEmpty()) {
        result = SE_ERR_FNF;
    } else if (isAddress(pathOrAddress)) {
        if (!openUrl(QUrl(pathOrAddress))) result = SE_ERR_NOASSOC;
    } else {
        const QFileInfo info(pathOrAddress);
        if (!info.exists()) result = QFileInfo(info.absolutePath()).isDir() ? SE_ERR_FNF : SE_ERR_PNF;
        else if (!info.isReadable()) result = SE_ERR_ACCESSDENIED;
        else if (!openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) result = SE_ERR_NOASSOC;
    }
    if (result > 32) return result;

    // The desktop could not open it: hand the path to the web browser.
    const QString command = browserCommand();
    if (command.isEmpty()) return result;
    return runCommand(BrowserCommandLine(command, pathOrAddress)) ? SHELL_LAUNCH_OK : result;
}

QString BrowserCommandLine(const QString& commandLine, const QString& path)
{
    static const char* const placeholders[] = {"%1", "%u", "%U", "%f", "%F"};
    int cut = -1;
    for (const char* p : placeholders) {
        const int at = int(commandLine.indexOf(QLatin1Char('"') + QLatin1String(p) + QLatin1Char('"')));
        if (at >= 0 && (cut < 0 || at < cut)) cut = at;
    }
    if (cut < 0) {
        for (const char* p : placeholders) {
            const int at = int(commandLine.indexOf(QLatin1String(p)));
            if (at >= 0 && (cut < 0 || at < cut)) cut = at;
        }
    }
    const QString head = cut < 0 ? commandLine : commandLine.left(cut);
    return head + QLatin1Char(' ') + path;
}

QString DesktopEntryExec(const QString& text)
{
    bool inEntry = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inEntry && line.startsWith(QLatin1String("Exec"))) {
            const int eq = int(line.indexOf(QLatin1Char('=')));
            if (eq >= 0 && line.left(eq).trimmed() == QLatin1String("Exec")) return line.mid(eq + 1).trimmed();
        }
    }
    return QString();
}

QString LaunchErrorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\n"
                              "were being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

QString LaunchErrorMessage(int code) { return QStringLiteral("Unable to open hyperlink:\n\n") + LaunchErrorText(code); }

void ReportLaunchError(int code)
{
    ShowMessage(LaunchErrorMessage(code), QStringLiteral("Vantric"), MsgButtons::Ok, MsgIcon::Warning);
}
