#pragma once

#include <QString>
#include <QStringList>

// A small ini-file reader and writer in the manner of the private-profile
// functions: sections and keys are compared without regard to case, the
// first of duplicate keys wins, and every line it does not change (comments,
// blank lines, lines without '=', keys of other sections) is written back as
// it was, with the file's own line ends.
class IniFile {
public:
    // Reads the file; a missing or unreadable file gives an empty one.
    explicit IniFile(const QString& path);

    const QString& path() const { return m_path; }

    // The value of the key, or def when the section or key is missing.
    // Blanks around the value are dropped, and one pair of double quotes
    // around it.
    QString value(const QString& section, const QString& key, const QString& def) const;
    bool contains(const QString& section, const QString& key) const;
    // Keys of a section in file order (first spelling of duplicates).
    QStringList keys(const QString& section) const;

    // Sets the key, adding it at the end of its section and the section at
    // the end of the file when missing.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Removes the key (every duplicate) or the whole section.
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    // Writes the file (its folder is made when missing); false on failure.
    bool save() const;

private:
    // Index of the section's header line, -1 when missing.
    int findSection(const QString& section) const;
    // End of the section's lines (the next header or the end of the file).
    int sectionEnd(int header) const;
    // Index of the key's line within the section, -1 when missing.
    int findKey(int header, const QString& key) const;

    static bool parseHeader(const QString& line, QString* name);
    static bool parseKey(const QString& line, QString* key, QString* value);

    QString m_path;
    QStringList m_lines;
    bool m_crlf = false;
    bool m_finalNewline = true;
};
