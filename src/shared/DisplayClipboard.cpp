#include "shared/DisplayClipboard.h"

#include "shared/SpreadsheetText.h"

#include "store/SnapshotRecordset.h"

#include <QMimeData>

namespace {

const QLatin1String kHtmlType("text/html");

class GridMimeData : public QMimeData
{
public:
    GridMimeData(const DisplayModel::Rows& rows, const QList<int>& order) : m_rows(rows), m_order(order)
    {
        setText(DisplayClipboard::plainText(m_rows, m_order));
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
            return DisplayClipboard::html(m_rows, m_order);
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    DisplayModel::Rows m_rows; // shared with the display, which never changes them
    QList<int> m_order;
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

// A cell as a spreadsheet pastes it back whole: one holding a tab or a line break, or starting with
// a quote, goes in quotes with its own quotes doubled; any other as it is. One a spreadsheet would
// take for a formula is marked as text first.
void AppendPlainCell(QByteArray& text, QUtf8StringView cell)
{
    const QByteArrayView bytes(cell.data(), cell.size());
    bool bQuoted = bytes.startsWith('"');
    for (qsizetype i = 0; i < bytes.size() && !bQuoted; ++i)
        bQuoted = bytes[i] == '\t' || bytes[i] == '\n' || bytes[i] == '\r';
    SpreadsheetText::appendCell(text, bytes, bQuoted);
}

qsizetype TextSize(const DisplayModel::Rows& rows)
{
    return rows.snapshot ? static_cast<qsizetype>(rows.snapshot->textBytes()) : 0;
}

} // namespace

QString DisplayClipboard::plainText(const DisplayModel::Rows& rows, const QList<int>& order)
{
    // Joined as UTF-8, the catalogue's own form, and turned into text once at the end.
    QByteArray text;
    QByteArray scratch;
    text.reserve(TextSize(rows) + 256 + (order.size() + 1) * (DisplayModel::kColumns + 1));
    text += DisplayModel::headings().join(QLatin1Char('\t')).toUtf8();
    text += "\r\n";
    if (rows.snapshot) {
        for (const int r : order) {
            for (int c = 0; c < DisplayModel::kColumns; ++c) {
                if (c > 0)
                    text += '\t';
                AppendPlainCell(text, rows.cell(r, c, scratch));
            }
            text += "\r\n";
        }
    } else if (!rows.notice.isEmpty()) {
        text += rows.notice.toUtf8() + QByteArray(DisplayModel::kColumns - 1, '\t') + "\r\n";
    }
    return QString::fromUtf8(text);
}

QString DisplayClipboard::html(const DisplayModel::Rows& rows, const QList<int>& order)
{
    QByteArray out;
    QByteArray scratch;
    out.reserve(TextSize(rows) * 2 + 256);
    out += "<html><head><meta charset=\"utf-8\"></head><body>\n<table>\n<tr>";
    for (const QString& heading : DisplayModel::headings()) {
        out += "<th>";
        appendEscaped(out, utf8(heading.toUtf8()));
        out += "</th>";
    }
    out += "</tr>\n";
    if (rows.snapshot) {
        for (const int r : order) {
            out += "<tr>";
            for (int c = 0; c < DisplayModel::kColumns; ++c) {
                out += "<td>";
                appendEscaped(out, rows.cell(r, c, scratch));
                out += "</td>";
            }
            out += "</tr>\n";
        }
    } else if (!rows.notice.isEmpty()) {
        out += "<tr><td>";
        appendEscaped(out, utf8(rows.notice.toUtf8()));
        out += "</td>" + QByteArray("<td></td>").repeated(DisplayModel::kColumns - 1) + "</tr>\n";
    }
    out += "</table>\n</body></html>\n";
    return QString::fromUtf8(out);
}

QMimeData* DisplayClipboard::mimeData(const DisplayModel::Rows& rows, const QList<int>& order)
{
    return new GridMimeData(rows, order);
}
