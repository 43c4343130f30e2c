#include "platform/RecentFileList.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Profile.h"
#include "platform/SameFile.h"

CRecentFileList::CRecentFileList(int size, const QString& section, const QString& keyFormat)
    : m_size(size), m_section(section), m_keyFormat(keyFormat)
{
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (int i = int(m_files.size()) - 1; i >= 0; --i) {
        if (IsSameFile(m_files.at(i), absolute)) m_files.removeAt(i);
    }
    m_files.prepend(absolute);
    while (m_files.size() > m_size) m_files.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_files.size()) return;
    m_files.removeAt(index);
    WriteList();
}

void CRecentFileList::ReadList()
{
    m_files.clear();
    for (int i = 1; i <= m_size; ++i) {
        QString path;
        ReadProfileText(m_section, m_keyFormat.arg(i), QString(), &path);
        if (!path.isEmpty()) m_files.append(path);
    }
}

void CRecentFileList::WriteList() const
{
    for (int i = 1; i <= m_size; ++i) {
        const QString key = m_keyFormat.arg(i);
        WritePrivateProfileString(m_section, key, i <= m_files.size() ? m_files.at(i - 1) : QString(),
                                  QLatin1String(PROFILE_FILE));
    }
}

QString CRecentFileList::DisplayName(const QString& path, int maxChars)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() <= maxChars) return native;
    const QChar sep = QDir::separator();
    const QString name = QFileInfo(path).fileName();
    if (name.size() >= maxChars - 4) return name;
    // The root part (a drive or the first folder), then "...", then as many
    // of the last folders as fit.
    const QStringList parts = native.split(sep);
    QString head = parts.value(0);
    if (head.isEmpty() && parts.size() > 1) head = sep + parts.value(1);
    QString tail = sep + name;
    for (int i = int(parts.size()) - 2; i > 1; --i) {
        const QString more = sep + parts.at(i) + tail;
        if (head.size() + 3 + more.size() > maxChars) break;
        tail = more;
    }
    const QString shortened = head + QStringLiteral("...") + tail;
    return shortened.size() <= maxChars ? shortened : name;
}
