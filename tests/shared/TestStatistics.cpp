#include "shared/CollectionStatistics.h"
#include "shared/DisplayModel.h"
#include "shared/ShownRecordings.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

using Bars = QList<CollectionStatistics::Bar>;

// A collection with case twins, empty and unknown values, and a format no longer listed.
QString sampleCatalogue(const TestFolder& folder)
{
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {
                                        {"Can", "Tago Mago", "1971", 1, "united artists"},
                                        {"CAN", "Ege Bamyasi", "1972", 1, "United Artists"},
                                        {"Can ", "Future Days", " 1973", 9, "United Artists"},
                                        {"Neu!", "Neu!", "1972", 9, ""},
                                        {"Harmonia", "Deluxe", "197?", 1, "Brain"},
                                        {"", "Untitled", "", 3, "Brain"},
                                        {"Cluster", "Zuckerzeit", "1974", 99, "Brain"},
                                        {"Popol Vuh", "Hosianna Mantra", "1972", 1, "Pilz"},
                                        {"Kraftwerk", "Computer World", "1981", 9, "EMI"},
                                    });
    return path;
}

TEST(CollectionStatistics, CountsTheCatalogueAsItsGroupsDo)
{
    TestFolder folder;
    const QString path = sampleCatalogue(folder);
    const auto db = Database::open(path);
    const CollectionStatistics s = CollectionStatistics::ofCatalogue(*db);

    EXPECT_EQ(s.recordings(), 9);
    EXPECT_EQ(s.artists(), 6) << "Can, CAN and 'Can ' are one; the empty one is none";
    EXPECT_EQ(s.labels(), 4);
    EXPECT_EQ(s.formats(), 3) << "a format no longer listed counts under (none)";
    EXPECT_EQ(s.firstYear(), 1971);
    EXPECT_EQ(s.lastYear(), 1981);
    EXPECT_EQ(s.byFormat(), (Bars{{"LP", 4}, {"CD", 3}, {"(none)", 1}, {"Single", 1}}));
    EXPECT_EQ(s.byDecade(), (Bars{{"1970s", 6}, {"1980s", 1}, {"(none)", 2}}));
    EXPECT_EQ(s.decades(), (QList<int>{1970, 1980}));
    const Bars years = s.byYearIn(1970);
    ASSERT_EQ(years.size(), 10);
    EXPECT_EQ(years[0], (CollectionStatistics::Bar{"1970", 0}));
    EXPECT_EQ(years[2], (CollectionStatistics::Bar{"1972", 3}));
    EXPECT_EQ(s.topArtists().first(), (CollectionStatistics::Bar{"Can", 3}));
    EXPECT_EQ(s.topLabels().mid(0, 2), (Bars{{"Brain", 3}, {"United Artists", 3}})) << "as most spell it";

    // Each chart's counts against the catalogue's own grouping of the same column.
    const auto sum = [](const Bars& bars) {
        int n = 0;
        for (const auto& b : bars)
            n += b.count;
        return n;
    };
    EXPECT_EQ(sum(s.byFormat()), TestFolder::query(path, "SELECT COUNT(*) FROM Recording").toInt());
    EXPECT_EQ(
        s.formats(),
        TestFolder::query(path, "SELECT COUNT(DISTINCT Format) FROM Expanded_Recording WHERE Format <> ''").toInt());
    EXPECT_EQ(s.labels(),
              TestFolder::query(path, "SELECT COUNT(DISTINCT Label) FROM Recording WHERE Label <> ''").toInt());
}

TEST(CollectionStatistics, CountsOnlyWhatTheFilterShows)
{
    TestFolder folder;
    const auto db = Database::open(sampleCatalogue(folder));
    DisplayModel display;
    display.setRecordings(db->openSnapshot(Catalogue::displayStatement(QString(), QStringLiteral("ID"))));
    ShownRecordings shown;
    shown.setSourceModel(&display);
    ASSERT_TRUE(shown.setFilterText(QStringLiteral("label:brain")));

    const CollectionStatistics s = CollectionStatistics::ofShown(shown);
    EXPECT_EQ(s.recordings(), 3);
    EXPECT_EQ(s.byFormat(), (Bars{{"(none)", 1}, {"LP", 1}, {"Single", 1}}));
    EXPECT_EQ(s.byDecade(), (Bars{{"1970s", 1}, {"(none)", 2}}));
    EXPECT_EQ(s.topArtists(), (Bars{{"(none)", 1}, {"Cluster", 1}, {"Harmonia", 1}}));
    EXPECT_EQ(CollectionStatistics::ofShown(display).recordings(), 9);
}

} // namespace
