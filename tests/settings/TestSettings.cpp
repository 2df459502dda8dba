#include "platform/Dialogs.h"
#include "settings/frmSettings.h"
#include "shared/Session.h"
#include "support/FileSizeLimit.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { ProgramWindow::press(key, modifiers); };
// A text arriving in one key press, as an input method or a paste delivers it.
const auto type = [](const QString& text) {
    QTest::sendKeyEvent(QTest::Press, ProgramWindow::focus(), Qt::Key_unknown, text, Qt::NoModifier);
};
// What a key sends while it is held down.
const auto repeat = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::simulateEvent(ProgramWindow::focus(), true, key, modifiers, QString(), true);
};

class Settings : public ::testing::Test
{
protected:
    // An older varolin.ini, Windows-1252, written by hand, with these hot keys.
    void start(const QByteArray& hotKeys)
    {
        Dialogs::setScripted(true);
        session.setIniFile(folder.file(QStringLiteral("varolin.ini")));
        folder.writeFile(QStringLiteral("varolin.ini"), kHeader + hotKeys + kFooter);
        session.LoadSettings();
    }
    void TearDown() override { Dialogs::setScripted(false); }
    QByteArray ini() const { return folder.readFile(QStringLiteral("varolin.ini")); }
    QLineEdit* text(int i) { return window.findChild<QLineEdit*>(QStringLiteral("txtHK%1").arg(i)); }
    QLineEdit* key(int i) { return window.findChild<QLineEdit*>(QStringLiteral("txtKey%1").arg(i)); }
    QCheckBox* refresh() { return window.findChild<QCheckBox*>(QStringLiteral("chkRefresh")); }
    // Shows the window and runs the steps while it is open; they must leave it.
    int show(const std::function<void()>& steps)
    {
        ProgramWindow::whenOpen(&window, steps);
        return window.ShowModal();
    }

    const QByteArray kHeader =
        "; Ma\x92s settings \x96 by hand\r\n[Initialisation]\r\nAuto-Refresh=Yes\r\n\r\n[Hot-Keys]\r\n";
    const QByteArray kFooter = "\r\n; \x80 and the rest\r\n[SQL]\r\n1=All\r\n";
    TestFolder folder;
    Session session;
    frmSettings window{session};
};

TEST_F(Settings, OkFromTheKeyboardWritesEachTextInStoredFormAndKeepsEveryOtherByte)
{
    const struct
    {
        QByteArray line;
        QString shown;
        QString typed; // null: left as shown
        QByteArray written;
        QString global;
        QString key;
    } rows[] = {
        {"1=F2,113,Hello_{(}World{)}", "Hello (World)", "Hi (you)", "1=F2,113,Hi_{(}you{)}", "Hi {(}you{)}", "F2"},
        // Keys the shown form cannot show survive a row nobody touched.
        {"2=Tab,-5,x{TAB}y_z", "xTABy z", QString(), "2=Tab,-5,x{TAB}y_z", "x{TAB}y z", "Key -5"},
        {"3=Caf\xE9,65,\x93q\x94", "“q”", "“q” – ok", "3=Caf\xE9,65,\x93q\x94_\x96_ok", "“q” – ok", "A"},
        {"4=R&B,115,x", "x", "  ", "4=R&B,115,__", "  ", "F4"},
    };
    QByteArray before, after;
    for (const auto& row : rows)
        before += row.line + "\r\n", after += row.written + "\r\n";
    start(before);
    EXPECT_EQ(show([&] {
                  EXPECT_EQ(ProgramWindow::focus(), refresh());
                  // Tab goes to each row's key, then selects its text, so that typing replaces it.
                  for (int i = 0; i < 4; ++i) {
                      press(Qt::Key_Tab);
                      EXPECT_TRUE(ProgramWindow::focus() == key(i) && key(i)->text() == rows[i].key) << i;
                      press(Qt::Key_Tab);
                      EXPECT_EQ(ProgramWindow::focus(), text(i));
                      EXPECT_EQ(text(i)->selectedText(), rows[i].shown);
                      if (!rows[i].typed.isNull())
                          type(rows[i].typed);
                  }
                  for (const char* name : {"cmdAdd", "cmdRemove", "cmdCancel", "cmdOK", "chkRefresh", "txtKey0"}) {
                      press(Qt::Key_Tab);
                      EXPECT_EQ(ProgramWindow::focus()->objectName(), QLatin1String(name));
                  }
                  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblHK3"))->text(), QStringLiteral("R&B"));
                  // Alt+R from anywhere; held, it acts once, as do Enter and Escape.
                  press(Qt::Key_R, Qt::AltModifier);
                  EXPECT_TRUE(QTest::qWaitFor([&] { return !refresh()->isChecked(); }));
                  repeat(Qt::Key_R, Qt::AltModifier);
                  QTest::qWait(200);
                  EXPECT_FALSE(refresh()->isChecked());
                  EXPECT_EQ(ProgramWindow::focus(), refresh());
                  repeat(Qt::Key_Return), repeat(Qt::Key_Escape);
                  ASSERT_TRUE(window.isVisible());
                  press(Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_EQ(ini(), QByteArray(kHeader + after + kFooter).replace("Auto-Refresh=Yes", "Auto-Refresh=No"));
    EXPECT_FALSE(session.autoRefresh);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(session.hotKeys.at(i).text, rows[i].global) << i;
}

TEST_F(Settings, CancelAndEveryRefusedSaveWriteNothing)
{
    start("1=F2,113,Hello_World\r\n");
    const QByteArray before = ini();
    auto* cancel = window.findChild<QToolButton*>(QStringLiteral("cmdCancel"));
    const struct
    {
        const char* way;
        QString typed;
        std::function<void()> leave;
        bool refused; // then said why, with the window kept as it was left
    } ways[] = {
        {"Escape", "new", [] { press(Qt::Key_Escape); }, false},
        {"Cancel", "new", [&] { QTest::mouseClick(cancel, Qt::LeftButton); }, false},
        {"the title bar", "new", [&] { window.close(); }, false},
        {"the disk full", "new", [] { FileSizeLimit(16), press(Qt::Key_Return); }, true}, // full until Return is done
        {"longer than the reader keeps", QString(93, '('), [] { press(Qt::Key_Return); }, true},
    };
    // One window for all: each showing starts again from the settings in force.
    for (const auto& c : ways) {
        SCOPED_TRACE(c.way);
        EXPECT_EQ(show([&] {
                      EXPECT_TRUE(refresh()->isChecked());
                      EXPECT_EQ(text(0)->text(), QStringLiteral("Hello World"));
                      press(Qt::Key_Space);
                      text(0)->setText(c.typed);
                      c.leave();
                      EXPECT_EQ(window.isVisible(), c.refused);
                      if (!window.isVisible())
                          return;
                      const QString said = ProgramWindow::said();
                      EXPECT_TRUE(said.startsWith("Varolin: ") && !said.contains(" | ")) << said.toStdString();
                      EXPECT_EQ(text(0)->text(), c.typed);
                      EXPECT_FALSE(refresh()->isChecked());
                      press(Qt::Key_Escape);
                  }),
                  QDialog::Rejected);
        EXPECT_EQ(ini(), before);
        EXPECT_TRUE(session.autoRefresh);
        ASSERT_EQ(session.hotKeys.count(), 1);
        EXPECT_EQ(session.hotKeys.at(0).text, QStringLiteral("Hello World"));
    }
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(Settings, HotKeysAddedKeyedAndRemovedByKeyboardAreWhatOkWrites)
{
    start("1=F2,113,Hello\r\n");
    // An access key clicks its button a moment later, as it is seen to go down.
    const auto alt = [](Qt::Key k) { press(k, Qt::AltModifier), QTest::qWait(150); };
    EXPECT_EQ(show([&] {
                  alt(Qt::Key_A); // a row on the first free key, the focus in its text
                  type("New (one)");
                  press(Qt::Key_Tab, Qt::ShiftModifier);
                  press(Qt::Key_F5, Qt::ShiftModifier); // refused, saying why
                  EXPECT_TRUE(ProgramWindow::said().startsWith("Varolin: ") && key(1)->text() == "F1");
                  press(Qt::Key_F5);
                  // Alt+M removes the row the focus is in, here from its key.
                  alt(Qt::Key_A), press(Qt::Key_Tab, Qt::ShiftModifier), alt(Qt::Key_M);
                  EXPECT_EQ(ProgramWindow::focus(), text(1));
                  press(Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_TRUE(ini().contains("1=F2,113,Hello\r\n") && ini().contains("2=F5,116,New_{(}one{)}\r\n[SQL]"));
    EXPECT_EQ(session.hotKeys.at(1).code, 116) << "the editor's keys from now on";
}

} // namespace
