#pragma once

#include <QString>

// What a path names, told before anything opens it: reading a named pipe waits for a writer for
// ever, a device such as /dev/zero never ends, and neither is a damaged file.
namespace FileKind {

// "a folder", "a named pipe (FIFO)", "a device", "a socket", or the empty string for a plain file,
// a missing one, or one that cannot be looked at. Symbolic links are followed.
QString specialKind(const QString& path);

// Why the path cannot even be looked at (a loop of symbolic links, a folder on the way that may not
// be entered), or the empty string: a missing file is not such a reason.
QString lookError(const QString& path);

// The same path as `other`, once links and "." and ".." are resolved; either may be missing.
bool samePath(const QString& path, const QString& other);

} // namespace FileKind
