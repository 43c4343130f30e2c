#pragma once

#include <QString>
#include <QStringList>

// The recent-file list: the most recent first, no two entries for one
// file (IsSameFile), at most size entries, kept in the settings file under
// "Recent File List" as "File1", "File2", ...
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 6, const QString& section = QStringLiteral("Recent File List"),
                             const QString& keyFormat = QStringLiteral("File%1"));

    int size() const { return m_size; }
    int count() const { return int(m_files.size()); }
    const QStringList& files() const { return m_files; }
    QString at(int index) const { return m_files.value(index); }

    // Moves the path to the front (adding it when new) and writes the list.
    void Add(const QString& path);
    // Removes the entry and writes the list.
    void Remove(int index);

    void ReadList();
    void WriteList() const;

    // The text a menu shows for an entry: the path shortened to at most
    // maxChars characters, keeping the file name and the folders nearest to
    // it ("/home/.../Targets/bull.vnt").
    static QString DisplayName(const QString& path, int maxChars = 30);

private:
    int m_size;
    QString m_section;
    QString m_keyFormat;
    QStringList m_files;
};
