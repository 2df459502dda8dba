#include "shared/DisplayModel.h"
#include "shared/FilterQuery.h"
#include "shared/ShownRecordings.h"
#include "shared/TextFolding.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>

namespace {

const QList<TestFolder::Recording> kRecordings = {
    {"Motörhead", "Ace of Spades", "1980", 1, "Bronze", "BRON 531"},
    {"Sigur Rós", "Ágætis byrjun", "1999", 9, "Smekkleysa", "SM 71", "Æ and Œ"},
    {"The Rolling Stones", "Sticky Fingers", "1971", 1, "Rolling Stones", "COC 59100", "zip \"cover\""},
    {"motorpsycho", "Demon Box", "", 9, "Stickman"},
    {"Émilie Simon", "Végétal", "2006", 9, "Barclay"},
    {"Abba", "Waterloo", "974", 1, "Polar"},
};

// The display of the recordings in their stored order, and the filter and sort over it.
struct Shown
{
    Shown()
    {
        TestFolder::addRecordings(path, kRecordings);
        display.setRecordings(db->openSnapshot(Catalogue::displayStatement(QString(), QStringLiteral("ID"))));
        shown.setSourceModel(&display);
    }
    QStringList column(int col) const
    {
        QStringList cells;
        for (int r = 0; r < shown.rowCount(); ++r)
            cells << shown.index(r, col).data().toString();
        return cells;
    }
    TestFolder folder;
    QString path = folder.createCatalogue();
    std::unique_ptr<Database> db = Database::open(path);
    DisplayModel display;
    ShownRecordings shown;
    // Every change checked against the rules of item models as it happens.
    QAbstractItemModelTester tester{&shown, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST(Filter, FoldsCaseAccentsAndLigatures)
{
    const std::pair<QString, QString> cases[] = {
        {"Motörhead", "motorhead"},
        {"Sigur Rós", "sigur ros"},
        {"ÆGIS Œuvre", "aegis oeuvre"},
        {"Straße", "strasse"},
        {"Øresund Łódź", "oresund lodz"},
        {"ﬁnal", "final"},
        {"ÉCOLE", "ecole"},
        {"Þór", "thor"},
    };
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(TextFolding::fold(text), folded);
}

TEST(Filter, EachWordInSomeCellPhrasesFieldsRangesAndExclusions)
{
    Shown s;
    const struct
    {
        const char* typed;
        QStringList artists;
        bool wellFormed = true;
    } cases[] = {
        {"", {"Motörhead", "Sigur Rós", "The Rolling Stones", "motorpsycho", "Émilie Simon", "Abba"}},
        {"motor", {"Motörhead", "motorpsycho"}},
        {"ros", {"Sigur Rós"}},
        {"AGAETIS", {"Sigur Rós"}}, // Ágætis
        {"  Stick  rolling ", {"The Rolling Stones"}},
        {"stick", {"The Rolling Stones", "motorpsycho"}}, // a word may fall in any cell
        {"\"rolling stones\"", {"The Rolling Stones"}},
        {"\"stones rolling\"", {}},
        {"label:stick", {"motorpsycho"}},
        {"catalogueno.:sm", {"Sigur Rós"}},
        {"cat:\"coc 59\"", {"The Rolling Stones"}},
        {"notes:oe", {"Sigur Rós"}},
        {"year:1970..1989", {"Motörhead", "The Rolling Stones"}},
        {"year:974", {"Abba"}},
        {"-year:1970..1989 -motor", {"Sigur Rós", "Émilie Simon", "Abba"}},
        {"vegetal -\"demon box\"", {"Émilie Simon"}},
        {"unknown:word", {}}, // no field of that name: a word like any other
        // What cannot be read marks the box and filters on the rest.
        {"year:abc motor", {"Motörhead", "motorpsycho"}, false},
        {"artist: abba", {"Abba"}, false},
        {"\"sigur", {"Sigur Rós"}, false},
        {"title:\"ace of", {"Motörhead"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(s.shown.setFilterText(QString::fromUtf8(c.typed)), c.wellFormed);
        EXPECT_EQ(s.column(0), c.artists);
    }
}

TEST(Filter, SortsByTheCatalogueOrderYearsByNumberEmptyLastAndBack)
{
    Shown s;
    const struct
    {
        int column;
        Qt::SortOrder order;
        QStringList artists;
    } cases[] = {
        {0,
         Qt::AscendingOrder,
         {"Abba", "Émilie Simon", "Motörhead", "motorpsycho", "Sigur Rós", "The Rolling Stones"}},
        {0,
         Qt::DescendingOrder,
         {"The Rolling Stones", "Sigur Rós", "motorpsycho", "Motörhead", "Émilie Simon", "Abba"}},
        // Numbers by number (974 before 1971), the empty Year last either way.
        {2,
         Qt::AscendingOrder,
         {"Abba", "The Rolling Stones", "Motörhead", "Sigur Rós", "Émilie Simon", "motorpsycho"}},
        {2,
         Qt::DescendingOrder,
         {"Émilie Simon", "Sigur Rós", "Motörhead", "The Rolling Stones", "Abba", "motorpsycho"}},
        // Ties keep the order shown before (the Year's, descending), so one sort refines another.
        {3,
         Qt::AscendingOrder,
         {"Émilie Simon", "Sigur Rós", "motorpsycho", "Motörhead", "The Rolling Stones", "Abba"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        s.shown.sort(c.column, c.order);
        EXPECT_EQ(s.column(0), c.artists);
    }
    s.shown.setFilterText("motor");
    EXPECT_EQ(s.column(0), (QStringList{"motorpsycho", "Motörhead"})) << "sorted by Format, then filtered";
    s.shown.clearSort();
    s.shown.setFilterText(QString());
    EXPECT_EQ(s.column(0).first(), "Motörhead") << "the display's own order again";
    EXPECT_LT(ShownRecordings::sortKey("é", 0), ShownRecordings::sortKey("f", 0));
    EXPECT_LT(ShownRecordings::sortKey("e", 0), ShownRecordings::sortKey("é", 0));
    EXPECT_LT(ShownRecordings::sortKey("-5", 2), ShownRecordings::sortKey("3", 2));
}

} // namespace
