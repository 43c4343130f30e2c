#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The rules of the open and save dialogs, kept apart from the dialogs.

struct FileFilter {
    QString name;     // "Vantric Files (*.vnt)"
    QString pattern;  // "*.vnt", several separated by ';'
};

// The open dialog's filters in their order, and the save dialog's one.
QList<FileFilter> OpenDialogFilters();
FileFilter SaveDialogFilter();
// The filter as QFileDialog reads it (its patterns separated by blanks);
// the dialog shows only the name.
QString QtFilterString(const FileFilter& filter);

// Whether the open dialog accepts the file: a kind of the file-kind table
// that the dialog offers, case ignored.
bool IsOpenDialogExtension(const QString& path);
QString InvalidExtensionMessage(const QString& path);

// The folder the open dialog starts in when this run has none yet: the
// stored "LastDir" when it still exists and lies inside the program folder,
// else the program folder (which ends with a separator).
QString InitialOpenFolder(const QString& programFolder);
// Stores the folder as "LastDir" when it lies inside the program folder;
// returns whether it did.
bool OfferLastDir(const QString& folder, const QString& programFolder);

// The save dialog's name: the extension becomes ".rgd" (added when missing).
QString ForceRgdExtension(const QString& path);
// The save dialog's question before it replaces an existing file.
QString ReplaceFileQuestion(const QString& path);

// The message of a common dialog's extended error code; empty when the
// code gets none (0 is a plain Cancel).
QString CommonDialogErrorText(int code);
void ReportCommonDialogError(int code);

// What a file dialog is asked and what it answers; the application runs
// QFileDialog, tests put their own answers in.
struct FileDialogRequest {
    bool open = true;
    QString title;
    QString folder;
    QString fileName;
    QList<FileFilter> filters;
    QString defaultSuffix;
    unsigned flags = 0;
};
struct FileDialogResult {
    bool accepted = false;
    QStringList files;
    int errorCode = 0;
};
using FileDialogRunner = std::function<FileDialogResult(const FileDialogRequest&)>;

// Runs QFileDialog for the request, owned by parent.
class QWidget;
FileDialogResult RunQtFileDialog(const FileDialogRequest& request, QWidget* parent);
