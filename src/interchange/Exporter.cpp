#include "interchange/Exporter.h"

#include "interchange/CsvWriter.h"
#include "interchange/InterchangeError.h"
#include "interchange/RecordingFields.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/Statement.h"

#include <array>
#include <filesystem>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sqlite3.h>

namespace {

const qsizetype kChunk = 1 << 20;

void write(QSaveFile& file, QByteArray& buffer, const QString& path)
{
    // A write cut short (a full disk) says why only when the rest is tried again.
    for (qsizetype done = 0; done < buffer.size();) {
        const qint64 n = file.write(buffer.constData() + done, buffer.size() - done);
        if (n <= 0)
            throw InterchangeError(
                QStringLiteral("Could not write '%1': %2. Nothing was written.").arg(path, file.errorString()));
        done += n;
    }
    buffer.clear();
}

// The export would replace the catalogue's own file, or a device or pipe that happens to have the
// name (the file is written beside and renamed over the old one).
void refuseTarget(const Database& db, const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw InterchangeError(QStringLiteral("'%1' is a folder; choose a file name to export to.").arg(path));
    if (!info.exists())
        return;
    if (!info.isFile())
        throw InterchangeError(QStringLiteral("'%1' is not a file; choose a file name to export to.").arg(path));
    std::error_code error;
    if (std::filesystem::equivalent(QFile::encodeName(path).toStdString(), QFile::encodeName(db.path()).toStdString(),
                                    error))
        throw InterchangeError(
            QStringLiteral("'%1' is the catalogue itself; choose another file name to export to.").arg(path));
}

} // namespace

int Exporter::exportStatement(Database& db, const QString& jetSql, const QString& path)
{
    refuseTarget(db, path);
    bool isSelect = false;
    const QString sql = Database::translate(jetSql, &isSelect);
    Statement statement(db.handle(), sql);
    sqlite3_stmt* s = statement.handle();
    if (!isSelect || !sqlite3_stmt_readonly(s))
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Only a Selection can be exported: %1").arg(jetSql));

    // The statement's columns of each field, found by name.
    std::array<int, RecordingFields::Count> columnOf;
    columnOf.fill(-1);
    QStringList header;
    for (int f = 0; f < RecordingFields::Count; ++f) {
        header.append(RecordingFields::name(f));
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            if (QString::fromUtf8(sqlite3_column_name(s, c)).compare(RecordingFields::name(f), Qt::CaseInsensitive) ==
                0)
                columnOf[f] = c;
        }
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw InterchangeError(QStringLiteral("Could not write '%1': %2.").arg(path, file.errorString()));
    QByteArray buffer = CsvWriter::byteOrderMark();
    buffer.reserve(kChunk + 64 * 1024);
    CsvWriter::appendRecord(buffer, header);
    int count = 0;
    while (statement.step()) {
        for (int f = 0; f < RecordingFields::Count; ++f) {
            if (f > 0)
                buffer += ',';
            if (columnOf[f] < 0)
                continue;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, columnOf[f]));
            CsvWriter::appendField(buffer, QByteArrayView(text, text ? sqlite3_column_bytes(s, columnOf[f]) : 0));
        }
        buffer += "\r\n";
        ++count;
        if (buffer.size() >= kChunk)
            write(file, buffer, path);
    }
    write(file, buffer, path);
    if (!file.commit())
        throw InterchangeError(
            QStringLiteral("Could not write '%1': %2. Nothing was written.").arg(path, file.errorString()));
    return count;
}
