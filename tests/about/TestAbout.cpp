#include "about/frmAbout.h"
#include "support/ProgramWindow.h"
#include "Version.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QTest>

namespace {

TEST(About, ShowsTitleAndVersionAndEnterClosesIt)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout about;
        bool stayedForRepeat = false;
        ProgramWindow::whenOpen(&about, [&] {
            // The version CMake gives the project, not one written into the window.
            EXPECT_EQ(ProgramWindow::findControl<QLabel>(&about, "lblVersion")->text(),
                      QStringLiteral("Version %1.%2.%3")
                          .arg(VAROLIN_VERSION_MAJOR)
                          .arg(VAROLIN_VERSION_MINOR)
                          .arg(VAROLIN_VERSION_PATCH));
            EXPECT_FALSE(ProgramWindow::findControl<QLabel>(&about, "picIcon")->pixmap().isNull());
            // A key still held from the menu does not close the box at once.
            QTest::simulateEvent(ProgramWindow::focus(), true, key, Qt::NoModifier, QString(), true);
            stayedForRepeat = about.isVisible();
            ProgramWindow::press(key);
        });
        EXPECT_EQ(about.ShowModal(), QDialog::Accepted);
        EXPECT_TRUE(stayedForRepeat);
    }
}

} // namespace
