#include "FuzzSupport.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace Fuzz {

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString folder()
{
    // In memory where the machine has it: the INI writer syncs every file it swaps in. Removed at
    // the process's end: libFuzzer leaves by exit(), which runs this destructor.
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/varolin-fuzz-XXXXXX"));
    return dir.path();
}

QString writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = folder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write a scratch file", path);
    return path;
}

Database& catalogue()
{
    static std::unique_ptr<Database> db = [] {
        const QString path = folder() + QStringLiteral("/varolin.mdb");
        Catalogue::create(path);
        auto opened = Database::open(path);
        // Values of every kind a hand-filled catalogue may hold: Nulls, huge and tiny REALs,
        // accented and non-BMP text, dates in both forms, numbers as text.
        const char* const kRows =
            "INSERT INTO Recording (Artist, Title, Year, Label, Catalogue_No, Notes, Format) VALUES "
            "('Abba', 'Waterloo', '1974', 'Polar', 'POLS 252', 'vinyl', 1),"
            "('\xC3\x89lan', 'a_b [live]', '1995', NULL, 'X1', '1e300', 2),"
            "('O''Brien', 'Say \"Hi\"', '5/10/96', '', '*1', '\xF0\x9F\x8E\xB5\t\r\n', NULL),"
            "(NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "('Zed', 'Last', '2001-02-03', '-1e308', '1e-300', '-9223372036854775808', 1e19);";
        if (sqlite3_exec(opened->handle(), kRows, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("cannot fill the catalogue", QString::fromUtf8(sqlite3_errmsg(opened->handle())));
        return opened;
    }();
    return *db;
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

} // namespace Fuzz
