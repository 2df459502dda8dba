#include "formats/frmFormats.h"
#include "platform/Dialogs.h"
#include "shared/modVarolin.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

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
const QStringList kBaseRows = {"1=LP", "2=cd", "3=8-Track", "5=Cassette", "7=Édition"};
const QString kNew = QStringLiteral("input Enter the description of the new Format.");
const QString kAmend = QStringLiteral("input Amend the description of this Format as required.");
const QString kSure = QStringLiteral("? Are you sure you want to delete this Format?");
const QString kIgnore = QStringLiteral("? Changes exist to the Formats - ignore them?");

class FormatEditor : public ::testing::Test
{
protected:
    // A fresh run: its own catalogue and editor, every box answered from the script.
    void start(const QString& setup = QString())
    {
        ResetModuleGlobals();
        Dialogs::setScripted(true);
        form.reset();
        folder = std::make_unique<TestFolder>();
        path = folder->createCatalogue();
        // IDs with gaps, stored in an order that is neither alphabetical nor case-blind by chance.
        TestFolder::execute(path, "DELETE FROM Format; INSERT INTO Format VALUES (1,'LP'),(2,'cd'),(3,'8-Track'),"
                                  "(5,'Cassette'),(7,'Édition');" +
                                      setup);
        g_dbCatalogue = Database::open(path);
        form = std::make_unique<frmFormats>();
    }
    void TearDown() override
    {
        form.reset();
        ResetModuleGlobals();
        Dialogs::setScripted(false);
    }

    QToolButton* button(const char* name) const { return form->findChild<QToolButton*>(QLatin1String(name)); }
    QListWidget* list() const { return form->findChild<QListWidget*>(QStringLiteral("lstFormats")); }
    // The list as "description=ID", the table as "ID=description".
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
        const auto rs = Database::open(path)->openSnapshot("SELECT ID, Description FROM Format ORDER BY ID");
        for (; !rs->eof(); rs->moveNext())
            a << rs->text(0) + '=' + (rs->value(1).isNull() ? QStringLiteral("<null>") : rs->text(1));
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
    static void press(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "no control has the focus";
        QTest::keyClick(focus, key);
    }
    // Shows the editor and runs the step inside it; true when the step left it open (it is then
    // closed from the title bar).
    bool show(const std::function<void()>& step)
    {
        bool bOpen = false;
        QTimer::singleShot(0, form.get(), [&] {
            QApplication::setActiveWindow(form.get());
            step();
            bOpen = form->isVisible();
            if (bOpen)
                form->close();
            if (form->isVisible()) // a close that failed must not hang the run
                form->done(QDialog::Rejected);
        });
        form->ShowModal();
        return bOpen;
    }

    std::unique_ptr<TestFolder> folder;
    QString path;
    std::unique_ptr<frmFormats> form;
};

TEST_F(FormatEditor, ListsTheTableSortedAndNewTakesTheNextFreeId)
{
    struct Case
    {
        const char* name;
        QString setup;
        QStringList listed;
        QList<qint64> newIds; // 0: New refused
        QStringList written;
    };
    // clang-format off
    const QList<Case> cases = {
        {"gaps, case and accents", "", kBase, {8, 9}, kBaseRows + QStringList{"8=Minidisc", "9=Reel"}},
        {"empty table", "DELETE FROM Format", {}, {1, 2}, {"1=Minidisc", "2=Reel"}},
        {"a recording names a format that is gone", "INSERT INTO Recording (Artist, Format) VALUES ('Abba', 20)",
         kBase, {21, 22}, kBaseRows + QStringList{"21=Minidisc", "22=Reel"}},
        {"another tool's rows: Null and blank descriptions, a Null ID",
         kLooseTable + "INSERT INTO Format VALUES (1,NULL),(2,''),(NULL,'Tape'),(3,'LP')",
         {"(no description)=1", "(no description)=2", "LP=3", "Tape=4"}, {5, 6},
         {"1=<null>", "2=", "3=LP", "4=Tape", "5=Minidisc", "6=Reel"}},
        {"the highest ID is taken", "INSERT INTO Format VALUES (9223372036854775807, 'Wire')",
         kBase + QStringList{"Wire=9223372036854775807"}, {0, 0}, kBaseRows + QStringList{"9223372036854775807=Wire"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.setup);
        script("Minidisc");
        script("Reel");
        show([&] {
            EXPECT_EQ(items(), c.listed);
            EXPECT_EQ(list()->currentRow(), c.listed.isEmpty() ? -1 : 0);
            EXPECT_EQ(button("cmdDelete")->isEnabled(), !c.listed.isEmpty());
            for (const char* name : {"Minidisc", "Reel"}) {
                button("cmdNew")->click();
                const qint64 id = c.newIds.at(name[0] == 'R');
                EXPECT_EQ(selected() == name ? list()->currentItem()->data(Qt::UserRole).toLongLong() : 0, id);
            }
            press(Qt::Key_Return);
        });
        EXPECT_EQ(table(), c.written);
        EXPECT_EQ(form->FormatsChanged(), c.newIds.first() != 0);
        shown();
    }
}

TEST_F(FormatEditor, NewAmendAndDeleteChangeOnlyTheList)
{
    struct Case
    {
        const char* name;
        const char* select;
        const char* command;
        QString answer; // to the input box, or Yes or No to the question
        QStringList listed;
        QString selected;
        bool changed;
        QStringList shown;
        int recordings = 0; // using "cd"
        QString setup;
    };
    const QString kDuplicate = QStringLiteral("! There is already a Format called \"%1\". Nothing has been changed.");
    const QString kTooLong = QStringLiteral("! A Format's description can be at most 255 characters long; this one "
                                            "has 256. Nothing has been changed.");
    // clang-format off
    const QList<Case> cases = {
        {"new in its place", "LP", "cmdNew", " Mini\ndisc\t", kBase + QStringList{"Mini disc=8"}, "Mini disc", true, {kNew}},
        {"new cancelled", "LP", "cmdNew", "", kBase, "LP", false, {kNew}},
        {"new blank", "LP", "cmdNew", "   ", kBase, "LP", false, {kNew}},
        {"new duplicate", "LP", "cmdNew", "CD", kBase, "LP", false, {kNew, kDuplicate.arg("cd")}},
        {"new too long", "LP", "cmdNew", QString(256, 'x'), kBase, "LP", false, {kNew, kTooLong}},
        {"amend moves it", "cd", "cmdAmend", "Vinyl", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1", "Vinyl=2"}, "Vinyl", true, {kAmend}},
        {"amend unchanged", "cd", "cmdAmend", "cd", kBase, "cd", true, {kAmend}},
        {"amend own case", "cd", "cmdAmend", "CD", {"8-Track=3", "Cassette=5", "CD=2", "Édition=7", "LP=1"}, "CD", true, {kAmend}},
        {"amend cancelled", "cd", "cmdAmend", "", kBase, "cd", false, {kAmend}},
        {"amend to another's", "cd", "cmdAmend", "lp", kBase, "cd", false, {kAmend, kDuplicate.arg("LP")}},
        {"double click amends", "Cassette", "dblclick", "Tape", {"8-Track=3", "cd=2", "Édition=7", "LP=1", "Tape=5"}, "Tape", true, {kAmend}},
        {"delete refused, 1", "cd", "cmdDelete", "", kBase, "cd", false, {"! Can't delete this Format - 1 Recording exists for it."}, 1},
        {"delete refused, 3", "cd", "cmdDelete", "", kBase, "cd", false, {"! Can't delete this Format - 3 Recordings exist for it."}, 3},
        {"delete answered No", "cd", "cmdDelete", "No", kBase, "cd", false, {kSure}},
        {"delete first", "8-Track", "cmdDelete", "Yes", kBase.mid(1), "Cassette", true, {kSure}},
        {"delete other", "cd", "cmdDelete", "Yes", {"8-Track=3", "Cassette=5", "Édition=7", "LP=1"}, "Cassette", true, {kSure}},
        {"delete the only one", "cd", "cmdDelete", "Yes", {}, "", true, {kSure}, 0, "DELETE FROM Format WHERE ID <> 2"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.setup);
        for (int i = 0; i < c.recordings; ++i)
            TestFolder::addRecordings(path, {{"Abba", "Waterloo", "1974", 2}});
        script(c.answer);
        if (c.answer == "Yes" || c.answer == "No")
            reply(c.answer == "No" ? Box::No : Box::Yes);
        show([&] {
            select(c.select);
            if (qstrcmp(c.command, "dblclick") == 0) {
                QCoreApplication::processEvents(); // lets the list lay its items out
                const QPoint at = list()->visualItemRect(list()->currentItem()).center();
                // As a person double-clicks: a click, then the double click and its release.
                QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
            } else {
                button(c.command)->click();
            }
            EXPECT_EQ(items(), c.listed);
            EXPECT_EQ(selected(), c.selected);
            EXPECT_EQ(button("cmdAmend")->isEnabled(), !c.listed.isEmpty());
            EXPECT_EQ(shown(), c.shown);
            // Only a change that went through makes Cancel ask; No keeps the window.
            reply(Box::No);
            press(Qt::Key_Escape);
            EXPECT_EQ(shown(), c.changed ? QStringList{kIgnore} : QStringList());
            EXPECT_EQ(form->isVisible(), c.changed);
        });
    }
}

TEST_F(FormatEditor, EachWayOutWithinOneRunAndNoIdHandedOutTwice)
{
    start();
    script("Tape");
    reply(Box::Yes); // delete
    reply(Box::Yes); // ignore the changes
    show([&] { button("cmdNew")->click(), button("cmdDelete")->click(), press(Qt::Key_Escape); });
    EXPECT_EQ(shown(), QStringList({kNew, kSure, kIgnore}));
    EXPECT_FALSE(form->FormatsChanged());
    script("Reel");
    show([&] { button("cmdNew")->click(), press(Qt::Key_Return); });
    EXPECT_TRUE(form->FormatsChanged());
    // Closing from the title bar is Cancel: it asks before the edits are dropped.
    script("Wire");
    reply(Box::Yes); // ignore the changes
    show([&] { button("cmdNew")->click(), form->close(); });
    EXPECT_FALSE(form->FormatsChanged());
    script("Wax");
    reply(Box::Yes); // delete
    reply(Box::No);  // keep the changes
    show([&] {
        select("Reel"), button("cmdDelete")->click(), button("cmdNew")->click(), button("cmdCancel")->click();
        EXPECT_TRUE(form->isVisible());
        press(Qt::Key_Return);
    });
    EXPECT_EQ(table(), kBaseRows + QStringList{"11=Wax"});
    show([&] { button("cmdCancel")->click(); });
    EXPECT_FALSE(form->FormatsChanged());
    EXPECT_EQ(shown(), QStringList({kNew, kNew, kIgnore, kSure, kNew, kIgnore}));
}

TEST_F(FormatEditor, AFormatAnotherProgramTookIntoUseIsNotDeletedByApply)
{
    start();
    reply(Box::Yes); // delete
    reply(Box::Ok);
    reply(Box::Yes); // ignore the changes
    const bool bOpen = show([&] {
        select("Cassette");
        button("cmdDelete")->click();
        TestFolder::execute(path, QStringLiteral("INSERT INTO Recording (Artist, Format) VALUES ('Late', 5)"));
        press(Qt::Key_Return);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(shown().value(1).contains(QStringLiteral("1 Recording now use a Format deleted here")));
        button("cmdCancel")->click();
    });
    EXPECT_FALSE(bOpen);
    EXPECT_EQ(table(), kBaseRows);
}

TEST_F(FormatEditor, AFailedApplyRollsBackAndKeepsTheWindowAndTheList)
{
    struct Case
    {
        const char* name;
        bool readOnly;
        bool locked;
        QString setup;
        const char* error;
        QStringList written; // by the Apply after what stopped the first has gone
    };
    // clang-format off
    const QList<Case> cases = {
        {"read-only", true, false, "", "the catalogue is read-only", kBaseRows},
        {"locked by another program", false, true, "", "the catalogue is in use", kBaseRows + QStringList{"8=Tape"}},
        {"refused half-way", false, false, "CREATE TRIGGER NoTape BEFORE INSERT ON Format WHEN NEW.Description = 'Tape' "
                                           "BEGIN SELECT RAISE(ABORT, 'no tapes here'); END", "no tapes here", kBaseRows},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.setup);
        g_dbCatalogue = Database::open(path, false, c.readOnly, 50);
        const auto other = Database::open(path);
        if (c.locked)
            other->beginTrans();
        script("Tape");
        reply(Box::Ok);
        reply(Box::Yes); // delete
        const bool bOpen = show([&] {
            button("cmdNew")->click();
            press(Qt::Key_Return);
            const QString error = shown().value(1);
            EXPECT_TRUE(error.startsWith(QStringLiteral("! Error updating Formats : ") + c.error))
                << error.toStdString();
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(items().last(), "Tape=8");
            EXPECT_EQ(table(), kBaseRows);
            other->rollback();
            if (!c.locked)
                button("cmdDelete")->click();
            press(Qt::Key_Return);
        });
        EXPECT_EQ(bOpen, c.readOnly);
        EXPECT_EQ(table(), c.written);
        EXPECT_EQ(form->FormatsChanged(), !c.readOnly);
    }
}

TEST_F(FormatEditor, KeyboardAloneDoesEverything)
{
    start();
    script("Tape");
    script("Tapes");
    reply(Box::Yes); // delete
    reply(Box::No);  // keep the changes
    show([&] {
        EXPECT_EQ(QApplication::focusWidget(), button("cmdNew"));
        for (const char* name : {"cmdAmend", "cmdDelete", "lstFormats", "cmdOK", "cmdCancel", "cmdNew"}) {
            press(Qt::Key_Tab);
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
        }
        press(Qt::Key_Space), press(Qt::Key_Tab), press(Qt::Key_Space);
        EXPECT_EQ(selected(), "Tapes");
        press(Qt::Key_Tab), press(Qt::Key_Tab), press(Qt::Key_Home), press(Qt::Key_Backtab), press(Qt::Key_Space);
        EXPECT_EQ(items().first(), "Cassette=5");
        // A held Enter acts once: its repeats apply nothing.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), &repeat);
        press(Qt::Key_Escape);
        EXPECT_TRUE(form->isVisible());
        // Enter applies even while a button has the focus.
        press(Qt::Key_Backtab), press(Qt::Key_Backtab), press(Qt::Key_Return);
    });
    EXPECT_EQ(shown(), QStringList({kNew, kAmend, kSure, kIgnore}));
    EXPECT_EQ(table(), QStringList({"1=LP", "2=cd", "5=Cassette", "7=Édition", "8=Tapes"}));
}

TEST_F(FormatEditor, AmendStartsOnTheDescriptionAndAnUnreadableTableShowsNoWindow)
{
    start();
    Dialogs::setScripted(false);
    QString sOffered;
    show([&] {
        select("cd");
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* box = qobject_cast<QInputDialog*>(modal);
            EXPECT_NE(box, nullptr);
            if (box) {
                sOffered = box->textValue();
                box->setTextValue("Compact Disc");
                box->accept();
            } else if (modal != form.get()) {
                modal->close();
            }
        });
        button("cmdAmend")->click();
        button("cmdOK")->click();
    });
    EXPECT_EQ(sOffered, "cd");
    EXPECT_TRUE(table().contains("2=Compact Disc"));

    Dialogs::setScripted(true);
    TestFolder::execute(path, kLooseTable + "DROP TABLE Format; CREATE TABLE Format (ID INTEGER, Name TEXT)");
    EXPECT_EQ(form->ShowModal(), QDialog::Rejected);
    EXPECT_TRUE(shown().value(0).startsWith("! The Formats could not be read:"));
}

} // namespace
