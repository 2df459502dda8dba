#include "platform/StatusPanel.h"

#include <QPainter>
#include <QStyleOptionFrame>

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void StatusPanel::setTextColor(const QColor& color)
{
    m_textColor = color;
    update();
    emit textColorChanged(color);
}

void StatusPanel::setBarStyle(BarStyle style)
{
    m_barStyle = style;
    update();
}

void StatusPanel::setPercent(int percent)
{
    m_percent = qBound(0, percent, 100);
    update();
    emit percentChanged(m_percent);
}

void StatusPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, palette().window());
    if (m_barStyle == BarStyle::LeftToRight && m_percent > 0) {
        QRect bar = area.adjusted(1, 1, -1, -1);
        bar.setWidth(bar.width() * m_percent / 100);
        painter.fillRect(bar, palette().highlight());
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    // Black and white are the panel's two text colours: over the window and over the bar. They are
    // drawn in the palette's own colours for those places, so that a dark theme stays readable.
    if (m_textColor == QColor(Qt::black))
        painter.setPen(palette().windowText().color());
    else if (m_textColor == QColor(Qt::white))
        painter.setPen(palette().highlightedText().color());
    else
        painter.setPen(m_textColor);
    painter.drawText(area.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
}
