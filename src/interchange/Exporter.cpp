#include "interchange/Exporter.h"

#include "interchange/CsvWriter.h"
#include "interchange/InterchangeError.h"
#include "interchange/RecordingFields.h"
#include "shared/DisplayModel.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/FileKind.h"
#include "store/JetFile.h"
#include "store/Statement.h"

#include <array>
#include <QCoreApplication>
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

// The rest of the text written, and the file swapped in whole.
void finish(QSaveFile& file, QByteArray& buffer, const QString& path)
{
    write(file, buffer, path);
    if (!file.commit())
        throw InterchangeError(
            QStringLiteral("Could not write '%1': %2. Nothing was written.").arg(path, file.errorString()));
}

} // namespace

QString Exporter::targetRefusal(const QString& path, const QString& catalogue, const QString& settingsFile)
{
    const QString choose = QStringLiteral("; choose another file name to export to.");
    // By name first: a companion of the catalogue matters at the next start even when it is not
    // there now, and the engine would delete or replay it.
    for (const QLatin1String suffix :
         {QLatin1String(""), QLatin1String("-journal"), QLatin1String("-wal"), QLatin1String("-shm")}) {
        if (!catalogue.isEmpty() && FileKind::samePath(path, catalogue + suffix))
            return (suffix.isEmpty()
                        ? QStringLiteral("'%1' is the catalogue itself")
                        : QStringLiteral(
                              "'%1' is a companion file of the catalogue, which the engine keeps to protect it"))
                       .arg(path) +
                   choose;
    }
    if (FileKind::samePath(path, settingsFile))
        return QStringLiteral("'%1' is Varolin's settings file in use, holding its Selections, hot keys and "
                              "catalogue")
                   .arg(path) +
               choose;
    if (FileKind::samePath(path, QCoreApplication::applicationFilePath()))
        return QStringLiteral("'%1' is the running program itself").arg(path) + choose;
    if (const QString kind = FileKind::specialKind(path); !kind.isEmpty())
        return QStringLiteral("'%1' is %2, not a file").arg(path, kind) + choose;
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    // Only an export or another text file may be replaced: never a program or a database.
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(64 * 1024) : QByteArray();
    if (head.startsWith("%PDF-")) // a document the PDF export wrote, say
        return QString();
    QString what;
    if (head.startsWith("\x7f"
                        "ELF") ||
        info.isExecutable())
        what = QStringLiteral("a program");
    else if (head.startsWith(QByteArrayView("SQLite format 3", 16)))
        what = QStringLiteral("an SQLite database");
    else if (JetFile::kindOf(head) != JetFile::Kind::None)
        what = QStringLiteral("an Access database");
    else if (head.contains('\0') && !head.startsWith("\xff\xfe") && !head.startsWith("\xfe\xff")) // UTF-16 is text
        what = QStringLiteral("not a text file");
    if (what.isEmpty())
        return QString();
    return QStringLiteral("'%1' is %2, which an export must not replace").arg(path, what) + choose;
}

int Exporter::exportStatement(Database& db, const QString& jetSql, const QString& path, const QString& settingsFile)
{
    if (const QString refusal = targetRefusal(path, db.path(), settingsFile); !refusal.isEmpty())
        throw InterchangeError(refusal);
    bool isSelect = false;
    const QString sql = Database::translate(jetSql, &isSelect);
    Statement statement(db.handle(), sql);
    sqlite3_stmt* s = statement.handle();
    if (!isSelect || !sqlite3_stmt_readonly(s))
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Only a Selection can be exported: %1").arg(jetSql));

    // The statement's column of each field, found by name, in the grid's order.
    std::array<int, DisplayModel::kColumns> columnOf;
    columnOf.fill(-1);
    QStringList header;
    for (int f = 0; f < DisplayModel::kColumns; ++f) {
        header.append(DisplayModel::fieldName(f));
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            if (QString::fromUtf8(sqlite3_column_name(s, c)).compare(header.last(), Qt::CaseInsensitive) == 0)
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
        for (int f = 0; f < DisplayModel::kColumns; ++f) {
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
    finish(file, buffer, path);
    return count;
}

int Exporter::exportShown(const QAbstractItemModel& shown, const QString& path, const QString& catalogue,
                          const QString& settingsFile)
{
    if (const QString refusal = targetRefusal(path, catalogue, settingsFile); !refusal.isEmpty())
        throw InterchangeError(refusal);
    const DisplayModel* display = DisplayModel::behind(&shown);
    if (!display || !display->hasRecordings())
        throw InterchangeError(QStringLiteral("There is no display to export: choose a Selection first."));
    // The display's columns in their order, under their field names.
    QStringList header;
    for (int c = 0; c < DisplayModel::kColumns; ++c)
        header.append(DisplayModel::fieldName(c));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw InterchangeError(QStringLiteral("Could not write '%1': %2.").arg(path, file.errorString()));
    QByteArray buffer = CsvWriter::byteOrderMark();
    CsvWriter::appendRecord(buffer, header);
    const QList<int> rows = DisplayModel::shownRows(shown);
    for (const int r : rows) {
        for (int c = 0; c < DisplayModel::kColumns; ++c) {
            if (c > 0)
                buffer += ',';
            CsvWriter::appendField(buffer, display->cellText(r, c).toUtf8());
        }
        buffer += "\r\n";
        if (buffer.size() >= kChunk)
            write(file, buffer, path);
    }
    finish(file, buffer, path);
    return static_cast<int>(rows.size());
}
