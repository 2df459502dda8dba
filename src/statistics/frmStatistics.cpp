#include "statistics/frmStatistics.h"

#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "statistics/ChartPanel.h"
#include "store/EngineError.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Scope { OnDisplay, WholeCatalogue };

QString number(int n)
{
    return QLocale().toString(n);
}

} // namespace

frmStatistics::frmStatistics(const QAbstractItemModel& shown, Database& db, QWidget* parent)
    : DialogBase(parent), m_shown(shown), m_db(db)
{
    setWindowTitle(QStringLiteral("Statistics"));
    CreateControls();
    watchKeys();
    m_focusWatch =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

// The focus moves while the widgets below are torn down; by then this dialog is no longer one.
frmStatistics::~frmStatistics()
{
    disconnect(m_focusWatch);
}

// The chart the focus comes to shows whole, its heading included.
void frmStatistics::FocusChanged(QWidget* now)
{
    for (ChartPanel* panel : panels()) {
        if (now && panel->isAncestorOf(now)) {
            m_pLastPanel = panel;
            scrCharts->ensureWidgetVisible(panel, 0, 0);
        }
    }
}

QList<ChartPanel*> frmStatistics::panels() const
{
    return {pnlFormats, pnlDecades, pnlYears, pnlArtists, pnlLabels};
}

void frmStatistics::CreateControls()
{
    auto* lblShow = new QLabel(QStringLiteral("&Show:"), this);
    cboShow = new QComboBox(this);
    cboShow->setObjectName(QStringLiteral("cboShow"));
    cboShow->addItems({QStringLiteral("Recordings on display"), QStringLiteral("Whole catalogue")});
    lblShow->setBuddy(cboShow);
    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));
    lblTotals->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblTotals->setFocusPolicy(Qt::StrongFocus);
    auto* top = new QHBoxLayout;
    top->addWidget(lblShow);
    top->addWidget(cboShow);
    top->addSpacing(16);
    top->addWidget(lblTotals, 1);

    auto* page = new QWidget;
    auto* charts = new QVBoxLayout(page);
    pnlFormats = new ChartPanel(QStringLiteral("Recordings by &format"), ChartPanel::Shape::Columns, page);
    pnlDecades = new ChartPanel(QStringLiteral("Recordings by d&ecade"), ChartPanel::Shape::Columns, page);
    auto* lblDecade = new QLabel(QStringLiteral("&Decade:"), page);
    cboDecade = new QComboBox(page);
    cboDecade->setObjectName(QStringLiteral("cboDecade"));
    lblDecade->setBuddy(cboDecade);
    auto* decadeRow = new QHBoxLayout;
    decadeRow->addWidget(lblDecade);
    decadeRow->addWidget(cboDecade);
    decadeRow->addStretch();
    pnlYears = new ChartPanel(QStringLiteral("Recordings by &year"), ChartPanel::Shape::Columns, page);
    pnlArtists = new ChartPanel(QStringLiteral("Top %1 &artists").arg(CollectionStatistics::kTop),
                                ChartPanel::Shape::Bars, page);
    pnlLabels =
        new ChartPanel(QStringLiteral("Top %1 &labels").arg(CollectionStatistics::kTop), ChartPanel::Shape::Bars, page);
    charts->addWidget(pnlFormats);
    charts->addWidget(pnlDecades);
    charts->addLayout(decadeRow);
    charts->addWidget(pnlYears);
    charts->addWidget(pnlArtists);
    charts->addWidget(pnlLabels);
    for (ChartPanel* panel : panels())
        panel->setObjectName(QStringLiteral("pnl") + panel->heading().section(QLatin1Char(' '), -1));
    scrCharts = new QScrollArea(this);
    scrCharts->setWidget(page);
    scrCharts->setWidgetResizable(true);
    scrCharts->setFocusPolicy(Qt::NoFocus);

    cmdCopy = new QPushButton(QStringLiteral("&Copy Chart"), this);
    cmdCopy->setToolTip(QStringLiteral("Copies the chart the focus was in last, and its numbers (Ctrl+C on a chart)"));
    cmdSave = new QPushButton(QStringLiteral("Sa&ve Chart..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Saves the chart the focus was in last as a PNG or SVG picture"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdCopy, cmdSave, cmdClose})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdSave);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scrCharts, 1);
    layout->addLayout(buttons);

    // Tab runs down the page: each chart, then the numbers beside it.
    QWidget* previous = cboShow;
    const auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(lblTotals);
    for (ChartPanel* panel : panels()) {
        if (panel == pnlYears)
            chain(cboDecade);
        chain(panel->chartView());
        chain(panel->table());
    }
    chain(cmdCopy);
    chain(cmdSave);
    chain(cmdClose);

    connect(cboShow, &QComboBox::currentIndexChanged, this, &frmStatistics::cboShow_Click);
    connect(cboDecade, &QComboBox::currentIndexChanged, this, &frmStatistics::cboDecade_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmStatistics::cmdCopy_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmStatistics::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    resize(960, 720);
}

void frmStatistics::ShowModal()
{
    ShowStatistics();
    cboShow->setFocus();
    exec();
}

void frmStatistics::cboShow_Click()
{
    ShowStatistics();
}

void frmStatistics::ShowStatistics()
{
    try {
        BusyCursor busy;
        m_statistics = cboShow->currentIndex() == WholeCatalogue ? CollectionStatistics::ofCatalogue(m_db)
                                                                 : CollectionStatistics::ofShown(m_shown);
    } catch (const EngineError& e) {
        Dialogs::message(this, QStringLiteral("The catalogue could not be counted: %1").arg(e.description()),
                         QStringLiteral("Statistics"), QMessageBox::Ok, QMessageBox::Warning);
        const QSignalBlocker block(cboShow);
        cboShow->setCurrentIndex(OnDisplay);
        m_statistics = CollectionStatistics::ofShown(m_shown);
    }
    ShowTotals();
    pnlFormats->setBars(m_statistics.byFormat());
    pnlDecades->setBars(m_statistics.byDecade());
    pnlArtists->setBars(m_statistics.topArtists());
    pnlLabels->setBars(m_statistics.topLabels());

    // The decade shown by year stays chosen when it still has recordings; else the fullest one.
    const int chosen = cboDecade->currentData().toInt();
    const QSignalBlocker block(cboDecade);
    cboDecade->clear();
    const QList<CollectionStatistics::Bar> decades = m_statistics.byDecade();
    int fullest = 0;
    for (const int decade : m_statistics.decades()) {
        cboDecade->addItem(QStringLiteral("%1s").arg(decade), decade);
        const int i = cboDecade->count() - 1;
        if (decades.at(i).count > decades.at(fullest).count)
            fullest = i;
    }
    const int kept = cboDecade->findData(chosen);
    cboDecade->setCurrentIndex(kept >= 0 ? kept : fullest);
    cboDecade->setEnabled(cboDecade->count() > 0);
    cboDecade_Click();
}

void frmStatistics::ShowTotals()
{
    const CollectionStatistics& s = m_statistics;
    QString years = QStringLiteral("none");
    if (s.firstYear() > 0)
        years = s.firstYear() == s.lastYear() ? QString::number(s.firstYear())
                                              : QStringLiteral("%1 to %2").arg(s.firstYear()).arg(s.lastYear());
    lblTotals->setText(
        QStringLiteral("Recordings: %1    Artists: %2    Labels: %3    Formats: %4    Years: %5")
            .arg(number(s.recordings()), number(s.artists()), number(s.labels()), number(s.formats()), years));
    lblTotals->setAccessibleName(lblTotals->text());
}

void frmStatistics::cboDecade_Click()
{
    const int decade = cboDecade->currentData().toInt();
    if (cboDecade->count() == 0) {
        pnlYears->setHeading(QStringLiteral("Recordings by &year"));
        pnlYears->setBars({});
        return;
    }
    pnlYears->setHeading(QStringLiteral("Recordings by &year in the %1s").arg(decade));
    pnlYears->setBars(m_statistics.byYearIn(decade));
}

ChartPanel* frmStatistics::CurrentPanel() const
{
    return m_pLastPanel ? m_pLastPanel : pnlFormats;
}

void frmStatistics::cmdCopy_Click()
{
    ChartPanel* panel = CurrentPanel();
    panel->copy();
    panel->chartView()->setFocus();
}

void frmStatistics::cmdSave_Click()
{
    ChartPanel* panel = CurrentPanel();
    const QString name = Dialogs::nameForFile(panel->heading());
    const QString folder = m_sSaveFolder.isEmpty() ? QDir::homePath() : m_sSaveFolder;
    QString path = Dialogs::fileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Chart"),
                                     QDir(folder).filePath(name + QStringLiteral(".png")),
                                     QStringLiteral("PNG pictures (*.png);;SVG drawings (*.svg)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) &&
        !path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    m_sSaveFolder = QFileInfo(path).absolutePath();
    if (!Dialogs::mayReplace(this, path, QStringLiteral("Save Chart")))
        return;
    QString error;
    if (!panel->save(path, &error))
        Dialogs::message(this, error, QStringLiteral("Save Chart"), QMessageBox::Ok, QMessageBox::Warning);
}
