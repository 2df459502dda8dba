#include "interchange/CsvReader.h"

#include "shared/SpreadsheetText.h"

#include "interchange/FileSource.h"
#include "interchange/InterchangeError.h"
#include "interchange/RecordingFields.h"
#include "shared/TextEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kCR = QLatin1Char('\r');
const QChar kLF = QLatin1Char('\n');

// Where bytes that are not UTF-8 first stand, and whether the file is UTF-8 with a part in
// another encoding: more characters of several bytes stand whole in UTF-8 than bytes that do not
// (in Windows-1252 text a letter followed by a byte that reads as UTF-8 with it is rare).
qsizetype firstNonUtf8(QByteArrayView bytes, bool* mostlyUtf8)
{
    qsizetype first = -1, whole = 0, broken = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = uchar(bytes[i]);
        const int length = lead < 0x80                    ? 1
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        bool ok = length > 0 && i + length <= bytes.size();
        for (int k = 1; ok && k < length; ++k)
            ok = (uchar(bytes[i + k]) & 0xC0) == 0x80;
        if (!ok) {
            if (first < 0)
                first = i;
            ++broken;
            ++i;
            continue;
        }
        whole += length > 1;
        i += length;
    }
    *mostlyUtf8 = whole > broken;
    return first;
}

// The line of a byte: LF, CR LF and a lone CR each end one.
int lineOfByte(QByteArrayView bytes, qsizetype position)
{
    int line = 1;
    for (qsizetype i = 0; i < position; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && !(i + 1 < bytes.size() && bytes[i + 1] == '\n')))
            ++line;
    }
    return line;
}

// Cells are kept by 31-bit places in the text.
const qsizetype kMaxTextLength = qsizetype(1) << 31;

// The length the file's text will have once decoded, counted a piece at a time: UTF-16 units, one
// for every byte that starts a UTF-8 character and two for one of four bytes. Windows-1252 text has
// a byte a character, which the same count gives within its limit. No text is longer than its
// file's bytes, so only a file of more bytes than the limit needs the count. The file is read to
// its end.
qsizetype textLength(QFile& file)
{
    const QByteArray head = file.peek(4);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return (file.size() - 2) / 2;
    qsizetype length = 0;
    QByteArray piece;
    while (!(piece = file.read(1 << 20)).isEmpty()) {
        for (const char c : std::as_const(piece)) {
            const auto b = static_cast<unsigned char>(c);
            length += (b & 0xC0) != 0x80 ? 1 : 0;
            length += b >= 0xF0 ? 1 : 0;
        }
    }
    return length;
}

} // namespace

CsvReader::CsvReader(QByteArray bytes)
{
    decode(bytes);
    // The bytes are let go before the cells are made, so the two are never held with the text.
    bytes = QByteArray();
    chooseSeparator();
    split();
    // The online database's collection export: its catalogue numbers and its release IDs.
    bool catalog = false, releaseId = false;
    for (const QString& column : std::as_const(m_columns)) {
        const QString key = RecordingFields::key(column);
        catalog = catalog || key == QLatin1String("catalog");
        releaseId = releaseId || key == QLatin1String("releaseid");
    }
    m_collectionExport = catalog && releaseId;
}

CsvReader CsvReader::fromFile(const QString& path)
{
    const QFileInfo info(path);
    FileSource::refuseUnreadable(path);
    if (info.size() >= qint64(1) << 32)
        throw InterchangeError(QStringLiteral("'%1' is too large to import (over four gigabytes).").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw InterchangeError(QStringLiteral("Could not open '%1': %2.").arg(path, file.errorString()));
    // A file whose text is too long is known from a pass that holds one piece at a time, before
    // gigabytes are read in only to be refused.
    if (file.size() >= kMaxTextLength && textLength(file) >= kMaxTextLength)
        throw InterchangeError(
            QStringLiteral("'%1' is too large to import (over two thousand million characters).").arg(path));
    file.seek(0);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw InterchangeError(QStringLiteral("Could not read '%1': %2.").arg(path, file.errorString()));
    try {
        return CsvReader(std::move(bytes));
    } catch (const InterchangeError& e) {
        throw InterchangeError(QStringLiteral("'%1' cannot be imported: %2").arg(path, e.message()));
    }
}

void CsvReader::decode(const QByteArray& bytes)
{
    const TextEncoding::Detected detected = TextEncoding::detect(bytes);
    const QByteArrayView body = QByteArrayView(bytes).sliced(detected.bomSize);
    bool windows1252 = false;
    switch (detected.kind) {
    case TextEncoding::Kind::Utf16Le:
    case TextEncoding::Kind::Utf16Be: {
        const bool little = detected.kind == TextEncoding::Kind::Utf16Le;
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        m_text = utf16(body);
        m_encoding = little ? QStringLiteral("UTF-16LE") : QStringLiteral("UTF-16BE");
        if (utf16.hasError() || body.size() % 2 != 0)
            throw InterchangeError(QStringLiteral("the file starts as UTF-16 text but does not hold UTF-16 text "
                                                  "throughout."));
        break;
    }
    case TextEncoding::Kind::Utf8: {
        // The mark was taken off above: one more is a character of the text. A character cut off
        // at the end is an error, not a loss.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        m_text = utf8(body);
        m_encoding = QStringLiteral("UTF-8");
        if (utf8.hasError())
            throw InterchangeError(QStringLiteral("the file is marked as UTF-8 but holds bytes that are not "
                                                  "UTF-8 text."));
        break;
    }
    case TextEncoding::Kind::Windows1252: {
        // Read as Windows-1252, its UTF-8 part would be garbled without a word.
        bool mostlyUtf8 = false;
        const qsizetype bad = firstNonUtf8(body, &mostlyUtf8);
        if (mostlyUtf8)
            throw InterchangeError(QStringLiteral("line %1 holds bytes that are not UTF-8 text, though the rest "
                                                  "of the file is UTF-8.")
                                       .arg(lineOfByte(body, bad)));
        // Not UTF-8: a file of an older Windows program.
        m_text = TextEncoding::fromWindows1252(body);
        m_encoding = QStringLiteral("Windows-1252");
        windows1252 = true;
        break;
    }
    }
    if (m_text.isEmpty())
        throw InterchangeError(QStringLiteral("the file is empty."));
    if (m_text.size() >= kMaxTextLength)
        throw InterchangeError(
            QStringLiteral("the file is too large to import (over two thousand million characters)."));
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const QChar c = m_text.at(i);
        // Half of a UTF-16 pair on its own is no character: it could not be stored or written out.
        const bool lonePair = (c.isHighSurrogate() && !(i + 1 < m_text.size() && m_text.at(i + 1).isLowSurrogate())) ||
                              (c.isLowSurrogate() && !(i > 0 && m_text.at(i - 1).isHighSurrogate()));
        if (c.isNull() || lonePair || (windows1252 && TextEncoding::isUndefinedInWindows1252(c.unicode())))
            fail(i, QStringLiteral("holds bytes that are not text (is it a CSV file?)"));
    }
}

void CsvReader::chooseSeparator()
{
    // The header line decides: whichever of comma, semicolon and tab stands outside quotes most.
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : m_text) {
        if (c == kQuote)
            quoted = !quoted;
        else if (!quoted && (c == kCR || c == kLF))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        m_separator = QLatin1Char(';');
    else if (tabs > commas && tabs > semicolons)
        m_separator = QLatin1Char('\t');
}

void CsvReader::split()
{
    const QChar* const text = m_text.constData();
    const qsizetype n = m_text.size();
    qsizetype p = 0;
    int line = 1;
    int headerFields = -1;
    m_cells.reserve(m_text.count(m_separator) + m_text.count(kLF) + 1);
    auto endOfLine = [&](qsizetype& q) {
        if (text[q] == kCR && q + 1 < n && text[q + 1] == kLF)
            ++q;
        ++q;
        ++line;
    };

    while (p < n) {
        if (text[p] == kCR || text[p] == kLF) { // blank lines hold no record
            endOfLine(p);
            continue;
        }
        const int recordLine = line;
        const qsizetype firstCell = m_cells.size();
        for (;;) {
            Cell cell;
            if (text[p] == kQuote) {
                const qsizetype opening = p;
                cell.start = quint32(++p);
                cell.quoted = 1;
                for (;;) {
                    if (p >= n)
                        fail(opening, QStringLiteral("a quoted field is never closed"));
                    if (text[p] == kQuote) {
                        if (p + 1 < n && text[p + 1] == kQuote) {
                            p += 2;
                            continue;
                        }
                        break;
                    }
                    if (text[p] == kLF || (text[p] == kCR && !(p + 1 < n && text[p + 1] == kLF)))
                        ++line;
                    ++p;
                }
                cell.length = quint32(p - cell.start);
                ++p; // the closing quote
                while (p < n && text[p] == QLatin1Char(' '))
                    ++p;
                if (p < n && text[p] != m_separator && text[p] != kCR && text[p] != kLF)
                    fail(p, QStringLiteral("has text after the closing quote of a field"));
            } else {
                cell.start = quint32(p);
                while (p < n && text[p] != m_separator && text[p] != kCR && text[p] != kLF)
                    ++p;
                cell.length = quint32(p - cell.start);
            }
            m_cells.append(cell);
            if (p < n && text[p] == m_separator) {
                ++p;
                if (p >= n || text[p] == kCR || text[p] == kLF) { // a separator ending the line
                    m_cells.append(Cell{quint32(p), 0, 0});
                    break;
                }
                continue;
            }
            break;
        }
        if (p < n)
            endOfLine(p);

        const int fields = int(m_cells.size() - firstCell);
        if (headerFields < 0) {
            headerFields = fields;
            for (qsizetype c = firstCell; c < m_cells.size(); ++c)
                m_columns.append(value(-1, int(c)).trimmed());
            m_cells.clear();
            m_rowFirstCell.append(0);
            continue;
        }
        if (fields > headerFields)
            throw InterchangeError(QStringLiteral("line %1 has %2 fields, but the header line names only %3 "
                                                  "columns.")
                                       .arg(recordLine)
                                       .arg(fields)
                                       .arg(headerFields));
        m_rowLine.append(recordLine);
        m_rowFirstCell.append(m_cells.size());
    }
    if (m_rowFirstCell.isEmpty())
        m_rowFirstCell.append(0);
}

QString CsvReader::value(int row, int column) const
{
    // Row -1 reaches the cells by their own index (the header, while it is read).
    qsizetype index = column;
    if (row >= 0) {
        index = m_rowFirstCell.at(row) + column;
        if (column < 0 || index >= m_rowFirstCell.at(row + 1))
            return QString();
    }
    const Cell& cell = m_cells.at(index);
    QString s = m_text.mid(cell.start, cell.length);
    if (cell.quoted)
        s.replace(QLatin1String("\"\""), QLatin1String("\""));
    // A value our export marked as text, not a formula, comes back as it was, a heading too.
    return SpreadsheetText::unmarked(s);
}

QString CsvReader::rowPlace(int row) const
{
    return QStringLiteral("line %1").arg(m_rowLine.value(row));
}

int CsvReader::lineAt(qsizetype position) const
{
    int line = 1;
    for (qsizetype i = 0; i < position && i < m_text.size(); ++i) {
        const QChar c = m_text.at(i);
        if (c == kLF || (c == kCR && !(i + 1 < m_text.size() && m_text.at(i + 1) == kLF)))
            ++line;
    }
    return line;
}

void CsvReader::fail(qsizetype position, const QString& what) const
{
    throw InterchangeError(QStringLiteral("line %1 %2.").arg(lineAt(position)).arg(what));
}
