#include "app/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "document/FileKinds.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/PathParts.h"
#include "platform/Profile.h"

QList<FileFilter> OpenDialogFilters()
{
    QList<FileFilter> filters;
    for (const FileKindFilter& f : FileKindFilters()) filters.append({f.name, f.pattern});
    return filters;
}

FileFilter SaveDialogFilter() { return {QStringLiteral("Ringdesigner Files (*.rgd)"), QStringLiteral("*.rgd")}; }

QString QtFilterString(const FileFilter& filter)
{
    QStringList patterns = filter.pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Upper-case spellings too, since the file system is case sensitive
    // here and the extensions are not.
    const QStringList lower = patterns;
    for (const QString& p : lower) patterns.append(p.toUpper());
    return filter.name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

bool IsOpenDialogExtension(const QString& path)
{
    const QString ext = PathParts(path).GetExtension();
    const FileKind* kind = FindFileKind(ext);
    return kind && kind->offered;
}

QString InvalidExtensionMessage(const QString& path)
{
    return QStringLiteral("The file \"%1\" is not a valid image file.").arg(path);
}

QString InitialOpenFolder(const QString& programFolder)
{
    QString value;
    ReadProfileText(QStringLiteral("File Directory"), QStringLiteral("LastDir"), programFolder, &value);
    if (value.isEmpty()) return programFolder;
    if (!value.endsWith(QLatin1Char('/')) && !value.endsWith(QLatin1Char('\\'))) value += QLatin1Char('/');
    if (!QFileInfo(value).isDir()) return programFolder;
    if (!value.startsWith(programFolder, Qt::CaseSensitive)) return programFolder;
    return value;
}

bool OfferLastDir(const QString& folder, const QString& programFolder)
{
    // An unknown program folder holds nothing, rather than everything.
    if (programFolder.isEmpty() || !folder.startsWith(programFolder, Qt::CaseSensitive)) return false;
    WritePrivateProfileString(QStringLiteral("File Directory"), QStringLiteral("LastDir"), folder,
                              QLatin1String(PROFILE_FILE));
    return true;
}

QString ForceRgdExtension(const QString& path)
{
    const PathParts parts(path);
    if (parts.GetPath().isEmpty()) {
        // Too long to split: work on the text itself.
        const int slash = int(qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))));
        const int dot = int(path.lastIndexOf(QLatin1Char('.')));
        return (dot > slash ? path.left(dot) : path) + QStringLiteral(".rgd");
    }
    return parts.GetDrive() + parts.GetDirectory() + parts.GetFileName() + QStringLiteral(".rgd");
}

QString ReplaceFileQuestion(const QString& path)
{
    return QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path));
}

QString CommonDialogErrorText(int code)
{
    switch (code) {
    case 0x3001:
        return QStringLiteral("An attempt to subclass a list box failed because sufficient memory was not available.");
    case 0x3002: return QStringLiteral("A file name is invalid.");
    case 0x3003:
        return QStringLiteral("The buffer pointed to by the lpstrFile member of the OPENFILENAME structure is too "
                              "small for the file name specified by the user. The first two bytes of the lpstrFile "
                              "buffer contain an integer value specifying the size, in TCHARs, required to receive "
                              "the full name.");
    default: return QString();
    }
}

void ReportCommonDialogError(int code)
{
    const QString text = CommonDialogErrorText(code);
    if (!text.isEmpty())
        ShowMessage(text, QStringLiteral("ERROR: Common Dialog Error"), MsgButtons::Ok, MsgIcon::Warning);
}

FileDialogResult RunQtFileDialog(const FileDialogRequest& request, QWidget* parent)
{
    QFileDialog dialog(parent, request.title, request.folder);
    QStringList filters;
    for (const FileFilter& f : request.filters) filters.append(QtFilterString(f));
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & Ofn::ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                                                                    : QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!(request.flags & Ofn::OVERWRITEPROMPT)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted) return result;
    result.accepted = true;
    result.files = dialog.selectedFiles();
    result.accepted = !result.files.isEmpty();
    return result;
}
