#include "about/frmAbout.h"
#include "browser/frmMain.h"
#include "formats/frmFormats.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "settings/frmSettings.h"
#include "shared/Session.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QList<TestFolder::Recording> kRecordings = {
    {"Abba", "Waterloo", "1974", 9},
    {"Blur", "Parklife", "1994", 1},
};

// Amends the ninth format ("CD") to the answer and leaves by the key.
void AmendCd(QDialog* dialog, const QString& answer, Qt::Key leaveBy)
{
    auto* list = ProgramWindow::findControl<QListWidget>(dialog, "lstFormats");
    list->setCurrentItem(list->findItems(QStringLiteral("CD"), Qt::MatchExactly).value(0));
    Dialogs::scriptInputAnswer(answer);
    ProgramWindow::findControl<QToolButton>(dialog, "cmdAmend")->click();
    if (leaveBy == Qt::Key_Escape)
        Dialogs::scriptMessageAnswer(QMessageBox::Yes); // ignore the changes
    ProgramWindow::press(leaveBy);
}

TEST(WindowCommands, AppliedFormatsShowAtOnceWhateverTheAutoRefresh)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"), kRecordings));
    program.session->autoRefresh = false;
    program.clickRow(2);
    program.window->setCurrentID(2);

    program.whenShows<QDialog>({[](QDialog* d) { AmendCd(d, QStringLiteral("Compact Disc"), Qt::Key_Escape); },
                                [](QDialog* d) { AmendCd(d, QStringLiteral("Compact Disc"), Qt::Key_Return); }});
    program.control<QToolButton>("cmdFormats")->click(); // cancelled: nothing follows
    EXPECT_EQ(program.column(3), (QStringList{"CD", "LP"}));
    program.control<QAction>("mnuEditItem7")->trigger();
    EXPECT_EQ(program.column(3), (QStringList{"Compact Disc", "LP"}));
    EXPECT_EQ(program.grid()->row(), 2) << "the current recording stays selected";
    EXPECT_FALSE(program.stepsLeft());
}

TEST(WindowCommands, SettingsAndAboutOpenFromTheirRoutes)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"), kRecordings));
    QApplication::setActiveWindow(program.window.get());
    program.grid()->setFocus();
    program.whenShows<QDialog>({[](QDialog* d) {
                                    EXPECT_NE(qobject_cast<frmSettings*>(d), nullptr);
                                    ProgramWindow::press(Qt::Key_Space); // the focus starts on the check box
                                    ProgramWindow::press(Qt::Key_Return);
                                },
                                [](QDialog* d) {
                                    EXPECT_EQ(d->windowTitle(), QStringLiteral("About Varolin"));
                                    ProgramWindow::press(Qt::Key_Return);
                                }});
    ProgramWindow::press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(program.session->autoRefresh);
    EXPECT_TRUE(program.folder.readFile(QStringLiteral("varolin.ini")).contains("Auto-Refresh=No"));
    program.control<QAction>("mnuHelpItem")->trigger();
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(program.unexpectedEditors(), 0);
}

} // namespace
