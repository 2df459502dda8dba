#include "store/Database.h"
#include "store/EngineError.h"
#include "store/RecordingStore.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <tuple>

namespace {

class RecordingStoreTest : public ::testing::Test
{
protected:
    QVariant query(const QString& sql) const { return TestFolder::query(path, sql); }
    void execute(const QString& sql) const { TestFolder::execute(path, sql); }
    // Rows another tool wrote, IDs past 2^31 that share their low 32 bits among them.
    void SetUp() override
    {
        execute(QStringLiteral("INSERT INTO Recording VALUES (3000000000, 'Big', 'Three billion', 1974, 'L', 'C', "
                               "'I', 'one\r\ntwo', 9), (7294967296, NULL, NULL, NULL, NULL, NULL, NULL, NULL, '3'),"
                               "(2, '', '', '', '', '', '', '', 'x')"));
    }

    TestFolder folder;
    QString path = folder.createCatalogue();
    std::unique_ptr<Database> db = Database::open(path);
    RecordingStore store{*db};
};

TEST_F(RecordingStoreTest, LoadsEachRecordByItsWholeID)
{
    const std::pair<qint64, std::optional<RecordingValues>> cases[] = {
        {3000000000, RecordingValues{"Big", "Three billion", "1974", "L", "C", "I", "one\r\ntwo", 9}},
        {7294967296, RecordingValues{"", "", "", "", "", "", "", 3}},
        {2, RecordingValues{"", "", "", "", "", "", "", std::nullopt}},
        {3000000001, std::nullopt},
        {3000000000 - (1LL << 32), std::nullopt},
    };
    for (const auto& [id, expected] : cases)
        EXPECT_EQ(store.load(id), expected) << id;
}

TEST_F(RecordingStoreTest, WritesEveryFieldEmptyOnesAsZeroLengthTexts)
{
    const RecordingValues blank{QString(), QString(), QString(), QString(), QString(), QString(), QString(), 1};
    const RecordingValues full{"A", "T", "1999", "L", "C", "I", "N", 14};
    const QString blankWhere = QStringLiteral("Artist = '' AND Title = '' AND Year = '' AND Label = '' AND "
                                              "Catalogue_No = '' AND International_Catalogue_No = '' AND Notes = '' "
                                              "AND Format = 1");
    const std::tuple<const char*, std::function<qint64()>, qint64, QString> cases[] = {
        {"save over Nulls", [&] { return store.save(7294967296, blank), 7294967296LL; }, 7294967296, blankWhere},
        {"insert after past 2^32", [&] { return store.insert(blank); }, 7294967297, blankWhere},
        {"save without a load", [&] { return store.save(2, full), 2LL; }, 2, "Artist & Notes = 'AN' AND Format = 14"},
        {"save after a load", [&] { return store.load(2), store.save(2, full), 2LL; }, 2, "Year = '1999'"},
    };
    for (const auto& [name, write, id, where] : cases) {
        const sqlite3_int64 changes = sqlite3_total_changes64(db->handle());
        EXPECT_EQ(write(), id) << name;
        EXPECT_EQ(sqlite3_total_changes64(db->handle()) - changes, 1) << name << ": the row is written once";
        EXPECT_EQ(query(QStringLiteral("SELECT ID FROM Recording WHERE ID = %1 AND ").arg(id) + where), id) << name;
    }
    EXPECT_EQ(query("SELECT Title FROM Recording WHERE ID = 3000000000"), QStringLiteral("Three billion"));
    store.remove(7294967296);
    EXPECT_THROW(store.save(7294967296, full), EngineError) << "not written anew";
    EXPECT_EQ(query("SELECT Count(*) FROM Recording"), 3);
    EXPECT_EQ(query("SELECT Count(*) FROM Recording WHERE ID IN (2, 3000000000, 7294967297)"), 3);
}

TEST_F(RecordingStoreTest, ASaveOverAnotherProgramsChangeWritesOnlyWhenTold)
{
    const qint64 id = 3000000000;
    const struct
    {
        const char* meanwhile; // another program, between the load and the save
        bool asked;
    } cases[] = {
        {"SELECT 1", false},
        {"UPDATE Recording SET Title = 'Theirs' WHERE ID = 3000000000", true},
        {"UPDATE Recording SET Format = 1 WHERE ID = 3000000000", true},
        {"UPDATE Recording SET Notes = 'one\ntwo' WHERE ID = 3000000000", true},
        {"UPDATE Recording SET Title = Title WHERE ID = 3000000000", false}, // the same again
        {"UPDATE Recording SET Title = 'Other' WHERE ID = 2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meanwhile);
        execute(QStringLiteral("UPDATE Recording SET Label = 'L' WHERE ID = 3000000000"));
        RecordingValues mine = *store.load(id);
        mine.label = QStringLiteral("Mine");
        execute(QString::fromUtf8(c.meanwhile));
        const RecordingValues stored = *RecordingStore(*db).load(id);
        const std::optional<RecordingValues> theirs = store.save(id, mine);
        ASSERT_EQ(theirs.has_value(), c.asked);
        if (theirs) {
            EXPECT_EQ(*theirs, stored);
            EXPECT_EQ(query("SELECT Label FROM Recording WHERE ID = 3000000000"), QStringLiteral("L"));
            EXPECT_EQ(store.save(id, mine, RecordingStore::Overwrite::Yes), std::nullopt);
        }
        EXPECT_EQ(*RecordingStore(*db).load(id), mine);
    }
}

TEST_F(RecordingStoreTest, FormatsInIDOrderAndWhereANewRecordingStarts)
{
    const QList<RecordingStore::FormatEntry> formats = store.formats();
    ASSERT_EQ(formats.size(), 14);
    EXPECT_EQ(formats.first(), (RecordingStore::FormatEntry{1, "LP"}));
    EXPECT_EQ(formats.at(8), (RecordingStore::FormatEntry{9, "CD"}));
    execute(QStringLiteral("DROP VIEW Expanded_Recording; DROP TABLE Format;"
                           "CREATE TABLE Format (ID INTEGER PRIMARY KEY, Description TEXT);"
                           "INSERT INTO Format VALUES (3000000000, NULL), (2, 'EP');"
                           "CREATE VIEW Expanded_Recording AS SELECT * FROM Recording;"));
    EXPECT_EQ(store.formats(), (QList<RecordingStore::FormatEntry>{{2, "EP"}, {3000000000, ""}}));

    const int positions[][2] = {{14, 8}, {9, 8}, {8, 7}, {1, 0}, {0, -1}};
    for (const auto& p : positions)
        EXPECT_EQ(RecordingStore::newFormatPosition(p[0]), p[1]) << p[0];
}

TEST(RecordingRules, NotesKeepTheirOwnLineEnds)
{
    // The loaded text, as the box shows it once edited, and as it is saved; the box showed it with LF.
    const std::tuple<QString, QString, QString> cases[] = {
        {"one\ntwo\r\n\tthree ", "one\ntwo\n\tthree ", "one\ntwo\r\n\tthree "},
        {"Vol.\u00a02\r\nlines", "Vol.\u00a02\nlines\nthree", "Vol.\u00a02\r\nlines\r\nthree"},
        {"one\ntwo\r\n", "one\ntwo\nX", "one\r\ntwo\r\nX"},
        {"one\ntwo", "one\ntwo\nX", "one\ntwo\nX"},
        {"one", "one\nX", "one\r\nX"},
        {"", "\n", "\r\n"},
    };
    for (const auto& [loaded, shownNow, saved] : cases) {
        const QString shownAtLoad = QString(loaded).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        EXPECT_EQ(RecordingStore::notesToSave(loaded, shownAtLoad, shownNow), saved) << loaded.toStdString();
    }
}

TEST(RecordingRules, YearTakesDigitsAndKeysThatTypeNothing)
{
    const std::tuple<int, Qt::KeyboardModifiers, QString, bool> cases[] = {
        {Qt::Key_7, Qt::NoModifier, "7", true},
        {Qt::Key_8, Qt::ShiftModifier, "8", true},
        {Qt::Key_A, Qt::NoModifier, "a", false},
        {Qt::Key_Space, Qt::NoModifier, " ", false},
        {Qt::Key_unknown, Qt::NoModifier, "12", false},
        {Qt::Key_unknown, Qt::NoModifier, "\u0661", false}, // an Arabic-Indic one
        {Qt::Key_Backspace, Qt::NoModifier, "\b", true},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", true},
        {Qt::Key_Tab, Qt::NoModifier, "\t", true},
        {Qt::Key_Left, Qt::NoModifier, "", true},
        {Qt::Key_V, Qt::ControlModifier, "\x16", true},
        {Qt::Key_X, Qt::AltModifier, "x", true},
    };
    for (const auto& [key, modifiers, text, accepted] : cases)
        EXPECT_EQ(RecordingStore::yearAccepts(key, modifiers, text), accepted) << text.toStdString();

    // Pasted or dropped text: only its digits stay, four at most, and the caret follows them.
    const std::tuple<QString, QString, QString, int> edits[] = {
        {"", "c. 1975", "1975", 4},   {"", "19a7", "197", 3},       {"19", "19 74", "1974", 4},
        {"1974", "19745", "1974", 4}, {"1974", "1x974", "1974", 1}, {"12", "1a2", "12", 1},
        {"abc", "ab", "ab", 2},       {"1", "1'); 9", "19", 2},     {"55", "5\u06615", "55", 1},
        {"", "123456", "1234", 4},
    };
    for (const auto& [before, after, kept, caret] : edits) {
        int position = -1;
        EXPECT_EQ(RecordingStore::yearAfterEdit(before, after, 4, &position), kept) << after.toStdString();
        EXPECT_EQ(position, caret) << after.toStdString();
    }
}

} // namespace
