#pragma once

#include <QStyledItemDelegate>

// Paints the grid's text cells as the style's own item delegate does, one line each, cut off with
// an ellipsis, but shapes each text once: the style's route lays a cell's text out three times
// (to size it, to elide it and to draw it), and the first paint of a full grid is most of what the
// window's start-up costs beyond reading the rows. It draws the display text alone: the grid's
// models give no fonts, colours or pictures of their own.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // What a cell shows of its text within the given width: the first line, with an ellipsis
    // where the line is cut or more follows.
    static QString shownText(const QString& text, const QFontMetrics& metrics, int width);
};
