#include "browser/frmMain.h"
#include "shared/FileLocations.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QFile>

namespace {

QByteArray starterIni()
{
    QFile file(QStringLiteral(VAROLIN_STARTER_INI));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A program folder, the home and the user's folders, all in one temporary folder.
struct Places
{
    TestFolder root;
    QString program = root.file(QStringLiteral("bin"));
    QString home = root.file(QStringLiteral("home"));
    Places() { QDir().mkpath(program), QDir().mkpath(home); }
    QProcessEnvironment environment(const QString& config = QString(), const QString& data = QString()) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home);
        if (!config.isNull())
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        if (!data.isNull())
            env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        return env;
    }
};

} // namespace

TEST(FileLocations, PortableBesideTheProgramElseTheUsersFolders)
{
    struct Case
    {
        const char* name;
        bool iniBesideProgram;
        QString config, data;   // null: the variable is not set; "@" stands for the root folder
        QString ini, catalogue; // under the root folder
    };
    const QString userIni = "home/.config/varolin/varolin.ini", userMdb = "home/.local/share/varolin/varolin.mdb";
    const QList<Case> cases = {
        {"portable", true, "/elsewhere/cfg", "/elsewhere/data", "bin/varolin.ini", "bin/varolin.mdb"},
        {"installed", false, "@/cfg", "@/data/", "cfg/varolin/varolin.ini", "data/varolin/varolin.mdb"},
        {"installed, variables empty", false, "", "", userIni, userMdb},
        {"installed, variables unset", false, QString(), QString(), userIni, userMdb},
        {"installed, relative paths ignored", false, "cfg", "./data", userIni, userMdb},
    };
    ASSERT_FALSE(starterIni().isEmpty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Places places;
        if (c.iniBesideProgram)
            places.root.writeFile(QStringLiteral("bin/varolin.ini"), "");
        QString config = c.config, data = c.data;
        config.replace(QLatin1Char('@'), places.root.path());
        data.replace(QLatin1Char('@'), places.root.path());
        const FileLocations locations(places.program, places.environment(config, data));
        EXPECT_EQ(locations.isPortable(), c.iniBesideProgram);
        EXPECT_EQ(locations.iniFile(), places.root.file(c.ini));
        EXPECT_EQ(locations.defaultCatalogue(), places.root.file(c.catalogue));

        ASSERT_TRUE(locations.prepare());
        // Nothing is written beside the program, and a portable copy needs nothing made.
        EXPECT_EQ(entries(places.program), c.iniBesideProgram ? QStringList{"varolin.ini"} : QStringList{});
        if (!c.iniBesideProgram) {
            EXPECT_EQ(places.root.readFile(c.ini), starterIni());
            EXPECT_TRUE(QFileInfo(places.root.file(c.catalogue)).dir().exists());
            // Settings already there are the user's.
            places.root.writeFile(c.ini, "[SQL]\n1=Mine\n");
            ASSERT_TRUE(locations.prepare());
            EXPECT_EQ(places.root.readFile(c.ini), "[SQL]\n1=Mine\n");
        }
    }
}

TEST(FileLocations, InstalledWindowStarts)
{
    Places places;
    ProgramWindow program;
    program.programDirectory = places.program;
    program.environment = places.environment();
    const auto user = [&](const char* name) { return places.root.file(QStringLiteral("home/") + name); };

    // A folder that cannot be made ends the start with a message.
    places.root.writeFile(QStringLiteral("home/.config"), "not a folder");
    EXPECT_FALSE(program.start());
    const QString said = ProgramWindow::said();
    EXPECT_TRUE(said.startsWith("Varolin: ") && !said.contains(" | ") && said.contains(user(".config/varolin")));

    // The first start writes the starter settings, reads them and makes the catalogue unasked.
    ASSERT_TRUE(QFile::remove(user(".config")));
    ASSERT_TRUE(program.start());
    EXPECT_EQ(ProgramWindow::said(), QString());
    EXPECT_TRUE(QFile::exists(user(".local/share/varolin/varolin.mdb")));
    EXPECT_EQ(program.control<QComboBox>("cboSQL")->currentText(), QStringLiteral("All Recordings"));
    EXPECT_TRUE(entries(places.program).isEmpty());
    // The next start finds both and asks nothing.
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    // A Database entry wins over the user's catalogue, which is not made again.
    ASSERT_TRUE(QFile::remove(user(".local/share/varolin/varolin.mdb")));
    const QByteArray mine = "[Initialisation]\nDatabase=" + places.root.createCatalogue("mine.mdb").toUtf8() + "\n";
    places.root.writeFile(QStringLiteral("home/.config/varolin/varolin.ini"), mine);
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_FALSE(QFile::exists(user(".local/share/varolin/varolin.mdb")));
    EXPECT_EQ(places.root.readFile(QStringLiteral("home/.config/varolin/varolin.ini")), mine);
}
