#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// A name says nothing about what is behind it: a FIFO, a socket, a device or
// a link to /dev/zero can carry any extension. Targets are read only from
// regular files, and never past the size stat gave when the file was opened.

// Whether path, after links, names a regular file.
bool IsRegularFile(const QString& path);

// Opens path read-only into file when, after links, it is a regular file.
// Anything else is refused without being read; a FIFO is not waited on.
bool OpenRegularFile(const QString& path, QFile& file);

// At most max bytes from the file's position, never past its size.
QByteArray ReadBounded(QFile& file, qint64 max);
