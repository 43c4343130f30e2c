#pragma once

#include <QString>

// A path and its parts, in buffers of fixed size: the full path, the drive
// ("C:", or empty), the directory with its leading and trailing separators,
// the file name without extension and the extension with its dot. Both '\'
// and '/' separate folders. The sizes are those of the file system, counted
// in its own encoding with the terminating zero: Windows allows 260 for a
// path, Linux 4096 for a path and 256 for a name (the file name and the
// extension are parts of one name).
class PathParts {
public:
#if defined(Q_OS_WIN)
    static constexpr int MAX_PATH_LEN = 260;
    static constexpr int MAX_DIR = 256;
#else
    static constexpr int MAX_PATH_LEN = 4096;
    static constexpr int MAX_DIR = 4096;
#endif
    static constexpr int MAX_DRIVE = 3;
    static constexpr int MAX_FNAME = 256;
    static constexpr int MAX_EXT = 256;

    PathParts() = default;
    explicit PathParts(const QString& path) { Set(path); }

    // Clears every part, then splits the path; a path too long for its
    // buffer (or one whose parts do not fit theirs) leaves all parts empty.
    bool Set(const QString& path);
    void Clear();

    const QString& GetPath() const { return m_path; }
    const QString& GetDrive() const { return m_drive; }
    const QString& GetDirectory() const { return m_dir; }
    const QString& GetFileName() const { return m_fname; }
    const QString& GetExtension() const { return m_ext; }
    // Drive and directory: the folder the path lies in, ending with a separator.
    QString GetFolder() const { return m_drive + m_dir; }

private:
    QString m_path;
    QString m_drive;
    QString m_dir;
    QString m_fname;
    QString m_ext;
};
