#pragma once

#include <QList>
#include <QString>
#include <Qt>

// Reads a key sequence ("ab{TAB}+(cd)~") into the strokes that type it. The text is read whole: one
// that cannot be read gives no strokes at all.
class SendKeysParser
{
public:
    struct Stroke
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };

    // The strokes of a key sequence; none, with *error saying what and where, when it cannot be read.
    static QList<Stroke> parse(const QString& keys, QString* error);
};
