#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

IniFile::IniFile(const QString& path) : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray data = file.readAll();
    bool eolSeen = false;
    qsizetype begin = 0;
    while (begin < data.size()) {
        qsizetype end = begin;
        while (end < data.size() && data.at(end) != '\n' && data.at(end) != '\r') ++end;
        Line line{data.mid(begin, end - begin), QByteArray()};
        if (end < data.size()) {
            const bool crlf = data.at(end) == '\r' && end + 1 < data.size() && data.at(end + 1) == '\n';
            line.eol = data.mid(end, crlf ? 2 : 1);
            if (!eolSeen) m_eol = line.eol;
            eolSeen = true;
        }
        begin = end + line.eol.size();
        m_lines.append(line);
    }
}

namespace {

QByteArray trimmedBytes(const QByteArray& b) { return b.trimmed(); }

}  // namespace

bool IniFile::parseHeader(const QByteArray& line, QString* name)
{
    const QByteArray t = trimmedBytes(line);
    if (!t.startsWith('[')) return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0) return false;
    *name = QFile::decodeName(t.mid(1, close - 1).trimmed());
    return true;
}

bool IniFile::parseKey(const QByteArray& line, QString* key, QString* value)
{
    const QByteArray t = trimmedBytes(line);
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('[')) return false;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0) return false;
    *key = QFile::decodeName(t.left(eq).trimmed());
    if (value) {
        QByteArray v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) v = v.mid(1, v.size() - 2);
        *value = QFile::decodeName(v);
    }
    return true;
}

void IniFile::insertLine(int index, const QByteArray& text)
{
    Line line{text, m_eol};
    // A last line without a line end keeps that place: the new last line
    // takes over the missing end, the old one gets a proper end.
    if (index == m_lines.size() && !m_lines.isEmpty() && m_lines.last().eol.isEmpty()) {
        m_lines.last().eol = m_eol;
        line.eol.clear();
    }
    m_lines.insert(index, line);
}

int IniFile::findSection(const QString& section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (parseHeader(m_lines.at(i).text, &name) && name.compare(section, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    QString name;
    int i = header + 1;
    while (i < m_lines.size() && !parseHeader(m_lines.at(i).text, &name)) ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const
{
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i) {
        if (parseKey(m_lines.at(i).text, &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString IniFile::value(const QString& section, const QString& key, const QString& def) const
{
    const int header = findSection(section);
    if (header < 0) return def;
    const int line = findKey(header, key);
    if (line < 0) return def;
    QString k, v;
    parseKey(m_lines.at(line).text, &k, &v);
    return v;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    return header >= 0 && findKey(header, key) >= 0;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList result;
    const int header = findSection(section);
    if (header < 0) return result;
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i) {
        if (!parseKey(m_lines.at(i).text, &k, nullptr)) continue;
        bool seen = false;
        for (const QString& r : result) seen = seen || r.compare(k, Qt::CaseInsensitive) == 0;
        if (!seen) result.append(k);
    }
    return result;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray line = QFile::encodeName(key) + '=' + QFile::encodeName(value);
    int header = findSection(section);
    if (header < 0) {
        insertLine(int(m_lines.size()), '[' + QFile::encodeName(section) + ']');
        insertLine(int(m_lines.size()), line);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        // Keep the key's own spelling and everything before it on the line.
        const QByteArray& text = m_lines.at(existing).text;
        const qsizetype eq = text.indexOf('=');
        QByteArray name = text.left(eq);
        while (!name.isEmpty() && QChar::isSpace(uchar(name.back()))) name.chop(1);
        m_lines[existing].text = name + '=' + QFile::encodeName(value);
        return;
    }
    // After the section's last non-blank line.
    int insert = sectionEnd(header);
    while (insert > header + 1 && trimmedBytes(m_lines.at(insert - 1).text).isEmpty()) --insert;
    insertLine(insert, line);
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    const int header = findSection(section);
    if (header < 0) return;
    for (int line = findKey(header, key); line >= 0; line = findKey(header, key)) m_lines.removeAt(line);
}

void IniFile::removeSection(const QString& section)
{
    const int header = findSection(section);
    if (header < 0) return;
    const int end = sectionEnd(header);
    m_lines.erase(m_lines.begin() + header, m_lines.begin() + end);
}

bool IniFile::save() const
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) return false;
    QByteArray data;
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        data += line.text;
        data += line.eol.isEmpty() && i + 1 < m_lines.size() ? m_eol : line.eol;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // Flushed before the commit, which does not notice a buffered write that
    // fails while it closes the file (a full disk) and would put a cut-off
    // file in place of the old one.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
