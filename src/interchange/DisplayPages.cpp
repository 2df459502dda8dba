#include "interchange/DisplayPages.h"

#include "shared/DisplayModel.h"

#include <algorithm>
#include <cmath>
#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {

// The columns' default widths in the grid, in twips.
constexpr int kDefaultWidths[DisplayModel::kColumns] = {3645, 3495, 525, 1425, 2512, 2325, 7635, 2512};
constexpr double kBodyPoints = 8.5;
constexpr double kTitlePoints = 11;
// How often the work says how far it is.
constexpr int kProgressEvery = 256;

QTextOption wrapping()
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

} // namespace

struct DisplayPages::Metrics
{
    QFont body;
    QFont bold;
    QFont title;
    double lineSpacing = 0;
    double ascent = 0;
    double padX = 0;
    double padY = 0;
    double width = 0;
    double bodyTop = 0;
    double bodyBottom = 0;
    double footerTop = 0;
    QList<double> left; // each column's left edge
    QList<double> columnWidth;
    int headingLines = 1;

    double rowHeight(int lines) const { return lines * lineSpacing + 2 * padY; }
    double textWidth(int column) const { return std::max(1.0, columnWidth[column] - 2 * padX); }
};

DisplayPages::DisplayPages(const QAbstractItemModel& shown, QList<Column> columns, Heading heading)
    : m_shown(shown), m_columns(std::move(columns)), m_heading(std::move(heading))
{}

QList<DisplayPages::Column> DisplayPages::defaultColumns()
{
    QList<Column> columns;
    for (int c = 0; c < DisplayModel::kColumns; ++c)
        columns.append(Column{c, static_cast<double>(kDefaultWidths[c])});
    return columns;
}

QString DisplayPages::cellText(int row, int column) const
{
    QString text = m_shown.data(m_shown.index(row, m_columns[column].modelColumn)).toString();
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

int DisplayPages::linesOf(const QString& text, double width, QPainter& painter)
{
    if (!text.contains(QLatin1Char('\n')) && painter.fontMetrics().horizontalAdvance(text) <= width)
        return 1;
    QTextLayout layout;
    return wrap(layout, text, width, painter);
}

int DisplayPages::wrap(QTextLayout& layout, const QString& text, double width, QPainter& painter)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(lines);
    layout.setFont(painter.font());
    layout.setTextOption(wrapping());
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(width);
    layout.endLayout();
    return std::max(1, layout.lineCount());
}

QList<double> DisplayPages::columnWidths(double width, double narrowest) const
{
    // Each column takes its share of the width, but none is narrower than a year: a column that
    // would be is held at that, and the others share what is left.
    const qsizetype n = m_columns.size();
    QList<bool> held(n, false);
    for (;;) {
        double left = width;
        double shares = 0;
        qsizetype free = 0;
        for (qsizetype c = 0; c < n; ++c) {
            if (held[c])
                left -= narrowest;
            else {
                shares += std::max(0.0, m_columns[c].weight);
                ++free;
            }
        }
        if (free == 0 || left <= 0) // a page too narrow for them all: equal shares
            return QList<double>(n, width / std::max<qsizetype>(1, n));
        const auto widthOf = [&](qsizetype c) {
            return shares > 0 ? left * std::max(0.0, m_columns[c].weight) / shares : left / free;
        };
        bool changed = false;
        for (qsizetype c = 0; c < n; ++c) {
            if (!held[c] && widthOf(c) < narrowest) {
                held[c] = true;
                changed = true;
            }
        }
        if (changed)
            continue;
        QList<double> widths;
        for (qsizetype c = 0; c < n; ++c)
            widths.append(held[c] ? narrowest : widthOf(c));
        return widths;
    }
}

bool DisplayPages::paint(QPagedPaintDevice& device, const Progress& progress)
{
    m_pages.clear();
    m_rowLines.clear();
    QPainter painter;
    if (!painter.begin(&device))
        return false;

    Metrics m;
    m.body = QFont(painter.font().family());
    m.body.setPointSizeF(kBodyPoints);
    m.bold = m.body;
    m.bold.setBold(true);
    m.title = m.bold;
    m.title.setPointSizeF(kTitlePoints);
    const QFontMetricsF bodyMetrics(m.body, &device);
    m.lineSpacing = bodyMetrics.lineSpacing();
    m.ascent = bodyMetrics.ascent();
    m.padX = bodyMetrics.averageCharWidth() * 0.5;
    m.padY = m.lineSpacing * 0.15;
    m.width = device.width();

    m.columnWidth = columnWidths(m.width, bodyMetrics.horizontalAdvance(QStringLiteral("0000")) + 3 * m.padX);
    double x = 0;
    for (const double w : std::as_const(m.columnWidth)) {
        m.left.append(x);
        x += w;
    }
    painter.setFont(m.bold);
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString heading = m_shown.headerData(m_columns[c].modelColumn, Qt::Horizontal).toString();
        m.headingLines = std::max(m.headingLines, linesOf(heading, m.textWidth(c), painter));
    }
    const QFontMetricsF titleMetrics(m.title, &device);
    m.bodyTop = titleMetrics.lineSpacing() + m.lineSpacing * 1.5 + m.rowHeight(m.headingLines);
    m.footerTop = device.height() - m.lineSpacing * 1.5;
    m.bodyBottom = m.footerTop - m.lineSpacing * 0.5;

    const int rows = m_shown.rowCount();
    const bool done = layOut(painter, m, progress, 2 * rows) && drawPages(device, painter, m, progress, 2 * rows);
    painter.end();
    return done;
}

bool DisplayPages::layOut(QPainter& painter, const Metrics& m, const Progress& progress, int total)
{
    painter.setFont(m.body);
    const int rows = m_shown.rowCount();
    const double room = m.bodyBottom - m.bodyTop;
    QList<Piece> page;
    double used = 0; // the height taken on the page
    const auto turnPage = [&] {
        m_pages.append(page);
        page.clear();
        used = 0;
    };
    for (int r = 0; r < rows; ++r) {
        if (progress && r % kProgressEvery == 0 && !progress(r, total))
            return false;
        int lines = 1;
        for (int c = 0; c < m_columns.size(); ++c)
            lines = std::max(lines, linesOf(cellText(r, c), m.textWidth(c), painter));
        m_rowLines.append(lines);
        // A row starts on the next page rather than be cut, unless it is taller than a page.
        if (used > 0 && used + m.rowHeight(lines) > room && m.rowHeight(lines) <= room)
            turnPage();
        for (int first = 0; first < lines;) {
            const int fit = static_cast<int>((room - used - 2 * m.padY) / m.lineSpacing);
            if (fit < 1 && used > 0) {
                turnPage();
                continue;
            }
            const int take = std::min(lines - first, std::max(1, fit));
            page.append(Piece{r, first, take});
            used += m.rowHeight(take);
            first += take;
            if (first < lines)
                turnPage();
        }
    }
    if (!page.isEmpty() || m_pages.isEmpty())
        m_pages.append(page);
    return true;
}

bool DisplayPages::drawPages(QPagedPaintDevice& device, QPainter& painter, const Metrics& m, const Progress& progress,
                             int total)
{
    const int rows = m_shown.rowCount();
    int drawn = 0;
    for (int p = 0; p < m_pages.size(); ++p) {
        if (p > 0 && !device.newPage())
            return false;
        double top = drawHeading(painter, m, p);
        painter.setFont(m.body);
        for (const Piece& piece : std::as_const(m_pages[p])) {
            if (progress && ++drawn % kProgressEvery == 0 && !progress(rows + drawn, total))
                return false;
            drawPiece(painter, m, piece, top);
            top += m.rowHeight(piece.lines);
        }
    }
    return true;
}

double DisplayPages::drawHeading(QPainter& painter, const Metrics& m, int page) const
{
    const QPen text = painter.pen();
    const QPen rule(Qt::gray, 0);
    // The Selection, and the date on the right.
    painter.setFont(m.title);
    const double titleHeight = QFontMetricsF(m.title, painter.device()).lineSpacing();
    const QString date = QLocale().toString(m_heading.printed, QLocale::ShortFormat);
    painter.setFont(m.body);
    const double dateWidth = painter.fontMetrics().horizontalAdvance(date) + m.padX;
    painter.drawText(QRectF(m.width - dateWidth, 0, dateWidth, titleHeight), Qt::AlignRight | Qt::AlignBottom, date);
    painter.setFont(m.title);
    painter.drawText(QRectF(0, 0, m.width - dateWidth - m.padX, titleHeight), Qt::AlignLeft | Qt::AlignBottom,
                     painter.fontMetrics().elidedText(m_heading.selection, Qt::ElideRight,
                                                      static_cast<int>(m.width - dateWidth - m.padX)));
    // What the display holds: the filter, the order and the count.
    QStringList about;
    if (!m_heading.filter.isEmpty())
        about << QStringLiteral("Filter: %1").arg(m_heading.filter);
    if (!m_heading.order.isEmpty())
        about << m_heading.order;
    const int count = m_shown.rowCount();
    about << (count == 1 ? QStringLiteral("1 recording")
                         : QStringLiteral("%1 recordings").arg(QLocale().toString(count)));
    painter.setFont(m.body);
    painter.drawText(
        QRectF(0, titleHeight + m.lineSpacing * 0.25, m.width, m.lineSpacing), Qt::AlignLeft,
        painter.fontMetrics().elidedText(about.join(QStringLiteral("   ")), Qt::ElideRight, static_cast<int>(m.width)));
    // The column headings, ruled off from the rows.
    const double headingTop = m.bodyTop - m.rowHeight(m.headingLines);
    painter.setFont(m.bold);
    for (int c = 0; c < m_columns.size(); ++c) {
        painter.drawText(
            QRectF(m.left[c] + m.padX, headingTop + m.padY, m.textWidth(c), m.headingLines * m.lineSpacing),
            m_shown.headerData(m_columns[c].modelColumn, Qt::Horizontal).toString(), wrapping());
    }
    painter.setPen(rule);
    painter.drawLine(QPointF(0, m.bodyTop), QPointF(m.width, m.bodyTop));
    painter.drawLine(QPointF(0, m.footerTop), QPointF(m.width, m.footerTop));
    painter.setPen(text);
    painter.setFont(m.body);
    painter.drawText(QRectF(0, m.footerTop, m.width, m.lineSpacing * 1.5), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("page %1 of %2").arg(page + 1).arg(m_pages.size()));
    return m.bodyTop;
}

void DisplayPages::drawPiece(QPainter& painter, const Metrics& m, const Piece& piece, double top) const
{
    const double height = m.rowHeight(piece.lines);
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString text = cellText(piece.row, c);
        if (text.isEmpty())
            continue;
        const double x = m.left[c] + m.padX;
        if (!text.contains(QLatin1Char('\n')) && painter.fontMetrics().horizontalAdvance(text) <= m.textWidth(c)) {
            // One line, on the row's first page.
            if (piece.firstLine == 0)
                painter.drawText(QPointF(x, top + m.padY + m.ascent), text);
            continue;
        }
        // Only the piece's lines of the wrapped text are drawn on this page.
        QTextLayout layout;
        wrap(layout, text, m.textWidth(c), painter);
        const int last = std::min(layout.lineCount(), piece.firstLine + piece.lines);
        for (int i = piece.firstLine; i < last; ++i) {
            const QTextLine line = layout.lineAt(i);
            line.draw(&painter, QPointF(x, top + m.padY + (i - piece.firstLine) * m.lineSpacing - line.y()));
        }
    }
    const QPen text = painter.pen();
    painter.setPen(QPen(Qt::lightGray, 0));
    painter.drawLine(QPointF(0, top + height), QPointF(m.width, top + height));
    painter.setPen(text);
}
