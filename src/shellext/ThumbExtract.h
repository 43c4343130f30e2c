#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The thumbnailer's own reading and drawing of a target file, stricter than
// the program's: only ".vnt" and ".wmf", and of the target document markers
// not 0x1F. The picture is drawn on white into an image of the display's
// depth that keeps its proportions inside the requested size.
//
// path is the file name in the local 8-bit encoding, as the server stores it.
// A file that fails to read reports "Error Reading File" on standard error;
// every other failure is silent.
constexpr int MAX_THUMBNAIL_SIDE = 4096;
bool ExtractThumbnail(const QByteArray& path, QSize requested, QImage& bitmap);

// The extension of a path's last component with its dot ("" without one).
QByteArray PathExtension(const QByteArray& path);
