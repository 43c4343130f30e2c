#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

#include <optional>

// The kinds of file-system roots the folder tree shows at its top level.
enum class DriveKind { Fixed, Removable, Optical, Remote, RamDisk };

struct DriveRoot {
    QString path;                    // the mount point, "/" for the system root
    DriveKind kind = DriveKind::Fixed;
    bool answersMediaQuery = false;  // a floppy drive: drawn as one
};

// "/" as the fixed drive, then each mounted removable, optical, network or
// RAM file system in the order of their mount points. Other fixed file
// systems are reached through "/".
QList<DriveRoot> MountedDrives();

// The identity of the medium mounted at root (its file-system id), or none
// when nothing is mounted there.
std::optional<quint64> MediumIdentity(const QString& root);

// Kind of a mounted file system from its type and device; none for the
// fixed disks and the system's own pseudo file systems.
std::optional<DriveKind> ClassifyMount(const QString& root, const QByteArray& fsType, const QByteArray& device);

// The eight 16-pixel pictures of the tree, in their fixed order: hard disk,
// floppy, CD-ROM, network drive, RAM disk, closed folder, open folder,
// removable drive.
QPixmap DriveImage(int index);
