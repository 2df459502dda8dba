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

namespace {

// The kind and description of what f throws; General when it throws nothing.
template <typename F>
EngineError::Kind failure(F f, QString* description = nullptr)
{
    try {
        f();
    } catch (const EngineError& e) {
        if (description)
            *description = e.description();
        return e.kind();
    }
    ADD_FAILURE() << "nothing thrown";
    return EngineError::Kind::General;
}

EngineError::Kind openFailure(const QString& path, QString* description = nullptr)
{
    return failure([&] { Database::open(path, false, false, 100); }, description);
}

int countOf(Database& db, const QString& sql)
{
    return db.openSnapshot(sql)->value(0).toInt();
}

TEST(Database, ASlowStatementStopsWhenAskedAndTheCatalogueGoesOn)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, QList<TestFolder::Recording>(200, {"Artist", "Title"}));
    const auto db = Database::open(path);
    int asked = 0;
    db->setProgressHandler([&] { return ++asked < 20; });
    QString description;
    EXPECT_EQ(
        failure([&] { db->openSnapshot("SELECT count(*) FROM Recording a, Recording b, Recording c"); }, &description),
        EngineError::Kind::Interrupted);
    EXPECT_EQ(asked, 20);
    EXPECT_TRUE(description.contains("cancelled")) << description.toStdString();
    db->setProgressHandler({});
    EXPECT_EQ(countOf(*db, "SELECT count(*) FROM Recording a, Recording b"), 40000);
}

TEST(Catalogue, NewCatalogueRollsBackAndIsNeverWrittenOverAFile)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    const auto db = Database::open(path);
    db->beginTrans();
    db->execute(Catalogue::deleteFormatsStatement());
    EXPECT_EQ(countOf(*db, "SELECT Count(*) FROM Format"), 0);
    db->rollback();
    EXPECT_EQ(countOf(*db, "SELECT Count(*) FROM Format"), static_cast<int>(Catalogue::starterFormats().size()));
    EXPECT_THROW(Catalogue::create(path), EngineError);
    EXPECT_NE(Database::open(path)->handle(), nullptr);
}

TEST(Database, OpenFailuresSayWhatTheFileIs)
{
    TestFolder folder;
    folder.writeFile("text.mdb", QByteArray("this is not a database at all, just some text.\n"));
    folder.writeFile("empty.mdb", QByteArray());
    const auto copyJet = [&](const char* name) {
        const QString target = folder.file(QLatin1String(name));
        QFile::copy(QStringLiteral(VAROLIN_TESTDATA_DIR "/jet/") + QLatin1String(name), target);
        return target;
    };
    TestFolder::execute(folder.file("other.db"), "CREATE TABLE t (x)");
    // A catalogue of many pages, copied cut short as a failed copy leaves it.
    const auto cutShort = [&] {
        const QString whole = folder.createCatalogue("whole.mdb");
        TestFolder::addRecordings(whole,
                                  QList<TestFolder::Recording>(300, {"Artist", "Title", "", 9, "", "", "notes"}));
        folder.writeFile("cut.mdb", folder.readFile("whole.mdb").left(8192));
        return folder.file("cut.mdb");
    };
    // A loop of links leads nowhere; the other kinds of file that are none are FileKind's, on CsvReader.
    const auto loop = [&] {
        return QFile::link(folder.file("loop.mdb"), folder.file("loop.mdb")), folder.file("loop.mdb");
    };
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
        {folder.file("missing.mdb"), EngineError::Kind::FileNotFound, "Could not find file"},
        {folder.file("text.mdb"), EngineError::Kind::NotACatalogue, "not a database"},
        {copyJet("nwind-jet3.mdb"), EngineError::Kind::JetFile, "Jet 3"},
        {copyJet("dates-jet4.mdb"), EngineError::Kind::JetFile, "Jet 4"},
        {folder.file("other.db"), EngineError::Kind::NotACatalogue, "not a Varolin catalogue"},
        {folder.path(), EngineError::Kind::NotACatalogue, "is a folder, not a catalogue file"},
        {loop(), EngineError::Kind::General, "its symbolic links lead round in a loop"},
        {cutShort(), EngineError::Kind::Damaged, "damaged catalogue: the file is cut short"},
        {folder.file("empty.mdb"), EngineError::Kind::Damaged, "damaged catalogue: the file is empty"},
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
        EXPECT_TRUE(description.contains(c.says)) << description.toStdString();
    }
}

TEST(Database, PermissionDeniedIsNotMissing)
{
    // A file the user may not read, and one in a folder the user may not enter, are not offered as
    // missing; nor is a new catalogue made where the user may not write.
    TestFolder folder;
    const QString locked = folder.createCatalogue("locked.mdb");
    ASSERT_TRUE(QDir(folder.path()).mkdir("closed"));
    const QString inClosed = folder.createCatalogue("closed/inside.mdb");
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    ASSERT_TRUE(QFile::setPermissions(folder.file("closed"), {}));
    const bool tried = folder.withoutPrivilege([&] {
        for (const QString& path : {locked, inClosed}) {
            QString description;
            EXPECT_EQ(openFailure(path, &description), EngineError::Kind::PermissionDenied) << path.toStdString();
            EXPECT_TRUE(description.contains("permission denied")) << description.toStdString();
        }
        QString description;
        failure([&] { Catalogue::create(folder.file("new.mdb")); }, &description);
        EXPECT_TRUE(description.contains("may not write in the folder")) << description.toStdString();
    });
    QFile::setPermissions(folder.file("closed"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!tried)
        GTEST_SKIP() << "root cannot give up its privilege here";
}

TEST(Database, LockedCatalogueIsReported)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    sqlite3* holder = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    QString description;
    EXPECT_EQ(openFailure(path, &description), EngineError::Kind::Locked);
    EXPECT_TRUE(description.contains("another program")) << description.toStdString();
    sqlite3_close(holder);
}

TEST(Database, TableRecordsetStoresEmptyTextsAndNumbersOnPastTheDeleted)
{
    TestFolder folder;
    const auto db = Database::open(folder.createCatalogue());
    const auto rs = db->openRecordset("RECORDING");
    rs->setIndex("PrimaryKey");
    EXPECT_TRUE(rs->eof());
    for (const QString& artist : {QStringLiteral("First"), QString(), QStringLiteral("Third")}) {
        rs->addNew();
        for (const char* field :
             {"Artist", "Title", "Year", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"})
            rs->setField(field, artist);
        rs->update();
    }
    // Empty texts are stored as zero-length texts, not Nulls.
    EXPECT_EQ(countOf(*db, "SELECT Count(*) FROM Recording WHERE Artist = '' AND Notes = ''"), 1);
    EXPECT_THROW(rs->setField("Artist", "x"), EngineError) << "outside addNew and edit";
    db->execute(Catalogue::deleteRecordingStatement(3));
    rs->addNew();
    rs->setField("Artist", "Fourth");
    rs->update();
    EXPECT_EQ(rs->lastModified(), 4);
}

// Another tool's catalogue whose ID is a plain column, stored out of ID order: rows are found,
// changed and numbered by ID, never by SQLite's rowid, and no other row is touched.
TEST(Database, TableRecordsetGoesByIdNotRowid)
{
    TestFolder folder;
    const QString path = folder.file("other.mdb");
    TestFolder::execute(path,
                        QStringLiteral("CREATE TABLE Recording (ID INTEGER, Artist, Title, Year, Label, Catalogue_No,"
                                       " International_Catalogue_No, Notes, Format, \"Say \"\"Hi\"\"\");"
                                       "CREATE TABLE Format (ID INTEGER PRIMARY KEY, Description);"
                                       "CREATE VIEW Expanded_Recording AS SELECT ID, Artist, Title, Year, Format,"
                                       " Label, Catalogue_No, Notes, International_Catalogue_No FROM Recording;"
                                       "INSERT INTO Recording (rowid, ID, Artist) VALUES (1, 2, 'Two'),"
                                       " (2, 1, 'One'), (3, 3, 'Three'), (4, 3, 'Twin'), (5, NULL, 'None');"));
    const auto db = Database::open(path);
    const auto rs = db->openRecordset("Recording");
    int walked = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        walked += rs->field("Artist").toString() == QStringList{"None", "One", "Two", "Three", "Twin"}.value(walked);
    EXPECT_EQ(walked, 5) << "in ID order, rows of one ID or of none each once";
    rs->seek("=", 2);
    rs->edit();
    rs->setField("Artist", "Second");
    rs->setField("Say \"Hi\"", "Hello"); // a name that must be quoted whole
    rs->update();
    rs->seek("=", 3);
    rs->edit();
    rs->setField("Artist", "Both");
    EXPECT_THROW(rs->update(), EngineError) << "two rows of one ID: neither is changed";
    QString artists;
    for (int rowid = 1; rowid <= 5; ++rowid)
        artists +=
            TestFolder::query(path, "SELECT Artist FROM Recording WHERE rowid = " + QString::number(rowid)).toString() +
            ',';
    EXPECT_EQ(artists, "Second,One,Three,Twin,None,");

    // A new row's ID is its ID column; a table that gives none refuses a row without one.
    rs->addNew();
    rs->setField("ID", 7);
    rs->update();
    EXPECT_EQ(rs->lastModified(), 7);
    rs->addNew();
    rs->setField("Artist", "Nobody");
    EXPECT_THROW(rs->update(), EngineError);
    EXPECT_EQ(countOf(*db, "SELECT Count(*) FROM Recording"), 6);
}

TEST(Database, ASnapshotRunsOneReadOnlyStatementAndIsACopyAndAReadOnlyCatalogueKeepsItsRows)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974"}});
    const auto db = Database::open(path);
    const QStringList refused = {
        "SELECT * FROM Recording; SELECT * FROM Format",
        "DELETE FROM Recording",
        "PRAGMA writable_schema = 1",
        "ATTACH DATABASE 'x' AS y",
    };
    for (const QString& sql : refused)
        EXPECT_THROW(db->openSnapshot(sql), EngineError) << sql.toStdString();
    EXPECT_THROW(db->execute("SELECT * FROM Recording"), EngineError);
    QString readOnly;
    EXPECT_EQ(
        failure([&] { Database::open(path, false, true)->execute(Catalogue::deleteRecordingStatement(1)); }, &readOnly),
        EngineError::Kind::ReadOnly);
    EXPECT_TRUE(readOnly.contains("read-only")) << readOnly.toStdString();

    const auto rs = db->openSnapshot(Catalogue::displayStatement(QString(), QString()));
    db->execute("DELETE FROM Recording");
    EXPECT_EQ(rs->field("Artist").toString(), "Abba") << "the refused changed nothing, the later reach no snapshot";
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_THROW(rs->moveNext(), EngineError);
    EXPECT_THROW(rs->field("Artist"), EngineError) << "past the last row there is no field to read";
}

} // namespace
