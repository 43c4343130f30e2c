#include "platform/PathParts.h"

#include <QFile>

namespace {

// Bytes the text takes in the file system's encoding, without the zero.
int encodedSize(const QString& text) { return int(QFile::encodeName(text).size()); }

}  // namespace

void PathParts::Clear()
{
    m_path.clear();
    m_drive.clear();
    m_dir.clear();
    m_fname.clear();
    m_ext.clear();
}

bool PathParts::Set(const QString& path)
{
    Clear();
    if (encodedSize(path) >= MAX_PATH_LEN) return false;

    QString rest = path;
    QString drive;
    if (rest.size() >= 2 && rest.at(1) == QLatin1Char(':')) {
        drive = rest.left(2);
        rest = rest.mid(2);
    }
    const int lastSep = int(qMax(rest.lastIndexOf(QLatin1Char('\\')), rest.lastIndexOf(QLatin1Char('/'))));
    const QString dir = rest.left(lastSep + 1);
    const QString file = rest.mid(lastSep + 1);
    const int dot = int(file.lastIndexOf(QLatin1Char('.')));
    const QString fname = dot < 0 ? file : file.left(dot);
    const QString ext = dot < 0 ? QString() : file.mid(dot);
    if (encodedSize(drive) >= MAX_DRIVE || encodedSize(dir) >= MAX_DIR || encodedSize(fname) >= MAX_FNAME
        || encodedSize(ext) >= MAX_EXT)
        return false;
#if !defined(Q_OS_WIN)
    if (encodedSize(fname + ext) >= MAX_FNAME) return false;
#endif

    m_path = path;
    m_drive = drive;
    m_dir = dir;
    m_fname = fname;
    m_ext = ext;
    return true;
}
