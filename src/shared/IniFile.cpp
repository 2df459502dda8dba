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

// Splits into lines without their ends; reports whether the file used CR LF and ended with a line end.
QStringList splitLines(const QString& text, bool* crlf, bool* finalNewline)
{
    *crlf = text.contains(QLatin1String("\r\n"));
    *finalNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (*finalNewline && !text.isEmpty())
        lines.removeLast();
    if (text.isEmpty())
        lines.clear();
    for (QString& l : lines) {
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    }
    return lines;
}

bool readText(const QString& path, QString* text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = IniFile::decode(file.readAll());
    return true;
}

} // namespace

QString IniFile::decode(const QByteArray& bytes)
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

std::optional<QString> IniFile::read(const QString& path, const QString& section, const QString& key)
{
    QString text;
    if (!readText(path, &text))
        return std::nullopt;
    bool crlf = false;
    bool finalNewline = false;
    bool inSection = false;
    bool sectionSeen = false;
    for (const QString& l : splitLines(text, &crlf, &finalNewline)) {
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
    bool crlf = false;
    bool finalNewline = true;
    QStringList lines = splitLines(text, &crlf, &finalNewline);
    if (!existed)
        crlf = false;

    const QString newLine = key + QLatin1Char('=') + value;
    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size() && keyAt < 0; ++i) {
        const Line line = classify(lines.at(i));
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
            if (!lines.at(i).trimmed().isEmpty())
                lastInSection = i;
        }
    }

    if (keyAt >= 0) {
        lines[keyAt] = classify(lines.at(keyAt)).name + QLatin1Char('=') + value;
    } else if (sectionAt >= 0) {
        lines.insert(lastInSection + 1, newLine);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(newLine);
        finalNewline = true;
    }

    const QString eol = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString out = lines.join(eol);
    if (finalNewline)
        out += eol;

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(out.toUtf8()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write '%1': %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
