#include "platform/DialogBase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

DialogBase::DialogBase(QWidget* parent) : QDialog(parent)
{}

bool DialogBase::isOkKey(const QKeyEvent* event) const
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool DialogBase::previewKey(QKeyEvent*)
{
    return false;
}

void DialogBase::watchKeys()
{
    installEventFilter(this);
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
}

bool DialogBase::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    // Only the first delivery, to the control with the focus: a key it ignores travels on to its
    // parents and must not act twice. A list's popup is a window of its own and keeps its keys.
    QWidget* focus = QApplication::focusWidget();
    if (watched != (focus && isAncestorOf(focus) ? focus : static_cast<QWidget*>(this)))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool bOk = isOkKey(key);
    // A push button with the focus is what Enter presses, as in any dialog.
    if (auto* button = qobject_cast<QPushButton*>(focus); bOk && button && watched == button) {
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
    if (bOk || key->key() == Qt::Key_Escape) {
        if (!key->isAutoRepeat())
            bOk ? okKey() : cancelKey();
        return true;
    }
    return previewKey(key);
}

void DialogBase::reject()
{
    cancelKey();
}
