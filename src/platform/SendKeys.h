#pragma once

#include <QString>

class QKeyEvent;

// Types a key sequence into the focused widget, as if from the keyboard, one key at a time from
// the event loop. The sequence is read whole first (SendKeysParser): a text that cannot be read
// types nothing.
class SendKeys
{
public:
    // Queues the keys for the window that has the focus and returns at once. Playing stops as soon
    // as the focus leaves that window, so keys meant for a dialog never reach the window behind it.
    // False, with nothing typed, when the keys cannot be read or no window has the focus.
    static bool send(const QString& keys, QString* error = nullptr);

    // True while strokes wait or one is being delivered.
    static bool isPlaying();

    // Whether the event is one the player is delivering, so that a typed hot-key text cannot fire
    // another hot key.
    static bool isSent(const QKeyEvent* event);
};
