#pragma once

#include <optional>
#include <QString>

// The profile file of sections and keys: "[Section]" lines and "key=value" lines. Section and key
// names match without regard to case; the first occurrence of a section or key counts. Values are
// returned exactly as they stand after the "=". A write replaces one key's line and keeps every
// other line, the line ends and the order as they were, and swaps the file in atomically.
class IniFile
{
public:
    // The key's raw value, or nothing when the file, the section or the key is missing.
    static std::optional<QString> read(const QString& path, const QString& section, const QString& key);

    // Sets the key, creating the file, the section or the key when missing. On failure returns false
    // with a description in *error, and the file on disk is the old one, whole.
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value,
                      QString* error = nullptr);
};
