#include "platform/KeyCodes.h"
#include "platform/SendKeys.h"
#include "platform/SendKeysParser.h"
#include "support/TestFolder.h" // failures show texts as texts

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <tuple>

namespace {

// Each stroke as its key combination followed by the text it types in quotes: "Shift+E'E'".
QString describe(const QList<SendKeysParser::Stroke>& strokes)
{
    QStringList parts;
    for (const SendKeysParser::Stroke& stroke : strokes) {
        QString text = stroke.text;
        text.replace(u'\r', QLatin1String("\\r")).replace(u'\t', QLatin1String("\\t"));
        text.replace(u'\b', QLatin1String("\\b")).replace(QChar(0x1b), QLatin1String("\\e"));
        const QKeyCombination combination(stroke.modifiers, Qt::Key(stroke.key));
        parts << QKeySequence(combination).toString(QKeySequence::PortableText) +
                     (text.isEmpty() ? QString() : u'\'' + text + u'\'');
    }
    return parts.join(u' ');
}

TEST(SendKeys, ParsesTheWholeSyntaxAndPointsAtWhatItCannotRead)
{
    // Keys, their strokes, and the error: one of each kind, pointing at the character at fault.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "", ""},
        {"aB1 ,", "A'a' B'B' 1'1' Space' ' ,','", ""},
        {"+ec", "Shift+E'E' C'c'", ""},
        {"+(ec)", "Shift+E'E' Shift+C'C'", ""},
        {"^+a%x^(b+c)", "Ctrl+Shift+A Alt+X Ctrl+B Ctrl+Shift+C", ""},
        {"+é(é)", "Shift+É'É' É'é'", ""},
        {"~{enter}{Tab}+{TAB}", R"(Return'\r' Return'\r' Tab'\t' Shift+Backtab'\t')", ""},
        {"{bs}{BKSP}{Backspace}{esc}{ESCAPE}", R"(Backspace'\b' Backspace'\b' Backspace'\b' Esc'\e' Esc'\e')", ""},
        {"{del}{Delete}{INS}{insert}{home}{END}{up}{DOWN}{left}{RIGHT}{PgUp}{pgdn}",
         "Del Del Ins Ins Home End Up Down Left Right PgUp PgDown", ""},
        {"{F1}{f16}{BREAK}{CapsLock}{NUMLOCK}{scrolllock}{PRTSC}", "F1 F16 Pause CapsLock NumLock ScrollLock Print",
         ""},
        {"{LEFT 3}{x 2}+{y 2}", "Left Left Left X'x' X'x' Shift+Y'Y' Shift+Y'Y'", ""},
        {"{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}", "+'+' ^'^' %'%' ~'~' ('(' )')' {'{' }'}' ['[' ]']'", ""},
        {"{} 2}{ }{  2}", "}'}' }'}' Space' ' Space' ' Space' '", ""},
        {"ab{TAB", "", R"~(Unclosed brace at position 3 in "ab{TAB")~"},
        {"a(b(c)", "", R"~(Unclosed parenthesis at position 2 in "a(b(c)")~"},
        {"ab}", "", R"~(Unmatched "}" at position 3 in "ab}")~"},
        {"a)b", "", R"~(Unmatched ")" at position 2 in "a)b")~"},
        {"x{F17}", "", R"~(Unknown key name "F17" at position 2 in "x{F17}")~"},
        {"{a 0}", "", R"~(Repeat count "0" is not a number from 1 to 1000 at position 4 in "{a 0}")~"},
        {"{a 1001}", "", R"~(Repeat count "1001" is not a number from 1 to 1000 at position 4 in "{a 1001}")~"},
        {"ab+", "", R"~("+" with no key after it at position 3 in "ab+")~"},
        {"(a^)", "", R"~("^" with no key after it at position 3 in "(a^)")~"},
        {"a[b", "", R"~(Reserved bracket "[" (write {[} to type it) at position 2 in "a[b")~"},
        {"{}", "", R"~(Empty braces at position 1 in "{}")~"},
        {"x()", "", R"~(Empty parentheses at position 2 in "x()")~"},
    };
    for (const auto& [keys, strokes, error] : cases) {
        QString problem = QStringLiteral("untouched");
        EXPECT_EQ(describe(SendKeysParser::parse(QString::fromUtf8(keys), &problem)), QString::fromUtf8(strokes))
            << keys;
        EXPECT_EQ(problem, QString::fromUtf8(error));
    }
}

TEST(KeyCodes, MapQtKeysToVirtualKeysAndBack)
{
    // A Qt key, its virtual key and that key's name, and whether the virtual key gives the Qt key back.
    const std::tuple<int, Qt::KeyboardModifiers, int, const char*, bool> cases[] = {
        {Qt::Key_F24, {}, 135, "F24", true},
        {Qt::Key_Return, {}, 13, "Enter", true},
        {Qt::Key_Enter, Qt::KeypadModifier, 13, "Enter", false},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9, "Tab", false},
        {Qt::Key_A, {}, 65, "A", true},
        {Qt::Key_Z, Qt::ShiftModifier, 90, "Z", true},
        {Qt::Key_0, {}, 48, "0", true},
        {Qt::Key_5, Qt::KeypadModifier, 101, "Num 5", true},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106, "Num *", true},
        {Qt::Key_Home, Qt::KeypadModifier, 36, "Home", true},
        {Qt::Key_Asterisk, Qt::ShiftModifier, 56, "8", false},
        {Qt::Key_ParenRight, Qt::ShiftModifier, 48, "0", false},
        {Qt::Key_Semicolon, {}, 186, ";", true},
        {Qt::Key_Colon, Qt::ShiftModifier, 186, ";", false},
        {Qt::Key_Adiaeresis, {}, 0, "Key 0", false},
    };
    for (const auto& [qtKey, modifiers, virtualKey, name, reverses] : cases) {
        EXPECT_EQ(KeyCodes::virtualKey(qtKey, modifiers), virtualKey) << name;
        EXPECT_EQ(KeyCodes::name(virtualKey), QString::fromUtf8(name));
        EXPECT_EQ(reverses ? KeyCodes::qtKey(virtualKey) : qtKey, qtKey) << name;
    }
    EXPECT_EQ(KeyCodes::qtKey(200), 0);
    EXPECT_EQ(KeyCodes::name(200), QStringLiteral("Key 200"));
}

// A shown, active window with two line edits, the first of them focused.
struct Form
{
    QWidget window;
    QLineEdit* first = new QLineEdit(&window);
    QLineEdit* second = new QLineEdit(&window);

    Form() { window.show(), focus(); }
    void focus()
    {
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), first);
    }
};

const auto waitUntilPlayed = [] { EXPECT_TRUE(QTest::qWaitFor([] { return !SendKeys::isPlaying(); })); };

TEST(SendKeys, TypesIntoTheFocusedWidgetWithoutWaiting)
{
    Form form;
    ASSERT_TRUE(SendKeys::send(QStringLiteral("ab{TAB}+(cd)")));
    ASSERT_TRUE(SendKeys::send(QStringLiteral("e")));
    EXPECT_TRUE(SendKeys::isPlaying());
    EXPECT_EQ(form.first->text(), QString());
    waitUntilPlayed();
    EXPECT_EQ(form.first->text(), QStringLiteral("ab"));
    EXPECT_EQ(form.second->text(), QStringLiteral("CDe"));

    QString error;
    EXPECT_FALSE(SendKeys::send(QStringLiteral("yz{TAB"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(SendKeys::isPlaying());
    QTest::qWait(20);
    EXPECT_EQ(form.second->text(), QStringLiteral("CDe"));
}

// On Enter, takes the focus out of the form the way a dialog's OK does: by closing it, or by
// opening a modal dialog over it; afterwards the focus lands in a window again.
struct LeaveOnEnter : QObject
{
    Form* form;
    Form* behind;
    bool modal;
    QList<bool> sent;

    LeaveOnEnter(Form* form, Form* behind, bool modal) : form(form), behind(behind), modal(modal) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        sent << SendKeys::isSent(key);
        if (key->key() != Qt::Key_Return)
            return false;
        if (modal) {
            QDialog dialog(&form->window);
            QTimer::singleShot(100, &dialog, &QDialog::reject);
            dialog.exec();
            form->focus();
        } else {
            form->window.close();
            behind->focus();
        }
        return true;
    }
};

TEST(SendKeys, StopsWhenTheFocusLeavesTheWindow)
{
    for (const bool modal : {false, true}) {
        Form behind;
        Form form;
        LeaveOnEnter filter(&form, &behind, modal);
        form.first->installEventFilter(&filter);
        ASSERT_TRUE(SendKeys::send(QStringLiteral("ab~cd")));
        waitUntilPlayed();
        EXPECT_EQ(form.first->text(), QStringLiteral("ab")) << modal;
        EXPECT_EQ(form.second->text() + behind.first->text() + behind.second->text(), QString()) << modal;
        // The window's filter can tell the player's keys from the keyboard's.
        QTest::keyClick(form.first, Qt::Key_X);
        EXPECT_EQ(filter.sent, QList<bool>({true, true, true, false})) << modal;
    }
}

} // namespace
