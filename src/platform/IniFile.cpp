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
    m_crlf = data.contains("\r\n");
    m_finalNewline = data.isEmpty() || data.endsWith('\n');
    QString text = QString::fromUtf8(data);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_lines = text.split(QLatin1Char('\n'));
    if (m_finalNewline && !m_lines.isEmpty() && m_lines.last().isEmpty()) m_lines.removeLast();
}

bool IniFile::parseHeader(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool IniFile::parseKey(const QString& line, QString* key, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('['))) return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *key = t.left(eq).trimmed();
    if (value) {
        QString v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

int IniFile::findSection(const QString& section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (parseHeader(m_lines.at(i), &name) && name.compare(section, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    QString name;
    int i = header + 1;
    while (i < m_lines.size() && !parseHeader(m_lines.at(i), &name)) ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const
{
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i) {
        if (parseKey(m_lines.at(i), &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0) return i;
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
    parseKey(m_lines.at(line), &k, &v);
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
        if (!parseKey(m_lines.at(i), &k, nullptr)) continue;
        bool seen = false;
        for (const QString& r : result) seen = seen || r.compare(k, Qt::CaseInsensitive) == 0;
        if (!seen) result.append(k);
    }
    return result;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString line = key + QLatin1Char('=') + value;
    int header = findSection(section);
    if (header < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(line);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        // Keep the key's own spelling.
        QString k;
        parseKey(m_lines.at(existing), &k, nullptr);
        m_lines[existing] = k + QLatin1Char('=') + value;
        return;
    }
    // After the section's last non-blank line.
    int insert = sectionEnd(header);
    while (insert > header + 1 && m_lines.at(insert - 1).trimmed().isEmpty()) --insert;
    m_lines.insert(insert, line);
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
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = m_lines.join(eol);
    if (m_finalNewline && !m_lines.isEmpty()) text += eol;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}
