#include "platform/PathParts.h"

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
    if (path.size() >= MAX_PATH_LEN) return false;

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
    if (drive.size() >= MAX_DRIVE || dir.size() >= MAX_DIR || fname.size() >= MAX_FNAME || ext.size() >= MAX_EXT)
        return false;

    m_path = path;
    m_drive = drive;
    m_dir = dir;
    m_fname = fname;
    m_ext = ext;
    return true;
}
