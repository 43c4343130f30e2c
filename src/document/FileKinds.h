#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <span>

enum TargetImageKind {
    TARGET_KIND_NONE = 0,
    TARGET_KIND_PICTURE = 1,   // ".vnt", ".wmf", and the drawings ".pdf", ".svg", ".svgz"
    TARGET_KIND_RASTER = 2,    // ".bmp", ".jpg", ".jpeg", ".png"
    TARGET_KIND_DESIGNER = 3,  // ".rgd" or a new design
};

// How a file kind is read.
enum class FileLoader { TargetDocument, Design, Metafile, Jpeg, Bmp, Pdf, Svg, Png };

// One kind of file the program opens: adding a kind is one row in
// FileKinds.def and one loader.
struct FileKind {
    const char* extension;  // ".vnt", lower case, with its dot
    FileLoader loader;
    int targetKind;         // TARGET_KIND_PICTURE, _RASTER or _DESIGNER
    const char* filterName; // its own filter in the open dialog; "" for none
    bool offered;           // the open dialog and the thumbnail grid take it
    const char* mimeType;
};

std::span<const FileKind> FileKinds();
// The kind of an extension (with its dot, case ignored); null for none.
const FileKind* FindFileKind(const QString& extension);
// The kind of a path by its extension; null for none.
const FileKind* FileKindOfPath(const QString& path);

// An open dialog's filter: its name as shown and its patterns ("*.svg;*.svgz").
struct FileKindFilter {
    QString name;
    QString pattern;
};
// "Image Files" with every offered extension, then one filter per name in
// the table's order.
QList<FileKindFilter> FileKindFilters();
