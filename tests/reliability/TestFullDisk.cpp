// A disk that fills up in the middle of a change: the file-size limit makes every write past a
// size fail as a full disk does. Each change reports it and leaves the old data whole.
#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Importer.h"
#include "shared/IniFile.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/Recordset.h"
#include "support/FileSizeLimit.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QFileInfo>

namespace {

QString failureOf(const std::function<void()>& change)
{
    try {
        change();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::DiskFull);
        return e.description();
    }
    return QString();
}

} // namespace

TEST(FullDisk, SaveApplyImportAndSettingsReportItAndKeepTheOldData)
{
    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    TestFolder::addRecordings(catalogue, {{"Abba", "Waterloo", "1974", 9, "Polar", "", "Old notes"}});
    QByteArray csv = "Artist,Title,Notes\n";
    for (int i = 0; i < 5000; ++i)
        csv += QStringLiteral("Artist %1,Title %1,%2\n").arg(i).arg(QString(200, 'n')).toUtf8();
    folder.writeFile("big.csv", csv);
    const CsvReader source = CsvReader::fromFile(folder.file("big.csv"));
    folder.writeIni("[SQL]\n1=All\nDefault=1\n");
    QList<IniFile::Entry> entries;
    for (int key = 1; key <= 1000; ++key)
        entries.append({"HotKeys", QString::number(key), QString(90, 'h')});
    const auto db = Database::open(catalogue);

    const FileSizeLimit limit(QFileInfo(catalogue).size() + 4096);
    const QString save = failureOf([&] {
        const auto rs = db->openRecordset("Recording");
        rs->setIndex("PrimaryKey");
        rs->seek("=", 1);
        rs->edit();
        rs->setField("Notes", QString(100000, 'x'));
        rs->update();
    });
    const QString apply = failureOf([&] {
        db->beginTrans();
        try {
            const auto rs = db->openRecordset("Format");
            for (int i = 100; i < 3000; ++i) {
                rs->addNew();
                rs->setField("ID", i);
                rs->setField("Description", QStringLiteral("A long format description %1").arg(i));
                rs->update();
            }
            db->commitTrans();
        } catch (const EngineError&) {
            db->rollback();
            throw;
        }
    });
    const QString import = failureOf([&] { Importer(*db, source, ColumnMapping::match(source.columns())).run(); });
    for (const QString& description : {save, apply, import})
        EXPECT_TRUE(description.contains("the disk may be full") || description.contains("the disk is full"))
            << description.toStdString();
    QString settings;
    EXPECT_FALSE(IniFile::write(folder.file("varolin.ini"), entries, &settings));
    EXPECT_TRUE(settings.startsWith("Cannot write")) << settings.toStdString();

    EXPECT_EQ(TestFolder::query(catalogue, "SELECT Notes FROM Recording").toString(), "Old notes");
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Recording").toInt(), 1);
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Format").toInt(), 14);
    EXPECT_EQ(folder.readFile("varolin.ini"), QByteArray("[SQL]\n1=All\nDefault=1\n"));
}
