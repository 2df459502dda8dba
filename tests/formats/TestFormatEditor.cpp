#include "formats/frmFormats.h"
#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/ProgramWindow.h"

#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using Box = QMessageBox;

// A table another tool made: no key, no rule on the description.
const QString kLooseTable = QStringLiteral("DROP VIEW Expanded_Recording; DROP TABLE Format;"
                                           "CREATE TABLE Format (ID INTEGER, Description TEXT);"
                                           "CREATE VIEW Expanded_Recording AS SELECT * FROM Recording;");
const QStringList kBase = {"8-Track=3", "Cassette=5", "cd=2", "Édition=7", "LP=1"};
const QString kNew = QStringLiteral("input Enter the description of the new Format.");
const QString kAmend = QStringLiteral("input Amend the description of this Format as required.");
const QString kSure = QStringLiteral("? Are you sure you want to delete this Format?");
const QString kIgnore = QStringLiteral("? Changes exist to the Formats - ignore them?");
const QString kRecordings = QStringLiteral("INSERT INTO Recording (Artist, Format) VALUES ");

class FormatEditor : public ::testing::Test
{
protected:
    // A fresh run: its own editor and catalogue, whose IDs have gaps and are stored in no sorted order.
    void start(const QString& setup = QString())
    {
        form.reset();
        session = std::make_unique<Session>();
        Dialogs::setScripted(true);
        folder = std::make_unique<TestFolder>();
        path = folder->createCatalogue();
        TestFolder::execute(path, "DELETE FROM Format; INSERT INTO Format VALUES (1,'LP'),(2,'cd'),(3,'8-Track'),"
                                  "(5,'Cassette'),(7,'Édition');" +
                                      setup);
        session->setCatalogue(Database::open(path));
        form = std::make_unique<frmFormats>(*session);
    }
    void TearDown() override
    {
        form.reset();
        session.reset();
        Dialogs::setScripted(false);
    }

    QToolButton* button(const char* name) const { return form->findChild<QToolButton*>(QLatin1String(name)); }
    QListWidget* list() const { return form->findChild<QListWidget*>(QStringLiteral("lstFormats")); }
    // The list, and the table in the list's order, as "description=ID".
    QStringList items() const
    {
        QStringList a;
        for (int i = 0; i < list()->count(); ++i)
            a << list()->item(i)->text() + '=' + QString::number(list()->item(i)->data(Qt::UserRole).toLongLong());
        return a;
    }
    QStringList table() const
    {
        QStringList a;
        const auto rs =
            Database::open(path)->openSnapshot("SELECT Description, ID FROM Format ORDER BY Description, ID");
        for (; !rs->eof(); rs->moveNext())
            a << (rs->value(0).isNull() ? QStringLiteral("<null>") : rs->text(0)) + '=' + rs->text(1);
        return a;
    }
    QString selected() const { return list()->currentItem() ? list()->currentItem()->text() : QString(); }
    void select(const QString& text) const { list()->setCurrentItem(list()->findItems(text, Qt::MatchExactly)[0]); }
    // What was asked, as "input prompt" or icon and text; every box carries the program's title.
    static QStringList shown()
    {
        QStringList a;
        for (const Dialogs::Shown& s : Dialogs::takeShown()) {
            EXPECT_EQ(s.title, QStringLiteral("Varolin"));
            a << (s.input ? "input " : s.icon == Box::Warning ? "! " : "? ") + s.text;
        }
        return a;
    }
    static void script(const QString& input) { Dialogs::scriptInputAnswer(input); }
    static void reply(Box::StandardButton answer) { Dialogs::scriptMessageAnswer(answer); }
    static void press(Qt::Key key) { ProgramWindow::press(key); }
    // Shows the editor and runs the steps inside it; they must leave it.
    void show(const std::function<void()>& steps)
    {
        QTimer::singleShot(0, form.get(), [&] {
            QApplication::setActiveWindow(form.get());
            steps();
            EXPECT_FALSE(form->isVisible()) << "the editor stayed open";
            form->done(QDialog::Rejected);
        });
        form->ShowModal();
    }

    std::unique_ptr<TestFolder> folder;
    QString path;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmFormats> form;
};

TEST_F(FormatEditor, NewAmendAndDeleteChangeTheSortedListAndApplyWritesIt)
{
    const struct
    {
        QString setup;
        const char* select; // "": the first entry, selected on opening
        const char* command;
        QString answer; // to the input box, or Yes or No to the question
        QStringList listed;
        QString selected;
        QStringList shown;
        QStringList written; // when the table holds it otherwise than the list shows it
    } cases[] = {
        // clang-format off
        {"", "LP", "cmdNew", " Mini\ndisc\t", kBase + QStringList{"Mini disc=8"}, "Mini disc", {kNew}},
        {"DELETE FROM Format", "", "cmdNew", "Reel", {"Reel=1"}, "Reel", {kNew}},
        // A recording still naming a format that is gone keeps its ID from a new one.
        {kRecordings + "('A', 20)", "", "cmdNew", "Reel", kBase + QStringList{"Reel=21"}, "Reel", {kNew}},
        // Null and blank descriptions go back as they came; a row without an ID gets a fresh one.
        {kLooseTable + "INSERT INTO Format VALUES (1,NULL),(2,''),(NULL,'Tape'),(3,'LP')", "", "cmdNew", "Reel",
         {"(no description)=1", "(no description)=2", "LP=3", "Reel=5", "Tape=4"}, "Reel", {kNew},
         {"<null>=1", "=2", "LP=3", "Reel=5", "Tape=4"}},
        {"INSERT INTO Format VALUES (9223372036854775807, 'Wire')", "", "cmdNew", "Reel",
         kBase + QStringList{"Wire=9223372036854775807"}, "8-Track",
         {"! No more Formats can be added: the highest Format ID is already in use."}},
        {"", "LP", "cmdNew", "   ", kBase, "LP", {kNew}},
        {"", "LP", "cmdNew", "CD", kBase, "LP", {kNew, "! There is already a Format called \"cd\". Nothing has been changed."}},
        {"", "LP", "cmdNew", QString(256, 'x'), kBase, "LP",
         {kNew, "! A Format's description can be at most 255 characters long; this one has 256. Nothing has been changed."}},
        {"", "cd", "cmdAmend", "Vinyl", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1", "Vinyl=2"}, "Vinyl", {kAmend}},
        {"", "cd", "cmdAmend", "CD", {"8-Track=3", "Cassette=5", "CD=2", "Édition=7", "LP=1"}, "CD", {kAmend}},
        {"", "cd", "cmdAmend", "lp", kBase, "cd", {kAmend, "! There is already a Format called \"LP\". Nothing has been changed."}},
        {kRecordings + "('A', 2)", "cd", "cmdDelete", "", kBase, "cd", {"! Can't delete this Format - 1 Recording exists for it."}},
        {kRecordings + "('A', 2), ('B', 2), ('C', 2)", "cd", "cmdDelete", "", kBase, "cd",
         {"! Can't delete this Format - 3 Recordings exist for it."}},
        {"", "cd", "cmdDelete", "No", kBase, "cd", {kSure}},
        {"", "", "cmdDelete", "Yes", kBase.mid(1), "Cassette", {kSure}},
        {"", "cd", "cmdDelete", "Yes", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1"}, "Cassette", {kSure}},
        {"DELETE FROM Format WHERE ID <> 2", "cd", "cmdDelete", "Yes", {}, "", {kSure}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        start(c.setup);
        script(c.answer), reply(c.answer == "No" ? Box::No : Box::Yes);
        QStringList before;
        show([&] {
            before = items();
            if (*c.select)
                select(c.select);
            button(c.command)->click();
            EXPECT_EQ(items(), c.listed);
            EXPECT_EQ(selected(), c.selected);
            EXPECT_EQ(button("cmdAmend")->isEnabled(), !c.listed.isEmpty());
            EXPECT_EQ(shown(), c.shown);
            press(Qt::Key_Return);
        });
        EXPECT_EQ(table(), c.written.isEmpty() ? c.listed : c.written);
        EXPECT_EQ(form->FormatsChanged(), c.listed != before);
    }
}

TEST_F(FormatEditor, KeyboardAloneDoesEverythingAndNoIdIsHandedOutTwiceInARun)
{
    start();
    script("Tape"), script("Tapes"), script("Reel");
    reply(Box::Yes), reply(Box::Yes), reply(Box::No), reply(Box::Yes); // delete twice; keep the changes; ignore them
    show([&] {
        for (const char* name : {"cmdAmend", "cmdDelete", "lstFormats", "cmdOK", "cmdCancel", "cmdNew"}) {
            press(Qt::Key_Tab);
            EXPECT_EQ(ProgramWindow::focus()->objectName(), name);
        }
        // New "Tape", amended to "Tapes" and deleted again; then the first entry deleted.
        press(Qt::Key_Space), press(Qt::Key_Tab), press(Qt::Key_Space), press(Qt::Key_Tab), press(Qt::Key_Space);
        EXPECT_EQ(items(), kBase);
        press(Qt::Key_Tab), press(Qt::Key_Home), press(Qt::Key_Backtab), press(Qt::Key_Space);
        EXPECT_EQ(items(), kBase.mid(1));
        // A held Enter acts once: its repeats apply nothing.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(ProgramWindow::focus(), &repeat);
        press(Qt::Key_Escape);
        EXPECT_TRUE(form->isVisible());
        form->close(); // the title bar's close is Cancel too
    });
    EXPECT_FALSE(form->FormatsChanged());
    // ID 8 was spent on "Tape"; Enter applies even while a button has the focus.
    show([&] { press(Qt::Key_Space), press(Qt::Key_Return); });
    EXPECT_TRUE(form->FormatsChanged());
    EXPECT_EQ(table(), kBase + QStringList{"Reel=9"});
    // Without changes Cancel asks nothing.
    show([&] { button("cmdCancel")->click(); });
    EXPECT_FALSE(form->FormatsChanged());
    EXPECT_EQ(shown(), QStringList({kNew, kAmend, kSure, kSure, kIgnore, kIgnore, kNew}));
}

TEST_F(FormatEditor, AFailedApplyRollsBackAndKeepsTheWindowAndTheList)
{
    start("CREATE TRIGGER NoTape BEFORE INSERT ON Format WHEN NEW.Description = 'Tape' "
          "BEGIN SELECT RAISE(ABORT, 'no tapes here'); END");
    script("Tape"), reply(Box::Yes);
    // The catalogue refuses a row half-way through; then another program gives a recording the
    // format deleted here. Once that is undone too, Apply goes through.
    const QList<QPair<QString, QString>> failures = {
        {"no tapes here", "DROP TRIGGER NoTape; " + kRecordings + "('Late', 5)"},
        {"1 Recording now uses a Format deleted here", "DELETE FROM Recording"},
    };
    show([&] {
        button("cmdNew")->click(), select("Cassette"), button("cmdDelete")->click();
        const QStringList listed = items();
        for (const auto& [error, next] : failures) {
            press(Qt::Key_Return);
            const QString shownError = shown().last();
            EXPECT_TRUE(shownError.startsWith("! Error updating Formats : " + error)) << shownError.toStdString();
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(items(), listed);
            EXPECT_EQ(table(), kBase);
            TestFolder::execute(path, next);
        }
        press(Qt::Key_Return);
    });
    EXPECT_EQ(table(), QStringList({"8-Track=3", "cd=2", "Édition=7", "LP=1", "Tape=8"}));
    EXPECT_TRUE(form->FormatsChanged());
}

TEST_F(FormatEditor, ADoubleClickAmendsStartingOnTheDescriptionAndAnUnreadableTableShowsNoWindow)
{
    start();
    Dialogs::setScripted(false);
    QString sOffered;
    show([&] {
        select("cd");
        QCoreApplication::processEvents(); // lets the list lay its items out
        const QPoint at = list()->visualItemRect(list()->currentItem()).center();
        QTimer::singleShot(0, form.get(), [&] {
            auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            sOffered = box->textValue();
            box->reject();
        });
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
        button("cmdCancel")->click();
    });
    EXPECT_EQ(sOffered, "cd");

    Dialogs::setScripted(true);
    TestFolder::execute(path, kLooseTable + "DROP TABLE Format; CREATE TABLE Format (ID INTEGER, Name TEXT)");
    EXPECT_EQ(form->ShowModal(), QDialog::Rejected);
    EXPECT_TRUE(shown().value(0).startsWith("! The Formats could not be read:"));
}

} // namespace
