#include "shellext/Registration.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <dlfcn.h>

#include "shellext/ShellFiles.h"

namespace {

const char THUMBNAILER_FILE[] = "thumbnailers/vantric.thumbnailer";
const char MIME_PACKAGE_FILE[] = "mime/packages/vantric.xml";

QString dataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }

bool writeFile(const QString& path, const QByteArray& content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(content);
    return file.commit();
}

bool refreshMimeDatabase(const QString& mimeDir)
{
    return QProcess::execute(QStringLiteral("update-mime-database"), {mimeDir}) == 0;
}

// With no package left, the database in the folder describes nothing: remove
// all that update-mime-database made, then the folder if nothing else is in it.
void removeMimeDatabase(const QString& mimeDir)
{
    QDir dir(mimeDir);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry == QLatin1String("packages")) continue;
        const QString path = dir.filePath(entry);
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()) QDir(path).removeRecursively();
        else QFile::remove(path);
    }
    dir.rmdir(QStringLiteral("packages"));
    QDir().rmdir(mimeDir);
}

}  // namespace

QString FindThumbnailerProgram()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&FindThumbnailerProgram), &info) || !info.dli_fname) return QString();
    const QDir libDir = QFileInfo(QFile::decodeName(info.dli_fname)).absoluteDir();
    for (const QString& candidate : {libDir.filePath(QStringLiteral("vantric-thumbnailer")),
                                     libDir.filePath(QString::fromLatin1(VANTRIC_LIB_TO_BIN) + QStringLiteral("/vantric-thumbnailer"))}) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable()) return program.canonicalFilePath();
    }
    return QString();
}

HRESULT RegisterThumbnailer(const QString& program)
{
    if (program.isEmpty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    const QDir home(dataHome());
    QByteArray entry(VANTRIC_THUMBNAILER_ENTRY);
    entry.replace("@VANTRIC_THUMBNAILER@", QFile::encodeName(program));
    if (!writeFile(home.filePath(QLatin1String(MIME_PACKAGE_FILE)), QByteArray(VANTRIC_MIME_XML))
        || !writeFile(home.filePath(QLatin1String(THUMBNAILER_FILE)), entry))
        return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    return refreshMimeDatabase(home.filePath(QStringLiteral("mime"))) ? S_OK : E_FAIL;
}

HRESULT UnregisterThumbnailer()
{
    const QDir home(dataHome());
    const QString thumbnailer = home.filePath(QLatin1String(THUMBNAILER_FILE));
    const QString package = home.filePath(QLatin1String(MIME_PACKAGE_FILE));
    bool ok = true;
    for (const QString& file : {thumbnailer, package})
        if (QFileInfo::exists(file) && !QFile::remove(file)) ok = false;
    home.rmdir(QStringLiteral("thumbnailers"));

    const QString mimeDir = home.filePath(QStringLiteral("mime"));
    if (QFileInfo(mimeDir).isDir()) {
        const QStringList packages = QDir(mimeDir + QStringLiteral("/packages"))
                                         .entryList({QStringLiteral("*.xml")}, QDir::Files);
        if (packages.isEmpty()) removeMimeDatabase(mimeDir);
        else if (!refreshMimeDatabase(mimeDir)) ok = false;
    }
    return ok ? S_OK : E_FAIL;
}
