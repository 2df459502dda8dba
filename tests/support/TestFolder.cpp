#include "support/TestFolder.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"

#include <gtest/gtest.h>
#include <QFile>
#include <sqlite3.h>
#include <unistd.h>

TestFolder::TestFolder()
{
    EXPECT_TRUE(m_dir.isValid());
}

void TestFolder::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestFolder::readFile(const QString& name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TestFolder::createCatalogue(const QString& name) const
{
    const QString path = file(name);
    Catalogue::create(path);
    return path;
}

const char* const kFields[] = {"Artist", "Title",        "Year",  "Format",
                               "Label",  "Catalogue_No", "Notes", "International_Catalogue_No"};

int TestFolder::addRecordings(const QString& catalogue, const QList<Recording>& recordings)
{
    const auto db = Database::open(catalogue);
    const auto rs = db->openRecordset(QStringLiteral("Recording"));
    rs->setIndex(QStringLiteral("PrimaryKey"));
    db->beginTrans();
    for (const Recording& r : recordings) {
        rs->addNew();
        const QVariant values[] = {r.artist, r.title,       r.year,  r.format,
                                   r.label,  r.catalogueNo, r.notes, r.internationalNo};
        for (int i = 0; i < 8; ++i)
            rs->setField(QLatin1String(kFields[i]), values[i]);
        rs->update();
    }
    db->commitTrans();
    rs->moveLast();
    return rs->eof() ? 0 : rs->field(QStringLiteral("ID")).toInt();
}

void TestFolder::execute(const QString& catalogue, const QString& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(catalogue).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "") << " in " << sql.toStdString();
    sqlite3_free(error);
    sqlite3_close(db);
}

QVariant TestFolder::query(const QString& catalogue, const QString& sql)
{
    const auto db = Database::open(catalogue);
    const auto rs = db->openSnapshot(sql);
    return rs->eof() ? QVariant() : rs->value(0);
}

bool TestFolder::withoutPrivilege(const std::function<void()>& f) const
{
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const bool root = geteuid() == 0;
    if (root && seteuid(65534) != 0)
        return false;
    f();
    if (root) {
        EXPECT_EQ(seteuid(0), 0);
    }
    return true;
}
