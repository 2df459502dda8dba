// Changes one byte of an Access file at a time and reads a table of it as an import does: each
// change must either be refused with a message or read as the clean file reads, or change only
// values (a character of a text, a digit of a number). A row lost or gained, or a value emptied,
// without a message is a damaged file imported as a success: the sweep lists those and fails.
//   access_sweep FILE TABLE [STRIDE] [FIRST] [LAST]
#include "interchange/AccessDatabase.h"
#include "interchange/InterchangeError.h"

#include <cstdio>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

using Rows = QList<QStringList>;

// The table's rows, or nothing when the file is refused.
std::optional<Rows> read(const QString& path, const QString& table)
{
    try {
        const auto source = AccessDatabase(path).readTable(table);
        Rows rows;
        for (int r = 0; r < source->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < source->columns().size(); ++c)
                row << source->value(r, c);
            rows << row;
        }
        return rows;
    } catch (const InterchangeError&) {
        return std::nullopt;
    }
}

// Whether the rows differ from the clean ones by more than changed characters: a row lost or
// gained, or a value that was there read as empty.
bool lostSomething(const Rows& clean, const Rows& read)
{
    if (clean.size() != read.size())
        return true;
    for (qsizetype r = 0; r < clean.size(); ++r) {
        if (clean[r].size() != read[r].size())
            return true;
        for (qsizetype c = 0; c < clean[r].size(); ++c) {
            if (!clean[r][c].isEmpty() && read[r][c].isEmpty())
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: access_sweep FILE TABLE [STRIDE] [FIRST] [LAST]\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray whole = file.readAll();
    const QString table = QString::fromLocal8Bit(argv[2]);
    const qsizetype stride = argc > 3 ? QByteArray(argv[3]).toLongLong() : 1;
    const qsizetype first = argc > 4 ? QByteArray(argv[4]).toLongLong() : 0;
    const qsizetype last = argc > 5 ? QByteArray(argv[5]).toLongLong() : whole.size() - 1;

    QTemporaryDir dir(QStringLiteral("/dev/shm/access_sweep-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("changed.mdb"));
    const auto write = [&](const QByteArray& bytes) {
        QFile out(path);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
    };
    if (!write(whole))
        return 2;
    const std::optional<Rows> clean = read(path, table);
    if (!clean) {
        std::fprintf(stderr, "the clean file cannot be read\n");
        return 2;
    }

    long same = 0, refused = 0, valuesChanged = 0, lost = 0;
    // One byte changed in place, and put back after the read.
    const auto put = [&](qsizetype at, char byte) {
        QFile out(path);
        return out.open(QIODevice::ReadWrite) && out.seek(at) && out.write(&byte, 1) == 1;
    };
    for (qsizetype at = first; at <= last && at < whole.size(); at += stride) {
        if (!put(at, char(whole[at] ^ 0xFF)))
            return 2;
        const std::optional<Rows> rows = read(path, table);
        if (!put(at, whole[at]))
            return 2;
        if (!rows) {
            ++refused;
        } else if (*rows == *clean) {
            ++same;
        } else if (lostSomething(*clean, *rows)) {
            ++lost;
            std::printf("LOST at offset 0x%llx\n", static_cast<unsigned long long>(at));
        } else {
            ++valuesChanged;
        }
    }
    std::printf("%s %s: %ld read the same, %ld refused, %ld with values changed, %ld losing rows or values\n", argv[1],
                argv[2], same, refused, valuesChanged, lost);
    return lost == 0 ? 0 : 1;
}
