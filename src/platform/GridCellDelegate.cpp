#include "platform/GridCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace {

const QChar kEllipsis(0x2026);

// No cell is as wide as this many characters: a longer line is cut here before it is laid out, so
// that one pasted text of a megabyte does not hold up every paint of its row.
const qsizetype kLongestShown = 1000;

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// Where the part of the text a cell may show ends: at the first line break, or where no cell
// could show more.
qsizetype ShownEnd(const QString& text)
{
    const qsizetype last = qMin(text.size(), kLongestShown);
    for (qsizetype i = 0; i < last; ++i) {
        if (IsLineBreak(text.at(i)))
            return i;
    }
    // Never half a character outside the Basic Multilingual Plane.
    return last < text.size() && text.at(last - 1).isHighSurrogate() ? last - 1 : last;
}

QPalette::ColorGroup ColourGroup(const QStyleOptionViewItem& option)
{
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

void DrawFocusFrame(QPainter* painter, const QStyleOptionViewItem& option, QPalette::ColorGroup group)
{
    QStyleOptionFocusRect frame;
    frame.QStyleOption::operator=(option);
    frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    frame.backgroundColor =
        option.palette.color(group, option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, option.widget);
}

// Draws a line of text in the cell, laid out once and placed as the style places it, unless it is
// wider than the cell and only a text that fits is wanted; says whether it drew. It is centred by
// `height`, which is set to the line's own where it is 0.
bool DrawLine(QPainter* painter, const QString& text, const QStyleOptionViewItem& option, const QRect& textRect,
              bool onlyIfItFits, int& height)
{
    QTextLayout layout(text, option.font, painter->device());
    QTextOption textOption(QStyle::visualAlignment(option.direction, option.displayAlignment));
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTextDirection(option.direction);
    layout.setTextOption(textOption);
    layout.setCacheEnabled(true); // else the glyphs are shaped again to be drawn
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(textRect.width());
    layout.endLayout();
    if (height == 0)
        height = qRound(line.height());
    if (onlyIfItFits && line.naturalTextWidth() > textRect.width())
        return false;
    // Centred as the style centres it, each height halved on its own: in an even cell a line of odd
    // height sits a pixel lower than (cell - line) / 2 would put it.
    const QSize size(textRect.width(), height);
    layout.draw(painter, QStyle::alignedRect(option.direction, option.displayAlignment, size, textRect).topLeft());
    return true;
}

} // namespace

QString GridCellDelegate::shownText(const QString& text, const QFontMetrics& metrics, int width)
{
    const qsizetype end = ShownEnd(text);
    if (end == text.size())
        return metrics.elidedText(text, Qt::ElideRight, width);
    // More follows: the ellipsis says so even where what is shown fits.
    return metrics.elidedText(text.left(end) + kEllipsis, Qt::ElideRight, width);
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QPalette::ColorGroup group = ColourGroup(option);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
        const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
        painter->save();
        painter->setClipRect(option.rect);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        // Most texts fit their cells whole; only the others are measured again to be cut short, and
        // stay where the whole line would be (a line in a fallback font differs in height).
        const bool whole = ShownEnd(text) == text.size();
        int height = 0;
        if (!whole || !DrawLine(painter, text, option, textRect, true, height))
            DrawLine(painter, shownText(text, QFontMetrics(option.font, painter->device()), textRect.width()), option,
                     textRect, false, height);
        painter->restore();
    }
    if (option.state & QStyle::State_HasFocus)
        DrawFocusFrame(painter, option, group);
}
