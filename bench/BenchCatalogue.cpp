#include "BenchCatalogue.h"

#include "store/Catalogue.h"
#include "store/JetFunctions.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <memory>

namespace BenchCatalogue {

namespace {

const char* const kWords[] = {"Blue",   "Night", "Harbour", "Summer", "River",  "Glass",  "Echo",  "Silver",
                              "Winter", "Dance", "Garden",  "Fire",   "Stone",  "Velvet", "Light", "Morning",
                              "Road",   "Rain",  "Heart",   "Golden", "Shadow", "Sky",    "Ocean", "Dream"};

QString words(QRandomGenerator& random, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QLatin1String(kWords[random.bounded(static_cast<int>(std::size(kWords)))]);
    return parts.join(QLatin1Char(' '));
}

void generate(const QString& path, int recordings)
{
    Catalogue::create(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Recording (Artist, Title, Year, Label, Catalogue_No, International_Catalogue_No, "
                       "Notes, Format) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                       -1, &insert, nullptr);
    QRandomGenerator random(20261206);
    const int artists = qMax(50, recordings / 12);
    for (int i = 0; i < recordings; ++i) {
        const int artist = random.bounded(artists);
        const QByteArray fields[] = {
            (QStringLiteral("The ") + words(random, 1) + QStringLiteral(" ") + QString::number(artist)).toUtf8(),
            words(random, 1 + random.bounded(4)).toUtf8(),
            QByteArray::number(1950 + random.bounded(76)),
            (words(random, 1) + QStringLiteral(" Records")).toUtf8(),
            QByteArray("CAT ") + QByteArray::number(random.bounded(100000)),
            random.bounded(3) == 0 ? QByteArray("GB-") + QByteArray::number(random.bounded(1000000)) : QByteArray(),
            random.bounded(5) == 0 ? words(random, 6).toUtf8() : QByteArray(),
        };
        for (int f = 0; f < 7; ++f)
            sqlite3_bind_text(insert, f + 1, fields[f].constData(), static_cast<int>(fields[f].size()),
                              SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 8, 1 + random.bounded(14));
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

QString folder(int recordings)
{
    static std::unique_ptr<QTemporaryDir> root;
    static QMap<int, QString> folders;
    if (!root)
        root = std::make_unique<QTemporaryDir>();
    if (!folders.contains(recordings)) {
        QDir dir(root->path());
        const QString name = QString::number(recordings);
        dir.mkdir(name);
        const QString path = dir.filePath(name);
        generate(path + QStringLiteral("/varolin.mdb"), recordings);
        QFile ini(path + QStringLiteral("/varolin.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[SQL]\n1=All\nDefault=1\n");
        folders.insert(recordings, path);
    }
    return folders.value(recordings);
}

QString displayStatement()
{
    return QStringLiteral("SELECT * FROM Expanded_Recording ORDER BY Artist, Year");
}

int plainRead(sqlite3* db, const QString& sqliteSql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sqliteSql.toUtf8().constData(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    int rows = 0;
    size_t bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            sqlite3_column_text(statement, c);
            bytes += static_cast<size_t>(sqlite3_column_bytes(statement, c));
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    return bytes > 0 ? rows : -1;
}

int plainReadAtStart(const QString& catalogue, const QString& sqliteSql)
{
    sqlite3* db = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(QFile::encodeName(catalogue).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        JetFunctions::registerAll(db) == SQLITE_OK)
        rows = plainRead(db, sqliteSql);
    sqlite3_close(db);
    return rows;
}

double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

} // namespace BenchCatalogue
