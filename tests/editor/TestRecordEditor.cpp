#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/SendKeys.h"
#include "shared/Session.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>

namespace {

const QString kSelections = QStringLiteral("[SQL]\n1=All\nDefault=1\n");

// Five hot keys on F2 to F6.
const QString kHotKeys = QStringLiteral("[Hot-Keys]\n"
                                        "1=Hello,113,Hello_World\n"
                                        "2=Paren,114,{(}x{)}+(ab)c\n"
                                        "3=R&B,115,a1b9c7d4\n"
                                        "4=Done,116,End~\n"
                                        "5=Again,117,x{F6}\n");

class RecordEditor : public ::testing::Test
{
protected:
    template <typename T = QLineEdit>
    static T* find(frmRecord* editor, const char* name)
    {
        T* found = ProgramWindow::findControl<T>(editor, name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QToolButton* button(frmRecord* editor, const char* name) { return find<QToolButton>(editor, name); }
    static QComboBox* formats(frmRecord* editor) { return find<QComboBox>(editor, "cboFormat"); }
    static void waitForTyping()
    {
        EXPECT_TRUE(QTest::qWaitFor([] { return !SendKeys::isPlaying(); }));
    }
    static void pressOn(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(widget, key, modifiers);
    }

    // Starts the program on one recording, and runs Amend (or New) with the steps.
    bool start(const QString& ini, const TestFolder::Recording& recording = {"Abba", "Waterloo", "1974", 9, "Polar"})
    {
        return program.start(kSelections + ini, {recording});
    }
    void edit(const char* command, const QList<ProgramWindow::EditorStep>& steps)
    {
        program.whenEditorShows(steps);
        program.control<QToolButton>(command)->click();
        EXPECT_FALSE(program.stepsLeft());
        EXPECT_EQ(program.unexpectedEditors(), 0);
    }
    QVariant stored(const QString& field) const
    {
        return TestFolder::query(program.catalogue(),
                                 QStringLiteral("SELECT TOP 1 %1 FROM Recording ORDER BY ID DESC").arg(field));
    }

    ProgramWindow program;
};

TEST_F(RecordEditor, KeyboardAloneReachesEveryControlInOrder)
{
    ASSERT_TRUE(start(QStringLiteral("[Hot-Keys]\n1=One,113,1\n2=Two,114,2\n")));
    edit("cmdAmend", {[&](frmRecord* editor) {
             EXPECT_EQ(ProgramWindow::focus(), find(editor, "txtArtist"));
             EXPECT_EQ(find(editor, "txtArtist")->selectedText(), QStringLiteral("Abba"));
             const char* const order[] = {"txtTitle",    "cboFormat",   "txtYear", "txtLabel",  "txtCatNo",
                                          "txtIntCatNo", "txtNotes",    "cmdOK",   "cmdCancel", "cmdHotKey0",
                                          "cmdHotKey1",  "cmdPrevious", "cmdNext", "txtArtist"};
             // Previous and Next are disabled on a one-row display; enable them to walk the whole ring.
             button(editor, "cmdPrevious")->setEnabled(true);
             button(editor, "cmdNext")->setEnabled(true);
             for (const char* name : order) {
                 ProgramWindow::press(Qt::Key_Tab);
                 EXPECT_EQ(ProgramWindow::focus()->objectName(), QLatin1String(name));
             }
             // Space presses the focused button: Cancel, with nothing changed, just leaves.
             for (int i = 0; i < 5; ++i)
                 ProgramWindow::press(Qt::Key_Backtab);
             EXPECT_EQ(ProgramWindow::focus()->objectName(), QLatin1String("cmdCancel"));
             ProgramWindow::press(Qt::Key_Space);
         }});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_EQ(program.window->currentID(), 0) << "nothing saved";
}

TEST_F(RecordEditor, YearTakesFourDigitsWhenTyped)
{
    ASSERT_TRUE(start(QString(), {"Abba", "Waterloo", "1974-03", 9}));
    edit("cmdAmend", {[&](frmRecord* editor) {
             // A longer year already in the catalogue is shown whole.
             QLineEdit* year = find(editor, "txtYear");
             EXPECT_EQ(year->text(), QStringLiteral("1974-03"));
             year->setFocus(Qt::TabFocusReason);
             ProgramWindow::press(Qt::Key_Delete);
             QTest::keyClicks(year, QStringLiteral("19a7 4.x5"));
             EXPECT_EQ(year->text(), QStringLiteral("1974"));
             ProgramWindow::press(Qt::Key_5);
             EXPECT_EQ(year->text(), QStringLiteral("1974")) << "a fifth digit is refused";
             ProgramWindow::press(Qt::Key_Backspace);
             ProgramWindow::press(Qt::Key_8, Qt::ShiftModifier);
             EXPECT_EQ(year->text(), QStringLiteral("1978"));
             // Delete as the X server sends it, with a DEL character for its text.
             ProgramWindow::press(Qt::Key_Home);
             QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
             QApplication::sendEvent(year, &del);
             EXPECT_EQ(year->text(), QStringLiteral("978"));
             ProgramWindow::press(Qt::Key_Return);
         }});
    EXPECT_EQ(stored(QStringLiteral("Year")), QStringLiteral("978"));
}

TEST_F(RecordEditor, ChoosingTheSameFormatAgainCountsAsAChange)
{
    ASSERT_TRUE(start(QString()));
    edit("cmdAmend", {[&](frmRecord* editor) {
             QComboBox* list = formats(editor);
             EXPECT_EQ(list->currentText(), QStringLiteral("CD"));
             EXPECT_EQ(list->currentData().toLongLong(), 9);
             EXPECT_EQ(list->itemText(0), QStringLiteral("LP")) << "in ID order";
             EXPECT_FALSE(editor->isChanged());
             list->setFocus(Qt::TabFocusReason);
             list->showPopup();
             QTest::keyClick(list->view(), Qt::Key_Return);
             EXPECT_EQ(list->currentText(), QStringLiteral("CD"));
             EXPECT_TRUE(editor->isChanged());
             ProgramWindow::press(Qt::Key_Return);
         }});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_TRUE(TestFolder::query(program.catalogue(), QStringLiteral("SELECT count(*) FROM Recording")).toInt() == 1);
    EXPECT_EQ(program.window->currentID(), 1);
}

struct HotKeyCase
{
    const char* name;
    const char* box;
    std::function<void(QWidget* box, frmRecord* editor)> act;
    QString expected;
};

TEST_F(RecordEditor, HotKeysTypeIntoTheFieldTheUserWasIn)
{
    const QList<HotKeyCase> cases = {
        {"button after Tab replaces the selected text", "txtTitle",
         [](QWidget*, frmRecord* editor) {
             find(editor, "txtArtist")->setFocus(Qt::TabFocusReason);
             ProgramWindow::press(Qt::Key_Tab);
             button(editor, "cmdHotKey0")->click();
         },
         "Hello World"},
        {"button inserts at the caret", "txtTitle",
         [](QWidget* box, frmRecord* editor) {
             box->setFocus(Qt::MouseFocusReason);
             static_cast<QLineEdit*>(box)->setCursorPosition(5);
             formats(editor)->setFocus(Qt::TabFocusReason); // the list leaves the last field alone
             button(editor, "cmdHotKey1")->click();
         },
         "Water(x)ABcloo"},
        {"nothing after a command button had the focus", "txtTitle",
         [](QWidget* box, frmRecord* editor) {
             box->setFocus(Qt::TabFocusReason);
             button(editor, "cmdOK")->setFocus(Qt::TabFocusReason);
             button(editor, "cmdHotKey0")->click();
         },
         "Waterloo"},
        {"the key types with Shift held, and is not swallowed", "txtLabel",
         [](QWidget* box, frmRecord*) { pressOn(box, Qt::Key_F2, Qt::ShiftModifier); }, "Hello World"},
        {"only digits reach the Year", "txtYear",
         [](QWidget* box, frmRecord*) { pressOn(box, Qt::Key_F4, Qt::ControlModifier); }, "1974"},
        {"a typed key fires no hot key: no endless typing", "txtCatNo",
         [](QWidget* box, frmRecord*) { pressOn(box, Qt::Key_F6); }, "x"},
        {"into the Notes, from a button", "txtNotes",
         [](QWidget* box, frmRecord* editor) {
             box->setFocus(Qt::TabFocusReason);
             button(editor, "cmdHotKey2")->click();
         },
         "a1b9c7d4"},
    };
    for (const HotKeyCase& c : cases) {
        ProgramWindow fresh;
        ASSERT_TRUE(fresh.start(kSelections + kHotKeys, {{"Abba", "Waterloo", "", 9}}));
        fresh.whenEditorShows({[&](frmRecord* editor) {
            QWidget* box = ProgramWindow::findControl<QWidget>(editor, c.box);
            c.act(box, editor);
            waitForTyping();
            const QString text = qobject_cast<QLineEdit*>(box) ? static_cast<QLineEdit*>(box)->text()
                                                               : static_cast<QPlainTextEdit*>(box)->toPlainText();
            EXPECT_EQ(text, c.expected) << c.name;
            EXPECT_TRUE(editor->isVisible()) << c.name;
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            editor->close();
        }});
        fresh.control<QToolButton>("cmdAmend")->click();
        EXPECT_FALSE(fresh.stepsLeft()) << c.name;
    }
}

TEST_F(RecordEditor, HotKeyButtonsShowTheirNamesAndTexts)
{
    ASSERT_TRUE(start(QStringLiteral("[Hot-Keys]\n1=Hello,113,Hello_World\n2=Paren,114,{(}x{)}\n3=R&B,115,a<b>c\n")));
    edit("cmdNew", {[&](frmRecord* editor) {
             EXPECT_EQ(button(editor, "cmdHotKey0")->text(), QStringLiteral("Hello"));
             EXPECT_EQ(button(editor, "cmdHotKey0")->toolTip(), QStringLiteral("Paste Text 'Hello World'"));
             EXPECT_EQ(button(editor, "cmdHotKey1")->toolTip(), QStringLiteral("Paste Text '{(}x{)}'"));
             EXPECT_EQ(button(editor, "cmdHotKey2")->text(), QStringLiteral("R&&B")) << "shown as written";
             EXPECT_EQ(QTextDocumentFragment::fromHtml(button(editor, "cmdHotKey2")->toolTip()).toPlainText(),
                       QStringLiteral("Paste Text 'a<b>c'"))
                 << "a text that looks like markup is shown as written";
             EXPECT_TRUE(button(editor, "cmdHotKey2")->isVisible());
             EXPECT_FALSE(button(editor, "cmdHotKey3")->isVisible());
             EXPECT_FALSE(button(editor, "cmdHotKey4")->isVisible());
             ProgramWindow::press(Qt::Key_Escape);
         }});
}

TEST_F(RecordEditor, HotKeyTextsThatEndTheEditor)
{
    // Enter in a hot key's text ends the editor as OK would: the text before it is saved.
    ASSERT_TRUE(start(kHotKeys));
    edit("cmdAmend", {[&](frmRecord* editor) {
             pressOn(find<QPlainTextEdit>(editor, "txtNotes"), Qt::Key_F5);
             EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->isVisible(); }));
         }});
    EXPECT_EQ(stored(QStringLiteral("Notes")), QStringLiteral("End"));
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    // Escape ends it as Cancel would; a text that cannot be read types nothing and says why.
    program.folder.writeIni(kSelections + QStringLiteral("[Hot-Keys]\n1=Esc,113,ab{ESC}\n2=Bad,114,ab{TAB\n"));
    program.session->LoadHotKeys();
    edit("cmdAmend", {[&](frmRecord* editor) {
             QLineEdit* title = find(editor, "txtTitle");
             pressOn(title, Qt::Key_F3);
             waitForTyping();
             const QList<Dialogs::Shown> shown = Dialogs::takeShown();
             ASSERT_EQ(shown.size(), 1);
             EXPECT_TRUE(shown.first().text.contains(QStringLiteral("\"Bad\""))) << shown.first().text.toStdString();
             EXPECT_TRUE(shown.first().text.contains(QStringLiteral("brace"))) << shown.first().text.toStdString();
             EXPECT_EQ(title->text(), QStringLiteral("Waterloo"));
             EXPECT_FALSE(editor->isChanged());
             Dialogs::scriptMessageAnswer(QMessageBox::No);
             pressOn(title, Qt::Key_F2);
             EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->isVisible(); }));
         }});
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().text, QStringLiteral("Changes have been made; shall I save them?"));
    EXPECT_EQ(stored(QStringLiteral("Title")), QStringLiteral("Waterloo"));
}

TEST_F(RecordEditor, EnterEndsTheEditorAndCtrlEnterBreaksANotesLine)
{
    ASSERT_TRUE(start(QString(), {"Blur", "Parklife", "1994", 1, "Food", "", "Vol.\u00a02\r\nlines"}));
    edit("cmdAmend", {[&](frmRecord* editor) {
             auto* notes = find<QPlainTextEdit>(editor, "txtNotes");
             notes->setFocus(Qt::TabFocusReason);
             ProgramWindow::press(Qt::Key_End, Qt::ControlModifier);
             ProgramWindow::press(Qt::Key_Return, Qt::ControlModifier);
             ProgramWindow::type(QStringLiteral("three"));
             EXPECT_TRUE(editor->isVisible()) << "Ctrl+Enter does not end the editor";
             ProgramWindow::press(Qt::Key_Return);
             EXPECT_FALSE(editor->isVisible());
         }});
    // The catalogue's lines end in CR LF, the new one too; a non-breaking space stays one.
    EXPECT_EQ(stored(QStringLiteral("Notes")), QStringLiteral("Vol.\u00a02\r\nlines\r\nthree"));
}

TEST_F(RecordEditor, UntouchedFieldsAreWrittenBackExactly)
{
    // Notes with bare line feeds and a long Year from another tool survive a change elsewhere.
    const QString notes = QStringLiteral("one\ntwo\r\n\tthree ");
    ASSERT_TRUE(start(QString(), {"Blur", "Parklife", "1994-05-01", 1, "Food", "", notes}));
    edit("cmdAmend", {[&](frmRecord*) {
             ProgramWindow::type(QStringLiteral("Blur!"));
             ProgramWindow::press(Qt::Key_Return);
         }});
    EXPECT_EQ(stored(QStringLiteral("Artist")), QStringLiteral("Blur!"));
    EXPECT_EQ(stored(QStringLiteral("Notes")), notes);
    EXPECT_EQ(stored(QStringLiteral("Year")), QStringLiteral("1994-05-01"));

    // Null fields come back as zero-length strings once the recording is saved.
    TestFolder::execute(program.catalogue(), QStringLiteral("UPDATE Recording SET Title = NULL, Label = NULL, "
                                                            "Notes = NULL, International_Catalogue_No = NULL"));
    edit("cmdAmend", {[&](frmRecord* editor) {
             EXPECT_EQ(find(editor, "txtTitle")->text(), QString());
             ProgramWindow::type(QStringLiteral("Blur"));
             ProgramWindow::press(Qt::Key_Return);
         }});
    EXPECT_EQ(TestFolder::query(program.catalogue(),
                                QStringLiteral("SELECT count(*) FROM Recording WHERE Title = '' AND Label = '' AND "
                                               "Notes = '' AND International_Catalogue_No = ''")),
              1);
}

TEST_F(RecordEditor, AFormatMustBeChosenBeforeSaving)
{
    // The recording's format is gone from the list: nothing is selected, and OK asks for one.
    ASSERT_TRUE(start(QString(), {"Abba", "Waterloo", "1974", 99}));
    edit("cmdAmend", {[&](frmRecord* editor) {
             EXPECT_EQ(formats(editor)->currentIndex(), -1);
             ProgramWindow::type(QStringLiteral("ABBA"));
             ProgramWindow::press(Qt::Key_Return);
             ASSERT_TRUE(editor->isVisible());
             const QList<Dialogs::Shown> shown = Dialogs::takeShown();
             ASSERT_EQ(shown.size(), 1);
             EXPECT_TRUE(shown.first().text.contains(QStringLiteral("Format")));
             EXPECT_EQ(ProgramWindow::focus(), formats(editor));
             EXPECT_EQ(find(editor, "txtArtist")->text(), QStringLiteral("ABBA"));
             ProgramWindow::press(Qt::Key_Down);
             ProgramWindow::press(Qt::Key_Return);
         }});
    EXPECT_EQ(stored(QStringLiteral("Artist")), QStringLiteral("ABBA"));
    EXPECT_EQ(stored(QStringLiteral("Format")), 1);
}

struct FormatTableCase
{
    const char* name;
    QString sql;
    QStringList entries;
    int selected; // for a new recording
};

TEST_F(RecordEditor, NewRecordingsStartOnTheNinthFormatOrTheLast)
{
    const QList<FormatTableCase> cases = {
        {"three formats", QStringLiteral("DELETE FROM Format WHERE ID > 3"), {"LP", "EP", "Single"}, 2},
        {"none", QStringLiteral("DELETE FROM Format"), {}, -1},
        {"a Null description",
         QStringLiteral("DROP VIEW Expanded_Recording; DROP TABLE Format;"
                        "CREATE TABLE Format (ID INTEGER PRIMARY KEY, Description TEXT);"
                        "INSERT INTO Format VALUES (1, 'LP'), (2, NULL), (3, 'CD');"
                        "CREATE VIEW Expanded_Recording AS SELECT Recording.*, Format.Description AS Format2 "
                        "FROM Recording LEFT JOIN Format ON Format.ID = Recording.Format"),
         {"LP", "", "CD"},
         2},
    };
    for (const FormatTableCase& c : cases) {
        ProgramWindow fresh;
        fresh.folder.writeIni(kSelections);
        fresh.folder.createCatalogue();
        TestFolder::execute(fresh.catalogue(), c.sql);
        ASSERT_TRUE(fresh.start()) << c.name;
        Dialogs::takeShown();
        fresh.whenEditorShows({[&](frmRecord* editor) {
            QStringList entries;
            for (int i = 0; i < formats(editor)->count(); ++i)
                entries << formats(editor)->itemText(i);
            EXPECT_EQ(entries, c.entries) << c.name;
            EXPECT_EQ(formats(editor)->currentIndex(), c.selected) << c.name;
            ProgramWindow::type(QStringLiteral("Someone"));
            ProgramWindow::press(Qt::Key_Return);
            if (c.selected < 0) {
                // Nothing can be saved yet; the edit stays until the user gives up on it.
                EXPECT_TRUE(editor->isVisible()) << c.name;
                EXPECT_EQ(Dialogs::takeShown().size(), 1) << c.name;
                Dialogs::scriptMessageAnswer(QMessageBox::No);
                ProgramWindow::press(Qt::Key_Escape);
            }
        }});
        fresh.control<QToolButton>("cmdNew")->click();
        EXPECT_FALSE(fresh.stepsLeft()) << c.name;
        EXPECT_EQ(TestFolder::query(fresh.catalogue(), QStringLiteral("SELECT count(*) FROM Recording")).toInt(),
                  c.selected < 0 ? 0 : 1)
            << c.name;
    }
}

TEST_F(RecordEditor, PreviousAndNextInANewRecordJustLeave)
{
    ASSERT_TRUE(start(QString()));
    edit("cmdNew", {[&](frmRecord* editor) {
             ProgramWindow::type(QStringLiteral("Unsaved"));
             Dialogs::scriptMessageAnswer(QMessageBox::No);
             button(editor, "cmdNext")->click();
         }});
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(program.editorsShown(), 1) << "New does not step on";
    EXPECT_EQ(TestFolder::query(program.catalogue(), QStringLiteral("SELECT count(*) FROM Recording")).toInt(), 1);
}

} // namespace
