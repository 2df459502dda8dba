#include "platform/SendKeys.h"

#include "platform/SendKeysParser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

using Stroke = SendKeysParser::Stroke;

// Each stroke remembers the window that had the focus when it was sent.
struct Queued
{
    Stroke stroke{};
    QPointer<QWidget> window;
    int batch;
};

struct Player
{
    QList<Queued> queue;
    QList<const QKeyEvent*> delivering;
    bool scheduled = false;
    int batches = 0;
};

Player& player()
{
    static Player instance;
    return instance;
}

// Where a key from the keyboard would go now: the focus widget, or the active window when no
// widget in it has the focus.
QWidget* keyTarget()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : QApplication::activeWindow();
}

// A modal dialog over the window takes its keys even before the window system activates it.
bool insideWindow(const QWidget* target, const QWidget* window)
{
    const QWidget* modal = QApplication::activeModalWidget();
    return target && window && window->isVisible() && target->window() == window && (!modal || modal == window);
}

void deliverNext();

void schedule()
{
    Player& p = player();
    if (p.scheduled || p.queue.isEmpty())
        return;
    p.scheduled = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { deliverNext(); }, Qt::QueuedConnection);
}

void deliver(QWidget* target, const QWidget* window, const Stroke& stroke)
{
    Player& p = player();
    QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
    p.delivering.append(&press);
    QCoreApplication::sendEvent(target, &press);
    p.delivering.removeOne(&press);

    // The release goes where the focus is now, unless the press took the focus out of the window.
    target = keyTarget();
    if (!insideWindow(target, window))
        return;
    QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
    p.delivering.append(&release);
    QCoreApplication::sendEvent(target, &release);
    p.delivering.removeOne(&release);
}

void deliverNext()
{
    Player& p = player();
    p.scheduled = false;
    if (p.queue.isEmpty())
        return;
    const Queued next = p.queue.takeFirst();
    QWidget* target = keyTarget();
    if (!insideWindow(target, next.window)) {
        // An Enter or Escape closed the window, or the user left it: the rest of its keys would
        // land in whatever window is behind it.
        p.queue.removeIf([&](const Queued& queued) { return queued.batch == next.batch; });
        schedule();
        return;
    }
    // Scheduled first: a key that opens a modal dialog runs the next delivery inside the dialog's
    // event loop, where it finds the focus gone and stops.
    schedule();
    deliver(target, next.window, next.stroke);
}

} // namespace

bool SendKeys::send(const QString& keys, QString* error)
{
    QString problem;
    const QList<Stroke> strokes = SendKeysParser::parse(keys, &problem);
    QWidget* target = keyTarget();
    if (problem.isEmpty() && !strokes.isEmpty() && !target)
        problem = QStringLiteral("No window has the keyboard focus to type \"%1\"").arg(keys);
    if (error)
        *error = problem;
    if (!problem.isEmpty())
        return false;

    Player& p = player();
    const int batch = ++p.batches;
    for (const Stroke& stroke : strokes)
        p.queue.append({stroke, target->window(), batch});
    schedule();
    return true;
}

bool SendKeys::isPlaying()
{
    return !player().queue.isEmpty() || !player().delivering.isEmpty();
}

bool SendKeys::isSent(const QKeyEvent* event)
{
    return event && player().delivering.contains(event);
}
