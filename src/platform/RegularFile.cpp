#include "platform/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

bool IsRegularFile(const QString& path)
{
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool OpenRegularFile(const QString& path, QFile& file)
{
    // The first look opens nothing, so a device is never touched; the
    // second, on the open descriptor, catches a name swapped in between.
    // O_NONBLOCK keeps a FIFO swapped in from holding the open.
    if (!IsRegularFile(path)) return false;
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        return false;
    }
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return false;
    }
    return true;
}

QByteArray ReadBounded(QFile& file, qint64 max)
{
    const qint64 left = file.size() - file.pos();
    if (left <= 0 || max <= 0) return QByteArray();
    return file.read(std::min(left, max));
}
