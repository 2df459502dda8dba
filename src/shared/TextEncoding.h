#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How a text file from outside is encoded, told from its bytes alike for every reader: a
// byte-order mark of UTF-8 or UTF-16 (little- or big-endian) says so; without one, bytes that are
// valid UTF-8 throughout are UTF-8, and any others Windows-1252, as older Windows programs left them.
class TextEncoding
{
public:
    enum class Kind { Utf8, Utf16Le, Utf16Be, Windows1252 };

    struct Detected
    {
        Kind kind = Kind::Utf8;
        qsizetype bomSize = 0; // the byte-order mark's bytes at the start, 0 without one
    };

    static Detected detect(QByteArrayView bytes);

    static const QByteArray kUtf8Bom;

    // Every byte is part of a whole UTF-8 character (one cut off at the end is not).
    static bool isUtf8(QByteArrayView bytes);

    // Windows-1252, byte for byte; the five bytes it leaves undefined stand for the C1 controls of
    // the same number, as Windows reads them, so that every byte of a file comes back as it was.
    static QString fromWindows1252(QByteArrayView bytes);
    // Nothing when the text holds a character Windows-1252 lacks.
    static std::optional<QByteArray> toWindows1252(const QString& text);
    // One of the five C1 controls fromWindows1252 gives for an undefined byte.
    static bool isUndefinedInWindows1252(char16_t c);
};
