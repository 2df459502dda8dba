#include "platform/Dialogs.h"
#include "settings/frmSettings.h"
#include "shared/modVarolin.h"
#include "support/ProgramWindow.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sys/resource.h>

namespace {

// The disk fills up: no file grows past a few bytes, for root as for anyone.
struct DiskFull
{
    rlimit limit{};
    DiskFull()
    {
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{16, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &full);
        std::signal(SIGXFSZ, SIG_IGN);
    }
    ~DiskFull() { setrlimit(RLIMIT_FSIZE, &limit); }
};

// A text arriving in one key press, as an input method or a paste delivers it.
void Type(const QString& text)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(ProgramWindow::focus(), &key);
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    ProgramWindow::press(key, modifiers);
}

// The repeats a key sends while it is held down.
void Repeat(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString())
{
    QTest::simulateEvent(ProgramWindow::focus(), true, key, modifiers, text, true);
    QTest::simulateEvent(ProgramWindow::focus(), false, key, modifiers, text, true);
}

// An older file, Windows-1252, written by hand.
const QByteArray kHeader =
    "; Ma\x92s settings \x96 by hand\r\n[Initialisation]\r\nAuto-Refresh=Yes\r\n\r\n[Hot-Keys]\r\n";
const QByteArray kFooter = "\r\n; \x80 and the rest\r\n[SQL]\r\n1=All\r\n";

class Settings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetModuleGlobals();
        g_sIniFile = folder.file(QStringLiteral("varolin.ini"));
        Dialogs::setScripted(true);
    }
    void TearDown() override { Dialogs::setScripted(false); }

    void start(const QByteArray& hotKeys)
    {
        folder.writeFile(QStringLiteral("varolin.ini"), kHeader + hotKeys + kFooter);
        LoadSettings();
    }
    QByteArray ini() const { return folder.readFile(QStringLiteral("varolin.ini")); }

    // Shows the window and runs the steps while it is open; they must leave it.
    int show(const std::function<void()>& steps)
    {
        QTimer::singleShot(0, [&] {
            QApplication::setActiveWindow(&window);
            steps();
            if (window.isVisible()) {
                ADD_FAILURE() << "the window stayed open";
                window.done(QDialog::Rejected);
            }
        });
        return window.ShowModal();
    }
    template <typename T = QLineEdit>
    T* control(const QString& name)
    {
        return ProgramWindow::findControl<T>(&window, name.toLatin1().constData());
    }

    TestFolder folder;
    frmSettings window;
};

TEST_F(Settings, OkWritesEachTextInStoredFormAndKeepsEveryOtherByte)
{
    const struct
    {
        QByteArray line;
        QString shown;
        QString typed; // null: left as shown
        QByteArray written;
        QString global;
    } rows[] = {
        {"1=F2,113,Hello_World", "Hello World", "Hello (you)", "1=F2,113,Hello_{(}you{)}", "Hello {(}you{)}"},
        {"2=Mono,112,{(}Mono{)}", "(Mono)", "a_b", "2=Mono,112,a_b", "a_b"},
        // Keys the shown form cannot show survive a row nobody touched.
        {"3=Tab,-5,x{TAB}y_z", "xTABy z", QString(), "3=Tab,-5,x{TAB}y_z", "x{TAB}y z"},
        {"4=Caf\xE9,65,\x93q\x94", "“q”", "“q” – ok", "4=Caf\xE9,65,\x93q\x94_\x96_ok", "“q” – ok"},
        {"5=R&B,115,x", "x", "  ", "5=R&B,115,__", "  "},
    };
    QByteArray before, after;
    for (const auto& row : rows) {
        before += row.line + "\r\n";
        after += row.written + "\r\n";
    }
    start(before);
    EXPECT_EQ(show([&] {
                  for (int i = 0; i < 5; ++i) {
                      control(QStringLiteral("txtHK%1").arg(i))->setFocus(Qt::TabFocusReason);
                      EXPECT_EQ(control(QStringLiteral("txtHK%1").arg(i))->selectedText(), rows[i].shown);
                      if (!rows[i].typed.isNull())
                          Type(rows[i].typed);
                  }
                  EXPECT_EQ(control<QLabel>("lblHK4")->text(), QStringLiteral("R&B"));
                  control<QCheckBox>("chkRefresh")->setFocus(Qt::TabFocusReason);
                  Press(Qt::Key_Space);
                  Press(Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_EQ(ini(), QByteArray(kHeader + after + kFooter).replace("Auto-Refresh=Yes", "Auto-Refresh=No"));
    EXPECT_FALSE(g_bAutoRefresh);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g_asHotKeyText.value(i), rows[i].global) << i;
}

TEST_F(Settings, EveryWayOfCancellingWritesNothing)
{
    start("1=F2,113,Hello_World\r\n2=F3,114,{(}x{)}\r\n");
    const QByteArray before = ini();
    const QList<QPair<const char*, std::function<void()>>> ways = {
        {"Escape", [] { Press(Qt::Key_Escape); }},
        {"Space on Cancel", [&] { control<QToolButton>("cmdCancel")->setFocus(), Press(Qt::Key_Space); }},
        {"a click on Cancel", [&] { QTest::mouseClick(control<QToolButton>("cmdCancel"), Qt::LeftButton); }},
        {"the title bar", [&] { window.close(); }},
    };
    // One window for the whole run: each showing starts again from the settings in force.
    for (const auto& [way, leave] : ways) {
        EXPECT_EQ(show([&] {
                      EXPECT_TRUE(control<QCheckBox>("chkRefresh")->isChecked()) << way;
                      EXPECT_EQ(control("txtHK1")->text(), QStringLiteral("(x)")) << way;
                      Press(Qt::Key_Space);
                      control("txtHK1")->setFocus(Qt::TabFocusReason);
                      Type(QStringLiteral("changed"));
                      leave();
                  }),
                  QDialog::Rejected);
        EXPECT_EQ(ini(), before) << way;
        EXPECT_TRUE(g_bAutoRefresh) << way;
        EXPECT_EQ(g_asHotKeyText, (QStringList{"Hello World", "{(}x{)}"})) << way;
    }
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(Settings, RefusedSaveSaysWhyAndLosesNothing)
{
    start("1=F2,113,Hello_World\r\n");
    const QByteArray before = ini();
    const QList<QPair<QString, bool>> cases = {
        {QStringLiteral("new text"), true}, // the disk is full
        {QStringLiteral("one\r\ntwo"), false},
        {QString(93, QLatin1Char('(')), false}, // longer than the reader keeps
    };
    for (const auto& [text, diskFull] : cases) {
        EXPECT_EQ(show([&] {
                      Press(Qt::Key_Space);
                      control("txtHK0")->setText(text);
                      {
                          std::optional<DiskFull> full;
                          if (diskFull)
                              full.emplace();
                          Press(Qt::Key_Return);
                      }
                      const QList<Dialogs::Shown> shown = Dialogs::takeShown();
                      ASSERT_EQ(shown.size(), 1) << text.toStdString();
                      EXPECT_EQ(shown[0].title, QStringLiteral("Varolin"));
                      // The window stays, with everything the user did.
                      EXPECT_TRUE(window.isVisible());
                      EXPECT_EQ(control("txtHK0")->text(), text);
                      EXPECT_FALSE(control<QCheckBox>("chkRefresh")->isChecked());
                      Press(Qt::Key_Escape);
                  }),
                  QDialog::Rejected);
        EXPECT_EQ(ini(), before) << text.toStdString();
        EXPECT_TRUE(g_bAutoRefresh);
        EXPECT_EQ(g_asHotKeyText, QStringList{"Hello World"});
    }
}

TEST_F(Settings, KeyboardAlone)
{
    start("1=F2,113,one\r\n2=F3,114,two\r\n");
    EXPECT_EQ(show([&] {
                  auto* refresh = control<QCheckBox>("chkRefresh");
                  EXPECT_EQ(ProgramWindow::focus(), refresh);
                  EXPECT_FALSE(control("txtHK2")->isVisible());
                  for (const char* name : {"txtHK0", "txtHK1", "cmdCancel", "cmdOK", "chkRefresh", "txtHK0"}) {
                      Press(Qt::Key_Tab);
                      EXPECT_EQ(ProgramWindow::focus()->objectName(), QLatin1String(name));
                  }
                  EXPECT_EQ(control("txtHK0")->selectedText(), QStringLiteral("one"));
                  Type(QStringLiteral("uno"));

                  // Alt+R from anywhere, Space on the box itself; a held key acts once.
                  Press(Qt::Key_R, Qt::AltModifier);
                  EXPECT_TRUE(QTest::qWaitFor([&] { return !refresh->isChecked(); }));
                  Repeat(Qt::Key_R, Qt::AltModifier);
                  QTest::qWait(200);
                  EXPECT_FALSE(refresh->isChecked());
                  EXPECT_EQ(ProgramWindow::focus(), refresh);
                  Press(Qt::Key_Space);
                  Repeat(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
                  EXPECT_TRUE(refresh->isChecked());
                  Repeat(Qt::Key_Return);
                  ASSERT_TRUE(window.isVisible());
                  Repeat(Qt::Key_Escape);
                  ASSERT_TRUE(window.isVisible());
                  Press(Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_TRUE(ini().contains("Auto-Refresh=Yes\r\n\r\n[Hot-Keys]\r\n1=F2,113,uno\r\n2=F3,114,two\r\n\r\n"));
    EXPECT_TRUE(g_bAutoRefresh);
}

} // namespace
