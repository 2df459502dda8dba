#pragma once

#include <functional>
#include <QDateTime>
#include <QList>
#include <QString>

class QAbstractItemModel;
class QPagedPaintDevice;
class QPainter;
class QTextLayout;

// The display on paper: a table of the shown recordings in pages, each page headed by the
// Selection's name, the filter and the date above the column headings, and footed by "page N of M".
// A long cell wraps onto more lines; a row taller than a page goes on over the next.
class DisplayPages
{
public:
    // A column of the display and its share of the page's width.
    struct Column
    {
        int modelColumn = 0;
        double weight = 1;
    };
    // What heads every page.
    struct Heading
    {
        QString selection;
        QString filter; // empty when none is set
        QString order;  // how the rows are sorted, when not in the Selection's order
        QDateTime printed = QDateTime::currentDateTime();
    };
    // Told how many of the steps are done, and asked whether to go on.
    using Progress = std::function<bool(int done, int total)>;

    DisplayPages(const QAbstractItemModel& shown, QList<Column> columns, Heading heading);

    // The display's eight columns in their order, as wide as the grid shows them by default.
    static QList<Column> defaultColumns();

    // Lays the rows out on the device's pages and draws them. False when progress said to stop;
    // the painting is ended either way.
    bool paint(QPagedPaintDevice& device, const Progress& progress = {});
    // The pages the last paint filled.
    int pageCount() const { return static_cast<int>(m_pages.size()); }

private:
    // The lines of one row on one page: a row taller than a page is cut between its lines.
    struct Piece
    {
        int row = 0;
        int firstLine = 0;
        int lines = 0;
    };
    struct Metrics;

    // The columns' widths on a page of that width, none below narrowest while they fit.
    QList<double> columnWidths(double width, double narrowest) const;
    // How many lines each cell of a row needs at the column's width.
    static int linesOf(const QString& text, double width, QPainter& painter);
    // Lays the text out in lines of the width in the painter's font; how many lines.
    static int wrap(QTextLayout& layout, const QString& text, double width, QPainter& painter);
    bool layOut(QPainter& painter, const Metrics& m, const Progress& progress, int total);
    bool drawPages(QPagedPaintDevice& device, QPainter& painter, const Metrics& m, const Progress& progress, int total);
    double drawHeading(QPainter& painter, const Metrics& m, int page) const;
    void drawPiece(QPainter& painter, const Metrics& m, const Piece& piece, double top) const;
    QString cellText(int row, int column) const;

    const QAbstractItemModel& m_shown;
    QList<Column> m_columns;
    Heading m_heading;
    QList<int> m_rowLines; // each row's height in lines
    QList<QList<Piece>> m_pages;
};
