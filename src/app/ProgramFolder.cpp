#include "app/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char* const HELP_PAGE = "Vantric.htm";

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool holdsHelpPage(const QString& folder)
{
    return QFileInfo(QDir(folder).filePath(QLatin1String(HELP_PAGE))).isFile();
}

}  // namespace

ProgramFolder FindProgramFolder(const QString& workingDirectory, const QString& executableDirectory)
{
    const QString installed =
        executableDirectory.isEmpty() ? QString() : QDir::cleanPath(executableDirectory + QStringLiteral("/../share/vantric"));
    const bool haveInstalled = !installed.isEmpty() && holdsHelpPage(installed);
    if (haveInstalled && !holdsHelpPage(workingDirectory)) return {withSlash(installed), true};
    // Started in the installed folder itself (the desktop entry does so):
    // still the read-only one.
    const bool same = haveInstalled
                      && QFileInfo(workingDirectory).canonicalFilePath() == QFileInfo(installed).canonicalFilePath();
    return {withSlash(workingDirectory), same};
}

QString DefaultSaveFolder(const ProgramFolder& program, const QString& userDataFolder)
{
    if (!program.installed || userDataFolder.isEmpty()) return program.folder + QStringLiteral("Targets/My Targets/");
    const QString own = withSlash(userDataFolder) + QStringLiteral("vantric/Targets/");
    QDir().mkpath(own);
    return own;
}
