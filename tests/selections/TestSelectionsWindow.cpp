#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

TEST(SelectionsWindow, OpensOnTheListKeepsTextAsItIsAndSavesByKeyboard)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\n2=Initial,UCase(Left(Artist,1)) = 'A',Artist\nDefault=1\n"),
                              {{"Abba", "Waterloo", "1974", 9, "Polar"}, {"Blur", "Parklife", "1994", 1}}));
    Dialogs::takeShown();
    program.whenShows<QDialog>({[](QDialog* window) {
                                    auto* list = ProgramWindow::findControl<QListWidget>(window, "lstSelections");
                                    EXPECT_EQ(ProgramWindow::focus(), list);
                                    // A condition the rows cannot write opens as text.
                                    ProgramWindow::press(Qt::Key_Down);
                                    EXPECT_TRUE(ProgramWindow::findControl<QCheckBox>(window, "chkText")->isChecked());
                                    ProgramWindow::press(Qt::Key_C, Qt::AltModifier); // its own key, not New's
                                    EXPECT_EQ(ProgramWindow::focus(), window->findChild<QLineEdit*>("txtCondition"));
                                    const auto click = [window](const char* name) {
                                        ProgramWindow::findControl<QPushButton>(window, name)->click();
                                    };
                                    Dialogs::scriptInputAnswer(QStringLiteral("On Polar"));
                                    click("cmdNew");
                                    EXPECT_EQ(list->count(), 3);
                                    ProgramWindow::findControl<QComboBox>(window, "cboField0")->setCurrentText("Label");
                                    ProgramWindow::findControl<QComboBox>(window, "cboTest0")->setCurrentIndex(1);
                                    ProgramWindow::findControl<QLineEdit>(window, "txtValue0")->setText("Polar");
                                    click("cmdTest");
                                    EXPECT_EQ(ProgramWindow::findControl<QLabel>(window, "lblTest")->text(),
                                              QStringLiteral("1 recording"));
                                    click("cmdDefault");
                                    list->setFocus();
                                    ProgramWindow::press(Qt::Key_Return);
                                },
                                [](QDialog*) {
                                    // Nothing changed: Escape leaves without asking.
                                    ProgramWindow::press(Qt::Key_Escape);
                                }});
    ProgramWindow::press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(program.folder.readFile("varolin.ini"),
              QByteArray("[SQL]\n1=All\n2=Initial,UCase(Left(Artist,1)) = 'A',Artist\nDefault=3\n"
                         "3=On Polar,Label = 'Polar'\n"));
    auto* selections = program.control<QComboBox>("cboSQL");
    EXPECT_EQ(selections->count(), 3) << "the main list follows at once";
    EXPECT_EQ(selections->currentText(), QStringLiteral("All"));
    program.window->findChild<QAction*>(QStringLiteral("mnuEditItem8"))->trigger();
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(Dialogs::takeShown().size(), 1)
        << "only the new name was asked; Escape with nothing changed asks nothing";
}

} // namespace
