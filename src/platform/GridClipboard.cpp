#include "platform/GridClipboard.h"

#include <QMimeData>

namespace {

const QLatin1String kHtmlType("text/html");

class GridMimeData : public QMimeData
{
public:
    explicit GridMimeData(const GridModel::Contents& contents) : m_contents(contents)
    {
        setText(GridClipboard::plainText(m_contents));
    }

    QStringList formats() const override { return QMimeData::formats() << kHtmlType; }
    bool hasFormat(const QString& mimeType) const override
    {
        return mimeType == kHtmlType || QMimeData::hasFormat(mimeType);
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType == kHtmlType)
            return GridClipboard::html(m_contents);
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    GridModel::Contents m_contents; // shared with the grid until either changes
};

void appendEscaped(QByteArray& out, QUtf8StringView text)
{
    for (const char c : QByteArrayView(text.data(), text.size())) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            break;
        case '\n':
            out += "<br>";
            break;
        default:
            out += c;
        }
    }
}

QUtf8StringView utf8(const QByteArray& bytes)
{
    return QUtf8StringView(bytes.constData(), bytes.size());
}

} // namespace

QString GridClipboard::plainText(const GridModel::Contents& contents)
{
    // Joined as UTF-8, the catalogue's own form, and turned into text once at the end.
    const int rows = contents.dataRows();
    QByteArray text;
    text.reserve(contents.chars.size() + 256 + static_cast<qsizetype>(rows + 1) * (contents.cols + 1));
    text += contents.headings.join(QLatin1Char('\t')).toUtf8();
    text += "\r\n";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < contents.cols; ++c) {
            if (c > 0)
                text += '\t';
            const QUtf8StringView cell = contents.cell(r, c);
            text.append(cell.data(), cell.size());
        }
        text += "\r\n";
    }
    return QString::fromUtf8(text);
}

QString GridClipboard::html(const GridModel::Contents& contents)
{
    QByteArray out;
    out.reserve(contents.chars.size() * 2 + 256);
    out += "<html><head><meta charset=\"utf-8\"></head><body>\n<table>\n<tr>";
    for (const QString& heading : contents.headings) {
        out += "<th>";
        appendEscaped(out, utf8(heading.toUtf8()));
        out += "</th>";
    }
    out += "</tr>\n";
    for (int r = 0; r < contents.dataRows(); ++r) {
        out += "<tr>";
        for (int c = 0; c < contents.cols; ++c) {
            out += "<td>";
            appendEscaped(out, contents.cell(r, c));
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n</body></html>\n";
    return QString::fromUtf8(out);
}

QMimeData* GridClipboard::mimeData(const GridModel::Contents& contents)
{
    return new GridMimeData(contents);
}
