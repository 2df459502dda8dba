#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// A long task the user may stop. The task calls keepGoing() often; between calls the window is
// kept painted, and after a moment a small window says what is running and offers Cancel
// (Escape). While it shows, it alone takes the user's input, so nothing else can start meanwhile.
class BusyWatch
{
public:
    BusyWatch(QWidget* parent, const QString& label, int showAfterMs = 400);
    ~BusyWatch();
    BusyWatch(const BusyWatch&) = delete;
    BusyWatch& operator=(const BusyWatch&) = delete;

    // False once the user has cancelled.
    bool keepGoing();
    // Stops the task at its next look, as Cancel does.
    void cancel() { m_cancelled = true; }

private:
    QWidget* m_parent;
    QString m_label;
    int m_showAfterMs;
    QElapsedTimer m_started;
    qint64 m_lastLook = 0;
    QPointer<QProgressDialog> m_window;
    bool m_cancelled = false;
    bool m_arrowCursor = false; // pushed over the busy pointer while the window shows
};
