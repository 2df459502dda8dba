#include "shared/SelectionCondition.h"
#include "shared/SelectionList.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

using Is = SelectionCondition::Test;
using Row = SelectionCondition::Row;

TEST(SelectionCondition, RowsWriteTheDialectFindWhatTheySayAndReadBack)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974", 9, "Polar"},
                                     {"Blur", "Parklife", "1994", 1, ""},
                                     {"O'Brien", "*Star*", "1980", 9, "Polar"}});
    const auto db = Database::open(path);
    const struct
    {
        SelectionCondition condition;
        QString text;
        QStringList found;
    } cases[] = {
        {{{Row{"Artist", Is::Contains, "bb"}}}, "Artist Like '*bb*'", {"Abba"}},
        {{{Row{"Artist", Is::Is, "O'Brien"}}}, "Artist = 'O''Brien'", {"O'Brien"}},
        {{{Row{"Title", Is::StartsWith, "*"}}}, "Title Like '[*]*'", {"O'Brien"}},
        {{{Row{"Title", Is::EndsWith, "life"}}}, "Title Like '*life'", {"Blur"}},
        {{{Row{"Year", Is::Between, "1975", "1994"}}}, "Year Between '1975' And '1994'", {"Blur", "O'Brien"}},
        {{{Row{"Label", Is::IsEmpty}}}, "(Label Is Null Or Label = '')", {"Blur"}},
        {{{Row{"Label", Is::IsNotEmpty}, Row{"Year", Is::Is, "1974"}}},
         "(Label Is Not Null And Label <> '') And Year = '1974'",
         {"Abba"}},
        {{{Row{"Format", Is::Is, "LP"}, Row{"Year", Is::Is, "1980"}}, true},
         "Format = 'LP' Or Year = '1980'",
         {"Blur", "O'Brien"}},
        {{{Row{"Artist", Is::StartsWith, "", "", true}}}, "Artist Like '??*'", {}},
        {{{Row{"Year", Is::Between, "", "", true}}}, "Year Between '??' And '??'", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(c.condition.text(), c.text);
        EXPECT_EQ(SelectionCondition::read(c.text), c.condition);
        if (SelectionList::asksForValues(c.text))
            continue;
        QStringList found;
        const auto rs = db->openSnapshot(SelectionList::displayStatement({"t", c.text, "Artist"}, c.text));
        for (; !rs->eof(); rs->moveNext())
            found << rs->text(rs->fieldIndex("Artist"));
        EXPECT_EQ(found, c.found);
    }
    // Any other form stays text, never rewritten.
    for (const char* other :
         {"Artist Like 'A*' AND Year = '1974'", "Mid(Title, 2, 3) = 'ate'", "Artist = 'A' Or", "[Artist] = 'Abba'",
          "Artist = 'A' And Title = 'B' Or Year = '1'", "Artist Like '*a'b*'", "Artist Between '??' And 'Z'"})
        EXPECT_EQ(SelectionCondition::read(other), std::nullopt) << other;
    EXPECT_EQ(SelectionCondition::read(QString()), SelectionCondition{});
}

TEST(SelectionList, AStoredEntryReadsBackAsItIsOrIsRefused)
{
    const struct
    {
        SelectionList::Selection selection;
        QString entry;
        const char* refusal; // "" for none
    } cases[] = {
        {{"All", "", ""}, "All", ""},
        {{"By Artist", "Artist Like '??*'", "Artist, Year DESC"}, "By Artist,Artist Like '??*',Artist,Year DESC", ""},
        {{"Newest", "", "ID DESC"}, "Newest,,ID DESC", ""},
        {{"Initial", "UCase(Left(Artist, 1)) = 'N'", "Mid(Title, 2, 3)"},
         "Initial,UCase(Left(Artist, 1)) = 'N',Mid(Title, 2, 3)",
         ""},
        {{"", "Year = '1974'", ""}, ",Year = '1974'", "needs a name"},
        {{"A, B", "", ""}, "A, B", "holds a comma, where a Selection's name ends"},
        {{"Cut", "Artist = 'A' , Title = 'B'", ""}, "Cut,Artist = 'A' , Title = 'B'", "would be read back cut in two"},
        {{"Lines", "Artist = 'A\nB'", ""}, "Lines,Artist = 'A\nB'", "holds a line break"},
        {{"Long", "Notes Like '*" + QString(79, 'x') + "*'", ""}, "", ""}, // 99 characters, read back whole
        {{"Long", "Notes Like '*" + QString(80, 'x') + "*'", ""}, "", "is 100 characters long as stored"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selection.name.toStdString());
        if (!c.entry.isEmpty()) {
            EXPECT_EQ(SelectionList::entryOf(c.selection), c.entry);
        }
        const QString refusal = SelectionList::storeRefusal(c.selection);
        EXPECT_EQ(refusal.isEmpty(), !*c.refusal) << refusal.toStdString();
        EXPECT_TRUE(refusal.contains(QLatin1String(c.refusal))) << refusal.toStdString();
        if (!*c.refusal) {
            EXPECT_EQ(SelectionList::fromEntry(SelectionList::entryOf(c.selection)), c.selection);
        }
    }
}

TEST(Session, SavedSelectionsChangeOnlyTheirOwnLines)
{
    TestFolder folder;
    // Windows-1252, with lines of every kind around the section.
    const QByteArray before = "; Caf\xE9 list\r\n[SQL]\r\n1=All\r\n2=By Artist,Artist Like '??*',Artist\r\n"
                              "; keep me\r\n3=Old,Year = '1970'\r\nDefault=3\r\n[Other]\r\nx=1\r\n";
    folder.writeFile("varolin.ini", before);
    Session session(folder.file("varolin.ini"));
    session.LoadSelections();
    QList<SelectionList::Selection> list = session.selections;
    list.removeLast();
    list[1].order = "Artist, Year";
    list.append({"New", "Label = 'Polar'", ""});
    ASSERT_TRUE(session.SaveSelections(list, 0));
    EXPECT_EQ(folder.readFile("varolin.ini"),
              QByteArray("; Caf\xE9 list\r\n[SQL]\r\n1=All\r\n2=By Artist,Artist Like '??*',Artist,Year\r\n"
                         "; keep me\r\n3=New,Label = 'Polar'\r\nDefault=1\r\n[Other]\r\nx=1\r\n"));
    EXPECT_EQ(session.selections, list);
    session.LoadSelections();
    EXPECT_EQ(session.selections, list) << "read back the same";
    // Fewer than before: the keys past the end go, and a default that went with them.
    list.remove(1, 2);
    ASSERT_TRUE(session.SaveSelections(list, -1));
    EXPECT_EQ(folder.readFile("varolin.ini"),
              QByteArray("; Caf\xE9 list\r\n[SQL]\r\n1=All\r\n; keep me\r\n[Other]\r\nx=1\r\n"));
}

} // namespace
