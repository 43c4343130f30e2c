#include "thumbnails/DriveList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStorageInfo>

#include <sys/statvfs.h>

#include <algorithm>

namespace {

// Whether the block device (or the disk it is a partition of) says it is
// removable.
bool isRemovableDevice(const QByteArray& device)
{
    if (!device.startsWith("/dev/")) return false;
    QString name = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath().section(QLatin1Char('/'), -1);
    if (name.isEmpty()) return false;
    const QString block = QStringLiteral("/sys/class/block/") + name;
    for (const QString& flag : {block + QStringLiteral("/removable"), block + QStringLiteral("/../removable")}) {
        QFile f(flag);
        if (f.open(QIODevice::ReadOnly)) return f.readAll().trimmed() == "1";
    }
    return false;
}

}  // namespace

std::optional<DriveKind> ClassifyMount(const QString& root, const QByteArray& fsType, const QByteArray& device)
{
    // The system's own mounts are no drives of the user's.
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap"}) {
        const QString s = QLatin1String(system);
        if ((root == s || root.startsWith(s + QLatin1Char('/'))) && !root.startsWith(QLatin1String("/run/media/")))
            return std::nullopt;
    }
    static const QList<QByteArray> optical = {"iso9660", "udf"};
    static const QList<QByteArray> remote = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs",
                                             "davfs", "fuse.rclone", "afs", "ceph", "glusterfs", "9p"};
    static const QList<QByteArray> ram = {"tmpfs", "ramfs"};
    if (optical.contains(fsType)) return DriveKind::Optical;
    if (remote.contains(fsType)) return DriveKind::Remote;
    if (ram.contains(fsType)) return DriveKind::RamDisk;
    if (device.startsWith("/dev/fd") || isRemovableDevice(device)) return DriveKind::Removable;
    return std::nullopt;
}

QList<DriveRoot> MountedDrives()
{
    QList<DriveRoot> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root == QLatin1String("/") || !QFileInfo(root).isDir()) continue;
        const std::optional<DriveKind> kind = ClassifyMount(root, volume.fileSystemType(), volume.device());
        if (!kind) continue;
        if (std::any_of(drives.cbegin(), drives.cend(), [&](const DriveRoot& d) { return d.path == root; })) continue;
        drives.append({root, *kind, volume.device().startsWith("/dev/fd")});
    }
    std::sort(drives.begin(), drives.end(), [](const DriveRoot& a, const DriveRoot& b) { return a.path < b.path; });
    drives.prepend({QStringLiteral("/"), DriveKind::Fixed, false});
    return drives;
}

std::optional<quint64> MediumIdentity(const QString& root)
{
    // An unmounted mount point is a plain folder of the file system above.
    const QStorageInfo volume(root);
    if (!volume.isValid() || !volume.isReady() || volume.rootPath() != root) return std::nullopt;
    struct statvfs info {};
    if (statvfs(QFile::encodeName(root).constData(), &info) != 0) return std::nullopt;
    return quint64(info.f_fsid);
}

QPixmap DriveImage(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor dark(64, 64, 64);
    const auto driveBody = [&](const QColor& face) {
        p.setPen(dark);
        p.setBrush(face);
        p.drawRect(1, 6, 13, 6);
        p.setPen(Qt::green);
        p.drawPoint(12, 10);
    };
    switch (index) {
    case 0:  // hard disk
        driveBody(QColor(192, 192, 192));
        break;
    case 1:  // floppy drive with its diskette
        driveBody(QColor(192, 192, 192));
        p.setPen(dark);
        p.setBrush(QColor(40, 40, 120));
        p.drawRect(4, 1, 7, 6);
        break;
    case 2:  // CD-ROM drive
        driveBody(QColor(192, 192, 192));
        p.setPen(dark);
        p.setBrush(QColor(230, 230, 250));
        p.drawEllipse(4, 0, 8, 8);
        p.drawPoint(8, 4);
        break;
    case 3:  // network drive
        driveBody(QColor(192, 192, 192));
        p.setPen(QPen(dark, 1));
        p.drawLine(7, 12, 7, 15);
        p.drawLine(2, 15, 13, 15);
        break;
    case 4:  // plain drive
        driveBody(QColor(160, 200, 160));
        break;
    case 5:  // closed folder
    case 6:  // open folder
        p.setPen(QColor(128, 96, 0));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(1, 3, 5, 2);
        if (index == 5) {
            p.drawRect(1, 4, 13, 9);
        } else {
            p.drawRect(1, 4, 11, 9);
            p.setBrush(QColor(255, 225, 120));
            p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(12, 13), QPoint(1, 13)}));
        }
        break;
    case 7:  // removable drive
        driveBody(QColor(220, 220, 220));
        p.setPen(dark);
        p.drawLine(4, 9, 10, 9);
        break;
    default:
        break;
    }
    return pixmap;
}
