#include "interchange/AccessDatabase.h"
#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Exporter.h"
#include "interchange/FormatMatcher.h"
#include "interchange/Importer.h"
#include "interchange/InterchangeError.h"
#include "interchange/NotesExtra.h"
#include "interchange/ReleaseKey.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kJetFolder = QStringLiteral(VAROLIN_TESTDATA_DIR "/jet/");

// A collection export as the online database writes it.
const QByteArray kCollectionExport =
    "Catalog#,Artist,Title,Label,Format,Rating,Released,release_id,CollectionFolder,Date Added,"
    "Collection Media Condition,Collection Sleeve Condition,Collection Notes\n"
    "SHVL 804,Pink Floyd,The Dark Side Of The Moon,Harvest (3),\"Vinyl, LP, Album, Gatefold\",,1973,1873013,"
    "Uncategorized,2021-03-04 10:11:12,Very Good Plus (VG+),Very Good (VG),\"First press.\nPosters missing.\"\n"
    "CDP 7 46001 2,Nirvana (2),Nevermind,DGC,\"CD, Album\",5,1991-09-24,367084,Uncategorized,2021-03-04 10:11:13,,,\n"
    "none,Hüsker Dü & Bob Mould (2),Live,\"SST, Warner\",cd,,0,1,Uncategorized,2021-03-04 10:11:14,,,\n"
    "LP 1,Boney M.,Nightflight,Hansa,Cassette,,197?,2,Uncategorized,2021-03-04 10:11:15,,,\n";

// The catalogue's recordings, a line each, in ID order: the fields joined with '|'.
QStringList recordingsOf(const QString& catalogue, const QString& order = QStringLiteral("ID"))
{
    const auto db = Database::open(catalogue);
    const auto rs = db->openSnapshot(
        QStringLiteral("SELECT Artist, Title, Year, Format, Label, Catalogue_No, International_Catalogue_No, Notes "
                       "FROM Expanded_Recording ORDER BY ") +
        order);
    QStringList lines;
    for (; !rs->eof(); rs->moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs->fieldCount(); ++i)
            fields.append(rs->text(i));
        lines.append(fields.join(QLatin1Char('|')));
    }
    return lines;
}

QString importBytes(const QString& catalogue, const QByteArray& bytes)
{
    const CsvReader csv(bytes);
    const auto db = Database::open(catalogue);
    return Importer::summary(Importer(*db, csv, ColumnMapping::match(csv.columns())).run());
}

template <typename F>
QString failure(F f)
{
    return TestFolder::thrown<InterchangeError>(f);
}

} // namespace

TEST(Import, CollectionExportGivesEveryRecordingOnceAndAgainNothing)
{
    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    EXPECT_EQ(importBytes(catalogue, kCollectionExport), "4 recordings added, 0 already present, 0 new formats; the "
                                                         "Year of 1 row was not a year and was left empty (line 6)");
    // Each format is the catalogue's most specific; "none" is no catalogue number.
    EXPECT_EQ(
        recordingsOf(catalogue),
        QStringList({"Pink Floyd|The Dark Side Of The Moon|1973|LP|Harvest|SHVL 804||First press.\nPosters missing.",
                     "Nirvana|Nevermind|1991|CD|DGC|CDP 7 46001 2||", "Hüsker Dü & Bob Mould|Live||CD|SST, Warner|||",
                     "Boney M.|Nightflight||Cassette|Hansa|LP 1||"}));
    EXPECT_EQ(importBytes(catalogue, kCollectionExport), "0 recordings added, 4 already present, 0 new formats");
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Format").toInt(), 14);
    EXPECT_EQ(recordingsOf(catalogue).size(), 4);
    const auto db = Database::open(catalogue);
    const CsvReader csv(kCollectionExport);
    Importer importer(*db, csv, ColumnMapping::match(csv.columns()));
    importer.mapFormats({"Vinyl, LP, Album, Gatefold=EP", "vinyl=78"});
    EXPECT_EQ(importer.formatTarget("Vinyl, LP, Album, Gatefold"), "EP");
    EXPECT_EQ(failure([&] {
                  importer.mapFormats({"cd=LP", "CD=EP"});
              }),
              "--map-format names the format 'cd' twice ('cd=LP' and 'CD=EP').");
}

TEST(FormatMatcher, TakesTheMostSpecificDetailTheCatalogueHas)
{
    const FormatMatcher matcher(Catalogue::starterFormats());
    const struct
    {
        const char* text;
        const char* becomes;
    } cases[] = {
        {"Vinyl, LP, Album", "LP"},
        {"2xVinyl, LP, Album, Gatefold", "LP"},
        {"Vinyl, 7\", 45 RPM, Single", "Single"},
        {"Vinyl, 12\", 33 ⅓ RPM, Single", "12\" Single"}, // two details together before either alone
        {"CD, Single", "CD Single"},
        {"CD, Album", "CD"},
        {"sacd, album", "SACD"},
        {"Cassette", "Cassette"},
        {"2xVinyl, Album", "Vinyl"}, // nothing known: the first part, without its quantity, is new
        {"3 x Shellac, 10\"", "Shellac"},
        {"2x, LP", "LP"},
        {"2x, Vinyl", "Vinyl"},
        {"0x", ""},
        {" , ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matcher.matchDetails(c.text), c.becomes) << c.text;
}

TEST(ReleaseKey, IgnoresCaseAccentsNumbersAndNone)
{
    const struct
    {
        QStringList a, b; // Artist, Title, Label, Catalogue No.
        bool same;
    } cases[] = {
        {{"Hüsker Dü (2) & Bob Mould (2)", "Live", "SST (3)", "none"},
         {"husker du & bob mould", " LIVE", "sst", ""},
         true},
        {{"Motörhead", "Ace Of Spades", "Bronze", "BRON 531"},
         {"MOTORHEAD", "ace of spades", "Bronze", "bron 531"},
         true},
        {{"Abba", "Arrival", "Polar", "POLS 272"}, {"Abba", "Arrival", "Polar", "POLS 273"}, false},
        {{"Abba", "Arrival", "Polar", ""}, {"Abba", "Arrival", "Epic", ""}, false},
        {{"Abba", "Arrival (2)", "", ""}, {"Abba", "Arrival", "", ""}, false}, // only names carry the number
        {{"", " ", "", "none"}, {"", "", "", ""}, false}, // rows that name nothing are no release at all
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReleaseKey::of(c.a[0], c.a[1], c.a[2], c.a[3]) == ReleaseKey::of(c.b[0], c.b[1], c.b[2], c.b[3]) &&
                      !ReleaseKey::of(c.a[0], c.a[1], c.a[2], c.a[3]).isEmpty(),
                  c.same)
            << c.a.join('|').toStdString();
}

TEST(NotesExtra, WritesTheColumnsLeftOutAfterTheNotes)
{
    const CsvReader csv(kCollectionExport);
    const ColumnMapping mapping = ColumnMapping::match(csv.columns());
    const NotesExtra extra(csv, mapping);
    EXPECT_EQ(extra.columns(), QStringList({"Rating", "release_id", "CollectionFolder", "Date Added",
                                            "Collection Media Condition", "Collection Sleeve Condition"}));
    EXPECT_EQ(extra.text(csv, 0), "Release ID: 1873013; Added: 2021-03-04; Media: Very Good Plus (VG+); Sleeve: Very "
                                  "Good (VG)");
    EXPECT_EQ(extra.text(csv, 1), "Rating: 5; Release ID: 367084; Added: 2021-03-04");
    const struct
    {
        const char* notes;
        const char* extra;
        const char* becomes;
    } cases[] = {
        {"", "Rating: 4", "Rating: 4"},
        {"First press.", "Rating: 4", "First press.\nRating: 4"},
        {"First press.\n", "Rating: 4", "First press.\nRating: 4"},
        {"First press.", "", "First press."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NotesExtra::appended(c.notes, c.extra), c.becomes) << c.notes;
}

TEST(Import, ReadsYearsFormatsAndDuplicatesByTheRules)
{
    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    TestFolder::addRecordings(
        catalogue, {{.artist = "ABBA", .title = "Arrival", .format = 9, .label = "Polar", .catalogueNo = "POLS 272"}});
    // A recording still pointing at a format deleted by another tool keeps its number to itself.
    TestFolder::execute(catalogue, "INSERT INTO Recording (Artist, Format) VALUES ('Orphan', 40)");
    EXPECT_EQ(importBytes(catalogue,
                          "Artist,Title,Year,Format,Label,Catalogue No.\n"
                          "abba,ARRIVAL,1976,cd,polar,pols 272\n"    // present, without regard to case
                          "ABBA,Arrival,1976,Vinyl,Polar,POLS 272\n" // in another format: the same release
                          "X,A,1975-03-21,Vinyl,,\n"                 // a date gives its year; Vinyl once
                          "X,A2,,vinyl,,\n"
                          "X,B,974,,,\n"              // up to four digits, as the editor keeps
                          "X,C,21/03/1975,,,\n"       // not a year
                          "X,D,19755,,,\n"            // five digits are not a year either
                          "X,E,,\"\tReel\nTape\",,\n" // a format as Edit Formats keeps it: no line breaks
                          ",,,,,\n"),                 // nothing to add
              "6 recordings added, 2 already present, 2 new formats; the Year of 2 rows was not a year and was left "
              "empty (line 7, line 8); 1 empty row skipped");
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT ID FROM Format WHERE Description = 'Vinyl'").toInt(), 41);
    EXPECT_EQ(recordingsOf(catalogue, "Artist, Title, Format").mid(1, 7),
              QStringList({"Orphan|||||||", "X|A|1975|Vinyl||||", "X|A2||Vinyl||||", "X|B|974|||||", "X|C||||||",
                           "X|D||||||", "X|E||Reel Tape||||"}));
    const QByteArray longFormat = "Artist,Format\nW," + QByteArray(256, 'x');
    EXPECT_TRUE(failure([&] { importBytes(catalogue, longFormat); }).contains("(line 2) is longer than a format"));
    // No Format ID is left past the largest: refused whole, never wrapped round to a negative one.
    TestFolder::execute(catalogue, "INSERT INTO Format VALUES (9223372036854775807, 'Wire')");
    EXPECT_EQ(failure([&] { importBytes(catalogue, "Artist,Format\nY,wire\nZ,Reel\n"); }),
              "The new format \"Reel\" (line 3) cannot be added: the highest Format ID is already in use. Nothing "
              "has been imported.");
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Recording WHERE Artist IN ('Y', 'Z')").toInt(), 0);
    // Rows that name no artist, title, label or number are not the recording that names nothing either.
    TestFolder::execute(catalogue, "INSERT INTO Recording (Year) VALUES ('1998')");
    EXPECT_TRUE(importBytes(catalogue, "Year,Notes\n1999,one\n2000,two\n").startsWith("2 recordings added, 0 already"));
}

TEST(Import, MatchesColumnsByNameAndTheMapOverrides)
{
    const QStringList columns = {
        "catalogue no", "ARTIST", "Released", "Collection Notes", "Notes", "Int'l Cat", "International Catalogue No."};
    ColumnMapping mapping = ColumnMapping::match(columns);
    const auto fieldColumns = [&] {
        QList<int> list;
        for (int field = 0; field < RecordingFields::Count; ++field)
            list << mapping.column(field);
        return list;
    };
    // Notes: our own name wins over the online database's.
    EXPECT_EQ(fieldColumns(), (QList<int>{1, -1, 2, -1, -1, 0, 6, 4}));
    mapping.override(columns,
                     QStringLiteral("Collection Notes=notes, int'l cat = International_Catalogue_No,Released="));
    EXPECT_EQ(fieldColumns(), (QList<int>{1, -1, -1, -1, -1, 0, 5, 3}));

    const auto overrideFailure = [&](const char* items) {
        return failure([&] { ColumnMapping(mapping).override(columns, items); });
    };
    EXPECT_TRUE(overrideFailure("ARTIST=Singer")
                    .startsWith("'Singer' is not a field of a recording. The fields are: Artist, Title"));
    EXPECT_TRUE(overrideFailure("Composer=Artist").startsWith("The file has no column 'Composer'."));
    EXPECT_TRUE(overrideFailure("Artist").contains("has no '='"));

    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    EXPECT_TRUE(failure([&] {
                    importBytes(catalogue, "Price,Qty\n1,2\n");
                }).startsWith("No column names a field of a recording"));
}

TEST(Import, ChangesNothingWhenTheCatalogueRefusesAnyRow)
{
    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    TestFolder::execute(catalogue, "CREATE TRIGGER refuse BEFORE INSERT ON Recording WHEN NEW.Artist = 'Bad' "
                                   "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
    EXPECT_THROW(importBytes(catalogue, "Artist,Format\nGood,Shellac\nBad,Wax\n"), EngineError);
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Recording").toInt(), 0);
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Format").toInt(), 14);
    // The catalogue is usable again at once.
    EXPECT_EQ(importBytes(catalogue, "Artist,Format\nGood,Shellac\n"),
              "1 recording added, 0 already present, 1 new format");
}

TEST(Export, WritesTheDisplayAndImportsBackTheSame)
{
    TestFolder folder;
    const QString catalogue = folder.createCatalogue();
    TestFolder::addRecordings(catalogue,
                              {{.artist = "Zappa, Frank",
                                .title = "\"Hot Rats\"",
                                .year = "1969",
                                .format = 3,
                                .notes = "Line one\r\nLine two\twith a tab, 🎸"},
                               {.artist = " Spaced ", .title = "Α Greek title", .format = 9, .catalogueNo = "=1+2"},
                               {.artist = "Nobody", .title = "Formatless", .format = 0}});
    const auto db = Database::open(catalogue);
    EXPECT_EQ(Exporter::exportStatement(*db, Catalogue::displayStatement("Artist <> 'Nobody'", "Artist DESC"),
                                        folder.file("out.csv")),
              2);
    EXPECT_TRUE(folder.readFile("out.csv").startsWith("\357\273\277Artist,Title,Year,Format,Label,Catalogue_No,"
                                                      "Notes,International_Catalogue_No\r\n\"Zappa, Frank\","
                                                      "\"\"\"Hot Rats\"\"\",1969,"));
    Exporter::exportStatement(*db, Catalogue::displayStatement(QString(), "ID"), folder.file("all.csv"));
    const QString copy = folder.createCatalogue("copy.mdb");
    EXPECT_TRUE(importBytes(copy, folder.readFile("all.csv")).startsWith("3 recordings added"));
    EXPECT_EQ(recordingsOf(copy), recordingsOf(catalogue));

    // Places a CSV file must not replace: the file is written beside and renamed over them.
    ASSERT_TRUE(QFile::link(catalogue, folder.file("link.csv")));
    folder.writeFile("varolin.ini", "[SQL]\n1=All\n");
    folder.writeFile("script", "#!/bin/sh\n");
    QFile::setPermissions(folder.file("script"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    folder.writeFile("binary.dat", QByteArray("abc\0def", 7));
    ASSERT_TRUE(QFile::copy(kJetFolder + "nwind-jet3.mdb", folder.file("access.csv")));
    const struct
    {
        QString path;
        const char* says;
    } refused[] = {
        {folder.file("no folder/x.csv"), "No such file or directory"},
        {folder.path(), "is a folder"},
        {catalogue, "is the catalogue itself"},
        {folder.path() + "/../" + QFileInfo(folder.path()).fileName() + "/varolin.mdb", "is the catalogue itself"},
        {folder.file("link.csv"), "is the catalogue itself"},
        {catalogue + "-journal", "is a companion file of the catalogue"},
        {catalogue + "-wal", "is a companion file of the catalogue"},
        {folder.file("varolin.ini"), "is Varolin's settings file in use"},
        {QCoreApplication::applicationFilePath(), "is the running program itself"},
        {folder.file("script"), "is a program, which an export must not replace"},
        {copy, "is an SQLite database"},
        {folder.file("access.csv"), "is an Access database"},
        {folder.file("binary.dat"), "is not a text file"},
    };
    for (const auto& r : refused)
        EXPECT_TRUE(failure([&] {
                        Exporter::exportStatement(*db, Catalogue::displayStatement(QString(), QString()), r.path,
                                                  folder.file("varolin.ini"));
                    }).contains(r.says))
            << r.path.toStdString();
    // Our own export and any other text are replaced.
    EXPECT_EQ(Exporter::targetRefusal(folder.file("all.csv"), catalogue, folder.file("varolin.ini")), QString());
    EXPECT_EQ(Exporter::targetRefusal(folder.file("varolin.ini"), catalogue, QString()), QString());
    EXPECT_EQ(recordingsOf(catalogue).size(), 3);
}

TEST(AccessDatabase, ReadsJet3AndJet4TablesAndRefusesADamagedFileWhole)
{
    AccessDatabase jet3(kJetFolder + "nwind-jet3.mdb");
    EXPECT_TRUE(jet3.tables().contains("Customers"));
    EXPECT_TRUE(jet3.tables().contains(QStringLiteral("Umsätze"))); // Windows-1252 names decoded
    EXPECT_FALSE(qEnvironmentVariableIsSet("MDB_JET3_CHARSET")) << "the environment is no way to tell the library";
    const auto customers = jet3.readTable("customers");
    EXPECT_EQ(customers->rowCount(), 91);
    EXPECT_EQ(customers->columns().value(1), QStringLiteral("CompanyName"));
    EXPECT_EQ(customers->value(2, 1), QStringLiteral("Antonio Moreno Taquería"));
    EXPECT_EQ(customers->value(0, 6), QString()); // Null
    EXPECT_TRUE(
        failure([&] { jet3.readTable("Recordings"); }).contains("has no table named 'Recordings'. Its tables are: "));

    AccessDatabase jet4(kJetFolder + "dates-jet4.mdb");
    const auto dates = jet4.readTable("DateTest");
    QStringList years;
    for (int r = 0; r < dates->rowCount(); ++r)
        years.append(dates->value(r, 4) + '=' + dates->value(r, 2));
    EXPECT_TRUE(years.join(' ').contains("Pre-1900 years=18")) << years.join(' ').toStdString();

    TestFolder folder;
    QFile source(kJetFolder + "nwind-jet3.mdb");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    const struct
    {
        QByteArray bytes;
        const char* says;
    } damaged[] = {
        {whole.left(1000000), "is cut short"},
        {whole.left(999424), "may be damaged"},  // whole pages: the tables' properties are gone
        {whole.left(1529856), "may be damaged"}, // the library looped for ever on these
        {QByteArray(whole).replace(451 * 2048, 2048, QByteArray(2048, '\0')), "The table 'Orders' of"}, // its rows
    };
    for (const auto& c : damaged) {
        folder.writeFile("cut.mdb", c.bytes);
        EXPECT_TRUE(failure([&] { AccessDatabase(folder.file("cut.mdb")).readTable("Orders"); }).contains(c.says))
            << c.bytes.size();
    }
    // One byte of a row's offsets changed: the library reads its memo as empty and says nothing.
    QFile jet4File(kJetFolder + "dates-jet4.mdb");
    ASSERT_TRUE(jet4File.open(QIODevice::ReadOnly));
    QByteArray changed = jet4File.readAll();
    changed[0x14F1E] = char(0xDA);
    folder.writeFile("changed.mdb", changed);
    EXPECT_EQ(failure([&] { AccessDatabase(folder.file("changed.mdb")).readTable("DateTest"); }),
              "A value in the column 'LongTextCol' of the table 'DateTest' could not be read (row 4).");
}
