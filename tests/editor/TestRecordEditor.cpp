#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/SendKeys.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>

namespace {

const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { ProgramWindow::press(key, modifiers); };
const auto type = [](const QString& text) { ProgramWindow::type(text); };
const auto waitForTyping = [] { EXPECT_TRUE(QTest::qWaitFor([] { return !SendKeys::isPlaying(); })); };

// The editor over a catalogue of one recording, ID 1, whose Notes mix their line ends, with five
// hot keys on F2 to F6. Questions no test scripts are answered Ok, not Yes: the edits are dropped.
class RecordEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Dialogs::setScripted(true);
        TestFolder::addRecordings(catalogue,
                                  {{"Abba", "Waterloo", "1994-05-01", 9, "", "", "one\ntwo\r\n\u00a0three"}});
        session.setCatalogue(Database::open(catalogue));
        hotKeys({"Hello,113,Hello_World", "Paren,114,{(}x{)}+(ab)c", "R&B,115,a<b>1b9c7d4", "Done,116,End~",
                 "Again,117,x{F6}"});
    }
    void TearDown() override { Dialogs::setScripted(false); }
    void hotKeys(const QStringList& entries) { session.hotKeys = HotKeySet::fromEntries(entries, "_"); }

    // Shows the editor and takes the step once it is open; the step must leave it.
    frmRecord::Result show(const std::function<void()>& step, const EditRequest& request = {EditMode::Amend, 1})
    {
        ProgramWindow::whenOpen(&editor, step);
        return editor.ShowModal(request);
    }
    template <typename T = QLineEdit>
    T* find(const QString& name)
    {
        return editor.findChild<T*>(name);
    }
    QToolButton* button(const QString& name) { return find<QToolButton>(name); }
    QVariant stored(const char* field) const
    {
        return TestFolder::query(catalogue, QStringLiteral("SELECT %1 FROM Recording").arg(QLatin1String(field)));
    }
    // Presses a key in a box, as the user does after tabbing into it.
    static void pressIn(QWidget* box, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, key, modifiers);
    }

    TestFolder folder;
    QString catalogue = folder.createCatalogue();
    Session session;
    frmRecord editor{session};
};

TEST_F(RecordEditor, OpensOnArtistAndTheKeyboardReachesEverything)
{
    const frmRecord::Result left = show([&] {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Amend Recording"));
        EXPECT_EQ(find("txtArtist")->selectedText(), QStringLiteral("Abba"));
        const QStringList order = QStringLiteral("txtTitle cboFormat txtYear txtLabel txtCatNo txtIntCatNo txtNotes "
                                                 "cmdOK cmdCancel cmdHotKey0 cmdHotKey1 cmdHotKey2 cmdHotKey3 "
                                                 "cmdHotKey4 cmdPrevious cmdNext txtArtist")
                                      .split(QLatin1Char(' '));
        EXPECT_EQ(ProgramWindow::focus(), find("txtArtist"));
        for (const QString& name : order) {
            press(Qt::Key_Tab);
            EXPECT_EQ(ProgramWindow::focus()->objectName(), name);
        }
        button("cmdCancel")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space); // nothing changed: Cancel just leaves
    });
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_FALSE(left.saved);

    // Untouched Notes and a Year longer than the box takes go back as they came.
    show([&] {
        type("ABBA");
        EXPECT_EQ(find("txtYear")->text(), QStringLiteral("1994-05-01"));
        press(Qt::Key_Return);
    });
    EXPECT_EQ(stored("Artist & Year & Notes"), QStringLiteral("ABBA1994-05-01one\ntwo\r\n\u00a0three"));

    const frmRecord::Result saved = show([&] {
        pressIn(find("txtYear"), Qt::Key_Delete);
        type("19a7 4.x5");
        EXPECT_EQ(find("txtYear")->text(), QStringLiteral("1974")) << "typed, digits only and four at most";
        pressIn(find<QPlainTextEdit>("txtNotes"), Qt::Key_End, Qt::ControlModifier);
        press(Qt::Key_Return, Qt::ControlModifier);
        type("x");
        EXPECT_TRUE(editor.isVisible()) << "Ctrl+Enter breaks a line of the Notes";
        press(Qt::Key_Return);
    });
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(saved.savedID, 1);
    EXPECT_EQ(stored("Year & Notes"), QStringLiteral("1974one\r\ntwo\r\n\u00a0three\r\nx"));
}

TEST_F(RecordEditor, HotKeysTypeIntoTheFieldTheUserWasIn)
{
    const struct
    {
        const char* name;
        const char* box;
        std::function<void(QWidget* box)> act;
        QString expected;
    } cases[] = {
        {"button after Tab replaces the selected text", "txtTitle", [&](QWidget*) { button("cmdHotKey0")->click(); },
         "Hello World"},
        {"button inserts at the caret", "txtTitle",
         [&](QWidget* box) {
             box->setFocus(Qt::MouseFocusReason);
             static_cast<QLineEdit*>(box)->setCursorPosition(5);
             find<QComboBox>("cboFormat")->setFocus(Qt::TabFocusReason); // the list leaves the last field alone
             button("cmdHotKey1")->click();
         },
         "Water(x)ABcloo"},
        {"nothing after a command button had the focus", "txtTitle",
         [&](QWidget*) {
             button("cmdOK")->setFocus(Qt::TabFocusReason);
             button("cmdHotKey0")->click();
         },
         "Waterloo"},
        {"the key types with Shift held, and is not swallowed", "txtLabel",
         [](QWidget* box) { pressIn(box, Qt::Key_F2, Qt::ShiftModifier); }, "Hello World"},
        {"only digits reach the Year", "txtYear", [](QWidget* box) { pressIn(box, Qt::Key_F4, Qt::ControlModifier); },
         "1974"},
        {"a typed key fires no hot key: no endless typing", "txtCatNo", [](QWidget* box) { pressIn(box, Qt::Key_F6); },
         "x"},
        {"into the Notes, from a button", "txtNotes", [&](QWidget*) { button("cmdHotKey2")->click(); }, "a<b>1b9c7d4"},
    };
    for (const auto& c : cases) {
        show([&] {
            QWidget* box = find<QWidget>(c.box);
            box->setFocus(Qt::TabFocusReason);
            c.act(box);
            waitForTyping();
            const auto* line = qobject_cast<QLineEdit*>(box);
            EXPECT_EQ(line ? line->text() : static_cast<QPlainTextEdit*>(box)->toPlainText(), c.expected) << c.name;
            press(Qt::Key_Escape);
        });
    }
}

TEST_F(RecordEditor, HotKeyButtonsAndTextsThatEndTheEditor)
{
    // Enter in a hot key's text ends the editor as OK would: the text before it is saved.
    show([&] {
        EXPECT_EQ(button("cmdHotKey0")->toolTip(), QStringLiteral("Paste Text 'Hello World'"));
        EXPECT_EQ(button("cmdHotKey1")->toolTip(), QStringLiteral("Paste Text '(x)+(ab)c'")) << "as the user wrote it";
        EXPECT_EQ(button("cmdHotKey2")->text(), QStringLiteral("R&&B")) << "no access key";
        EXPECT_EQ(QTextDocumentFragment::fromHtml(button("cmdHotKey2")->toolTip()).toPlainText(),
                  QStringLiteral("Paste Text 'a<b>1b9c7d4'"))
            << "a text that looks like markup is shown as written";
        pressIn(find("txtTitle"), Qt::Key_F5);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !editor.isVisible(); }));
    });
    EXPECT_EQ(stored("Title"), QStringLiteral("End"));

    // Escape ends it as Cancel would; a text that cannot be read types nothing and says why.
    hotKeys({"Esc,113,ab{ESC}", "Bad,114,ab{TAB"});
    show([&] {
        EXPECT_EQ(button("cmdHotKey0")->text(), QStringLiteral("Esc"));
        EXPECT_FALSE(button("cmdHotKey2")->isVisible());
        pressIn(find("txtTitle"), Qt::Key_F3);
        waitForTyping();
        const QString said = Dialogs::takeShown().value(0).text;
        EXPECT_TRUE(said.contains(QStringLiteral("\"Bad\"")) && said.contains(QStringLiteral("brace")))
            << said.toStdString();
        EXPECT_FALSE(editor.isChanged());
        pressIn(find("txtTitle"), Qt::Key_F2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !editor.isVisible(); }));
    });
    EXPECT_EQ(ProgramWindow::said(), "Varolin: Changes have been made; shall I save them?");
    EXPECT_EQ(stored("Title"), QStringLiteral("End"));
}

TEST_F(RecordEditor, TheFormatIsAChoiceOfTheList)
{
    // Choosing the format already chosen is a change.
    show([&] {
        auto* list = find<QComboBox>("cboFormat");
        EXPECT_EQ(list->currentText(), QStringLiteral("CD"));
        EXPECT_FALSE(editor.isChanged());
        list->setFocus(Qt::TabFocusReason);
        list->showPopup();
        QTest::keyClick(list->view(), Qt::Key_Return);
        EXPECT_TRUE(editor.isChanged());
        press(Qt::Key_Return);
    });

    // The recording's format is gone from the list: OK asks for one and keeps the edits.
    TestFolder::execute(catalogue, QStringLiteral("UPDATE Recording SET Format = 99"));
    show([&] {
        EXPECT_EQ(find<QComboBox>("cboFormat")->currentIndex(), -1);
        type("ABBA");
        press(Qt::Key_Return);
        ASSERT_TRUE(editor.isVisible());
        EXPECT_TRUE(Dialogs::takeShown().value(0).text.contains(QStringLiteral("choose a Format")));
        EXPECT_EQ(ProgramWindow::focus(), find<QComboBox>("cboFormat"));
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(stored("Artist & Format"), QStringLiteral("ABBA1"));
}

TEST_F(RecordEditor, MovesByTheKeysAskingOnce)
{
    const frmRecord::Result result = show(
        [&] {
            EXPECT_FALSE(button("cmdPrevious")->isEnabled());
            EXPECT_TRUE(button("cmdNext")->isEnabled());
            type("x");
            // Previous and Next by their keys, which leave the box's text alone; Previous is off here.
            press(Qt::Key_Left, Qt::AltModifier);
            ASSERT_TRUE(editor.isVisible());
            EXPECT_EQ(Dialogs::takeShown().size(), 0);
            press(Qt::Key_PageDown, Qt::ControlModifier);
        },
        {EditMode::Amend, 1, true, false});
    EXPECT_EQ(Dialogs::takeShown().size(), 1) << "the question";
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.navigate, Navigate::Next);
}

} // namespace
