#include "platform/Dialogs.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Real message boxes, answered with real keys while they are open.
QMessageBox::StandardButton AskAndPress(QMessageBox::StandardButtons buttons, const QList<Qt::Key>& keys,
                                        bool* stillOpenAfterKeys)
{
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, key);
        *stillOpenAfterKeys = box->isVisible();
        if (box->isVisible())
            box->button(QMessageBox::Yes)->click();
    });
    return Dialogs::message(nullptr, QStringLiteral("Changes have been made; shall I save them?"),
                            QStringLiteral("Varolin"), buttons, QMessageBox::Question, QMessageBox::Yes);
}

TEST(Dialogs, EscapeDoesNotAnswerAYesNoQuestion)
{
    Dialogs::setScripted(false);
    bool open = false;
    EXPECT_EQ(AskAndPress(QMessageBox::Yes | QMessageBox::No, {Qt::Key_Escape, Qt::Key_Escape}, &open),
              QMessageBox::Yes);
    EXPECT_TRUE(open) << "Escape left the question unanswered";

    // With a Cancel button Escape means Cancel, as usual.
    EXPECT_EQ(AskAndPress(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, {Qt::Key_Escape}, &open),
              QMessageBox::Cancel);
    EXPECT_FALSE(open);
}

TEST(Dialogs, LongMessagesStayOnTheScreen)
{
    // A condition of thousands of characters without a space, and a message of hundreds of lines.
    const QString condition = QStringLiteral("Artist='") + QString(5000, QLatin1Char('A')) + QStringLiteral("'");
    Dialogs::setScripted(false);
    for (const QString& text : {"The Selection could not be run:\r\n\r\nCondition: " + condition,
                                QStringLiteral("\r\na line").repeated(300)}) {
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            const QRect screen = shown->screen()->availableGeometry();
            QAbstractButton* ok = shown->button(QMessageBox::Ok);
            EXPECT_TRUE(screen.contains(shown->frameGeometry())) << shown->width() << "x" << shown->height();
            EXPECT_TRUE(screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
            ok->click();
        });
        Dialogs::message(nullptr, text, QStringLiteral("Varolin"));
    }

    // A text that fits, a long path included, is shown as it is.
    Dialogs::setScripted(true);
    const QString path = QStringLiteral("Could not find file '/home/someone/Music/Collections/Vinyl/Archive/2024/"
                                        "the-whole-varolin-catalogue-of-records.mdb'.");
    Dialogs::message(nullptr, path, QStringLiteral("Varolin"));
    EXPECT_EQ(Dialogs::takeShown().value(0).text, path);
    Dialogs::setScripted(false);
}

} // namespace
