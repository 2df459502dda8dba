// The grid's columns, the window's regions as it is resized, and the current row.
#include "browser/frmMain.h"

#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "platform/Twips.h"
#include "shared/DisplayModel.h"
#include "shared/Session.h"
#include "store/NumberText.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QResizeEvent>
#include <QTimer>

namespace {

// The columns' widths in twips, in the display's order.
const int kColumnWidths[DisplayModel::kColumns] = {3645, 3495, 525, 1425, 2512, 2325, 7635, 2512};

// The window is never smaller than this in its normal state (twips).
const int kMinWidth = 9000;
const int kMinHeight = 6000;

} // namespace

void frmMain::SetUpGrid()
{
    grdData->hide();
    EmptyGrid();
    // The widths the user dragged the columns to last, else the grid's own, but never so narrow
    // that a four-digit year is cut off in this font.
    const QList<int>& aiTwips = m_session.columnWidths;
    const int iYearWidth = grdData->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
    m_bSettingWidths = true;
    for (int c = 0; c < DisplayModel::kColumns; ++c) {
        const int iWidth =
            Twips::toPixels(aiTwips.size() == DisplayModel::kColumns ? aiTwips[c] : kColumnWidths[c], this);
        grdData->setColWidth(c, c == 2 ? qMax(iWidth, iYearWidth) : iWidth);
    }
    m_bSettingWidths = false;
    m_iMaxLeftCol = 0;
}

void frmMain::grdData_ColumnResized()
{
    // Written once the dragging stops, and at the end of the run if it has not yet.
    if (!m_bSettingWidths)
        tmrWidths->start();
}

void frmMain::SaveColumnWidths()
{
    tmrWidths->stop();
    const double dTpp = Twips::twipsPerPixel(this);
    QList<int> aiTwips;
    for (int c = 0; c < DisplayModel::kColumns; ++c)
        aiTwips.append(qBound(Session::kMinColumnTwips, qRound(grdData->horizontalHeader()->sectionSize(c) * dTpp),
                              Session::kMaxColumnTwips));
    if (aiTwips == m_session.columnWidths)
        return;
    m_session.columnWidths = aiTwips;
    m_session.WriteIniString(QStringLiteral("Initialisation"), QStringLiteral("Column-Widths"),
                             Session::columnWidthsText(aiTwips));
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

int frmMain::VisibleRowsFor(double gridHeight, double row0Height, double twipsPerPixel)
{
    return NumberText::roundHalfEven(gridHeight / (row0Height + twipsPerPixel) - 3);
}

void frmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const double tpp = Twips::twipsPerPixel(this);
    auto px = [this](double twips) { return qMax(0, Twips::toPixels(twips, this)); };

    double outerWidth = frameGeometry().width() * tpp;
    double innerHeight = centralWidget()->height() * tpp;
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QSize frame = frameGeometry().size() - size();
        const double outerHeight = frameGeometry().height() * tpp;
        if (outerHeight < kMinHeight || outerWidth < kMinWidth) {
            const int width = qMax(px(kMinWidth), frameGeometry().width()) - frame.width();
            const int height = qMax(px(kMinHeight), frameGeometry().height()) - frame.height();
            innerHeight += (height - this->height()) * tpp;
            outerWidth = qMax<double>(outerWidth, kMinWidth);
            resize(width, height);
        }
    }

    const double w = outerWidth - 120;
    fraButtons->setGeometry(0, 0, px(w), px(540));
    cboSQL->move(px(w - 3690), cboSQL->y());
    // The filter box takes the room between the last button and the Selection list.
    const double filterLeft = 4800;
    txtFilter->setGeometry(px(filterLeft), cboSQL->y(), qMax(0, cboSQL->x() - px(filterLeft + 120)), cboSQL->height());

    const double mainTop = 495;
    const double mainHeight = innerHeight - mainTop - (285 + 60);
    fraMain->setGeometry(0, px(mainTop), px(w), px(mainHeight));

    const double gridHeight = mainHeight - 140;
    grdData->setGeometry(px(30), px(120), px(w - 60), px(gridHeight));
    m_iVisibleRows = VisibleRowsFor(gridHeight, grdData->rowHeight() * tpp, tpp);

    pnlStatus->setGeometry(px(15), px(mainTop + mainHeight + 35), px(w), px(285));
}

void frmMain::grdData_Click()
{
    grdData->setSelection(grdData->row(), 0, grdData->row(), grdData->cols() - 1);
}

void frmMain::SelectCurrentRecording()
{
    grdData->setRow(1);
    grdData->setTopRow(1);
    grdData->setCol(0);
    // The recording's row as the grid shows it, through any proxy.
    const int iShown = m_bHasRecords ? DisplayModel::shownRowOf(*grdData->model(), m_iCurrentID) : -1;
    if (iShown >= 0) {
        const int iRow = iShown + 1;
        grdData->setRow(iRow);
        grdData->setTopRow(iRow > m_iMaxTopRow ? m_iMaxTopRow : iRow);
    }
    // The row made current is the row shown selected.
    grdData_Click();
}
