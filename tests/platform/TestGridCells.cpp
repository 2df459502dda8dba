#include "platform/GridCellDelegate.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QStyleOptionViewItem>

namespace {

const QString kEllipsis = QString(QChar(0x2026));

TEST(GridCells, ShowTheFirstLineCutToTheCell)
{
    const QFontMetrics metrics(QApplication::font());
    const struct
    {
        const char* text;
        int width; // 0: room for everything
        QString shown;
    } cases[] = {
        {"Waterloo", 0, QStringLiteral("Waterloo")},
        {"", 0, QString()},
        {"Mono\nside two", 0, QStringLiteral("Mono") + kEllipsis},
        {"Mono\r\nside two", 0, QStringLiteral("Mono") + kEllipsis},
        {"Mono\u2028side two", 0, QStringLiteral("Mono") + kEllipsis},
        {"\nafter an empty line", 0, kEllipsis},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(GridCellDelegate::shownText(text, metrics, c.width ? c.width : 10000), c.shown) << c.text;
    }
    // A line longer than any cell is cut before it is measured, and still says that more follows.
    EXPECT_EQ(GridCellDelegate::shownText(QString(5000, QLatin1Char('i')), metrics, 100000).size(), 1001);
    // Too wide: cut, ending in the ellipsis, within the width.
    const QString cut = GridCellDelegate::shownText(QStringLiteral("A very long title indeed\nand more"), metrics, 60);
    EXPECT_TRUE(cut.startsWith(QLatin1String("A ")) && cut.endsWith(kEllipsis)) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), 60);
}

// The share of the pixels in a rectangle of the image that are close to a colour.
double shareNear(const QImage& image, const QRect& rect, const QColor& colour)
{
    int near = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            near +=
                qAbs(p.red() - colour.red()) + qAbs(p.green() - colour.green()) + qAbs(p.blue() - colour.blue()) < 60;
        }
    return double(near) / (rect.width() * rect.height());
}

TEST(GridCells, PaintInTheSelectionsColoursAndStayInTheirCell)
{
    // A text that fits, one too wide for its cell, and one of two lines.
    QStandardItemModel model(3, 1);
    model.setData(model.index(0, 0), QStringLiteral("WWWWWW"));
    model.setData(model.index(1, 0), QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    model.setData(model.index(2, 0), QStringLiteral("WWWWWW\nWWWWWW"));
    GridCellDelegate delegate;
    const QPalette palette = QApplication::palette();
    for (int row = 0; row < 3; ++row)
        for (const bool selected : {false, true}) {
            QImage image(400, 30, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QStyleOptionViewItem option;
            option.rect = QRect(0, 0, 200, 30);
            option.palette = palette;
            option.font = QApplication::font();
            option.font.setPointSize(12); // lines of odd height, centred in a cell of even height
            option.direction = row == 1 ? Qt::RightToLeft : Qt::LeftToRight;
            option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter; // as a table view sets them
            option.textElideMode = Qt::ElideRight;
            option.showDecorationSelected = true;
            option.state = QStyle::State_Enabled | QStyle::State_Active;
            if (selected)
                option.state |= QStyle::State_Selected;
            QImage byStyle = image;
            {
                QPainter painter(&image), stylePainter(&byStyle);
                delegate.paint(&painter, option, model.index(row, 0));
                QStyledItemDelegate().paint(&stylePainter, option, model.index(row, 0));
            }
            // Where the style's own delegate puts a line (which here would show a second line too).
            EXPECT_TRUE(row == 2 || image == byStyle) << row << selected;
            const QColor background = selected ? palette.color(QPalette::Highlight) : QColor(Qt::white);
            const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
            EXPECT_GT(shareNear(image, QRect(0, 0, 200, 30), background), 0.5) << row << selected;
            EXPECT_GT(shareNear(image, QRect(0, 0, 60, 30), text), 0.015) << row << selected;
            EXPECT_EQ(shareNear(image, QRect(201, 0, 199, 30), Qt::white), 1.0) << "the text is cut at its cell";
        }
}

} // namespace
