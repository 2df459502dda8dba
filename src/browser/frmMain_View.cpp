// The View menu: the filter over the display, sorting by a column, and Refresh.
#include "browser/frmMain.h"

#include "platform/Grid.h"
#include "shared/DisplayModel.h"
#include "shared/modVarolin.h"
#include "shared/ShownRecordings.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

void frmMain::CreateFilterBox()
{
    txtFilter = new QLineEdit(fraButtons);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setAccessibleName(QStringLiteral("Filter"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter (Ctrl+K)"));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->setToolTip(QStringLiteral("Words that must each appear in a recording; \"a phrase\", artist:word, "
                                         "year:1970..1979, -word to leave out. Escape clears it."));
    connect(txtFilter, &QLineEdit::textChanged, this, &frmMain::txtFilter_Change);
}

void frmMain::CreateViewMenu()
{
    mnuView = new QMenu(QStringLiteral("&View"), this);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    menuBar()->insertMenu(mnuFind->menuAction(), mnuView);

    QAction* filter = mnuView->addAction(QStringLiteral("F&ilter"));
    filter->setObjectName(QStringLiteral("mnuViewFilter"));
    filter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(filter, &QAction::triggered, this, [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });

    QMenu* sortBy = mnuView->addMenu(QStringLiteral("&Sort By"));
    sortBy->setObjectName(QStringLiteral("mnuViewSortBy"));
    for (int c = 0; c < DisplayModel::kColumns; ++c) {
        QAction* column = sortBy->addAction(QStringLiteral("&%1 %2").arg(c + 1).arg(DisplayModel::headings().at(c)));
        column->setObjectName(QStringLiteral("mnuViewSortBy%1").arg(c));
        connect(column, &QAction::triggered, this, [this, c] { SortBy(c); });
    }
    sortBy->addSeparator();
    QAction* own = sortBy->addAction(QStringLiteral("The Selection's &Own Order"));
    own->setObjectName(QStringLiteral("mnuViewSortByOwn"));
    connect(own, &QAction::triggered, this, [this] { SortBy(-1); });

    QAction* statistics = mnuView->addAction(QStringLiteral("S&tatistics..."));
    statistics->setObjectName(QStringLiteral("mnuViewStatistics"));
    statistics->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(statistics, &QAction::triggered, this, &frmMain::mnuViewStatistics_Click);

    mnuView->addSeparator();
    QAction* refresh = mnuView->addAction(QStringLiteral("&Refresh"));
    refresh->setObjectName(QStringLiteral("mnuViewRefresh"));
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refresh, &QAction::triggered, this, &frmMain::cmdRefresh_Click);
}

void frmMain::SetUpSorting()
{
    // A heading clicked sorts by its column, clicked again the other way, with its arrow shown.
    QHeaderView* header = grdData->horizontalHeader();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    header->setSectionsClickable(true);
    grdData->setSortingEnabled(true);
}

void frmMain::SortBy(int iColumn)
{
    if (iColumn < 0) {
        ClearSort();
        return;
    }
    // The same column again turns the order round, as a second click on its heading does.
    const bool bAgain = m_shown->sortColumn() == iColumn;
    const Qt::SortOrder order =
        bAgain && m_shown->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    // As a click on the heading does: the view's own sortByColumn would sort twice.
    grdData->horizontalHeader()->setSortIndicator(iColumn, order);
}

void frmMain::ClearSort()
{
    if (!m_shown)
        return;
    grdData->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_shown->clearSort();
}

void frmMain::txtFilter_Change()
{
    if (!m_shown)
        return;
    const bool bRead = m_shown->setFilterText(txtFilter->text());
    // Never a message while the user types: what cannot be read is marked in the box instead.
    txtFilter->setProperty("faulty", !bRead);
    txtFilter->setStyleSheet(bRead ? QString() : QStringLiteral("QLineEdit { background: #ffe0e0; color: black; }"));
    txtFilter->setAccessibleDescription(bRead ? QString() : QStringLiteral("Part of the filter cannot be read"));
    ShowShownCount();
    if (m_bHasRecords || m_display->hasRecordings())
        SelectCurrentRecording();
}

void frmMain::ShowShownCount()
{
    if (!m_display->hasRecordings())
        return;
    const int iShown = grdData->rows() - 1;
    const int iAll = m_display->rowCount();
    m_bHasRecords = iShown > 0;
    EnableRecordCommands(m_bHasRecords);
    m_iMaxTopRow = iShown > m_iVisibleRows ? iShown - m_iVisibleRows : 1;
    if (m_shown && m_shown->isFiltering())
        ShowStatusMessage(this, QStringLiteral("%1 of %2 recordings").arg(iShown).arg(iAll), 0);
    else
        ShowStatusMessage(this, QString::number(iAll) + QStringLiteral(" records found"), 0);
}
