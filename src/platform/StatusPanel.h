#pragma once

#include <QColor>
#include <QWidget>

// The status line: one line of text in a text colour, with a progress bar painted behind it.
class StatusPanel : public QWidget
{
    Q_OBJECT

public:
    enum class BarStyle { None = 0, LeftToRight = 1 };

    explicit StatusPanel(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);

    int percent() const { return m_percent; }
    void setPercent(int percent);

signals:
    void percentChanged(int percent);
    void textColorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_textColor = Qt::black;
    BarStyle m_barStyle = BarStyle::None;
    int m_percent = 0;
};
