// Two programs on one catalogue: while the other holds it for writing, a Delete, a format Apply
// and an import wait their turn, then say so, and nothing is lost; the window that was refused
// stays open with what the user did.
#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

TEST(TwoPrograms, DeleteApplyAndImportWaitThenReportAndLoseNothing)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"),
                              {{"Abba", "Waterloo", "1974", 9}, {"Blur", "Parklife", "1994", 1}}));
    program.folder.writeFile("more.csv", "Artist,Title\nCan,Tago Mago\n");
    program.session->setCatalogue(Database::open(program.catalogue(), false, false, 50)); // a short wait for the test
    const auto other = Database::open(program.catalogue());
    other->beginTrans();
    Dialogs::takeShown();

    program.clickRow(1);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    EXPECT_TRUE(ProgramWindow::said().contains("in use by another program"));
    EXPECT_EQ(program.column(0), (QStringList{"Abba", "Blur"}));

    program.whenShows<QDialog>({[](QDialog* formats) {
        auto* list = ProgramWindow::findControl<QListWidget>(formats, "lstFormats");
        list->setCurrentRow(0);
        Dialogs::scriptInputAnswer(QStringLiteral("Long Play"));
        ProgramWindow::findControl<QToolButton>(formats, "cmdAmend")->click();
        ProgramWindow::press(Qt::Key_Return);
        EXPECT_TRUE(ProgramWindow::said().contains("in use by another program"));
        EXPECT_TRUE(formats->isVisible());
        EXPECT_FALSE(list->findItems(QStringLiteral("Long Play"), Qt::MatchExactly).isEmpty()) << "the edit is kept";
        Dialogs::scriptMessageAnswer(QMessageBox::Yes);
        ProgramWindow::press(Qt::Key_Escape);
    }});
    program.control<QToolButton>("cmdFormats")->click();

    Dialogs::scriptInputAnswer(program.folder.file("more.csv"));
    program.whenShows<QDialog>({[&](QDialog* import) {
        ProgramWindow::press(Qt::Key_Return);
        EXPECT_TRUE(ProgramWindow::said().contains("in use by another program"));
        EXPECT_TRUE(import->isVisible());
        other->rollback(); // the other program is done: the same Import now goes through
        ProgramWindow::press(Qt::Key_Return);
    }});
    program.control<QAction>("mnuFileItem0")->trigger();
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(program.column(0), (QStringList{"Abba", "Blur", "Can"}));
    EXPECT_EQ(
        TestFolder::query(program.catalogue(), "SELECT count(*) FROM Format WHERE Description = 'Long Play'").toInt(),
        0);
}

// Another program changes what this one shows or edits: nothing of either is lost without a question.
TEST(TwoPrograms, AChangeByTheOtherIsNeverOverwrittenUnasked)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"),
                              {{"Abba", "Waterloo", "1974", 9}, {"Blur", "Parklife", "1994", 1}}));
    const auto other = [&](const QString& sql) { TestFolder::execute(program.catalogue(), sql); };
    const auto title = [&](const char* artist) {
        return TestFolder::query(
            program.catalogue(),
            QStringLiteral("SELECT Title FROM Recording WHERE Artist = '%1'").arg(QLatin1String(artist)));
    };

    // Delete of a recording changed since it was shown asks again, naming it as it is now.
    other("UPDATE Recording SET Title = 'Arrival' WHERE Artist = 'Abba'");
    program.clickRow(1);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    Dialogs::scriptMessageAnswer(QMessageBox::No);
    program.control<QToolButton>("cmdDelete")->click();
    const QList<Dialogs::Shown> asked = Dialogs::takeShown();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked.last().text.contains(QStringLiteral("Abba - Arrival"))) << asked.last().text.toStdString();
    EXPECT_EQ(title("Abba"), QStringLiteral("Arrival"));
    EXPECT_EQ(program.column(1), (QStringList{"Arrival", "Parklife"})) << "the display shows it as it is";

    // A recording deleted by the other is said to be gone, and the display catches up.
    other("DELETE FROM Recording WHERE Artist = 'Blur'");
    program.clickRow(2);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    EXPECT_TRUE(Dialogs::takeShown().last().text.contains(QStringLiteral("no longer in the catalogue")));
    EXPECT_EQ(program.column(0), QStringList{"Abba"});

    // The editor's save over the other's change: No shows theirs, and OK then writes nothing over it.
    program.clickRow(1);
    program.whenEditorShows({[&](frmRecord* editor) {
        other("UPDATE Recording SET Title = 'Voulez-Vous' WHERE Artist = 'Abba'");
        ProgramWindow::type(QStringLiteral("ABBA"));
        Dialogs::scriptMessageAnswer(QMessageBox::No);
        ProgramWindow::press(Qt::Key_Return);
        ASSERT_TRUE(editor->isVisible());
        EXPECT_EQ(ProgramWindow::findControl<QLineEdit>(editor, "txtTitle")->text(), QStringLiteral("Voulez-Vous"));
        EXPECT_EQ(ProgramWindow::findControl<QLineEdit>(editor, "txtArtist")->text(), QStringLiteral("Abba"));
        ProgramWindow::press(Qt::Key_Return);
    }});
    program.control<QToolButton>("cmdAmend")->click();
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(title("Abba"), QStringLiteral("Voulez-Vous"));
}
