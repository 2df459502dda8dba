#include "formats/frmFormats.h"

#include "platform/Dialogs.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/Session.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/JetCollation.h"
#include "store/Recordset.h"
#include "store/SnapshotRecordset.h"

#include <cmath>
#include <limits>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Varolin");
// The description as the table holds it (or will): a Null or blank one is listed under a stand-in text.
const int kStoredRole = Qt::UserRole + 1;
// Far beyond any format's name: longer text was pasted by mistake, and no list could show it.
const int kMaxDescription = 255;
const QString kNoDescription = QStringLiteral("(no description)");

bool IsBlank(const QVariant& vDescription)
{
    return vDescription.isNull() || vDescription.toString().trimmed().isEmpty();
}

// A whole-number value of an ID column; a table another tool made may hold anything there.
bool ToID(const QVariant& v, qint64* iID)
{
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d != std::trunc(d) || std::fabs(d) > 9.0e18)
            return false;
        *iID = static_cast<qint64>(d);
        return true;
    }
    bool bOK = false;
    *iID = v.toLongLong(&bOK);
    return bOK;
}

int CompareNoCase(const QString& a, const QString& b)
{
    // The catalogue's own order of text, so the list reads as any sorted column does.
    return JetCollation::compareNoCase(a.toUtf8(), b.toUtf8());
}

} // namespace

frmFormats::frmFormats(Session& session, QWidget* parent) : QDialog(parent), m_session(session)
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

    QWidget* const order[] = {cmdNew, cmdAmend, cmdDelete, lstFormats, cmdOK, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The window sees every key before the control that has the focus.
    installEventFilter(this);
    for (QWidget* w : order)
        w->installEventFilter(this);

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
    lstFormats->clear();
    m_bListChanged = false;
    m_bUnloading = false;
    try {
        if (!m_session.catalogue())
            throw EngineError(EngineError::Kind::General, QStringLiteral("No catalogue is open."));
        QList<std::pair<QVariant, QVariant>> aRows; // ID, Description
        {
            const std::unique_ptr<Recordset> rsFormat = m_session.catalogue()->openRecordset(QStringLiteral("Format"));
            const int iID = rsFormat->fieldIndex(QStringLiteral("ID"));
            const int iDescription = rsFormat->fieldIndex(QStringLiteral("Description"));
            for (; !rsFormat->eof(); rsFormat->moveNext())
                aRows.append({rsFormat->value(iID), rsFormat->value(iDescription)});
        }
        // A recording may still name a format that is gone; a new format must not take its ID
        // and suddenly describe it.
        m_iMaxID = qMax(m_iMaxID, HighestReferencedFormat());
        qint64 iID = 0;
        for (const auto& row : aRows) {
            if (ToID(row.first, &iID))
                m_iMaxID = qMax(m_iMaxID, iID);
        }
        for (const auto& row : aRows) {
            // A row without an ID can be named by no recording: it gets a fresh one.
            if (!ToID(row.first, &iID)) {
                if (m_iMaxID == std::numeric_limits<qint64>::max())
                    throw EngineError(EngineError::Kind::General, QStringLiteral("No Format ID is left to give."));
                iID = ++m_iMaxID;
            }
            InsertSorted(NewItem(row.second, iID));
        }
    } catch (const EngineError& e) {
        lstFormats->clear();
        Dialogs::message(this, QStringLiteral("The Formats could not be read:\r\n\r\n") + e.description(), kTitle,
                         QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    if (lstFormats->count() > 0)
        lstFormats->setCurrentRow(0);
    EnableItemButtons();
    return true;
}

qint64 frmFormats::HighestReferencedFormat() const
{
    const std::unique_ptr<SnapshotRecordset> rs =
        m_session.catalogue()->openSnapshot(Catalogue::highestFormatInUseStatement());
    qint64 iID = 0;
    return !rs->eof() && ToID(rs->value(0), &iID) ? iID : 0;
}

QListWidgetItem* frmFormats::NewItem(const QVariant& vDescription, qint64 iID) const
{
    auto* item = new QListWidgetItem;
    item->setData(Qt::UserRole, iID);
    item->setData(kStoredRole, vDescription);
    if (IsBlank(vDescription)) {
        item->setText(kNoDescription);
        QFont italic = lstFormats->font();
        italic.setItalic(true);
        item->setFont(italic);
    } else {
        item->setText(vDescription.toString());
    }
    return item;
}

QString frmFormats::SortKey(const QListWidgetItem* item)
{
    // Entries without a description come first, where they are seen.
    const QVariant vDescription = item->data(kStoredRole);
    return IsBlank(vDescription) ? QString() : vDescription.toString();
}

int frmFormats::InsertSorted(QListWidgetItem* item)
{
    // After any equal entries, so that equal descriptions keep the table's order.
    const QString sKey = SortKey(item);
    int iRow = lstFormats->count();
    for (int i = 0; i < lstFormats->count(); ++i) {
        if (CompareNoCase(sKey, SortKey(lstFormats->item(i))) < 0) {
            iRow = i;
            break;
        }
    }
    lstFormats->insertItem(iRow, item);
    return iRow;
}

QListWidgetItem* frmFormats::SelectedItem() const
{
    QListWidgetItem* item = lstFormats->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void frmFormats::EnableItemButtons()
{
    const bool bAny = lstFormats->count() > 0;
    cmdAmend->setEnabled(bAny);
    cmdDelete->setEnabled(bAny);
}

bool frmFormats::AskDescription(const QString& sPrompt, const QString& sDefault, const QListWidgetItem* itemAmended,
                                QString* sDescription)
{
    QString sAnswer = Dialogs::input(this, sPrompt, kTitle, sDefault);
    // A pasted line break or tab would show as nothing in the list; blanks around the text are
    // never meant and would make "CD " a second CD.
    for (QChar& c : sAnswer) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    sAnswer = sAnswer.trimmed();
    if (sAnswer.isEmpty())
        return false;
    if (sAnswer.size() > kMaxDescription) {
        Dialogs::message(this,
                         QStringLiteral("A Format's description can be at most %1 characters long; this one has %2. "
                                        "Nothing has been changed.")
                             .arg(kMaxDescription)
                             .arg(sAnswer.size()),
                         kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    // Recordings choose their format by its description alone, so two alike could not be told apart.
    for (int i = 0; i < lstFormats->count(); ++i) {
        const QListWidgetItem* item = lstFormats->item(i);
        if (item != itemAmended && !IsBlank(item->data(kStoredRole)) && CompareNoCase(sAnswer, SortKey(item)) == 0) {
            Dialogs::message(
                this,
                QStringLiteral("There is already a Format called \"%1\". Nothing has been changed.").arg(item->text()),
                kTitle, QMessageBox::Ok, QMessageBox::Warning);
            return false;
        }
    }
    *sDescription = sAnswer;
    return true;
}

void frmFormats::cmdNew_Click()
{
    if (m_iMaxID == std::numeric_limits<qint64>::max()) {
        Dialogs::message(this, QStringLiteral("No more Formats can be added: the highest Format ID is already in use."),
                         kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    QString sDescription;
    if (!AskDescription(QStringLiteral("Enter the description of the new Format."), QString(), nullptr, &sDescription))
        return;
    // The ID is spent even if the entry is deleted again, so it is never handed out twice in a run.
    const int iRow = InsertSorted(NewItem(sDescription, ++m_iMaxID));
    lstFormats->setCurrentRow(iRow);
    EnableItemButtons();
    m_bListChanged = true;
}

void frmFormats::cmdAmend_Click()
{
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    QString sDescription;
    if (!AskDescription(QStringLiteral("Amend the description of this Format as required."), SortKey(item), item,
                        &sDescription))
        return;
    // The entry moves to its new alphabetical place at once, keeping its ID and the selection.
    const qint64 iID = item->data(Qt::UserRole).toLongLong();
    delete lstFormats->takeItem(lstFormats->row(item));
    lstFormats->setCurrentRow(InsertSorted(NewItem(sDescription, iID)));
    m_bListChanged = true;
}

void frmFormats::lstFormats_DblClick()
{
    cmdAmend_Click();
}

void frmFormats::cmdDelete_Click()
{
    QListWidgetItem* item = SelectedItem();
    if (!item)
        return;
    qint64 iCount = 0;
    try {
        const std::unique_ptr<SnapshotRecordset> rs = m_session.catalogue()->openSnapshot(
            Catalogue::formatUseCountStatement(item->data(Qt::UserRole).toLongLong()));
        iCount = rs->field(QStringLiteral("Count")).toLongLong();
    } catch (const EngineError& e) {
        Dialogs::message(this,
                         QStringLiteral("Whether recordings use this Format could not be checked, so it has not been "
                                        "deleted:\r\n\r\n") +
                             e.description(),
                         kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    if (iCount >= 1) {
        Dialogs::message(this,
                         QStringLiteral("Can't delete this Format - %1 Recording%2 for it.")
                             .arg(iCount)
                             .arg(iCount == 1 ? QStringLiteral(" exists") : QStringLiteral("s exist")),
                         kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    if (Dialogs::message(this, QStringLiteral("Are you sure you want to delete this Format?"), kTitle,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::Yes) != QMessageBox::Yes)
        return;
    const int iRow = lstFormats->row(item);
    delete lstFormats->takeItem(iRow);
    if (lstFormats->count() > 0)
        lstFormats->setCurrentRow(iRow > 0 ? iRow - 1 : 0);
    EnableItemButtons();
    m_bListChanged = true;
}

void frmFormats::cmdOK_Click()
{
    if (m_bUnloading)
        return;
    try {
        m_session.catalogue()->beginTrans();
        RefuseFormatsTakenIntoUse();
        m_session.catalogue()->execute(Catalogue::deleteFormatsStatement());
        const std::unique_ptr<Recordset> rsFormat = m_session.catalogue()->openRecordset(QStringLiteral("Format"));
        const int iID = rsFormat->fieldIndex(QStringLiteral("ID"));
        const int iDescription = rsFormat->fieldIndex(QStringLiteral("Description"));
        for (int i = 0; i < lstFormats->count(); ++i) {
            const QListWidgetItem* item = lstFormats->item(i);
            rsFormat->addNew();
            // A description another tool left Null or blank goes back as it came.
            rsFormat->setValue(iDescription, item->data(kStoredRole));
            rsFormat->setValue(iID, item->data(Qt::UserRole));
            rsFormat->update();
        }
        m_session.catalogue()->commitTrans();
    } catch (const EngineError& e) {
        // Rolled back before the message, so the catalogue is not held locked while it is read.
        QString sMessage = QStringLiteral("Error updating Formats : ") + e.description();
        try {
            m_session.catalogue()->rollback();
        } catch (const EngineError& eRollback) {
            // The engine may already have rolled back; if not, the user must know the list is in doubt.
            sMessage += QStringLiteral("\r\n\r\nThe change could not be taken back either: ") + eRollback.description();
        }
        Dialogs::message(this, sMessage, kTitle, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    m_bFormatsChanged = m_bListChanged;
    Unload(QDialog::Accepted);
}

void frmFormats::RefuseFormatsTakenIntoUse() const
{
    // Another program may have given a recording a format deleted here since Delete checked it.
    QList<qint64> aiKept;
    for (int i = 0; i < lstFormats->count(); ++i)
        aiKept << lstFormats->item(i)->data(Qt::UserRole).toLongLong();
    const std::unique_ptr<SnapshotRecordset> rs =
        m_session.catalogue()->openSnapshot(Catalogue::recordingsOfFormatsOtherThanStatement(aiKept));
    const qint64 iCount = rs->field(QStringLiteral("Count")).toLongLong();
    if (iCount > 0)
        throw EngineError(
            EngineError::Kind::General,
            QStringLiteral("%1 now %2 a Format deleted here (another program gave it to "
                           "them), so nothing has been changed.")
                .arg(iCount == 1 ? QStringLiteral("1 Recording") : QStringLiteral("%1 Recordings").arg(iCount),
                     iCount == 1 ? QStringLiteral("uses") : QStringLiteral("use")));
}

void frmFormats::cmdCancel_Click()
{
    if (m_bUnloading)
        return;
    if (m_bListChanged && Dialogs::message(this, QStringLiteral("Changes exist to the Formats - ignore them?"), kTitle,
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                                           QMessageBox::Yes) != QMessageBox::Yes)
        return;
    m_bFormatsChanged = false;
    Unload(QDialog::Rejected);
}

bool frmFormats::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // Only the first delivery, to the control with the focus: a key it ignores travels on to its
    // parents and must not act twice.
    QWidget* focus = QApplication::focusWidget();
    if (watched != (focus && isAncestorOf(focus) ? focus : static_cast<QWidget*>(this)))
        return false;
    return Form_KeyDown(static_cast<QKeyEvent*>(event));
}

bool frmFormats::Form_KeyDown(const QKeyEvent* event)
{
    const bool bEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!bEnter && event->key() != Qt::Key_Escape)
        return false;
    // A held Enter or Escape acts once; its repeats must not answer the question it raised.
    if (event->isAutoRepeat())
        return true;
    if (bEnter)
        cmdOK_Click();
    else
        cmdCancel_Click();
    return true;
}

void frmFormats::Unload(int iResult)
{
    m_bUnloading = true;
    QDialog::done(iResult);
}

void frmFormats::reject()
{
    // Closed from the title bar: as Cancel, which asks before edits are dropped.
    cmdCancel_Click();
}
