#include "store/FileKind.h"

#include <cerrno>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace FileKind {

QString specialKind(const QString& path)
{
    struct stat status = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QString();
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("a socket");
    return QString();
}

QString lookError(const QString& path)
{
    struct stat status = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) == 0 || errno == ENOENT ||
        errno == ENOTDIR)
        return QString();
    if (errno == ELOOP)
        return QStringLiteral("its symbolic links lead round in a loop");
    return QString::fromLocal8Bit(std::strerror(errno));
}

namespace {

// The path with its folder's links resolved, and the file's own when it exists.
QString resolved(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

bool samePath(const QString& path, const QString& other)
{
    return !path.isEmpty() && !other.isEmpty() && resolved(path) == resolved(other);
}

} // namespace FileKind
