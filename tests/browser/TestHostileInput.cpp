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
#include <QFile>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

#include <thread>

namespace {

const QList<TestFolder::Recording> kOne = {{"Abba", "Waterloo", "1974", 9}};

// The program's window on a catalogue of one, made but not yet started.
frmMain* Unstarted(ProgramWindow& program)
{
    TestFolder::addRecordings(program.folder.createCatalogue(), kOne);
    program.folder.writeIni(QStringLiteral("[SQL]\n1=All\nDefault=1\n"));
    program.window = std::make_unique<frmMain>(*program.session);
    program.window->setProgramDirectory(program.folder.path());
    return program.window.get();
}

TEST(HostileInput, CatalogueFaultsAtStartUpAreToldApart)
{
    ProgramWindow program;
    const TestFolder& f = program.folder;
    f.createCatalogue(QStringLiteral("cat.mdb"));
    f.writeFile(QStringLiteral("garbage.mdb"), QByteArray(4096, 'x'));
    const QList<TestFolder::Recording> many(300, {"Artist", "Title", "", 9, "", "", QString(100, QLatin1Char('n'))});
    TestFolder::addRecordings(f.createCatalogue(QStringLiteral("whole.mdb")), many); // of many pages
    const QByteArray bytes = f.readFile(QStringLiteral("whole.mdb"));
    f.writeFile(QStringLiteral("bad.mdb"), bytes.left(8192) + QByteArray(bytes.size() - 8192, 'Z'));
    const struct
    {
        QString file; // in the folder, as the "Database" entry names it
        bool starts;
        bool asked; // offered a new, empty catalogue
        const char* says;
        QMessageBox::StandardButton answer = QMessageBox::Yes;
    } cases[] = {
        {QStringLiteral("cat.mdb   "), true, false, ""},
        {QString(), true, false, ""}, // no "Database" entry: the first start makes varolin.mdb unasked
        {QStringLiteral("new.mdb  "), true, true, "new.mdb'."}, // created without the spaces
        {QStringLiteral("unwanted.mdb"), false, true, "", QMessageBox::No},
        {QStringLiteral("none/cat.mdb"), false, true,
         "Cannot create '%1/none/cat.mdb': the folder '%1/none' does not exist."},
        {QStringLiteral("garbage.mdb"), false, false, "not a database"},
        {QStringLiteral("bad.mdb"), true, false, // the Selection cannot run
         "the catalogue is damaged (database disk image is malformed). Varolin has not changed it."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const QString entry = c.file.isEmpty() ? QString() : QStringLiteral("Database=%1\n").arg(f.file(c.file));
        f.writeIni(QStringLiteral("[Initialisation]\n%1[SQL]\n1=All\nDefault=1\n").arg(entry));
        const QByteArray before = f.readFile(c.file);
        if (c.asked)
            Dialogs::scriptMessageAnswer(c.answer);
        EXPECT_EQ(program.start(), c.starts);
        EXPECT_EQ(program.window->isEnded(), !c.starts);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        const QList<Dialogs::Shown> shown = Dialogs::takeShown();
        EXPECT_EQ(!shown.isEmpty() && shown.first().buttons == (QMessageBox::Yes | QMessageBox::No), c.asked);
        EXPECT_TRUE(ProgramWindow::said(shown).contains(QString::fromUtf8(c.says).replace("%1", f.path())))
            << ProgramWindow::said(shown).toStdString();
        if (c.file.isEmpty()) {
            EXPECT_TRUE(program.grid()->textAt(1, 0).startsWith("Your catalogue is empty: press Insert"));
            continue;
        }
        EXPECT_EQ(f.readFile(c.file), before) << "the file is left as it was";
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
    frmMain* window = Unstarted(program);
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
    window->findChild<StatusPanel*>(QStringLiteral("pnlStatus"))->installEventFilter(&painted);
    EXPECT_TRUE(window->Form_Load());
    release.join();
    sqlite3_close(holder);
    EXPECT_TRUE(
        painted.captions.contains(QStringLiteral(" Waiting for another program to finish with the catalogue ...")))
        << painted.captions.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->caption(), QStringLiteral(" 1 records found"));
}

TEST(HostileInput, ClosingTheWindowDuringStartUpEndsTheProgram)
{
    ProgramWindow program;
    frmMain* window = Unstarted(program);
    // Closed as the window shows, while start-up lets the pending events run.
    QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
    EXPECT_FALSE(window->Form_Load()) << "no event loop may start without a window";
    EXPECT_TRUE(window->isEnded());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(program.session->catalogue(), nullptr);
}

TEST(HostileInput, ASlowSelectionCanBeCancelledAndTheWindowGoesOn)
{
    ProgramWindow program;
    // Escape on the busy window as soon as it shows, each time.
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [] {
        if (auto* busy = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
            QTest::keyClick(busy, Qt::Key_Escape);
    });
    escape.start(50);
    const QString endless =
        QStringLiteral("ID IN (SELECT a.ID FROM Recording a, Recording b, Recording c, Recording d)");
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=Endless,%1\n2=All\nDefault=1\n").arg(endless),
                              QList<TestFolder::Recording>(300, {"Artist", "Title", "", 9})));
    EXPECT_EQ(program.column(0), QStringList{"(The Selection was cancelled)"});
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->caption(), QStringLiteral(" The Selection was cancelled"));
    EXPECT_TRUE(Dialogs::takeShown().isEmpty()) << "a cancel is no failure";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    auto* selections = program.control<QComboBox>("cboSQL");
    selections->setCurrentIndex(1);
    emit selections->activated(1);
    EXPECT_EQ(program.column(0).size(), 300);

    // Closing the window while a Selection runs stops it first, then ends the program.
    QTimer::singleShot(600, program.window.get(), &QWidget::close);
    escape.stop();
    selections->setCurrentIndex(0);
    emit selections->activated(0);
    QTRY_VERIFY_WITH_TIMEOUT(program.window->isEnded(), 5000);
    EXPECT_EQ(program.session->catalogue(), nullptr);
}

} // namespace
