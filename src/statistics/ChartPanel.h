#pragma once

#include "shared/CollectionStatistics.h"

#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

// One chart of the statistics window, the table of its numbers beside it, and its heading. The
// chart follows the window's palette, light or dark; it can be copied (the picture with the numbers
// as text) and saved as PNG or SVG.
class ChartPanel : public QWidget
{
    Q_OBJECT

public:
    // Upright columns (a histogram) or bars across, longest first (a ranking).
    enum class Shape { Columns, Bars };

    ChartPanel(const QString& heading, Shape shape, QWidget* parent = nullptr);

    void setHeading(const QString& heading);
    QString heading() const;
    void setBars(const QList<CollectionStatistics::Bar>& bars);

    QChartView* chartView() const { return m_view; }
    QTableWidget* table() const { return m_table; }

    // The numbers, a heading line first, tab between name and count.
    QString numbersText() const;
    QImage picture() const;
    // The picture and the numbers on the clipboard.
    void copy() const;
    // A PNG or an SVG file, by the name's ending; says why it failed.
    bool save(const QString& path, QString* error) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuildChart();
    void followPalette();

    Shape m_shape;
    QLabel* m_heading = nullptr;
    QChartView* m_view = nullptr;
    QTableWidget* m_table = nullptr;
    QList<CollectionStatistics::Bar> m_bars;
};
