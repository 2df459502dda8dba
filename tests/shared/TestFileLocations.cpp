#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "shared/FileLocations.h"
#include "shared/Session.h"
#include "support/TestFolder.h"

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
    QProcessEnvironment environment(const QString& config, const QString& data) const
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
        QString config, data;   // null: the variable is not set
        QString ini, catalogue; // under the root folder
    };
    const QList<Case> cases = {
        {"portable", true, "/elsewhere/cfg", "/elsewhere/data", "bin/varolin.ini", "bin/varolin.mdb"},
        {"installed", false, "@/cfg", "@/data/", "cfg/varolin/varolin.ini", "data/varolin/varolin.mdb"},
        {"installed, variables empty", false, "", "", "home/.config/varolin/varolin.ini",
         "home/.local/share/varolin/varolin.mdb"},
        {"installed, variables unset", false, QString(), QString(), "home/.config/varolin/varolin.ini",
         "home/.local/share/varolin/varolin.mdb"},
        {"installed, relative paths ignored", false, "cfg", "./data", "home/.config/varolin/varolin.ini",
         "home/.local/share/varolin/varolin.mdb"},
    };
    for (const Case& c : cases) {
        Places places;
        if (c.iniBesideProgram)
            places.root.writeFile(QStringLiteral("bin/varolin.ini"), "");
        QString config = c.config, data = c.data;
        config.replace(QLatin1Char('@'), places.root.path());
        data.replace(QLatin1Char('@'), places.root.path());
        const FileLocations locations(places.program, places.environment(config, data));
        EXPECT_EQ(locations.isPortable(), c.iniBesideProgram) << c.name;
        EXPECT_EQ(locations.iniFile(), places.root.file(c.ini)) << c.name;
        EXPECT_EQ(locations.defaultCatalogue(), places.root.file(c.catalogue)) << c.name;

        ASSERT_TRUE(locations.prepare()) << c.name;
        // Nothing is written beside the program, and a portable copy needs nothing made.
        EXPECT_EQ(entries(places.program), c.iniBesideProgram ? QStringList{"varolin.ini"} : QStringList{}) << c.name;
        if (!c.iniBesideProgram) {
            EXPECT_EQ(places.root.readFile(c.ini), starterIni()) << c.name;
            EXPECT_TRUE(QFileInfo(places.root.file(c.catalogue)).dir().exists()) << c.name;
        }
    }
}

TEST(FileLocations, SettingsAlreadyThereAreTheUsers)
{
    Places places;
    const FileLocations locations(places.program, places.environment(QString(), QString()));
    ASSERT_FALSE(starterIni().isEmpty());
    ASSERT_TRUE(locations.prepare());
    places.root.writeFile(QStringLiteral("home/.config/varolin/varolin.ini"), "[SQL]\n1=Mine\n");
    ASSERT_TRUE(locations.prepare());
    EXPECT_EQ(places.root.readFile(QStringLiteral("home/.config/varolin/varolin.ini")), "[SQL]\n1=Mine\n");
}

class InstalledWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Dialogs::setScripted(true);
    }
    void TearDown() override
    {
        window.reset();
        Dialogs::setScripted(false);
    }
    bool start()
    {
        window.reset();
        session = std::make_unique<Session>();
        window = std::make_unique<frmMain>(*session);
        window->setProgramDirectory(places.program);
        window->setEnvironment(places.environment(QString(), QString()));
        return window->Form_Load();
    }
    QString userFile(const QString& name) const { return places.root.file(QStringLiteral("home/") + name); }

    Places places;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> window;
};

TEST_F(InstalledWindow, FirstStartWritesTheStarterSettingsAndOffersTheCatalogue)
{
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    ASSERT_TRUE(start());
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().icon, QMessageBox::Question);
    EXPECT_TRUE(shown.first().text.contains(userFile(".local/share/varolin/varolin.mdb")));
    EXPECT_EQ(session->iniFile(), userFile(".config/varolin/varolin.ini"));
    EXPECT_TRUE(QFile::exists(userFile(".local/share/varolin/varolin.mdb")));
    // The starter settings are in force: their Selections, the default one shown.
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("cboSQL"))->currentText(), QStringLiteral("All Recordings"));
    EXPECT_TRUE(entries(places.program).isEmpty());

    // The next start finds both and asks nothing.
    ASSERT_TRUE(start());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(InstalledWindow, DatabaseEntryWins)
{
    const QString elsewhere = places.root.createCatalogue(QStringLiteral("mine.mdb"));
    ASSERT_TRUE(QDir().mkpath(userFile(".config/varolin")));
    places.root.writeFile(QStringLiteral("home/.config/varolin/varolin.ini"),
                          QStringLiteral("[Initialisation]\nDatabase=%1\n").arg(elsewhere).toUtf8());
    ASSERT_TRUE(start());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_FALSE(QFile::exists(userFile(".local/share/varolin/varolin.mdb")));
    // The user's file is left as it was.
    EXPECT_TRUE(
        places.root.readFile(QStringLiteral("home/.config/varolin/varolin.ini")).startsWith("[Initialisation]"));
}

TEST_F(InstalledWindow, FolderThatCannotBeMadeEndsTheStartWithAMessage)
{
    places.root.writeFile(QStringLiteral("home/.config"), "not a folder");
    EXPECT_FALSE(start());
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Varolin"));
    EXPECT_TRUE(shown.first().text.contains(userFile(".config/varolin")));
}
