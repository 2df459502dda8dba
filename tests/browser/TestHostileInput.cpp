#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <sqlite3.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace {

const QList<TestFolder::Recording> kOne = {{"Abba", "Waterloo", "1974", 9}};

QString status(const ProgramWindow& program)
{
    return program.control<StatusPanel>("pnlStatus")->caption();
}

QString texts(const QList<Dialogs::Shown>& shown)
{
    QStringList all;
    for (const Dialogs::Shown& box : shown)
        all << box.text;
    return all.join(QStringLiteral(" | "));
}

// The bytes of a catalogue of many pages, made in the folder as whole.mdb.
QByteArray ManyPages(const TestFolder& folder)
{
    const QString whole = folder.createCatalogue(QStringLiteral("whole.mdb"));
    TestFolder::addRecordings(
        whole, QList<TestFolder::Recording>(300, {"Artist", "Title", "", 9, "", "", QString(100, QLatin1Char('n'))}));
    return folder.readFile(QStringLiteral("whole.mdb"));
}

TEST(HostileInput, CatalogueFaultsAtStartUpAreToldApart)
{
    // Each case makes the catalogue in its folder and returns the "Database" entry naming it.
    const struct
    {
        const char* name;
        std::function<QString(const TestFolder&)> make;
        bool starts;
        bool asked; // offered a new, empty catalogue
        const char* says;
        bool unprivileged = false;
    } cases[] = {
        {"trailing spaces",
         [](const TestFolder& f) { return f.createCatalogue(QStringLiteral("cat.mdb")) + QStringLiteral("   "); }, true,
         false, ""},
        {"a path past 99 characters",
         [](const TestFolder& f) {
             const QString deep = QString(60, QLatin1Char('a')) + QLatin1Char('/') + QString(60, QLatin1Char('b'));
             QDir(f.path()).mkpath(deep);
             return f.createCatalogue(deep + QStringLiteral("/cat.mdb"));
         },
         true, false, ""},
        {"missing, with trailing spaces: created without them",
         [](const TestFolder& f) { return f.file(QStringLiteral("new.mdb  ")); }, true, true, "new.mdb'."},
        {"missing folder", [](const TestFolder& f) { return f.file(QStringLiteral("none/cat.mdb")); }, false, true,
         "Cannot create '%1/none/cat.mdb': the folder '%1/none' does not exist."},
        {"damaged pages: the Selection cannot run",
         [](const TestFolder& f) {
             const QByteArray bytes = ManyPages(f);
             f.writeFile(QStringLiteral("bad.mdb"), bytes.left(8192) + QByteArray(bytes.size() - 8192, 'Z'));
             return f.file(QStringLiteral("bad.mdb"));
         },
         true, false, "the catalogue is damaged (database disk image is malformed). Varolin has not changed it."},
        {"permission denied",
         [](const TestFolder& f) {
             const QString path = f.createCatalogue(QStringLiteral("cat.mdb"));
             QFile::setPermissions(path, {});
             return path;
         },
         false, false, "Varolin may not open '%1/cat.mdb': permission denied.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramWindow program;
        const QString entry = c.make(program.folder);
        program.folder.writeIni(QStringLiteral("[Initialisation]\nDatabase=%1\n[SQL]\n1=All\nDefault=1\n").arg(entry));
        const QByteArray before = program.folder.readFile(QFileInfo(entry).fileName());
        Dialogs::scriptMessageAnswer(QMessageBox::Yes);
        bool started = false;
        if (c.unprivileged) {
            if (!program.folder.withoutPrivilege([&] { started = program.start(); }))
                continue; // root that cannot give up its privilege opens anything
        } else {
            started = program.start();
        }
        EXPECT_EQ(started, c.starts);
        const QList<Dialogs::Shown> shown = Dialogs::takeShown();
        EXPECT_EQ(!shown.isEmpty() && shown.first().buttons == (QMessageBox::Yes | QMessageBox::No), c.asked)
            << texts(shown).toStdString();
        EXPECT_TRUE(
            texts(shown).contains(QString::fromUtf8(c.says).replace(QStringLiteral("%1"), program.folder.path())))
            << texts(shown).toStdString();
        EXPECT_EQ(program.folder.readFile(QFileInfo(entry).fileName()), before) << "the file is left as it was";
    }
}

TEST(HostileInput, HostileSelectionsGetAClearAnswer)
{
    QString thousand = QStringLiteral("[SQL]\n");
    for (int i = 1; i <= 1000; ++i)
        thousand += QStringLiteral("%1=Selection %1,Year = '%1'\n").arg(i);
    const struct
    {
        QString ini;
        int chosen;       // the Selection shown at start-up, -1 for none
        const char* cell; // the grid's first cell
        const char* says; // in the message shown, or "" for none
    } cases[] = {
        // "--" starts no comment in the dialect, so it cannot hide the ordering.
        {QStringLiteral("[SQL]\n1=Comment,Artist = 'Abba' -- the rest\nDefault=1\n"), 0,
         "(The Selection could not be run)", "after end of SQL statement"},
        {QStringLiteral("[SQL]\n1=Comment,Artist = 'Abba' /* the rest,Title\nDefault=1\n"), 0,
         "(The Selection could not be run)", "could not be run"},
        {QStringLiteral("[SQL]\n1=Second,Artist = 'Abba'; DELETE FROM Recording\nDefault=1\n"), 0,
         "(The Selection could not be run)", "could not be run"},
        {QStringLiteral("[SQL]\n1=All\nDefault=-5\n"), -1, "", ""},
        {QStringLiteral("[SQL]\n1=All\nDefault=99999\n"), -1, "", ""},
        {QStringLiteral("[SQL]\n1=All\nDefault=abc\n"), -1, "", ""},
        {thousand + QStringLiteral("Default=1000\n"), 999, "(No Recordings Found)", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini.left(60).toStdString());
        ProgramWindow program;
        ASSERT_TRUE(program.start(c.ini, kOne));
        EXPECT_EQ(program.control<QComboBox>("cboSQL")->currentIndex(), c.chosen);
        EXPECT_EQ(program.grid()->textAt(1, 0), QString::fromUtf8(c.cell));
        const QString shown = texts(Dialogs::takeShown());
        EXPECT_EQ(shown.isEmpty(), !*c.says) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QString::fromUtf8(c.says))) << shown.toStdString();
        EXPECT_EQ(TestFolder::query(program.catalogue(), QStringLiteral("SELECT count(*) FROM Recording")), 1);
    }
}

TEST(HostileInput, HostileRowsShowWholeAndLoseNothing)
{
    // Rows another tool wrote: Null in every field, a format with a Null description, 1 MB of notes.
    ProgramWindow program;
    const QString path = program.folder.createCatalogue();
    QString notes;
    while (notes.size() < (1 << 20))
        notes += QStringLiteral("side\tone\r\nline 🎵 two\n");
    TestFolder::execute(path, QStringLiteral("PRAGMA legacy_alter_table = ON;"
                                             "ALTER TABLE Format RENAME TO Starter;"
                                             "CREATE TABLE Format (ID INTEGER PRIMARY KEY, Description TEXT);"
                                             "INSERT INTO Format SELECT * FROM Starter; DROP TABLE Starter;"
                                             "INSERT INTO Format VALUES (20, NULL);"
                                             "INSERT INTO Recording (ID) VALUES (NULL);"
                                             "INSERT INTO Recording (Artist, Format, Notes) VALUES ('Abba', 20, '%1');")
                                  .arg(notes));
    program.folder.writeIni(QStringLiteral("[SQL]\n1=All\nDefault=1\n"));
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_EQ(program.column(0), (QStringList{QString(), QStringLiteral("Abba")}));
    EXPECT_EQ(program.grid()->textAt(2, 3), QString()) << "the format without a description";
    EXPECT_EQ(program.grid()->textAt(2, 6), notes);

    program.control<QToolButton>("cmdCopy")->click();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(notes));

    // Opened and saved with OK, each row keeps what it held.
    for (int row : {1, 2}) {
        program.clickRow(row);
        program.whenEditorShows({[](frmRecord*) { ProgramWindow::press(Qt::Key_Return); }});
        program.control<QToolButton>("cmdAmend")->click();
        EXPECT_EQ(program.editorsShown(), row);
    }
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_EQ(TestFolder::query(path, QStringLiteral("SELECT Notes FROM Recording WHERE Artist = 'Abba'")), notes);
    EXPECT_EQ(TestFolder::query(path, QStringLiteral("SELECT Format FROM Recording WHERE Artist = 'Abba'")), 20);
    EXPECT_EQ(TestFolder::query(path, QStringLiteral("SELECT count(*) FROM Recording")), 2);
}

TEST(HostileInput, StartUpShowsItIsWaitingForALockedCatalogue)
{
    ProgramWindow program;
    TestFolder::addRecordings(program.folder.createCatalogue(), kOne);
    program.folder.writeIni(QStringLiteral("[SQL]\n1=All\nDefault=1\n"));
    sqlite3* holder = nullptr;
    sqlite3_open(QFile::encodeName(program.catalogue()).constData(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    });

    // What the status line says each time it is painted.
    struct Painted : QObject
    {
        QStringList captions;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                captions << static_cast<StatusPanel*>(watched)->caption();
            return false;
        }
    } painted;
    program.window = std::make_unique<frmMain>(*program.session);
    program.window->setProgramDirectory(program.folder.path());
    program.window->findChild<StatusPanel*>(QStringLiteral("pnlStatus"))->installEventFilter(&painted);
    EXPECT_TRUE(program.window->Form_Load());
    release.join();
    sqlite3_close(holder);
    EXPECT_TRUE(
        painted.captions.contains(QStringLiteral(" Waiting for another program to finish with the catalogue ...")))
        << painted.captions.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(status(program), QStringLiteral(" 1 records found"));
}

TEST(HostileInput, ClosingTheWindowDuringStartUpEndsTheProgram)
{
    ProgramWindow program;
    TestFolder::addRecordings(program.folder.createCatalogue(), kOne);
    program.folder.writeIni(QStringLiteral("[SQL]\n1=All\nDefault=1\n"));
    program.window = std::make_unique<frmMain>(*program.session);
    program.window->setProgramDirectory(program.folder.path());
    // Closed as the window shows, while start-up lets the pending events run.
    QMetaObject::invokeMethod(program.window.get(), &QWidget::close, Qt::QueuedConnection);
    EXPECT_FALSE(program.window->Form_Load()) << "no event loop may start without a window";
    EXPECT_TRUE(program.window->isEnded());
    EXPECT_FALSE(program.window->isVisible());
    EXPECT_EQ(program.session->catalogue(), nullptr);
}

TEST(HostileInput, MenuShortcutsWinInTheSelectionText)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"), kOne));
    QLineEdit* text = program.control<QComboBox>("cboSQL")->lineEdit();
    const auto focusText = [&] {
        QApplication::setActiveWindow(program.window.get());
        text->setFocus();
        text->selectAll();
    };

    focusText();
    QApplication::clipboard()->clear();
    ProgramWindow::press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Artist\tTitle")));
    EXPECT_EQ(status(program), QStringLiteral(" Grid contents copied to clipboard"));

    focusText();
    program.whenEditorShows({[](frmRecord*) { ProgramWindow::press(Qt::Key_Escape); }});
    ProgramWindow::press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(program.editorsShown(), 1);

    focusText();
    ProgramWindow::press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(program.window->isEnded());
    EXPECT_EQ(text->text(), QStringLiteral("All")) << "the text was not cut";
}

} // namespace
