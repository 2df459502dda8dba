#include "shared/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

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

// A line of the file and the line end it had ("\r\n", "\n", or none at the end of the file), so
// that a rewrite gives every untouched line back exactly.
struct TextLine
{
    QString text;
    QString end;
};

QList<TextLine> splitLines(const QString& text)
{
    QList<TextLine> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), start);
        if (newline < 0) {
            lines.append({text.mid(start), QString()});
            break;
        }
        const bool cr = newline > start && text.at(newline - 1) == QLatin1Char('\r');
        lines.append(
            {text.mid(start, newline - start - (cr ? 1 : 0)), cr ? QStringLiteral("\r\n") : QStringLiteral("\n")});
        start = newline + 1;
    }
    return lines;
}

// The line end new lines get: the one the file mostly uses.
QString usualLineEnd(const QList<TextLine>& lines)
{
    qsizetype crlf = 0;
    qsizetype lf = 0;
    for (const TextLine& line : lines) {
        if (line.end.size() == 2)
            ++crlf;
        else if (line.end.size() == 1)
            ++lf;
    }
    return crlf > lf ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

// The file's text: UTF-8 when it is valid UTF-8, otherwise Latin-1 (files from older installations).
QString decode(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(data);
}

bool readText(const QString& path, QString* text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = decode(file.readAll());
    return true;
}

} // namespace

std::optional<QString> IniFile::read(const QString& path, const QString& section, const QString& key)
{
    QString text;
    if (!readText(path, &text))
        return std::nullopt;
    bool inSection = false;
    bool sectionSeen = false;
    for (const TextLine& textLine : splitLines(text)) {
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
    QString text;
    const bool existed = QFile::exists(path);
    if (existed && !readText(path, &text)) {
        if (error)
            *error = QStringLiteral("Cannot read '%1'.").arg(path);
        return false;
    }
    QList<TextLine> lines = splitLines(text);
    const QString eol = usualLineEnd(lines);

    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size() && keyAt < 0; ++i) {
        const Line line = classify(lines.at(i).text);
        if (line.kind == Line::Section) {
            if (sectionAt >= 0)
                break;
            if (sameName(line.name, section)) {
                sectionAt = i;
                lastInSection = i;
            }
        } else if (sectionAt >= 0) {
            if (line.kind == Line::Key && sameName(line.name, key))
                keyAt = i;
            if (!lines.at(i).text.trimmed().isEmpty())
                lastInSection = i;
        }
    }

    // A line that new lines follow needs an end of its own.
    auto endLine = [&](qsizetype i) {
        if (i >= 0 && i < lines.size() && lines.at(i).end.isEmpty())
            lines[i].end = eol;
    };
    if (keyAt >= 0) {
        lines[keyAt].text = classify(lines.at(keyAt).text).name + QLatin1Char('=') + value;
    } else if (sectionAt >= 0) {
        endLine(lastInSection);
        lines.insert(lastInSection + 1, {key + QLatin1Char('=') + value, eol});
    } else {
        endLine(lines.size() - 1);
        if (!lines.isEmpty() && !lines.last().text.trimmed().isEmpty())
            lines.append({QString(), eol});
        lines.append({QLatin1Char('[') + section + QLatin1Char(']'), eol});
        lines.append({key + QLatin1Char('=') + value, eol});
    }

    QString out;
    for (const TextLine& line : lines)
        out += line.text + line.end;

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(out.toUtf8()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write '%1': %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
