#include "formats/frmFormats.h"
#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <functional>
#include <gtest/gtest.h>
#include <QListWidget>
#include <QToolButton>

// What only the window shows; the list's own rules are tested on FormatList.
namespace {

using Box = QMessageBox;

// What was asked: title, "input" or the icon, the text, and what an input box started on.
QStringList Shown()
{
    QStringList a;
    for (const Dialogs::Shown& s : Dialogs::takeShown()) {
        const QString kind = s.input ? "input" : s.icon == Box::Warning ? "!" : "?";
        a << s.title + ' ' + kind + ' ' + s.text + (s.input ? " [" + s.defaultText + "]" : "");
    }
    return a;
}

TEST(FormatEditor, OpensAndWorksByKeyboardAndMouse)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    Session session;
    session.setCatalogue(Database::open(path));
    // Another tool may leave a description blank.
    TestFolder::execute(path, "DELETE FROM Format; INSERT INTO Format VALUES (1, ' '), (2, 'cd')");
    frmFormats form(session);
    auto* list = form.findChild<QListWidget*>();
    auto* amend = form.findChild<QToolButton*>("cmdAmend");
    // Shows the editor and runs the steps inside it; they must leave it.
    const auto show = [&](const std::function<void()>& steps) {
        ProgramWindow::whenOpen(&form, steps);
        form.ShowModal();
    };

    Dialogs::setScripted(true);
    Dialogs::scriptInputAnswer("Tape"), Dialogs::scriptInputAnswer("Tapes");
    for (Box::StandardButton answer : {Box::No, Box::Yes, Box::Yes, Box::Yes, Box::No, Box::Yes})
        Dialogs::scriptMessageAnswer(answer); // delete: no, then yes three times; keep the changes; ignore them
    show([&] {
        EXPECT_EQ(list->item(0)->text(), "(no description)");
        EXPECT_TRUE(list->item(0)->font().italic() && list->item(0)->isSelected());
        for (const char* name : {"cmdAmend", "cmdDelete", "lstFormats", "cmdOK", "cmdCancel", "cmdNew"}) {
            ProgramWindow::press(Qt::Key_Tab);
            EXPECT_EQ(ProgramWindow::focus()->objectName(), name);
        }
        // New "Tape" is selected, amended to "Tapes", kept by No and then deleted; then the rest go.
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Space})
            ProgramWindow::press(key);
        EXPECT_EQ(list->item(2)->text(), "Tapes");
        ProgramWindow::press(Qt::Key_Space);
        EXPECT_EQ(list->currentItem()->text(), "cd");
        ProgramWindow::press(Qt::Key_Space), ProgramWindow::press(Qt::Key_Space);
        EXPECT_EQ(list->count() + amend->isEnabled(), 0);
        ProgramWindow::press(Qt::Key_Escape);
        form.close(); // the title bar's close is Cancel too
    });
    EXPECT_FALSE(form.FormatsChanged());
    const QString sure = "Varolin ? Are you sure you want to delete this Format?";
    const QString ignore = "Varolin ? Changes exist to the Formats - ignore them?";
    EXPECT_EQ(Shown(), QStringList({"Varolin input Enter the description of the new Format. []",
                                    "Varolin input Amend the description of this Format as required. [Tape]", sure,
                                    sure, sure, sure, ignore, ignore}));

    // From an empty list New offers Amend and Delete; a failed Apply keeps the window open; Enter
    // applies even on a button.
    TestFolder::execute(path, "DELETE FROM Format; CREATE TRIGGER NoReel BEFORE INSERT ON Format WHEN "
                              "NEW.Description = 'Reel' BEGIN SELECT RAISE(ABORT, 'no reels here'); END");
    Dialogs::scriptInputAnswer("Reel");
    show([&] {
        EXPECT_FALSE(amend->isEnabled());
        ProgramWindow::press(Qt::Key_Space);
        EXPECT_TRUE(amend->isEnabled());
        ProgramWindow::press(Qt::Key_Return);
        EXPECT_TRUE(Shown().value(1).startsWith("Varolin ! Error updating Formats : no reels here"));
        TestFolder::execute(path, "DROP TRIGGER NoReel");
        ProgramWindow::press(Qt::Key_Return);
    });
    EXPECT_TRUE(form.FormatsChanged());
    EXPECT_EQ(TestFolder::query(path, "SELECT ID FROM Format WHERE Description = 'Reel'").toInt(), 4); // 3 was spent

    // A double-click amends, starting on the description; without changes Cancel asks nothing.
    Dialogs::scriptInputAnswer(QString(300, 'x'));
    show([&] {
        emit list->itemDoubleClicked(list->item(0));
        ProgramWindow::press(Qt::Key_Escape);
    });
    EXPECT_FALSE(form.FormatsChanged());
    EXPECT_EQ(Shown(), QStringList({"Varolin input Amend the description of this Format as required. [Reel]",
                                    "Varolin ! A Format's description can be at most 255 characters long; this one "
                                    "has 300. Nothing has been changed."}));
    TestFolder::execute(path, "DROP TABLE Format; CREATE TABLE Format (ID INTEGER, Name TEXT)");
    EXPECT_EQ(form.ShowModal(), QDialog::Rejected);
    EXPECT_TRUE(Shown().value(0).startsWith("Varolin ! The Formats could not be read:"));
}

} // namespace
