#include "store/Database.h"
#include "support/TestFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

// Runs the program as in a session with no display at all.
Outcome run(const QString& program, const QStringList& arguments, const TestFolder& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

const QString kProgram = QStringLiteral(VAROLIN_PROGRAM);
const QString kJet = QStringLiteral(VAROLIN_TESTDATA_DIR "/jet/nwind-jet3.mdb");

} // namespace

TEST(CommandLine, OptionsAnswerWithoutADisplay)
{
    struct Case
    {
        QStringList arguments;
        int status;
        QString out; // the whole of standard output when it ends in a line break, else a part of it
        QString err; // a part of standard error
    };
    const QString badSelection =
        QStringLiteral("--selection needs the number of a Selection, a whole number from 1, not '%1'.");
    QList<Case> cases = {
        {{"--version"}, 0, "Varolin 2.4.0\n", ""},
        {{"--help"}, 0, "--import <FILE>", ""},
        {{"-h"}, 0, "Catalogue  " + QFileInfo(kProgram).absolutePath() + "/varolin.mdb", ""},
        {{"--frobnicate"}, 2, "", "Unknown option 'frobnicate'."},
        {{"--import"}, 2, "", "Missing value after '--import'."},
        {{"--import", ""}, 2, "", "--import needs a value."},
        {{"records.csv"}, 2, "", "Unexpected argument 'records.csv'"},
        {{"--import", "a.csv", "--export", "b.csv"}, 2, "", "--import and --export cannot be used together."},
        {{"--table", "Recording"}, 2, "", "--table, --map, --map-format and --notes-extra go with --import."},
        {{"--export", "b.csv", "--notes-extra"}, 2, "", "--table, --map, --map-format and --notes-extra go with"},
        {{"--import", "a.csv", "--map-format", ""}, 2, "", "--map-format needs a value."},
        {{"--import", "a.csv", "--selection", "2"}, 2, "", "--selection goes with --export."},
        {{"--export", "b.csv", "--export", "c.csv"}, 2, "", "--export is given more than once."},
    };
    for (const char* number : {"0", "two", "1.5", "+3", "99999999999"})
        cases.append({{"--export", "b.csv", "--selection", number}, 2, "", badSelection.arg(number)});
    TestFolder home;
    for (const Case& c : cases) {
        const Outcome r = run(kProgram, c.arguments, home);
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString() + "\n" + r.out.toStdString() +
                     r.err.toStdString());
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(c.out.endsWith(QLatin1Char('\n')) ? r.out == c.out : r.out.contains(c.out));
        EXPECT_TRUE(r.err.contains(c.err));
        EXPECT_EQ(r.err.contains(QStringLiteral("Try 'varolin --help'")), c.status == 2);
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty()) << "asking writes nothing";
}

TEST(CommandLine, InstalledCopyUsesTheUsersFolders)
{
    TestFolder home;
    TestFolder install;
    ASSERT_TRUE(QDir().mkpath(install.file(QStringLiteral("bin"))));
    const QString program = install.file(QStringLiteral("bin/varolin"));
    ASSERT_TRUE(QFile::copy(kProgram, program));

    const Outcome help = run(program, {"--help"}, home);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("Settings   " + home.file(QStringLiteral("config/varolin/varolin.ini"))) &&
                help.out.contains("Catalogue  " + home.file(QStringLiteral("data/varolin/varolin.mdb"))))
        << help.out.toStdString();
    EXPECT_TRUE(QDir(home.path()).isEmpty()) << "--help writes nothing";

    // A command on the catalogue prepares the user's folders first, as the window would.
    run(program, {"--export", install.file(QStringLiteral("out.csv"))}, home);
    QFile starter(QStringLiteral(VAROLIN_STARTER_INI));
    ASSERT_TRUE(starter.open(QIODevice::ReadOnly));
    EXPECT_EQ(home.readFile(QStringLiteral("config/varolin/varolin.ini")), starter.readAll());
    EXPECT_EQ(QDir(install.file(QStringLiteral("bin"))).entryList(QDir::Files), QStringList{"varolin"});
}

TEST(CommandLine, AnExportStoppedByCtrlCLeavesNoFile)
{
    TestFolder home;
    TestFolder portable;
    const QString program = portable.file(QStringLiteral("varolin"));
    ASSERT_TRUE(QFile::copy(kProgram, program));
    TestFolder::addRecordings(portable.createCatalogue(), QList<TestFolder::Recording>(300, {"Artist", "Title"}));
    portable.writeIni("[SQL]\n1=Endless,ID IN (SELECT a.ID FROM Recording a, Recording b, Recording c, Recording d)\n"
                      "Default=1\n");
    const QStringList before = QDir(portable.path()).entryList(QDir::Files);
    QProcess process;
    process.start(program, {"--export", portable.file(QStringLiteral("out.csv"))});
    ASSERT_TRUE(process.waitForStarted());
    QThread::msleep(1500);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(5000)) << "stopped at once";
    EXPECT_EQ(process.exitCode(), 130);
    EXPECT_TRUE(process.readAllStandardError().contains("Stopped; nothing was written."));
    EXPECT_EQ(QDir(portable.path()).entryList(QDir::Files), before) << "no partial file";
}

TEST(CommandLine, ImportsAndExportsWithoutTheWindow)
{
    TestFolder home;
    TestFolder folder; // a portable copy, with its catalogue beside it
    const QString program = folder.file(QStringLiteral("varolin"));
    ASSERT_TRUE(QFile::copy(kProgram, program));
    folder.writeIni("[SQL]\n1=All\n2=Floyd,Artist Like 'Pink*',Title\n3=Ask,Artist = '??'\n4=Broken,NoSuchColumn = 1\n"
                    "Default=1\n");
    folder.writeFile("collection.csv", "Artist,Title,Year,Notes\nPink Floyd,Animals,1977,\"Gatefold\nposters\"\n"
                                       "Can,Tago Mago,197?,\n");
    folder.writeFile("prices.csv", "Price,Qty\n1,2\n");
    const auto command = [&](const QStringList& arguments) { return run(program, arguments, home); };

    // A file that cannot be imported makes no catalogue for itself.
    Outcome r = command({"--import", folder.file("prices.csv")});
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(r.err.contains("No column names a field of a recording")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file("varolin.mdb")));

    // A missing catalogue at the default place is made for the import.
    r = command({"--import", folder.file("collection.csv")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("2 recordings added, 0 already present, 0 new formats; the Year of 1 row was not a "
                               "year and was left empty (line 4)\nFields no column filled, left empty: Format, "
                               "Label, Catalogue No., International Catalogue No.\n"))
        << r.out.toStdString();

    r = command({"--export", folder.file("floyd.csv"), "--selection", "2"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        QStringLiteral("1 recording of the Selection \"Floyd\" written to '%1'.\n").arg(folder.file("floyd.csv")));
    EXPECT_EQ(folder.readFile("floyd.csv").count("\r\n"), 2); // a Notes line break stays LF
    r = command({"--export", folder.file("floyd.pdf"), "--selection", "2"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(folder.readFile("floyd.pdf").startsWith("%PDF-"));

    // Another program writing to the catalogue all along: an import waits, then gives up.
    folder.writeFile("more.csv", "Artist,Title\nCan,Future Days\n");
    const auto other = Database::open(folder.file("varolin.mdb"));
    other->beginTrans();
    const QString out = folder.file("x.csv");
    const struct
    {
        QStringList arguments;
        const char* says;
    } failures[] = {
        {{"--import", folder.file("more.csv")},
         "The recordings could not be imported, and the catalogue is as it was: the catalogue is in use"},
        {{"--export", out, "--selection", "3"}, "The Selection \"Ask\" asks for values"},
        {{"--export", out, "--selection", "5"}, "There is no Selection 5: varolin.ini lists 4."},
        {{"--export", out, "--selection", "4"}, "The Selection \"Broken\" could not be run: no such column"},
        {{"--export", folder.file("varolin.mdb")}, "is the catalogue itself"},
        {{"--import", folder.file("nothing.csv")}, "Could not find the file"},
        {{"--import", folder.file("varolin.mdb")}, "is not an Access database"},
        {{"--import", kJet}, "name the one to import with --table"},
    };
    for (const auto& f : failures) {
        r = command(f.arguments);
        EXPECT_TRUE(r.status != 0 && r.err.contains(QLatin1String(f.says))) << r.err.toStdString();
    }
    other->rollback();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(TestFolder::query(folder.file("varolin.mdb"), "SELECT count(*) FROM Recording").toInt(), 2);

    // A table of an Access database, its columns mapped on the command line.
    r = command({"--import", kJet, "--table", "Shippers", "--map", "CompanyName=Artist,Phone=Catalogue_No"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("3 recordings added, 0 already present, 0 new formats\nFields no column filled, "))
        << r.out.toStdString();
    EXPECT_TRUE(
        r.out.endsWith("\nColumns that filled no field, left out: ShipperID.\nAdd --notes-extra to keep them in "
                       "Notes.\n"))
        << r.out.toStdString();
}

TEST(CommandLine, AnUpdatedExportImportedAgainAddsOnlyItsNewReleases)
{
    TestFolder home;
    TestFolder folder;
    const QString program = folder.file(QStringLiteral("varolin"));
    ASSERT_TRUE(QFile::copy(kProgram, program));
    folder.writeIni("[SQL]\n1=All\nDefault=1\n");
    const QString catalogue = folder.createCatalogue();
    const QByteArray header = "Catalog#,Artist,Title,Label,Format,Rating,Released,release_id,CollectionFolder,"
                              "Date Added,Collection Media Condition,Collection Sleeve Condition,Collection Notes\n";
    const QByteArray first = "SHVL 815,Pink Floyd,Animals,Harvest,\"2xVinyl, LP, Album\",4,1977,1,Uncategorized,"
                             "2020-11-12 10:00:00,Very Good Plus (VG+),,Gatefold\n"
                             "none,Can (2),Tago Mago,United Artists,\"Shellac, 10\"\"\",,1971,2,Uncategorized,,,,\n";
    folder.writeFile("2020.csv", header + first);
    Outcome r =
        run(program, {"--import", folder.file("2020.csv"), "--map-format", "2xvinyl=ep", "--notes-extra"}, home);
    EXPECT_EQ(r.out, "2 recordings added, 0 already present, 1 new format\nFields no column filled, left empty: "
                     "International Catalogue No.\nColumns that filled no field, added to Notes: Rating, release_id, "
                     "CollectionFolder, Date Added, Collection Media "
                     "Condition, Collection Sleeve Condition.\n")
        << r.err.toStdString();
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT Notes & '|' & Description FROM Recording JOIN Format ON "
                                           "Format.ID = Recording.Format WHERE Title = 'Animals'"),
              "Gatefold\nRating: 4; Release ID: 1; Added: 2020-11-12; Media: Very Good Plus (VG+)|EP");

    // Tidied: the new format merged into one of the catalogue's. The next export names the label
    // with the site's number and holds one release more.
    TestFolder::execute(catalogue, "UPDATE Recording SET Format = (SELECT ID FROM Format WHERE Description = '78') "
                                   "WHERE Title = 'Tago Mago'; DELETE FROM Format WHERE Description = 'Shellac'");
    folder.writeFile("2021.csv", header + QByteArray(first).replace("Harvest", "Harvest (2)") +
                                     "TPLP 71,Björk,Post,One Little Indian,\"CD, Album\",,1995,3,Uncategorized,,,,\n");
    r = run(program, {"--import", folder.file("2021.csv")}, home);
    EXPECT_TRUE(r.out.startsWith("1 recording added, 2 already present, 0 new formats\n")) << r.out.toStdString();
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Recording").toInt(), 3);
    EXPECT_EQ(TestFolder::query(catalogue, "SELECT count(*) FROM Format WHERE Description = 'Shellac'").toInt(), 0);
}
