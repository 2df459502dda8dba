#pragma once

#include <QString>

// What every file brought in must be before it is read: there, reachable, and a file, not a pipe
// or a device, which would be read for ever.
namespace FileSource {

// Throws InterchangeError naming what is wrong with the path.
void refuseUnreadable(const QString& path);

} // namespace FileSource
