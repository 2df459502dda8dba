#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>

namespace {

// A question without a Cancel button is answered with Yes or No, never by Escape: a second Escape
// typed after the one that asked must not throw away what the question is about.
class EscapeRefused : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

struct Script
{
    bool active = false;
    QList<QMessageBox::StandardButton> messageAnswers;
    QStringList inputAnswers;
    QList<Dialogs::Shown> shown;
};

Script& script()
{
    static Script s;
    return s;
}

} // namespace

QMessageBox::StandardButton Dialogs::message(QWidget* parent, const QString& text, const QString& title,
                                             QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                             QMessageBox::StandardButton defaultButton)
{
    if (script().active) {
        script().shown.append({false, title, text, icon, buttons});
        return script().messageAnswers.isEmpty() ? QMessageBox::Ok : script().messageAnswers.takeFirst();
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor); // a box over a busy window still takes the mouse
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    EscapeRefused escapeRefused;
    if (buttons == (QMessageBox::Yes | QMessageBox::No)) {
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        box.installEventFilter(&escapeRefused);
        for (QAbstractButton* button : box.buttons())
            button->installEventFilter(&escapeRefused);
    }
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    QApplication::restoreOverrideCursor();
    return answer;
}

QString Dialogs::input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    if (script().active) {
        script().shown.append({true, title, prompt, QMessageBox::NoIcon, {}});
        return script().inputAnswers.isEmpty() ? QString() : script().inputAnswers.takeFirst();
    }
    bool ok = false;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    QApplication::restoreOverrideCursor();
    return ok ? answer : QString();
}

QString Dialogs::fileName(QWidget* parent, FileMode mode, const QString& caption, const QString& suggested,
                          const QString& filter)
{
    if (script().active) {
        script().shown.append({true, caption, suggested, QMessageBox::NoIcon, {}});
        return script().inputAnswers.isEmpty() ? QString() : script().inputAnswers.takeFirst();
    }
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString chosen = mode == FileMode::Open ? QFileDialog::getOpenFileName(parent, caption, suggested, filter)
                                                  : QFileDialog::getSaveFileName(parent, caption, suggested, filter);
    QApplication::restoreOverrideCursor();
    return chosen;
}

void Dialogs::setScripted(bool scripted)
{
    script() = Script();
    script().active = scripted;
}

void Dialogs::scriptMessageAnswer(QMessageBox::StandardButton answer)
{
    script().messageAnswers.append(answer);
}

void Dialogs::scriptInputAnswer(const QString& answer)
{
    script().inputAnswers.append(answer);
}

QList<Dialogs::Shown> Dialogs::takeShown()
{
    return std::exchange(script().shown, {});
}
