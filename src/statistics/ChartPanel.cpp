#include "statistics/ChartPanel.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QShortcut>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

constexpr int kChartHeight = 280;
constexpr int kLongestName = 32;

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

// The axis holds each name once: a name met before, two names cut to the same text or an artist
// called "(none)", would put its bar on the other's place. Marks that show nothing tell it apart.
QString uniqueName(QString name, const QStringList& taken)
{
    while (taken.contains(name))
        name += QChar(0x200B);
    return name;
}

// A whole number of 1, 2 or 5 times a power of ten, giving at most about six ticks up to top.
int tickStep(int top)
{
    for (int power = 1;; power *= 10) {
        for (const int factor : {1, 2, 5}) {
            if (top <= qint64(6) * factor * power)
                return factor * power;
        }
    }
}

} // namespace

ChartPanel::ChartPanel(const QString& heading, Shape shape, QWidget* parent) : QWidget(parent), m_shape(shape)
{
    m_heading = new QLabel(heading, this);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);

    m_view = new QChartView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFocusPolicy(Qt::StrongFocus);
    m_view->setMinimumHeight(kChartHeight);
    // The chart shows where the focus is, as a control does.
    m_view->setStyleSheet(QStringLiteral("QChartView { border: 2px solid transparent; }"
                                         "QChartView:focus { border: 2px solid palette(highlight); }"));
    m_heading->setBuddy(m_view);

    m_table = new QTableWidget(0, 2, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Recordings")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_table->setMinimumWidth(220);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);

    // Ctrl+C, or the context menu, on the chart or its table.
    auto* copyAction = new QAction(QStringLiteral("&Copy"), this);
    connect(copyAction, &QAction::triggered, this, &ChartPanel::copy);
    m_view->addAction(copyAction);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (QWidget* w : {static_cast<QWidget*>(m_view), static_cast<QWidget*>(m_table)}) {
        auto* shortcut = new QShortcut(QKeySequence::Copy, w, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, &ChartPanel::copy);
    }

    auto* row = new QHBoxLayout;
    row->addWidget(m_view, 3);
    row->addWidget(m_table, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_heading);
    layout->addLayout(row);
    setFocusProxy(m_view);
    rebuildChart();
}

void ChartPanel::setHeading(const QString& heading)
{
    m_heading->setText(heading);
    QString plain = heading;
    plain.remove(QLatin1Char('&'));
    m_view->setAccessibleName(QStringLiteral("%1, chart").arg(plain));
    m_table->setAccessibleName(QStringLiteral("%1, numbers").arg(plain));
}

QString ChartPanel::heading() const
{
    return m_heading->text().remove(QLatin1Char('&'));
}

void ChartPanel::setBars(const QList<CollectionStatistics::Bar>& bars)
{
    m_bars = bars;
    m_table->setRowCount(static_cast<int>(bars.size()));
    for (int r = 0; r < bars.size(); ++r) {
        m_table->setItem(r, 0, new QTableWidgetItem(bars[r].name));
        auto* count = new QTableWidgetItem(QLocale().toString(bars[r].count));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(r, 1, count);
    }
    setHeading(m_heading->text());
    rebuildChart();
}

void ChartPanel::rebuildChart()
{
    // The theme before the axes: a theme set later would leave their labels laid out for the old one.
    auto* chart = new QChart;
    chart->setTheme(isDark(palette()) ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* set = new QBarSet(QStringLiteral("Recordings"));
    QStringList names;
    int most = 0;
    // Bars across are drawn from the bottom up: the first of the ranking goes last, to show on top.
    QList<CollectionStatistics::Bar> bars = m_bars;
    if (m_shape == Shape::Bars)
        std::reverse(bars.begin(), bars.end());
    for (const CollectionStatistics::Bar& bar : std::as_const(bars)) {
        *set << bar.count;
        // A name too long for the chart is cut there; the table beside it holds it whole.
        names << uniqueName(bar.name.size() > kLongestName ? bar.name.left(kLongestName - 1) + QChar(0x2026) : bar.name,
                            names);
        most = std::max(most, bar.count);
    }
    QAbstractBarSeries* series = m_shape == Shape::Bars ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                                        : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    categories->setTruncateLabels(false);
    // Names too long to stand side by side under their columns lean instead of being cut short.
    int longest = 0;
    for (const QString& name : std::as_const(names))
        longest = std::max(longest, fontMetrics().horizontalAdvance(name));
    if (m_shape == Shape::Columns && names.size() * (longest + 8) > std::max(m_view->width(), 560) * 4 / 5)
        categories->setLabelsAngle(-45);
    auto* counts = new QValueAxis;
    // Whole numbers with room above the longest bar for its label: a tick between two of them
    // would be labelled as one of its neighbours.
    const int top = std::max(1, most + std::max(1, most / 8));
    const int step = tickStep(top);
    counts->setRange(0, (top + step - 1) / step * step);
    counts->setTickType(QValueAxis::TicksDynamic);
    counts->setTickAnchor(0);
    counts->setTickInterval(step);
    counts->setLabelFormat(QStringLiteral("%d"));
    const Qt::Alignment categorySide = m_shape == Shape::Bars ? Qt::AlignLeft : Qt::AlignBottom;
    const Qt::Alignment countSide = m_shape == Shape::Bars ? Qt::AlignBottom : Qt::AlignLeft;
    chart->addAxis(categories, categorySide);
    chart->addAxis(counts, countSide);
    series->attachAxis(categories);
    series->attachAxis(counts);

    // Bars across stand a line of text apart, so that every name can show beside its bar.
    if (m_shape == Shape::Bars)
        m_view->setMinimumHeight(
            std::max(kChartHeight, static_cast<int>(names.size()) * (fontMetrics().height() + 8) + 60));

    QChart* old = m_view->chart();
    m_view->setChart(chart);
    delete old;
    followPalette();
}

void ChartPanel::followPalette()
{
    QChart* chart = m_view->chart();
    const QPalette& p = palette();
    chart->setBackgroundBrush(p.brush(QPalette::Base));
    chart->setPlotAreaBackgroundVisible(false);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsBrush(p.brush(QPalette::Text));
        axis->setLinePenColor(p.color(QPalette::Mid));
        axis->setGridLineColor(p.color(QPalette::Midlight));
    }
    for (QAbstractSeries* series : chart->series()) {
        auto* bars = static_cast<QAbstractBarSeries*>(series);
        bars->setLabelsVisible(true);
        for (QBarSet* set : bars->barSets()) {
            set->setColor(p.color(QPalette::Highlight));
            set->setBorderColor(p.color(QPalette::Highlight));
            set->setLabelColor(p.color(QPalette::Text));
        }
    }
}

void ChartPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        rebuildChart();
}

QString ChartPanel::numbersText() const
{
    QString text = QStringLiteral("%1\tRecordings\r\n").arg(heading());
    for (const CollectionStatistics::Bar& bar : m_bars)
        text += QStringLiteral("%1\t%2\r\n").arg(bar.name).arg(bar.count);
    return text;
}

QImage ChartPanel::picture() const
{
    QChart* chart = m_view->chart();
    const QRectF area = chart->sceneBoundingRect();
    QImage image(area.size().toSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_view->scene()->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    return image;
}

void ChartPanel::copy() const
{
    auto* data = new QMimeData;
    data->setImageData(picture());
    data->setText(numbersText());
    QApplication::clipboard()->setMimeData(data);
}

bool ChartPanel::save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written && path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        const QRectF area = m_view->chart()->sceneBoundingRect();
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(area.size().toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), area.size()));
        svg.setTitle(heading());
        QPainter painter(&svg);
        m_view->scene()->render(&painter, QRectF(QPointF(0, 0), area.size()), area);
        painter.end();
    } else if (written) {
        written = picture().save(&file, "PNG");
    }
    if (written && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Could not write '%1': %2.")
                     .arg(QDir::toNativeSeparators(path), file.errorString().isEmpty()
                                                              ? QStringLiteral("the picture could not be made")
                                                              : file.errorString());
    return false;
}
