// Copying the whole grid to the clipboard.
#include "browser/frmMain.h"

#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/DisplayClipboard.h"
#include "shared/modVarolin.h"

#include <QApplication>
#include <QClipboard>

void frmMain::CopyGridToClipboard()
{
    // The cells are read from the grid's data, not through the view, so the current cell never
    // moves and tens of thousands of rows copy at once.
    BusyCursor busy;
    try {
        QApplication::clipboard()->setMimeData(
            DisplayClipboard::mimeData(m_display->rows(), DisplayModel::shownRows(*grdData->model())));
        ShowStatusMessage(this, QStringLiteral("Grid contents copied to clipboard"), 0);
    } catch (const std::exception& e) {
        busy.restore();
        Dialogs::message(this,
                         QStringLiteral("Error copying Grid contents to the clipboard : \r\n\r\n") +
                             QString::fromLocal8Bit(e.what()),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::NoIcon);
    }
}
