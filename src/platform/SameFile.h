#pragma once

#include <QString>

// Whether two paths name the same file. Relative paths are taken from the
// working directory, "." and ".." are folded and links are followed; two
// existing files are the same when they are the same file on disk (one
// device and node, so hard links count too). Names are compared exactly
// where the file system tells case apart (Linux) and without case where it
// does not (Windows, macOS).
bool IsSameFile(const QString& a, const QString& b);

// The spelling used to compare paths: the canonical path of an existing
// file (links resolved), else the cleaned absolute path.
QString FileIdentityPath(const QString& path);
