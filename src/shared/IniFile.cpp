#include "shared/IniFile.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

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

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

enum class Encoding { Utf8, Windows1252 };

// Windows-1252 at 0x80 to 0x9F. The five bytes it leaves undefined stand for the C1 controls of the
// same number, as Windows reads them, so that every byte of a file comes back as it was.
const char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kWindows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::optional<QByteArray> toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto* found = std::find(std::begin(kWindows1252High), std::end(kWindows1252High), u);
        if (found == std::end(kWindows1252High))
            return std::nullopt;
        bytes.append(static_cast<char>(0x80 + (found - std::begin(kWindows1252High))));
    }
    return bytes;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes); // the decoder works only when its result is taken
    return !utf8.hasError();
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A line of the file as text, with the bytes it was read from and the line end it had ("\r\n",
// "\n", or none at the end of the file), so that a rewrite gives every untouched line back exactly.
struct TextLine
{
    QString text;
    QByteArray end;
    QByteArray bytes;
    bool changed = false;
};

struct Document
{
    QByteArray bom;
    Encoding encoding = Encoding::Utf8;
    QList<TextLine> lines;
};

Document parse(const QByteArray& file)
{
    Document doc;
    QByteArray data = file;
    if (data.startsWith(kBom)) {
        doc.bom = kBom;
        data.remove(0, kBom.size());
    }
    doc.encoding = isUtf8(data) ? Encoding::Utf8 : Encoding::Windows1252;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype newline = data.indexOf('\n', start);
        const qsizetype stop = newline < 0 ? data.size() : newline;
        // A CR ends the last line too, so that its value stays the same once a line follows it.
        const bool cr = stop > start && data.at(stop - 1) == '\r';
        TextLine line;
        line.bytes = data.mid(start, stop - start - (cr ? 1 : 0));
        line.end = newline < 0 ? (cr ? QByteArrayLiteral("\r") : QByteArray())
                   : cr        ? QByteArrayLiteral("\r\n")
                               : QByteArrayLiteral("\n");
        // A byte-order mark inside the file is a character like any other.
        line.text = doc.encoding == Encoding::Utf8
                        ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(line.bytes)
                        : fromWindows1252(line.bytes);
        doc.lines.append(line);
        start = stop + 1;
    }
    return doc;
}

bool load(const QString& path, Document* doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *doc = parse(file.readAll());
    return true;
}

QByteArray serialise(const Document& doc)
{
    if (doc.encoding == Encoding::Windows1252) {
        QByteArray body;
        bool held = true;
        for (const TextLine& line : doc.lines) {
            const std::optional<QByteArray> bytes = line.changed ? toWindows1252(line.text) : line.bytes;
            if (!bytes) {
                held = false;
                break;
            }
            body += *bytes + line.end;
        }
        // Bytes that happen to make valid UTF-8 would be read back as other text.
        if (held && (isAscii(body) || !isUtf8(body)))
            return doc.bom + body;
    } else {
        QByteArray out = doc.bom;
        for (const TextLine& line : doc.lines)
            out += (line.changed ? line.text.toUtf8() : line.bytes) + line.end;
        return out;
    }
    // Text Windows-1252 cannot hold: the whole file becomes UTF-8, and says so with a BOM.
    QByteArray out = kBom;
    for (const TextLine& line : doc.lines)
        out += line.text.toUtf8() + line.end;
    return out;
}

// The line end new lines get: the one the file mostly uses.
QByteArray usualLineEnd(const QList<TextLine>& lines)
{
    qsizetype crlf = 0;
    qsizetype lf = 0;
    for (const TextLine& line : lines) {
        if (line.end == "\r\n")
            ++crlf;
        else if (line.end == "\n")
            ++lf;
    }
    return crlf > lf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

void setKey(Document& doc, const IniFile::Entry& entry)
{
    QList<TextLine>& lines = doc.lines;
    const QByteArray eol = usualLineEnd(lines);
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
        if (i >= 0 && i < lines.size() && !lines.at(i).end.endsWith('\n'))
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
    Document doc;
    if (!load(path, &doc))
        return std::nullopt;
    bool inSection = false;
    bool sectionSeen = false;
    for (const TextLine& textLine : doc.lines) {
        const QString& l = textLine.text;
        const Line line = classify(l);
        if (line.kind == Line::Section) {
            if (sectionSeen)
                return std::nullopt; // only the first occurrence of a section counts
            inSection = sameName(line.name, section);
            sectionSeen = inSection;
        } else if (inSection && line.kind == Line::Key && sameName(line.name, key)) {
            return l.mid(line.valueStart);
        }
    }
    return std::nullopt;
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

    Document doc;
    if (QFile::exists(path) && !load(path, &doc)) {
        if (error)
            *error = QStringLiteral("Cannot read '%1'.").arg(path);
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
