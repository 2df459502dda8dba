#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Importer.h"
#include "store/ChangeCapture.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/FormatList.h"
#include "store/RecordingStore.h"
#include "store/Statement.h"
#include "store/UndoStack.h"
#include "support/TestFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

// Every row of both tables, each value with its type, in rowid order.
QStringList Dump(Database& db)
{
    QStringList rows;
    for (const char* sql : {"SELECT 'R', rowid, quote(ID), quote(Artist), quote(Title), quote(Year), quote(Label), "
                            "quote(Catalogue_No), quote(International_Catalogue_No), quote(Notes), quote(Format) "
                            "FROM Recording ORDER BY rowid",
                            "SELECT 'F', rowid, quote(ID), quote(Description) FROM Format ORDER BY rowid"}) {
        Statement rs(db.handle(), QString::fromLatin1(sql));
        while (rs.step()) {
            QStringList values;
            for (int c = 0; c < sqlite3_column_count(rs.handle()); ++c)
                values << rs.text(c);
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

// A new catalogue, or the same storing its text as UTF-16, as another tool may have made it.
QString NewCatalogue(const TestFolder& folder, bool utf16)
{
    const QString utf8 = folder.createCatalogue();
    if (!utf16)
        return utf8;
    const QString path = folder.file(QStringLiteral("utf16.mdb"));
    QString sql = QStringLiteral("PRAGMA encoding = 'UTF-16le';");
    const auto db = Database::open(utf8);
    for (const char* copy :
         {"SELECT sql FROM sqlite_master WHERE name NOT GLOB 'sqlite_*' ORDER BY type",
          "SELECT 'INSERT INTO Format VALUES (' || ID || ', ' || quote(Description) || ')' FROM Format"})
        for (Statement rows(db->handle(), copy); rows.step();)
            sql += rows.text(0) + ';';
    TestFolder::execute(path, sql);
    const auto made = Database::open(path);
    Statement encoding(made->handle(), "PRAGMA encoding");
    EXPECT_TRUE(encoding.step() && encoding.text(0) == "UTF-16le");
    return path;
}

void Delete(Database& db)
{
    db.beginTrans();
    RecordingStore(db).remove(2);
    db.commitTrans();
}

void Amend(Database& db)
{
    RecordingStore store(db);
    RecordingValues values = *store.load(1);
    values.title = QStringLiteral("Waterloo (Remastered)");
    values.year.clear();
    ASSERT_FALSE(store.save(1, values));
}

void New(Database& db)
{
    // An attempt taken back leaves nothing to undo.
    db.beginTrans();
    RecordingStore(db).remove(1);
    db.rollback();
    RecordingStore(db).insert({"Kate Bush", "Wuthering Heights", "1978", "", "", "", "", 2});
}

// A save the full disk refuses at its commit, then one that goes through.
void FullDiskThenNew(Database& db)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{static_cast<rlim_t>(QFileInfo(db.path()).size()), limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    const QString notes(20000, QLatin1Char('x'));
    EXPECT_NE(TestFolder::thrown<EngineError>([&] {
                  RecordingStore(db).save(1, {"Abba", "Waterloo", "", "", "", "", notes, 1});
              }),
              "(nothing thrown)");
    setrlimit(RLIMIT_FSIZE, &limit);
    RecordingStore(db).insert({"Can", "Ege Bamyasi", "", "", "", "", "", 2});
}

void Import(Database& db)
{
    const CsvReader csv("Artist,Title,Format\nCan,Tago Mago,Wire\nCan,Ege Bamyasi,LP\nNeu!,Neu!,Wire\n");
    Importer(db, csv, ColumnMapping::match(csv.columns())).run();
}

void Apply(Database& db)
{
    FormatList formats;
    ASSERT_EQ(formats.load(&db), QString());
    formats.add(QStringLiteral("Wire"));
    formats.amend(0, QStringLiteral("Eight-Track")); // "12" Single", ID 4
    for (int i = 0; i < formats.count(); ++i) {
        if (formats.at(i).text() == QLatin1String("SACD"))
            formats.remove(i);
    }
    ASSERT_TRUE(formats.apply(db).written());
}

TEST(UndoStack, UndoRestoresExactlyRedoReappliesAndAnotherProgramsChangeIsRefused)
{
    const struct
    {
        UndoStack::Kind kind;
        void (*change)(Database&);
        QString name;
        QString meanwhile; // another program's change to one of the step's rows
        QString refusal;
    } cases[] = {
        // clang-format off
        // The recording comes back with its ID, unless another program took the ID.
        {UndoStack::Kind::Delete, Delete, "Delete of \"Abba – Waterloo\"",
         "INSERT INTO Recording (ID, Artist, Title) VALUES (2, 'Blondie', 'Atomic')",
         "another program has added the Recording \"Blondie – Atomic\" since, in the place this would take."},
        // A change to another column of the same row counts.
        {UndoStack::Kind::Amend, Amend, "Amend of \"Abba – Waterloo (Remastered)\"",
         "UPDATE Recording SET Notes = 'signed' WHERE ID = 1",
         "another program has changed the Recording \"Abba – Waterloo (Remastered)\" since."},
        {UndoStack::Kind::New, New, "New Recording \"Kate Bush – Wuthering Heights\"",
         "DELETE FROM Recording WHERE ID = 3",
         "another program has deleted the Recording with the ID 3 since."},
        {UndoStack::Kind::New, FullDiskThenNew, "New Recording \"Can – Ege Bamyasi\"",
         "DELETE FROM Recording WHERE ID = 3", "another program has deleted the Recording with the ID 3 since."},
        {UndoStack::Kind::Import, Import, "Import of 3 Recordings",
         "UPDATE Recording SET Year = '1971' WHERE Title = 'Tago Mago'",
         "another program has changed the Recording \"Can – Tago Mago\" since."},
        // A format the Apply left as it was is guarded as much as those it changed.
        {UndoStack::Kind::FormatsApply, Apply, "Formats Apply",
         "UPDATE Format SET Description = 'Vinyl LP' WHERE ID = 1",
         "another program has changed the Format \"Vinyl LP\" since."},
        {UndoStack::Kind::FormatsApply, Apply, "Formats Apply",
         "INSERT INTO Recording (Artist, Format) VALUES ('Late', 15)",
         "1 Recording now uses a Format this would take away (another program gave it to them)."},
        // clang-format on
    };
    for (const bool utf16 : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name.toStdString() + " / " + c.meanwhile.toStdString() + (utf16 ? " / UTF-16" : ""));
            TestFolder folder;
            const QString path = NewCatalogue(folder, utf16);
            TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974"}, {"Abba", "Waterloo", "1974", 1, "Polar"}});
            const auto db = Database::open(path);
            const QStringList before = Dump(*db);
            UndoStack undo;
            {
                ChangeCapture capture(*db, {QStringLiteral("Recording"), QStringLiteral("Format")});
                c.change(*db);
                undo.record(c.kind, capture.changes());
            }
            const QStringList after = Dump(*db);
            ASSERT_NE(after, before);
            EXPECT_EQ(undo.undoName(), c.name);

            EXPECT_EQ(undo.undo(*db).refusal, QString());
            EXPECT_EQ(Dump(*db), before);
            EXPECT_EQ(std::make_pair(undo.undoName(), undo.redoName()), std::make_pair(QString(), c.name));
            EXPECT_EQ(undo.redo(*db).refusal, QString());
            EXPECT_EQ(Dump(*db), after);

            TestFolder::execute(path, c.meanwhile);
            const QStringList theirs = Dump(*db);
            EXPECT_EQ(undo.undo(*db).refusal,
                      "Undo " + c.name + " is not possible: " + c.refusal + "\r\n\r\nNothing has been changed.");
            EXPECT_EQ(Dump(*db), theirs);
            EXPECT_EQ(std::make_pair(undo.undoName(), undo.redoName()), std::make_pair(c.name, QString()));
        }
}

} // namespace
