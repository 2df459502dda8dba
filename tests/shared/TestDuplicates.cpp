#include "shared/DuplicateFinder.h"
#include "store/Database.h"
#include "store/RecordingStore.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(DuplicateFinder, AlikeOnceCaseAccentsSpacesPunctuationAndTheAreSetAside)
{
    const std::tuple<const char*, const char*, const char*, const char*, bool> cases[] = {
        {"The Beatles", "Abbey Road", "beatles", "ABBEY ROAD", true},
        {"Motörhead", "Ace of Spades", "Motorhead", "Ace Of Spades!", true},
        {"Sigur Rós", "( )", "sigur ros", "()", true},
        {"AC/DC", "Back in Black", "ACDC", "Back-in-Black", true},
        {"Theatre", "Act", "atre", "Act", false}, // only a whole word "The"
        {"Abba", "Waterloo", "Abba", "Arrival", false},
        {"", "", "", "", false}, // nothing to compare
    };
    for (const auto& [artistA, titleA, artistB, titleB, alike] : cases) {
        const QString a = DuplicateFinder::key(QString::fromUtf8(artistA), QString::fromUtf8(titleA));
        const QString b = DuplicateFinder::key(QString::fromUtf8(artistB), QString::fromUtf8(titleB));
        EXPECT_EQ(!a.isEmpty() && a == b, alike) << artistA << " / " << titleA;
    }
}

TEST(DuplicateFinder, FindsOthersAndFollowsEveryChange)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(
        path, {{"The Beatles", "Abbey Road", "1969", 1, "Apple", "PCS 7088"}, {"Abba", "Waterloo", "1974", 9}});
    const auto db = Database::open(path);
    DuplicateFinder finder;
    const auto ids = [&](const char* artist, const char* title, qint64 except = 0) {
        QList<qint64> found;
        for (const DuplicateFinder::Match& m : finder.find(*db, artist, title, except))
            found << m.id;
        return found;
    };
    const QList<DuplicateFinder::Match> first = finder.find(*db, "beatles", "abbey road!");
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first.first(), (DuplicateFinder::Match{1, "The Beatles", "Abbey Road", "LP", "PCS 7088"}));
    EXPECT_EQ(ids("The Beatles", "Abbey Road", 1), QList<qint64>{}) << "not the recording itself";
    // Another program adds one; this one saves one and remembers it; another program deletes one.
    TestFolder::execute(path,
                        "INSERT INTO Recording (ID, Artist, Title, Format) VALUES (5, 'Beatles', 'Abbey Road', 9)");
    EXPECT_EQ(ids("Beatles", "Abbey Road"), (QList<qint64>{1, 5}));
    RecordingStore store(*db);
    RecordingValues abba = *store.load(2);
    abba.title = "Arrival";
    store.save(2, abba);
    finder.remember(*db, 2, "Abba", "Arrival");
    EXPECT_EQ(ids("ABBA", "arrival"), QList<qint64>{2});
    EXPECT_EQ(ids("Abba", "Waterloo"), QList<qint64>{});
    TestFolder::execute(path, "DELETE FROM Recording WHERE ID = 1");
    EXPECT_EQ(ids("Beatles", "Abbey Road"), QList<qint64>{5});
}

} // namespace
