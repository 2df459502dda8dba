#include "interchange/FileSource.h"

#include "interchange/InterchangeError.h"
#include "store/FileKind.h"

#include <QFileInfo>

namespace FileSource {

void refuseUnreadable(const QString& path)
{
    if (const QString why = FileKind::lookError(path); !why.isEmpty())
        throw InterchangeError(QStringLiteral("Cannot open '%1': %2.").arg(path, why));
    if (!QFileInfo::exists(path))
        throw InterchangeError(QStringLiteral("Could not find the file '%1'.").arg(path));
    if (const QString kind = FileKind::specialKind(path); !kind.isEmpty())
        throw InterchangeError(QStringLiteral("'%1' is %2, not a file that can be imported.").arg(path, kind));
}

} // namespace FileSource
