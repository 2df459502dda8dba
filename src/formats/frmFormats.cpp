#include "formats/frmFormats.h"

#include "platform/Dialogs.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/Session.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Varolin");
const QString kNoDescription = QStringLiteral("(no description)");

} // namespace

frmFormats::frmFormats(Session& session, QWidget* parent) : DialogBase(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmFormats"));
    setWindowTitle(QStringLiteral("Formats"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    CreateControls();
    setFixedSize(Twips::toPixels(3810, this), Twips::toPixels(3735, this));
}

void frmFormats::CreateControls()
{
    fraButtons = new QFrame(this);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    fraButtons->setGeometry(Twips::rect(0, 0, 3810, 540, this));

    auto pictureButton = [this](const char* name, const QString& tip, ToolbarIcons::Icon icon, int left) {
        return ToolbarIcons::button(fraButtons, name, tip, icon, Twips::rect(left, 120, 400, 380, this));
    };
    cmdOK = pictureButton("cmdOK", QStringLiteral("Apply Changes"), ToolbarIcons::OK, 120);
    cmdCancel = pictureButton("cmdCancel", QStringLiteral("Cancel Changes"), ToolbarIcons::Cancel, 510);
    cmdNew = pictureButton("cmdNew", QStringLiteral("New Format"), ToolbarIcons::New, 1080);
    cmdAmend = pictureButton("cmdAmend", QStringLiteral("Amend Format"), ToolbarIcons::Amend, 1470);
    cmdDelete = pictureButton("cmdDelete", QStringLiteral("Delete Format"), ToolbarIcons::Delete, 1860);
    cmdAmend->setEnabled(false);
    cmdDelete->setEnabled(false);

    lstFormats = new QListWidget(this);
    lstFormats->setObjectName(QStringLiteral("lstFormats"));
    lstFormats->setAccessibleName(QStringLiteral("Formats"));
    lstFormats->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFormats->setGeometry(Twips::rect(360, 720, 3015, 2790, this));
    // Scrolled by pixels, the end of the list shows its last format whole, which scrolling by
    // whole items leaves cut when the list's height is not a whole number of them.
    lstFormats->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    QWidget* const order[] = {cmdNew, cmdAmend, cmdDelete, lstFormats, cmdOK, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The window sees every key before the control that has the focus.
    watchKeys();

    connect(cmdOK, &QToolButton::clicked, this, &frmFormats::cmdOK_Click);
    connect(cmdCancel, &QToolButton::clicked, this, &frmFormats::cmdCancel_Click);
    connect(cmdNew, &QToolButton::clicked, this, &frmFormats::cmdNew_Click);
    connect(cmdAmend, &QToolButton::clicked, this, &frmFormats::cmdAmend_Click);
    connect(cmdDelete, &QToolButton::clicked, this, &frmFormats::cmdDelete_Click);
    connect(lstFormats, &QListWidget::itemDoubleClicked, this, &frmFormats::lstFormats_DblClick);
}

int frmFormats::ShowModal()
{
    if (!Form_Load())
        return QDialog::Rejected;
    if (const QScreen* area = screen())
        move(area->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    cmdNew->setFocus(Qt::ActiveWindowFocusReason);
    return exec();
}

bool frmFormats::FormatsChanged() const
{
    return m_bFormatsChanged;
}

bool frmFormats::Form_Load()
{
    m_bUnloading = false;
    lstFormats->clear();
    if (const QString sError = m_formats.load(m_session.catalogue()); !sError.isEmpty()) {
        Dialogs::message(this, sError, kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    for (int i = 0; i < m_formats.count(); ++i)
        InsertItem(i);
    if (lstFormats->count() > 0)
        lstFormats->setCurrentRow(0);
    EnableItemButtons();
    return true;
}

void frmFormats::InsertItem(int iRow)
{
    const FormatList::Format& format = m_formats.at(iRow);
    auto* item = new QListWidgetItem;
    if (format.isBlank()) {
        item->setText(kNoDescription);
        QFont italic = lstFormats->font();
        italic.setItalic(true);
        item->setFont(italic);
    } else {
        item->setText(format.text());
    }
    lstFormats->insertItem(iRow, item);
}

int frmFormats::SelectedRow() const
{
    const QListWidgetItem* item = lstFormats->currentItem();
    return item && item->isSelected() ? lstFormats->row(item) : -1;
}

void frmFormats::ShowChange(const FormatList::Change& change, int iRowReplaced)
{
    if (!change.refusal.isEmpty())
        Refuse(change.refusal);
    if (change.index < 0)
        return;
    if (iRowReplaced >= 0)
        delete lstFormats->takeItem(iRowReplaced);
    InsertItem(change.index);
    lstFormats->setCurrentRow(change.index);
    EnableItemButtons();
}

void frmFormats::EnableItemButtons()
{
    const bool bAny = lstFormats->count() > 0;
    cmdAmend->setEnabled(bAny);
    cmdDelete->setEnabled(bAny);
}

void frmFormats::Refuse(const QString& sMessage)
{
    Dialogs::message(this, sMessage, kTitle, QMessageBox::Ok, QMessageBox::Warning);
}

void frmFormats::cmdNew_Click()
{
    if (const QString sRefusal = m_formats.newRefusal(); !sRefusal.isEmpty())
        return Refuse(sRefusal);
    ShowChange(m_formats.add(Dialogs::input(this, QStringLiteral("Enter the description of the new Format."), kTitle)),
               -1);
}

void frmFormats::cmdAmend_Click()
{
    const int iRow = SelectedRow();
    if (iRow < 0)
        return;
    const QString sAnswer = Dialogs::input(this, QStringLiteral("Amend the description of this Format as required."),
                                           kTitle, m_formats.at(iRow).text());
    ShowChange(m_formats.amend(iRow, sAnswer), iRow);
}

void frmFormats::lstFormats_DblClick()
{
    cmdAmend_Click();
}

void frmFormats::cmdDelete_Click()
{
    const int iRow = SelectedRow();
    if (iRow < 0)
        return;
    if (const QString sRefusal = m_formats.deleteRefusal(*m_session.catalogue(), iRow); !sRefusal.isEmpty())
        return Refuse(sRefusal);
    if (Dialogs::message(this, QStringLiteral("Are you sure you want to delete this Format?"), kTitle,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::Yes) != QMessageBox::Yes)
        return;
    const int iSelect = m_formats.remove(iRow);
    delete lstFormats->takeItem(iRow);
    if (iSelect >= 0)
        lstFormats->setCurrentRow(iSelect);
    EnableItemButtons();
}

void frmFormats::cmdOK_Click()
{
    if (m_bUnloading)
        return;
    FormatList::Applied applied = m_formats.apply(*m_session.catalogue());
    if (applied.changedElsewhere) {
        // Neither this list nor the other program's change may vanish unasked.
        const auto answer = Dialogs::message(
            this,
            QStringLiteral("Another program has changed the Formats since this list was read.\r\n\r\n"
                           "Yes: write this list over them.\r\n"
                           "No: show the other program's list here, dropping the changes made here.\r\n"
                           "Cancel: go back to this list without writing it."),
            kTitle, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning,
            QMessageBox::Cancel);
        if (answer == QMessageBox::No) {
            if (!Form_Load())
                Unload(QDialog::Rejected);
            return;
        }
        if (answer != QMessageBox::Yes)
            return;
        applied = m_formats.apply(*m_session.catalogue(), FormatList::Overwrite::Yes);
    }
    if (!applied.failure.isEmpty())
        return Refuse(applied.failure);
    m_bFormatsChanged = m_formats.changed();
    Unload(QDialog::Accepted);
}

void frmFormats::cmdCancel_Click()
{
    if (m_bUnloading)
        return;
    if (m_formats.changed() && Dialogs::message(this, QStringLiteral("Changes exist to the Formats - ignore them?"),
                                                kTitle, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                                                QMessageBox::Yes) != QMessageBox::Yes)
        return;
    m_bFormatsChanged = false;
    Unload(QDialog::Rejected);
}

void frmFormats::Unload(int iResult)
{
    m_bUnloading = true;
    QDialog::done(iResult);
}
