#include "store/Database.h"
#include "store/FormatList.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

const QStringList kBase = {"8-Track=3", "Cassette=5", "cd=2", "Édition=7", "LP=1"};
// A table another tool made: no key, no rule on the description.
const QString kLoose = QStringLiteral("DROP VIEW Expanded_Recording; DROP TABLE Format;"
                                      "CREATE TABLE Format (ID INTEGER, Description TEXT);");
const QString kUse = QStringLiteral("INSERT INTO Recording (Artist, Format) VALUES ");

// The list as "description=ID", a Null description as "<null>".
QStringList Items(const FormatList& formats)
{
    QStringList a;
    for (int i = 0; i < formats.count(); ++i)
        a << (formats.at(i).description.isNull() ? "<null>" : formats.at(i).description.toString()) + '=' +
                 QString::number(formats.at(i).id);
    return a;
}

// A catalogue whose IDs have gaps and are stored in no sorted order, and its list as loaded.
struct Loaded
{
    explicit Loaded(const QString& setup = QString())
    {
        TestFolder::execute(path, "DELETE FROM Format; INSERT INTO Format VALUES (1,'LP'),(2,'cd'),(3,'8-Track'),"
                                  "(5,'Cassette'),(7,'Édition');" +
                                      setup);
        EXPECT_EQ(formats.load(db.get()), QString());
    }
    TestFolder folder;
    QString path = folder.createCatalogue();
    std::unique_ptr<Database> db = Database::open(path);
    FormatList formats;
};

TEST(FormatList, ChangesKeepTheListSortedAndApplyWritesItWhole)
{
    const struct
    {
        QString setup;
        int entry; // -1: New; else Amend to the text typed, or Delete when none is
        QString typed;
        QStringList listed;
        // The entry at the place returned (none when nothing changed), what was refused, what another
        // program does before the apply, and how the apply fails.
        QString selected, refusal, meanwhile, failure;
    } cases[] = {
        // clang-format off
        {"", -1, " Mini\ndisc\tXL ", kBase + QStringList{"Mini disc XL=8"}, "Mini disc XL"},
        {"DELETE FROM Format", -1, "Reel", {"Reel=1"}, "Reel"},
        // A recording still naming a format that is gone keeps its ID from a new one.
        {kUse + "('A', 20)", -1, "Reel", kBase + QStringList{"Reel=21"}, "Reel"},
        // Blank descriptions first, equal ones in the order of their IDs; a row without an ID gets a fresh one.
        {kLoose + "INSERT INTO Format VALUES (2,' '),(1,NULL),(NULL,'Tape'),(3,'LP'),(6,'lp')", -1, "Reel",
         {"<null>=1", " =2", "LP=3", "lp=6", "Reel=8", "Tape=7"}, "Reel"},
        {"INSERT INTO Format VALUES (9223372036854775807, 'Wire')", -1, "Reel",
         kBase + QStringList{"Wire=9223372036854775807"}, "",
         "No more Formats can be added: the highest Format ID is already in use."},
        {"", -1, " \t\r\n", kBase},
        {"", -1, "CD", kBase, "", "There is already a Format called \"cd\". Nothing has been changed."},
        {"", -1, QString(256, 'x'), kBase, "",
         "A Format's description can be at most 255 characters long; this one has 256. Nothing has been changed."},
        {"", 2, "Vinyl", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1", "Vinyl=2"}, "Vinyl"},
        {"", 2, "cd", kBase, "cd"},
        {"", 2, "lp", kBase, "", "There is already a Format called \"LP\". Nothing has been changed."},
        {kUse + "('A', 2)", 2, "", kBase, "", "Can't delete this Format - 1 Recording exists for it."},
        {kUse + "('A',2),('B',2),('C',2)", 2, "", kBase, "", "Can't delete this Format - 3 Recordings exist for it."},
        {"", 0, "", kBase.mid(1), "Cassette"},
        {"", 2, "", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1"}, "Cassette"},
        {"DELETE FROM Format WHERE ID <> 2", 0, "", {}, ""},
        // A failed apply is taken back and holds nothing: once the cause is gone the same list goes through.
        {"", 1, "", {"8-Track=3", "cd=2", "Édition=7", "LP=1"}, "8-Track", "", kUse + "('Late', 5), ('Later', 5)",
         "Error updating Formats : 2 Recordings now use a Format deleted here (another program gave it to them), "
         "so nothing has been changed."},
        // Another program changed the table since the load: nothing is written unless told to overwrite.
        {"", -1, "Reel", kBase + QStringList{"Reel=8"}, "Reel", "", "INSERT INTO Format VALUES (8, 'Wire')",
         "changed elsewhere"},
        {"", 2, "Vinyl", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1", "Vinyl=2"}, "Vinyl", "",
         "UPDATE Format SET Description = 'Compact Disc' WHERE ID = 2", "changed elsewhere"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Loaded run(c.setup);
        FormatList::Change change;
        if (c.entry < 0)
            change = run.formats.add(c.typed);
        else if (!c.typed.isEmpty())
            change = run.formats.amend(c.entry, c.typed);
        else if ((change.refusal = run.formats.deleteRefusal(*run.db, c.entry)).isEmpty())
            change.index = run.formats.remove(c.entry);
        EXPECT_EQ(Items(run.formats), c.listed);
        EXPECT_EQ(change.index < 0 ? QString() : run.formats.at(change.index).text(), c.selected);
        EXPECT_EQ(change.refusal, c.refusal);
        EXPECT_EQ(run.formats.changed(), c.refusal.isEmpty() && (c.typed.isEmpty() || !c.selected.isEmpty()));
        TestFolder::execute(run.path, c.meanwhile);
        FormatList before;
        before.load(run.db.get());
        const FormatList::Applied applied = run.formats.apply(*run.db);
        const QString failure = applied.changedElsewhere ? QStringLiteral("changed elsewhere") : applied.failure;
        EXPECT_EQ(failure.left(c.failure.isEmpty() ? -1 : c.failure.size()), c.failure);
        FormatList stored;
        stored.load(run.db.get());
        if (!c.failure.isEmpty()) {
            EXPECT_EQ(Items(stored), Items(before)) << "nothing was written";
            TestFolder::execute(run.path, "DELETE FROM Recording");
            EXPECT_TRUE(run.formats.apply(*run.db, FormatList::Overwrite::Yes).written());
            stored.load(run.db.get());
        }
        EXPECT_EQ(Items(stored), c.listed);
    }
}

TEST(FormatList, IdsSpentStaySpentAcrossLoadsTillNoneIsLeft)
{
    Loaded run;
    run.formats.remove(run.formats.add("Tape").index);
    EXPECT_EQ(run.formats.load(run.db.get()), QString());
    EXPECT_FALSE(run.formats.changed());
    run.formats.add("Reel");
    EXPECT_EQ(Items(run.formats), kBase + QStringList{"Reel=9"});
    // A row without an ID, when the last one is taken, cannot be listed.
    TestFolder::execute(run.path, kLoose + "INSERT INTO Format VALUES (9223372036854775807,'Wire'),(NULL,'Tape')");
    EXPECT_EQ(run.formats.load(run.db.get()), "The Formats could not be read:\r\n\r\nNo Format ID is left to give.");
    EXPECT_EQ(run.formats.count(), 0);
}

} // namespace
