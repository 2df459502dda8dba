// The INI reader and writer on any file: reading never fails, a write changes its key alone, and a
// file that cannot be read as settings is never written.
#include "FuzzSupport.h"
#include "shared/IniFile.h"

#include <QFile>
#include <QStringList>

namespace {

const char* const kKeys[][2] = {{"Initialisation", "Database"},
                                {"Initialisation", "Auto-Refresh"},
                                {"Hot-Keys", "1"},
                                {"SQL", "1"},
                                {"SQL", "2"},
                                {"SQL", "Default"}};

QList<std::optional<QString>> readAll(const QString& path)
{
    QList<std::optional<QString>> values;
    for (const auto& key : kKeys)
        values << IniFile::read(path, QLatin1String(key[0]), QLatin1String(key[1]));
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    const QString path = Fuzz::writeFile(QStringLiteral("fuzz.ini"), bytes);
    const QList<std::optional<QString>> before = readAll(path);

    // What cannot be read as settings (UTF-16 without its mark, say) is named and never written.
    if (!IniFile::readProblem(path).isEmpty()) {
        Fuzz::check(!IniFile::write(path, QStringLiteral("SQL"), QStringLiteral("2"), QStringLiteral("x")),
                    "a file that cannot be read was written");
        QFile file(path);
        Fuzz::check(file.open(QIODevice::ReadOnly) && file.readAll() == bytes,
                    "a file that cannot be read was changed");
        return 0;
    }

    // A value Windows-1252 holds, then one it cannot: both encodings' writers run.
    const QString values[] = {QStringLiteral("caf\u00e9"), QStringLiteral("\u2713 \u00e9")};
    for (const QString& value : values) {
        QString error;
        Fuzz::check(IniFile::write(path, QStringLiteral("SQL"), QStringLiteral("2"), value, &error), "a write failed",
                    error);
        Fuzz::check(IniFile::read(path, QStringLiteral("SQL"), QStringLiteral("2")) == value,
                    "a written key does not read back", value);
        const QList<std::optional<QString>> after = readAll(path);
        for (qsizetype i = 0; i < after.size(); ++i) {
            if (i != 4)
                Fuzz::check(after.at(i) == before.at(i), "a write changed another key",
                            QLatin1String(kKeys[i][0]) + QLatin1Char('/') + QLatin1String(kKeys[i][1]));
        }
    }
    return 0;
}
