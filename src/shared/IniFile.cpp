#include "shared/IniFile.h"

#include "shared/TextEncoding.h"
#include "store/FileKind.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Far beyond any settings file: a thousand Selections take some 50 KB.
constexpr qint64 kMaxSize = 16 << 20;

struct Line
{
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    QString name; // section or key name, trimmed
    qsizetype valueStart = 0;
};

Line classify(const QString& text)
{
    Line line;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Line::Section;
            line.name = trimmed.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (trimmed.startsWith(QLatin1Char(';')))
        return line;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq > 0 && !text.left(eq).trimmed().isEmpty()) {
        line.kind = Line::Key;
        line.name = text.left(eq).trimmed();
        line.valueStart = eq + 1;
    }
    return line;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

using Encoding = TextEncoding::Kind;

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

// UTF-16 goes through code unit by code unit, so that even a lone surrogate comes back as it was.
QString fromUtf16(const QByteArray& bytes, Encoding encoding)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes.at(2 * i));
        const auto second = static_cast<unsigned char>(bytes.at(2 * i + 1));
        text[i] = QChar(encoding == Encoding::Utf16Le ? char16_t(first | second << 8) : char16_t(first << 8 | second));
    }
    return text;
}

QByteArray toUtf16(const QString& text, Encoding encoding)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        bytes.append(encoding == Encoding::Utf16Le ? low : high);
        bytes.append(encoding == Encoding::Utf16Le ? high : low);
    }
    return bytes;
}

// Cr: a lone CR ending the file's last line.
enum class LineEnd { None, Lf, CrLf, Cr };

// A line of the file as text, with the bytes it was read from and the line end it had, so that a
// rewrite gives every untouched line back exactly.
struct TextLine
{
    QString text;
    LineEnd end = LineEnd::None;
    QByteArray bytes;
    bool changed = false;
};

struct Document
{
    QByteArray bom;
    Encoding encoding = Encoding::Utf8;
    QList<TextLine> lines;
    QByteArray strayByte; // the odd last byte of a UTF-16 file, kept as it was
};

QByteArray endBytes(LineEnd end, Encoding encoding)
{
    const QString text = end == LineEnd::CrLf ? QStringLiteral("\r\n")
                         : end == LineEnd::Lf ? QStringLiteral("\n")
                         : end == LineEnd::Cr ? QStringLiteral("\r")
                                              : QString();
    return isUtf16(encoding) ? toUtf16(text, encoding) : text.toLatin1();
}

QString decode(const QByteArray& bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        // A byte-order mark inside the file is a character like any other.
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(bytes);
    case Encoding::Windows1252:
        return TextEncoding::fromWindows1252(bytes);
    default:
        return fromUtf16(bytes, encoding);
    }
}

Document parse(const QByteArray& file)
{
    Document doc;
    QByteArray data = file;
    const TextEncoding::Detected detected = TextEncoding::detect(data);
    doc.encoding = detected.kind;
    doc.bom = data.left(detected.bomSize);
    data.remove(0, detected.bomSize);
    const qsizetype unit = isUtf16(doc.encoding) ? 2 : 1;
    if (data.size() % unit != 0) {
        doc.strayByte = data.right(1);
        data.chop(1);
    }
    const QByteArray lf = endBytes(LineEnd::Lf, doc.encoding);
    const QByteArray cr = isUtf16(doc.encoding) ? toUtf16(QStringLiteral("\r"), doc.encoding) : QByteArray("\r");
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype newline = data.indexOf(lf, start);
        while (newline >= 0 && newline % unit != 0) // a match across two UTF-16 code units
            newline = data.indexOf(lf, newline + 1);
        const qsizetype stop = newline < 0 ? data.size() : newline;
        // A CR ends the last line too, so that its value stays the same once a line follows it.
        const bool crlf = stop - start >= unit && data.mid(stop - unit, unit) == cr;
        TextLine line;
        line.bytes = data.mid(start, stop - start - (crlf ? unit : 0));
        line.end = newline < 0 ? (crlf ? LineEnd::Cr : LineEnd::None) : crlf ? LineEnd::CrLf : LineEnd::Lf;
        line.text = decode(line.bytes, doc.encoding);
        doc.lines.append(line);
        start = stop + unit;
    }
    return doc;
}

// Latin text in UTF-16 without its mark: a zero byte in nearly every pair of bytes, always on the
// same side of the pair, and almost none on the other.
bool utf16WithoutMark(const QByteArray& bytes)
{
    const qsizetype n = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (n < 4 || TextEncoding::detect(bytes).bomSize > 0)
        return false;
    qsizetype zeroEven = 0;
    qsizetype zeroOdd = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes.at(i) == '\0')
            ++(i % 2 ? zeroOdd : zeroEven);
    }
    const qsizetype pairs = n / 2;
    const auto most = [&](qsizetype zeros) { return zeros * 10 >= pairs * 9; };
    const auto few = [&](qsizetype zeros) { return zeros * 10 <= pairs; };
    return (most(zeroOdd) && few(zeroEven)) || (most(zeroEven) && few(zeroOdd));
}

// A pipe or a device would be read for ever; a folder or a loop of links is no file at all.
bool plainFile(const QString& path)
{
    return FileKind::lookError(path).isEmpty() && FileKind::specialKind(path).isEmpty();
}

bool load(const QString& path, Document* doc)
{
    if (!plainFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize)
        return false;
    const QByteArray bytes = file.readAll(); // at most kMaxSize, as checked
    if (utf16WithoutMark(bytes))
        return false;
    *doc = parse(bytes);
    return true;
}

QByteArray serialise(const Document& doc)
{
    const auto end = [&](const TextLine& line, Encoding encoding) { return endBytes(line.end, encoding); };
    if (isUtf16(doc.encoding)) {
        QByteArray out = doc.bom;
        for (const TextLine& line : doc.lines)
            out += (line.changed ? toUtf16(line.text, doc.encoding) : line.bytes) + end(line, doc.encoding);
        return out + doc.strayByte;
    }
    if (doc.encoding == Encoding::Windows1252) {
        QByteArray body;
        bool held = true;
        for (const TextLine& line : doc.lines) {
            const std::optional<QByteArray> bytes = line.changed ? TextEncoding::toWindows1252(line.text) : line.bytes;
            if (!bytes) {
                held = false;
                break;
            }
            body += *bytes + end(line, doc.encoding);
        }
        // Bytes that happen to make valid UTF-8 would be read back as other text.
        if (held && (isAscii(body) || !TextEncoding::isUtf8(body)))
            return doc.bom + body;
    } else {
        QByteArray out = doc.bom;
        for (const TextLine& line : doc.lines)
            out += (line.changed ? line.text.toUtf8() : line.bytes) + end(line, doc.encoding);
        return out;
    }
    // Text Windows-1252 cannot hold: the whole file becomes UTF-8, and says so with a BOM.
    QByteArray out = TextEncoding::kUtf8Bom;
    for (const TextLine& line : doc.lines)
        out += line.text.toUtf8() + end(line, Encoding::Utf8);
    return out;
}

// The line end new lines get: the one the file mostly uses.
LineEnd usualLineEnd(const QList<TextLine>& lines)
{
    qsizetype crlf = 0;
    qsizetype lf = 0;
    for (const TextLine& line : lines) {
        if (line.end == LineEnd::CrLf)
            ++crlf;
        else if (line.end == LineEnd::Lf)
            ++lf;
    }
    return crlf > lf ? LineEnd::CrLf : LineEnd::Lf;
}

// Removes the key's lines from the section's first occurrence, duplicates included.
void removeKey(Document& doc, const IniFile::Entry& entry)
{
    QList<TextLine>& lines = doc.lines;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size();) {
        const Line line = classify(lines.at(i).text);
        if (line.kind == Line::Section) {
            if (inSection)
                return;
            inSection = sameName(line.name, entry.section);
        } else if (inSection && line.kind == Line::Key && sameName(line.name, entry.key)) {
            lines.removeAt(i);
            continue;
        }
        ++i;
    }
}

void setKey(Document& doc, const IniFile::Entry& entry)
{
    if (entry.remove)
        return removeKey(doc, entry);
    QList<TextLine>& lines = doc.lines;
    const LineEnd eol = usualLineEnd(lines);
    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size() && keyAt < 0; ++i) {
        const Line line = classify(lines.at(i).text);
        if (line.kind == Line::Section) {
            if (sectionAt >= 0)
                break;
            if (sameName(line.name, entry.section)) {
                sectionAt = i;
                lastInSection = i;
            }
        } else if (sectionAt >= 0) {
            if (line.kind == Line::Key && sameName(line.name, entry.key))
                keyAt = i;
            if (!lines.at(i).text.trimmed().isEmpty())
                lastInSection = i;
        }
    }

    auto newLine = [&](const QString& text) { return TextLine{text, eol, QByteArray(), true}; };
    // A line that new lines follow needs an end of its own.
    auto endLine = [&](qsizetype i) {
        if (i >= 0 && i < lines.size() && (lines.at(i).end == LineEnd::None || lines.at(i).end == LineEnd::Cr))
            lines[i].end = eol;
    };
    const QString keyLine = entry.key + QLatin1Char('=') + entry.value;
    if (keyAt >= 0) {
        TextLine& line = lines[keyAt];
        line.text = classify(line.text).name + QLatin1Char('=') + entry.value;
        line.changed = true;
    } else if (sectionAt >= 0) {
        endLine(lastInSection);
        lines.insert(lastInSection + 1, newLine(keyLine));
    } else {
        endLine(lines.size() - 1);
        if (!lines.isEmpty() && !lines.last().text.trimmed().isEmpty())
            lines.append(newLine(QString()));
        lines.append(newLine(QLatin1Char('[') + entry.section + QLatin1Char(']')));
        lines.append(newLine(keyLine));
    }
}

bool holdsLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

std::optional<QString> IniFile::read(const QString& path, const QString& section, const QString& key)
{
    for (const Entry& entry : readSection(path, section)) {
        if (sameName(entry.key, key))
            return entry.value;
    }
    return std::nullopt;
}

QList<IniFile::Entry> IniFile::readSection(const QString& path, const QString& section)
{
    QList<Entry> entries;
    Document doc;
    if (!load(path, &doc))
        return entries;
    bool inSection = false;
    for (const TextLine& textLine : doc.lines) {
        const Line line = classify(textLine.text);
        if (line.kind == Line::Section) {
            if (inSection)
                break; // only the first occurrence of a section counts
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Line::Key) {
            entries.append({section, line.name, textLine.text.mid(line.valueStart)});
        }
    }
    return entries;
}

QString IniFile::readProblem(const QString& path)
{
    if (const QString why = FileKind::lookError(path); !why.isEmpty())
        return why;
    if (const QString kind = FileKind::specialKind(path); !kind.isEmpty())
        return QStringLiteral("it is %1, not a file").arg(kind);
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    if (info.size() > kMaxSize)
        return QStringLiteral("it is %1 bytes long, far more than any settings file").arg(info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (utf16WithoutMark(file.read(4096)))
        return QStringLiteral("it is UTF-16 text without a byte-order mark; save it as UTF-8");
    return QString();
}

bool IniFile::write(const QString& path, const QString& section, const QString& key, const QString& value,
                    QString* error)
{
    return write(path, QList<Entry>{{section, key, value}}, error);
}

bool IniFile::write(const QString& path, const QList<Entry>& entries, QString* error)
{
    const QString fileName = QFileInfo(path).fileName();
    for (const Entry& entry : entries) {
        if (holdsLineBreak(entry.section) || holdsLineBreak(entry.key) || holdsLineBreak(entry.value)) {
            if (error)
                *error = QStringLiteral("\"%1\" of section [%2] holds a line break, and %3 keeps each setting on "
                                        "one line.")
                             .arg(entry.key, entry.section, fileName);
            return false;
        }
    }

    // A file that cannot be read is never replaced by one holding only the new keys.
    Document doc;
    if (const QString problem = readProblem(path); !problem.isEmpty() || (QFile::exists(path) && !load(path, &doc))) {
        if (error)
            *error = problem.isEmpty() ? QStringLiteral("Cannot read '%1'.").arg(path)
                                       : QStringLiteral("Cannot read '%1': %2.").arg(path, problem);
        return false;
    }
    for (const Entry& entry : entries)
        setKey(doc, entry);

    const QByteArray bytes = serialise(doc);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // The explicit flush: commit() would swap in a file cut short by a full disk.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write '%1': %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
