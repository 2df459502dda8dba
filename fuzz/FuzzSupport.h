#pragma once

#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QString>

class Database;

namespace Fuzz {

QByteArray bytes(const uint8_t* data, size_t size);
// The input read as a user's text: UTF-8, with what is not UTF-8 replaced.
QString text(const uint8_t* data, size_t size);

// A folder of this process's own, removed at exit.
QString folder();
// Writes the bytes to a file of the folder and returns its path.
QString writeFile(const QString& name, const QByteArray& bytes);

// A catalogue holding a few recordings of every kind of value, opened once for the process.
Database& catalogue();

// A broken promise of the code under test: reported as a crash, with what was expected.
[[noreturn]] void fail(const char* what, const QString& detail = QString());
inline void check(bool holds, const char* what, const QString& detail = QString())
{
    if (!holds)
        fail(what, detail);
}

} // namespace Fuzz
