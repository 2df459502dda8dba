#pragma once

#include <optional>
#include <QList>
#include <QString>

// The profile file of sections and keys: "[Section]" lines and "key=value" lines. Section and key
// names match without regard to case; the first occurrence of a section or key counts. Values are
// returned exactly as they stand after the "=".
//
// A file that starts with a UTF-16 byte-order mark (little- or big-endian) is UTF-16; one that is
// valid UTF-8 (with or without a byte-order mark) is UTF-8; any other is Windows-1252, as older
// installations left it. A write replaces the lines of its keys and keeps every other line byte for
// byte, in the encoding the file was read in; only when that encoding cannot hold a new value does
// the whole file become UTF-8 with a byte-order mark. The file is swapped in atomically.
class IniFile
{
public:
    struct Entry
    {
        QString section;
        QString key;
        QString value;
        bool remove = false; // the key's lines go instead
    };

    // Why the file cannot be read as settings, or the empty string when it can or is missing: not a
    // file (a pipe or device would be read for ever), one the user may not read, far too large, or
    // UTF-16 text without its byte-order mark. Such a file reads as empty and is never written.
    static QString readProblem(const QString& path);

    // The key's raw value, or nothing when the file, the section or the key is missing.
    static std::optional<QString> read(const QString& path, const QString& section, const QString& key);
    // Every key line of the section's first occurrence, in file order, duplicates included.
    static QList<Entry> readSection(const QString& path, const QString& section);

    // Sets the key, creating the file, the section or the key when missing. On failure returns false
    // with a description in *error, and the file on disk is the old one, whole.
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value,
                      QString* error = nullptr);
    // Sets several keys in one replacement of the file: all of them, or none. A section, key or
    // value holding a line break is refused, since it would write lines of its own.
    static bool write(const QString& path, const QList<Entry>& entries, QString* error = nullptr);
};
