#include "store/CatalogueBackup.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

TEST(CatalogueBackup, ACopyWhenChangedTheNewestKeptAndOneRestoredWholeKeepingTheLast)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, {{"Abba", "Waterloo"}, {"Blur", "Parklife"}});
    const auto db = Database::open(path);
    const QString first = CatalogueBackup::makeIfChanged(*db, 2);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(CatalogueBackup::makeIfChanged(*db, 2), QString()) << "nothing changed since";
    EXPECT_EQ(CatalogueBackup::copies(path).value(0).recordings, 2);

    // Changed since, twice: only the newest two copies stay.
    for (int i = 0; i < 2; ++i) {
        TestFolder::addRecordings(path, {{"Can", "Tago Mago"}});
        EXPECT_FALSE(CatalogueBackup::makeIfChanged(*db, 2).isEmpty());
    }
    const QList<CatalogueBackup::Copy> copies = CatalogueBackup::copies(path);
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies.at(0).recordings, 4);
    EXPECT_EQ(copies.at(1).recordings, 3);
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_GT(copies.at(0).made, copies.at(1).made);

    // Back to three recordings; the four of now are one more copy.
    CatalogueBackup::restore(*db, copies.at(1).path, 2);
    EXPECT_EQ(TestFolder::query(path, "SELECT count(*) FROM Recording").toInt(), 3);
    EXPECT_EQ(CatalogueBackup::copies(path).value(0).recordings, 4);

    // A copy that is no catalogue is refused, and the catalogue stays as it is.
    folder.writeFile("backups/varolin-2000-01-01-000000-000.mdb", "not a database");
    EXPECT_THROW(CatalogueBackup::restore(*db, folder.file("backups/varolin-2000-01-01-000000-000.mdb"), 2),
                 EngineError);
    EXPECT_EQ(TestFolder::query(path, "SELECT count(*) FROM Recording").toInt(), 3);
}

// A catalogue's name is no pattern, and may make its copies hidden files: they are found, so that
// an unchanged catalogue is not copied again at every start and the old copies are pruned.
TEST(CatalogueBackup, CopiesOfANameThatLooksLikeAPatternAreFound)
{
    for (const QString name : {"my[1].mdb", "a?b.MDB", ".hidden.mdb"}) {
        TestFolder folder;
        const QString path = folder.createCatalogue(name);
        const auto db = Database::open(path);
        ASSERT_FALSE(CatalogueBackup::makeIfChanged(*db, 2).isEmpty()) << name.toStdString();
        EXPECT_EQ(CatalogueBackup::makeIfChanged(*db, 2), QString()) << name.toStdString();
        EXPECT_EQ(CatalogueBackup::copies(path).size(), 1) << name.toStdString();
    }
}

TEST(CatalogueBackup, AFolderThatCannotBeWrittenIsSaidNotHidden)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    const auto db = Database::open(path);
    folder.writeFile("backups", "a file where the folder would be");
    EXPECT_THROW(CatalogueBackup::makeIfChanged(*db, 10), EngineError);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).filter(".part").size(), 0);
}

} // namespace
