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

void appendEscaped(QString& out, QStringView text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\r':
            break;
        case '\n':
            out += QLatin1String("<br>");
            break;
        default:
            out += c;
        }
    }
}

} // namespace

QString GridClipboard::plainText(const GridModel::Contents& contents)
{
    const int rows = contents.dataRows();
    QString text;
    text.reserve(contents.chars.size() + 64 * contents.cols + static_cast<qsizetype>(rows + 1) * (contents.cols + 1));
    const QLatin1Char tab('\t');
    const QLatin1String lineEnd("\r\n");
    for (int c = 0; c < contents.cols; ++c) {
        if (c > 0)
            text += tab;
        text += contents.headings.at(c);
    }
    text += lineEnd;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < contents.cols; ++c) {
            if (c > 0)
                text += tab;
            text += contents.cell(r, c);
        }
        text += lineEnd;
    }
    return text;
}

QString GridClipboard::html(const GridModel::Contents& contents)
{
    QString out;
    out.reserve(contents.chars.size() * 2 + 64);
    out += QLatin1String("<html><head><meta charset=\"utf-8\"></head><body>\n<table>\n<tr>");
    for (int c = 0; c < contents.cols; ++c) {
        out += QLatin1String("<th>");
        appendEscaped(out, contents.headings.at(c));
        out += QLatin1String("</th>");
    }
    out += QLatin1String("</tr>\n");
    for (int r = 0; r < contents.dataRows(); ++r) {
        out += QLatin1String("<tr>");
        for (int c = 0; c < contents.cols; ++c) {
            out += QLatin1String("<td>");
            appendEscaped(out, contents.cell(r, c));
            out += QLatin1String("</td>");
        }
        out += QLatin1String("</tr>\n");
    }
    out += QLatin1String("</table>\n</body></html>\n");
    return out;
}

QMimeData* GridClipboard::mimeData(const GridModel::Contents& contents)
{
    return new GridMimeData(contents);
}
