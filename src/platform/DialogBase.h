#pragma once

#include <QDialog>

class QKeyEvent;

// What every Varolin window shares: Enter is its OK and Escape its Cancel from any of its controls
// (Enter on a push button with the focus presses that button), closing it from the title bar is
// Cancel, and a held key acts once: its repeats are dropped, so they neither act again here nor
// reach the window behind.
class DialogBase : public QDialog
{
    Q_OBJECT

public:
    explicit DialogBase(QWidget* parent = nullptr);

protected:
    // What Enter and Escape do.
    virtual void okKey() = 0;
    virtual void cancelKey() = 0;
    // Whether the key is the window's Enter (the editor keeps Ctrl+Enter for its Notes).
    virtual bool isOkKey(const QKeyEvent* event) const;
    // A key the window takes before the control with the focus sees it; true when taken.
    virtual bool previewKey(QKeyEvent* event);

    // Watches the keys of every control made so far; called once the controls are made.
    void watchKeys();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
};
