// The grid's columns, the window's regions as it is resized, and the current row.
#include "browser/frmMain.h"

#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "platform/Twips.h"
#include "shared/modVarolin.h"
#include "store/NumberText.h"

#include <QComboBox>
#include <QFrame>
#include <QResizeEvent>

namespace {

struct Column
{
    const char* heading;
    int width; // twips
};

const Column kColumns[] = {
    {"Artist", 3645}, {"Title", 3495},         {"Year", 525},   {"Format", 1425},
    {"Label", 2512},  {"Catalogue No.", 2325}, {"Notes", 7635}, {"International Catalogue No.", 2512}};

// The window is never smaller than this in its normal state (twips).
const int kMinWidth = 9000;
const int kMinHeight = 6000;

} // namespace

void frmMain::SetUpGrid()
{
    grdData->hide();
    grdData->setCols(2);
    grdData->setRows(2);
    grdData->setRow(1);
    grdData->setCol(1);
    grdData->setText(QString());
    grdData->setCols(static_cast<int>(std::size(kColumns)));

    // The widths are the grid's own, but never so narrow that a four-digit year is cut off in
    // this font.
    const int iYearWidth = grdData->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
    for (int c = 0; c < grdData->cols(); ++c) {
        const int iWidth = Twips::toPixels(kColumns[c].width, this);
        grdData->setColWidth(c, c == 2 ? qMax(iWidth, iYearWidth) : iWidth);
    }
    grdData->setRow(0);
    for (int c = 0; c < grdData->cols(); ++c) {
        grdData->setCol(c);
        grdData->setText(QLatin1String(kColumns[c].heading));
    }
    m_iMaxLeftCol = 0;
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
    for (int i = 0; i + 1 < g_aiRowID.size(); ++i) {
        if (g_aiRowID.at(i) == g_iCurrentID) {
            const int iRow = i + 1;
            grdData->setRow(iRow);
            grdData->setTopRow(iRow > m_iMaxTopRow ? m_iMaxTopRow : iRow);
            break;
        }
    }
    // The row made current is the row shown selected.
    grdData_Click();
}
