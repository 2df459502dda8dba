#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <atomic>
#include <thread>

namespace {

EngineError::Kind openFailure(const QString& path, QString* description = nullptr, int busyMs = 100)
{
    try {
        Database::open(path, false, false, busyMs);
    } catch (const EngineError& e) {
        if (description)
            *description = e.description();
        return e.kind();
    }
    ADD_FAILURE() << "opened " << path.toStdString();
    return EngineError::Kind::General;
}

// A catalogue of many pages, copied cut short as a failed copy leaves it.
QString CutShortCopy(const TestFolder& folder)
{
    const QString whole = folder.createCatalogue(QStringLiteral("whole.mdb"));
    TestFolder::addRecordings(whole, QList<TestFolder::Recording>(300, {"Artist", "Title", "", 9, "", "", "notes"}));
    folder.writeFile(QStringLiteral("cut.mdb"), folder.readFile(QStringLiteral("whole.mdb")).left(8192));
    return folder.file(QStringLiteral("cut.mdb"));
}

int countOf(Database& db, const QString& sql)
{
    const auto rs = db.openSnapshot(sql);
    return rs->value(0).toInt();
}

TEST(Catalogue, NewCatalogueHasTablesQueryAndFormatsAndRollsBack)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    const auto db = Database::open(path);

    const auto formats = db->openSnapshot(Catalogue::formatListStatement());
    formats->moveLast();
    EXPECT_GE(formats->recordCount(), 10);
    formats->moveFirst();
    for (int i = 0; i < 8; ++i)
        formats->moveNext();
    EXPECT_EQ(formats->field(QStringLiteral("Description")).toString(), QStringLiteral("CD"));
    EXPECT_EQ(formats->field(QStringLiteral("ID")).toInt(), 9);
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) AS Count FROM Expanded_Recording")), 0);

    db->beginTrans();
    db->execute(Catalogue::deleteFormatsStatement());
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Format")), 0);
    db->rollback();
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Format")),
              static_cast<int>(Catalogue::starterFormats().size()));

    // A new catalogue is never written over an existing file.
    EXPECT_THROW(Catalogue::create(path), EngineError);
    EXPECT_NE(Database::open(path)->handle(), nullptr);
}

TEST(Database, OpenFailuresSayWhatTheFileIs)
{
    TestFolder folder;
    folder.writeFile(QStringLiteral("text.mdb"), QByteArray("this is not a database at all, just some text.\n"));
    folder.writeFile(QStringLiteral("empty.mdb"), QByteArray());
    const auto copyJet = [&](const char* name) {
        const QString target = folder.file(QLatin1String(name));
        QFile::copy(QStringLiteral(VAROLIN_TESTDATA_DIR "/jet/") + QLatin1String(name), target);
        return target;
    };
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(folder.file(QStringLiteral("other.db"))).constData(), &other);
    sqlite3_exec(other, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // Catalogues another tool changed, each lacking something the program reads.
    const auto changed = [&](const char* name, const char* sql) {
        const QString path = folder.createCatalogue(QLatin1String(name));
        TestFolder::execute(path, QLatin1String(sql));
        return path;
    };

    const struct
    {
        QString path;
        EngineError::Kind kind;
        const char* says;
    } cases[] = {
        {folder.file(QStringLiteral("missing.mdb")), EngineError::Kind::FileNotFound, "Could not find file"},
        {folder.file(QStringLiteral("text.mdb")), EngineError::Kind::NotACatalogue, "not a database"},
        {copyJet("nwind-jet3.mdb"), EngineError::Kind::JetFile, "Jet 3"},
        {copyJet("dates-jet4.mdb"), EngineError::Kind::JetFile, "Jet 4"},
        {folder.file(QStringLiteral("other.db")), EngineError::Kind::NotACatalogue, "not a Varolin catalogue"},
        {folder.path(), EngineError::Kind::NotACatalogue, "folder"},
        {CutShortCopy(folder), EngineError::Kind::Damaged, "damaged catalogue: the file is cut short"},
        {folder.file(QStringLiteral("empty.mdb")), EngineError::Kind::Damaged, "damaged catalogue: the file is empty"},
        {changed("noview.mdb", "DROP VIEW Expanded_Recording"), EngineError::Kind::NotACatalogue,
         "it lacks the query Expanded_Recording."},
        {changed("noformat.mdb", "DROP TABLE Format; DROP VIEW Expanded_Recording"), EngineError::Kind::NotACatalogue,
         "it lacks the table Format and the query Expanded_Recording."},
        {changed("nonotes.mdb", "ALTER TABLE Recording RENAME COLUMN Notes TO Remarks"),
         EngineError::Kind::NotACatalogue, "the table Recording lacks the column Notes"},
    };
    for (const auto& c : cases) {
        QString description;
        EXPECT_EQ(openFailure(c.path, &description), c.kind) << c.path.toStdString();
        EXPECT_TRUE(description.contains(QLatin1String(c.says))) << description.toStdString();
    }
}

TEST(Database, PermissionDeniedIsNotMissing)
{
    // A file the user may not read, and one in a folder the user may not enter, are not offered as
    // missing; nor is a new catalogue made where the user may not write.
    TestFolder folder;
    const QString locked = folder.createCatalogue(QStringLiteral("locked.mdb"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("closed")));
    const QString inClosed = folder.createCatalogue(QStringLiteral("closed/inside.mdb"));
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    ASSERT_TRUE(QFile::setPermissions(folder.file(QStringLiteral("closed")), {}));
    const bool tried = folder.withoutPrivilege([&] {
        for (const QString& path : {locked, inClosed}) {
            QString description;
            EXPECT_EQ(openFailure(path, &description), EngineError::Kind::PermissionDenied) << path.toStdString();
            EXPECT_TRUE(description.contains(QLatin1String("permission denied"))) << description.toStdString();
        }
        try {
            Catalogue::create(folder.file(QStringLiteral("new.mdb")));
            ADD_FAILURE() << "created where it may not write";
        } catch (const EngineError& e) {
            EXPECT_TRUE(e.description().contains(QLatin1String("may not write in the folder")))
                << e.description().toStdString();
        }
    });
    QFile::setPermissions(folder.file(QStringLiteral("closed")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!tried)
        GTEST_SKIP() << "root cannot give up its privilege here";
}

TEST(Database, LockedCatalogueIsReportedAndSharedOneWaits)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    sqlite3* holder = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    QString description;
    EXPECT_EQ(openFailure(path, &description), EngineError::Kind::Locked);
    EXPECT_TRUE(description.contains(QLatin1String("another program"))) << description.toStdString();

    // Another program that lets go within the busy timeout is waited for.
    std::thread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    });
    EXPECT_NO_THROW(Database::open(path, false, false, 5000));
    release.join();
    sqlite3_close(holder);
}

TEST(Database, ReadOnlyCatalogueRefusesChangesAndKeepsRows)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974"}});
    const auto db = Database::open(path, false, true);
    try {
        db->execute(Catalogue::deleteRecordingStatement(1));
        ADD_FAILURE() << "deleted from a read-only catalogue";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::ReadOnly);
        EXPECT_TRUE(e.description().contains(QStringLiteral("read-only"))) << e.description().toStdString();
    }
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Recording")), 1);
}

TEST(Database, TableRecordsetAddsSeeksAndEdits)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    const auto db = Database::open(path);
    const auto rs = db->openRecordset(QStringLiteral("RECORDING"));
    rs->setIndex(QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(rs->eof());

    for (const QString& artist : {QStringLiteral("First"), QString(), QStringLiteral("Third")}) {
        rs->addNew();
        for (const char* field :
             {"Artist", "Title", "Year", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"})
            rs->setField(QLatin1String(field), artist);
        rs->setField(QStringLiteral("Format"), 9);
        rs->update();
    }
    rs->moveLast();
    EXPECT_EQ(rs->field(QStringLiteral("ID")).toInt(), 3);
    EXPECT_EQ(rs->field(QStringLiteral("Artist")).toString(), QStringLiteral("Third"));

    // Empty texts are stored as zero-length texts, not Nulls.
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Recording WHERE Artist = '' AND Notes = ''")), 1);

    rs->seek(QStringLiteral("="), 2);
    ASSERT_FALSE(rs->noMatch());
    rs->edit();
    rs->setField(QStringLiteral("Artist"), QStringLiteral("Second"));
    rs->update();
    EXPECT_EQ(rs->field(QStringLiteral("Artist")).toString(), QStringLiteral("Second"));
    rs->seek(QStringLiteral("="), 99);
    EXPECT_TRUE(rs->noMatch());
    EXPECT_THROW(rs->setField(QStringLiteral("Artist"), QStringLiteral("x")), EngineError);

    // IDs keep rising after the newest is deleted.
    db->execute(Catalogue::deleteRecordingStatement(3));
    rs->addNew();
    rs->setField(QStringLiteral("Artist"), QStringLiteral("Fourth"));
    rs->update();
    rs->moveLast();
    EXPECT_EQ(rs->field(QStringLiteral("ID")).toInt(), 4);
}

// Another tool's catalogue whose ID is a plain column, stored out of ID order: rows are found,
// changed and numbered by ID, never by SQLite's rowid, and no other row is touched.
TEST(Database, TableRecordsetGoesByIdNotRowid)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("other.mdb"));
    TestFolder::execute(path,
                        QStringLiteral("CREATE TABLE Recording (ID INTEGER, Artist, Title, Year, Label, Catalogue_No,"
                                       " International_Catalogue_No, Notes, Format, \"Say \"\"Hi\"\"\");"
                                       "CREATE TABLE Format (ID INTEGER PRIMARY KEY, Description);"
                                       "CREATE VIEW Expanded_Recording AS SELECT ID, Artist, Title, Year, Format,"
                                       " Label, Catalogue_No, Notes, International_Catalogue_No FROM Recording;"
                                       "INSERT INTO Recording (rowid, ID, Artist) VALUES (1, 2, 'Two'),"
                                       " (2, 1, 'One'), (3, 3, 'Three'), (4, 3, 'Twin'), (5, NULL, 'None');"));
    const auto db = Database::open(path);
    const auto rs = db->openRecordset(QStringLiteral("Recording"));
    int walked = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        walked += rs->field(QStringLiteral("Artist")).toString() ==
                  QStringList{"None", "One", "Two", "Three", "Twin"}.value(walked);
    EXPECT_EQ(walked, 5) << "in ID order, rows of one ID or of none each once";
    rs->seek(QStringLiteral("="), 2);
    rs->edit();
    rs->setField(QStringLiteral("Artist"), QStringLiteral("Second"));
    rs->setField(QStringLiteral("Say \"Hi\""), QStringLiteral("Hello")); // a name that must be quoted whole
    rs->update();
    const auto artistOf = [&](int rowid) {
        return TestFolder::query(path, QStringLiteral("SELECT Artist FROM Recording WHERE rowid = %1").arg(rowid));
    };
    EXPECT_EQ(artistOf(1).toString(), QStringLiteral("Second"));
    EXPECT_EQ(artistOf(2).toString(), QStringLiteral("One"));

    // Two rows of one ID: neither is changed.
    rs->seek(QStringLiteral("="), 3);
    rs->edit();
    rs->setField(QStringLiteral("Artist"), QStringLiteral("Both"));
    EXPECT_THROW(rs->update(), EngineError);
    EXPECT_EQ(artistOf(3).toString() + artistOf(4).toString(), QStringLiteral("ThreeTwin"));

    // A new row's ID is its ID column; a table that gives none refuses a row without one.
    rs->addNew();
    rs->setField(QStringLiteral("ID"), 7);
    rs->update();
    EXPECT_EQ(rs->lastModified(), 7);
    rs->addNew();
    rs->setField(QStringLiteral("Artist"), QStringLiteral("Nobody"));
    EXPECT_THROW(rs->update(), EngineError);
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Recording")), 6);
}

TEST(Database, DisplayKeepsRecordingsWithoutTheirFormat)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974", 9}, {"Blur", "Parklife", "", 4242}});
    const auto db = Database::open(path);
    const auto rs = db->openSnapshot(Catalogue::displayStatement(QString(), QString()));
    rs->moveLast();
    ASSERT_EQ(rs->recordCount(), 2);
    rs->moveFirst();
    EXPECT_EQ(rs->field(QStringLiteral("Format")).toString(), QStringLiteral("CD"));
    rs->moveNext();
    EXPECT_TRUE(rs->field(QStringLiteral("Format")).isNull());
    EXPECT_EQ(rs->text(rs->fieldIndex(QStringLiteral("Format"))), QString());
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_THROW(rs->moveNext(), EngineError);

    // A snapshot is a copy: later changes do not reach it.
    db->execute(QStringLiteral("DELETE FROM Recording"));
    rs->moveFirst();
    EXPECT_EQ(rs->field(QStringLiteral("Artist")).toString(), QStringLiteral("Abba"));
}

TEST(Database, OnlyOneReadOnlyStatementRunsAsASelection)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974"}});
    const auto db = Database::open(path);
    const QStringList refused = {
        Catalogue::displayStatement(QStringLiteral("Artist = 'x'; DELETE FROM Recording"), QString()),
        QStringLiteral("SELECT * FROM Recording; SELECT * FROM Format"),
        QStringLiteral("DELETE FROM Recording"),
        QStringLiteral("PRAGMA writable_schema = 1"),
        QStringLiteral("ATTACH DATABASE 'x' AS y"),
    };
    for (const QString& sql : refused)
        EXPECT_THROW(db->openSnapshot(sql), EngineError) << sql.toStdString();
    EXPECT_THROW(db->execute(QStringLiteral("SELECT * FROM Recording")), EngineError);
    EXPECT_EQ(countOf(*db, QStringLiteral("SELECT Count(*) FROM Recording")), 1);
}

} // namespace
