// Two programs on one catalogue: while the other holds it for writing, a Delete, a format Apply
// and an import wait their turn, then say so, and nothing is lost; the window that was refused
// stays open with what the user did.
#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QListWidget>
#include <QToolButton>

namespace {

bool saysInUse(const QList<Dialogs::Shown>& shown)
{
    return !shown.isEmpty() && shown.last().text.contains(QStringLiteral("in use by another program"));
}

} // namespace

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
    EXPECT_TRUE(saysInUse(Dialogs::takeShown()));
    EXPECT_EQ(program.column(0), (QStringList{"Abba", "Blur"}));

    program.whenShows<QDialog>({[](QDialog* formats) {
        auto* list = ProgramWindow::findControl<QListWidget>(formats, "lstFormats");
        list->setCurrentRow(0);
        Dialogs::scriptInputAnswer(QStringLiteral("Long Play"));
        ProgramWindow::findControl<QToolButton>(formats, "cmdAmend")->click();
        ProgramWindow::press(Qt::Key_Return);
        EXPECT_TRUE(saysInUse(Dialogs::takeShown()));
        EXPECT_TRUE(formats->isVisible());
        EXPECT_FALSE(list->findItems(QStringLiteral("Long Play"), Qt::MatchExactly).isEmpty()) << "the edit is kept";
        Dialogs::scriptMessageAnswer(QMessageBox::Yes);
        ProgramWindow::press(Qt::Key_Escape);
    }});
    program.control<QToolButton>("cmdFormats")->click();

    Dialogs::scriptInputAnswer(program.folder.file("more.csv"));
    program.whenShows<QDialog>({[&](QDialog* import) {
        ProgramWindow::press(Qt::Key_Return);
        EXPECT_TRUE(saysInUse(Dialogs::takeShown()));
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
