#pragma once

#include <QString>
#include <QStringList>

// A small ini-file reader and writer in the manner of the private-profile
// functions: sections and keys are compared without regard to case, the
// first of duplicate keys wins, and every line it does not change (comments,
// blank lines, lines without '=', keys of other sections) is written back
// byte for byte, with its own line end. Lines may end in CR LF, LF or CR
// alone. Names and values are text in the file system's own encoding, so a
// stored folder name reads back as the folder it names.
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

    // Writes the file (its folder is made when missing) through a temporary
    // file that replaces it only when complete; false on failure, and then
    // the previous file is left as it was.
    bool save() const;

private:
    // Index of the section's header line, -1 when missing.
    int findSection(const QString& section) const;
    // End of the section's lines (the next header or the end of the file).
    int sectionEnd(int header) const;
    // Index of the key's line within the section, -1 when missing.
    int findKey(int header, const QString& key) const;

    static bool parseHeader(const QByteArray& line, QString* name);
    static bool parseKey(const QByteArray& line, QString* key, QString* value);
    // Adds a line before index (the end when index is the line count).
    void insertLine(int index, const QByteArray& text);

    struct Line {
        QByteArray text;  // without its line end
        QByteArray eol;   // "\r\n", "\n", "\r", or empty for a last line without one
    };
    QString m_path;
    QList<Line> m_lines;
    QByteArray m_eol = "\n";  // for new lines: the file's first line end
};
