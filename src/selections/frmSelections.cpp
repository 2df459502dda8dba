#include "selections/frmSelections.h"

#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Selections");
const QString kNone = QStringLiteral("(none)");
const int kTests = 7;

// An order item a row can show: a field, with Desc or Asc after it.
bool readOrderItem(const QString& item, QString* field, bool* descending)
{
    static const QRegularExpression form(QStringLiteral("^\\[?(\\w+)\\]?(?: +(ASC|DESC))?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(item);
    if (!m.hasMatch())
        return false;
    for (const QString& name : SelectionCondition::fields()) {
        if (name.compare(m.captured(1), Qt::CaseInsensitive) == 0) {
            *field = name;
            *descending = m.captured(2).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
            return true;
        }
    }
    return false;
}

// A page of one labelled text box, for a condition or an order written as text; its box.
QLineEdit* addTextPage(QStackedWidget* stack, const QString& caption, const char* name)
{
    auto* page = new QWidget(stack);
    auto* layout = new QHBoxLayout(page);
    auto* label = new QLabel(caption, page);
    auto* box = new QLineEdit(page);
    box->setObjectName(QLatin1String(name));
    label->setBuddy(box);
    layout->addWidget(label);
    layout->addWidget(box);
    stack->addWidget(page);
    return box;
}

// The fields a row may name, with "(none)" for a row not in use.
QComboBox* fieldList(QWidget* parent, const QString& name, const QString& accessibleName)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->addItem(kNone);
    list->addItems(SelectionCondition::fields());
    return list;
}

} // namespace

frmSelections::frmSelections(Session& session, QWidget* parent) : DialogBase(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmSelections"));
    setWindowTitle(kTitle);
    setModal(true);
    CreateControls();
    watchKeys();
}

void frmSelections::CreateControls()
{
    auto* lblList = new QLabel(QStringLiteral("&Selections:"), this);
    lstSelections = new QListWidget(this);
    lstSelections->setObjectName(QStringLiteral("lstSelections"));
    lstSelections->setMinimumWidth(180);
    lblList->setBuddy(lstSelections);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdNew = button("cmdNew", QStringLiteral("&New..."));
    cmdRename = button("cmdRename", QStringLiteral("&Rename..."));
    cmdDelete = button("cmdDelete", QStringLiteral("De&lete"));
    cmdUp = button("cmdUp", QStringLiteral("Move &Up"));
    cmdDown = button("cmdDown", QStringLiteral("Move Do&wn"));
    cmdDefault = button("cmdDefault", QStringLiteral("Set as De&fault"));
    auto* listButtons = new QVBoxLayout;
    for (QPushButton* b : {cmdNew, cmdRename, cmdDelete, cmdUp, cmdDown, cmdDefault})
        listButtons->addWidget(b);
    listButtons->addStretch();

    auto* grpCondition = new QGroupBox(QStringLiteral("Condition"), this);
    auto* conditionLayout = new QVBoxLayout(grpCondition);
    stkCondition = new QStackedWidget(grpCondition);
    stkCondition->addWidget(CreateConditionPage());
    txtCondition = addTextPage(stkCondition, QStringLiteral("&Condition:"), "txtCondition");
    chkText = new QCheckBox(QStringLiteral("Write the condition as te&xt"), grpCondition);
    chkText->setObjectName(QStringLiteral("chkText"));
    conditionLayout->addWidget(stkCondition);
    conditionLayout->addWidget(chkText);

    auto* grpOrder = new QGroupBox(QStringLiteral("Order"), this);
    auto* orderLayout = new QVBoxLayout(grpOrder);
    stkOrder = new QStackedWidget(grpOrder);
    stkOrder->addWidget(CreateOrderPage());
    txtOrder = addTextPage(stkOrder, QStringLiteral("&Order:"), "txtOrder");
    orderLayout->addWidget(stkOrder);

    cmdTest = button("cmdTest", QStringLiteral("&Test"));
    lblTest = new QLabel(this);
    lblTest->setObjectName(QStringLiteral("lblTest"));
    lblTest->setWordWrap(true);
    lblTest->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOK = button("cmdOK", QStringLiteral("OK"));
    cmdCancel = button("cmdCancel", QStringLiteral("Cancel"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdTest);
    bottom->addWidget(lblTest, 1);
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);

    auto* editor = new QVBoxLayout;
    editor->addWidget(grpCondition);
    editor->addWidget(grpOrder);
    auto* grid = new QGridLayout(this);
    grid->addWidget(lblList, 0, 0);
    grid->addWidget(lstSelections, 1, 0);
    grid->addLayout(listButtons, 1, 1);
    grid->addLayout(editor, 0, 2, 2, 1);
    grid->addLayout(bottom, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(lstSelections, &QListWidget::currentRowChanged, this, &frmSelections::lstSelections_Change);
    connect(cmdNew, &QPushButton::clicked, this, &frmSelections::cmdNew_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmSelections::cmdRename_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmSelections::cmdDelete_Click);
    connect(cmdUp, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { Move(1); });
    connect(cmdDefault, &QPushButton::clicked, this, &frmSelections::cmdDefault_Click);
    connect(chkText, &QCheckBox::toggled, this, &frmSelections::chkText_Click);
    connect(txtCondition, &QLineEdit::textEdited, this, &frmSelections::Changed);
    connect(txtOrder, &QLineEdit::textEdited, this, &frmSelections::Changed);
    connect(cmdTest, &QPushButton::clicked, this, &frmSelections::cmdTest_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSelections::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelections::cmdCancel_Click);
}

QWidget* frmSelections::CreateConditionPage()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    optAll = new QRadioButton(QStringLiteral("&All of these"), page);
    optAll->setObjectName(QStringLiteral("optAll"));
    optAny = new QRadioButton(QStringLiteral("An&y of these"), page);
    optAny->setObjectName(QStringLiteral("optAny"));
    layout->addWidget(optAll, 0, 0);
    layout->addWidget(optAny, 0, 1);
    connect(optAny, &QRadioButton::toggled, this, &frmSelections::Changed);
    layout->setColumnStretch(2, 2);
    layout->setColumnStretch(3, 1);
    for (int r = 0; r < kConditionRows; ++r) {
        ConditionRow& row = m_rows[size_t(r)];
        row.field = fieldList(page, QStringLiteral("cboField%1").arg(r), QStringLiteral("Field %1").arg(r + 1));
        row.test = new QComboBox(page);
        row.test->setObjectName(QStringLiteral("cboTest%1").arg(r));
        row.test->setAccessibleName(QStringLiteral("Test %1").arg(r + 1));
        for (int t = 0; t < kTests; ++t)
            row.test->addItem(SelectionCondition::testName(SelectionCondition::Test(t)));
        row.value = new QLineEdit(page);
        row.value->setMinimumWidth(120);
        row.value->setObjectName(QStringLiteral("txtValue%1").arg(r));
        row.value->setAccessibleName(QStringLiteral("Value %1").arg(r + 1));
        row.value2 = new QLineEdit(page);
        row.value2->setObjectName(QStringLiteral("txtValueTo%1").arg(r));
        row.value2->setAccessibleName(QStringLiteral("Up to %1").arg(r + 1));
        row.ask = new QCheckBox(QStringLiteral("Ask when run"), page);
        row.ask->setObjectName(QStringLiteral("chkAsk%1").arg(r));
        const QWidget* cells[] = {row.field, row.test, row.value, row.value2, row.ask};
        for (int c = 0; c < 5; ++c)
            layout->addWidget(const_cast<QWidget*>(cells[c]), r + 1, c);
        for (QComboBox* box : {row.field, row.test})
            connect(box, &QComboBox::currentIndexChanged, this, [this] {
                UpdateRowControls();
                Changed();
            });
        for (QLineEdit* box : {row.value, row.value2})
            connect(box, &QLineEdit::textEdited, this, &frmSelections::Changed);
        connect(row.ask, &QCheckBox::toggled, this, [this] {
            UpdateRowControls();
            Changed();
        });
    }
    return page;
}

QWidget* frmSelections::CreateOrderPage()
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    for (int r = 0; r < kOrderRows; ++r) {
        OrderRow& row = m_order[size_t(r)];
        row.field = fieldList(page, QStringLiteral("cboOrder%1").arg(r), QStringLiteral("Order by %1").arg(r + 1));
        row.descending = new QCheckBox(QStringLiteral("Descending"), page);
        row.descending->setObjectName(QStringLiteral("chkDescending%1").arg(r));
        layout->addWidget(row.field, r, 0);
        layout->addWidget(row.descending, r, 1);
        connect(row.field, &QComboBox::currentIndexChanged, this, &frmSelections::Changed);
        connect(row.descending, &QCheckBox::toggled, this, &frmSelections::Changed);
    }
    return page;
}

bool frmSelections::ShowModal()
{
    m_list = m_session.selections;
    const QHash<QString, QString> section = m_session.ReadIniSection(QStringLiteral("SQL"));
    m_iDefault = SelectionList::defaultIndex(section, static_cast<int>(m_list.size()));
    m_iCurrent = -1;
    FillList();
    lstSelections->setCurrentRow(m_list.isEmpty() ? -1 : qMax(0, m_iDefault));
    ShowSelection(lstSelections->currentRow());
    m_bChanged = false;
    lblTest->clear();
    lstSelections->setFocus(Qt::OtherFocusReason);
    return exec() == QDialog::Accepted;
}

void frmSelections::FillList()
{
    const QSignalBlocker quiet(lstSelections);
    const int iRow = lstSelections->currentRow();
    lstSelections->clear();
    for (int i = 0; i < m_list.size(); ++i)
        lstSelections->addItem(m_list.at(i).name + (i == m_iDefault ? QStringLiteral("  (default)") : QString()));
    lstSelections->setCurrentRow(qMin(iRow, static_cast<int>(m_list.size()) - 1));
}

void frmSelections::lstSelections_Change(int iRow)
{
    StoreCurrent();
    ShowSelection(iRow);
}

void frmSelections::StoreCurrent()
{
    if (m_iCurrent >= 0 && m_iCurrent < m_list.size())
        m_list[m_iCurrent] = GatherSelection();
}

void frmSelections::ShowSelection(int iRow)
{
    m_bShowing = true;
    m_iCurrent = iRow;
    const bool bAny = iRow >= 0 && iRow < m_list.size();
    const SelectionList::Selection selection = bAny ? m_list.at(iRow) : SelectionList::Selection{};
    // A condition the rows cannot write stays as text, and is never rewritten unless edited.
    const std::optional<SelectionCondition> rows = SelectionCondition::read(selection.where);
    ShowConditionRows(rows.value_or(SelectionCondition{}));
    txtCondition->setText(selection.where);
    chkText->setChecked(!rows);
    stkCondition->setCurrentIndex(rows ? 0 : 1);

    const QStringList items = SelectionList::orderItems(selection.order);
    bool bRows = items.size() <= kOrderRows;
    for (int r = 0; r < kOrderRows; ++r) {
        QString field;
        bool bDescending = false;
        if (r < items.size() && !readOrderItem(items.at(r), &field, &bDescending))
            bRows = false;
        m_order[size_t(r)].field->setCurrentIndex(r < items.size() && bRows ? m_order[size_t(r)].field->findText(field)
                                                                            : 0);
        m_order[size_t(r)].descending->setChecked(bDescending);
    }
    txtOrder->setText(selection.order);
    stkOrder->setCurrentIndex(bRows ? 0 : 1);
    for (QWidget* control : {static_cast<QWidget*>(stkCondition), static_cast<QWidget*>(stkOrder),
                             static_cast<QWidget*>(chkText), static_cast<QWidget*>(cmdTest)})
        control->setEnabled(bAny);
    for (QPushButton* b : {cmdRename, cmdDelete, cmdUp, cmdDown, cmdDefault})
        b->setEnabled(bAny);
    UpdateRowControls();
    m_bShowing = false;
}

void frmSelections::ShowConditionRows(const SelectionCondition& condition)
{
    (condition.any ? optAny : optAll)->setChecked(true);
    for (int r = 0; r < kConditionRows; ++r) {
        ConditionRow& row = m_rows[size_t(r)];
        const bool bUsed = r < condition.rows.size();
        const SelectionCondition::Row shown = bUsed ? condition.rows.at(r) : SelectionCondition::Row{};
        row.field->setCurrentIndex(bUsed ? row.field->findText(shown.field) : 0);
        row.test->setCurrentIndex(static_cast<int>(shown.test));
        row.value->setText(shown.value);
        row.value2->setText(shown.value2);
        row.ask->setChecked(shown.ask);
    }
}

SelectionCondition frmSelections::GatherConditionRows() const
{
    SelectionCondition condition;
    condition.any = optAny->isChecked();
    for (const ConditionRow& row : m_rows) {
        if (row.field->currentIndex() <= 0)
            continue; // an unused row
        SelectionCondition::Row gathered;
        gathered.field = row.field->currentText();
        gathered.test = SelectionCondition::Test(row.test->currentIndex());
        gathered.ask = row.ask->isChecked();
        if (!gathered.ask) {
            gathered.value = row.value->text();
            gathered.value2 = row.value2->text();
        }
        condition.rows << gathered;
    }
    return condition;
}

SelectionList::Selection frmSelections::GatherSelection() const
{
    SelectionList::Selection selection =
        m_iCurrent >= 0 && m_iCurrent < m_list.size() ? m_list.at(m_iCurrent) : SelectionList::Selection{};
    selection.where = chkText->isChecked() ? txtCondition->text() : GatherConditionRows().text();
    if (stkOrder->currentIndex() == 1) {
        selection.order = SelectionList::orderItems(txtOrder->text()).join(QStringLiteral(", "));
    } else {
        QStringList items;
        for (const OrderRow& row : m_order) {
            if (row.field->currentIndex() > 0)
                items << row.field->currentText() + (row.descending->isChecked() ? QStringLiteral(" DESC") : QString());
        }
        selection.order = items.join(QStringLiteral(", "));
    }
    return selection;
}

void frmSelections::chkText_Click(bool bText)
{
    if (m_bShowing)
        return;
    if (bText) {
        // The switch shows the text the rows make, to be edited from there.
        txtCondition->setText(GatherConditionRows().text());
        stkCondition->setCurrentIndex(1);
        return;
    }
    const std::optional<SelectionCondition> rows = SelectionCondition::read(txtCondition->text());
    if (!rows) {
        Dialogs::message(this,
                         QStringLiteral("This condition cannot be shown as rows of a field, a test and a value, so "
                                        "it stays as text."),
                         kTitle, QMessageBox::Ok, QMessageBox::Information);
        const QSignalBlocker quiet(chkText);
        chkText->setChecked(true);
        return;
    }
    m_bShowing = true;
    ShowConditionRows(*rows);
    UpdateRowControls();
    m_bShowing = false;
    stkCondition->setCurrentIndex(0);
}

void frmSelections::UpdateRowControls()
{
    for (ConditionRow& row : m_rows) {
        const auto test = SelectionCondition::Test(row.test->currentIndex());
        const bool bUsed = row.field->currentIndex() > 0;
        const bool bValue = test != SelectionCondition::Test::IsEmpty && test != SelectionCondition::Test::IsNotEmpty;
        row.test->setEnabled(bUsed);
        row.ask->setEnabled(bUsed && bValue);
        row.value->setEnabled(bUsed && bValue && !row.ask->isChecked());
        row.value2->setVisible(test == SelectionCondition::Test::Between);
        row.value2->setEnabled(row.value->isEnabled());
    }
}

void frmSelections::Changed()
{
    if (!m_bShowing)
        m_bChanged = true;
}

void frmSelections::cmdNew_Click()
{
    const QString name = Dialogs::input(this, QStringLiteral("The new Selection's name:"), kTitle, QString()).trimmed();
    if (name.isEmpty())
        return;
    StoreCurrent();
    m_list.append({name, QString(), QString()});
    m_bChanged = true;
    m_iCurrent = -1;
    FillList();
    lstSelections->setCurrentRow(static_cast<int>(m_list.size()) - 1);
}

void frmSelections::cmdRename_Click()
{
    if (m_iCurrent < 0)
        return;
    const QString name =
        Dialogs::input(this, QStringLiteral("The Selection's name:"), kTitle, m_list.at(m_iCurrent).name).trimmed();
    if (name.isEmpty() || name == m_list.at(m_iCurrent).name)
        return;
    StoreCurrent();
    m_list[m_iCurrent].name = name;
    m_bChanged = true;
    FillList();
}

void frmSelections::cmdDelete_Click()
{
    if (m_iCurrent < 0)
        return;
    if (Dialogs::message(this, QStringLiteral("Delete the Selection \"%1\"?").arg(m_list.at(m_iCurrent).name), kTitle,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::No) != QMessageBox::Yes)
        return;
    const int iGone = m_iCurrent;
    m_list.removeAt(iGone);
    if (m_iDefault == iGone)
        m_iDefault = -1;
    else if (m_iDefault > iGone)
        --m_iDefault;
    m_bChanged = true;
    m_iCurrent = -1;
    FillList();
    lstSelections->setCurrentRow(qMin(iGone, static_cast<int>(m_list.size()) - 1));
    ShowSelection(lstSelections->currentRow());
}

void frmSelections::Move(int iBy)
{
    const int iFrom = m_iCurrent;
    const int iTo = iFrom + iBy;
    if (iFrom < 0 || iTo < 0 || iTo >= m_list.size())
        return;
    StoreCurrent();
    m_list.swapItemsAt(iFrom, iTo);
    if (m_iDefault == iFrom)
        m_iDefault = iTo;
    else if (m_iDefault == iTo)
        m_iDefault = iFrom;
    m_bChanged = true;
    m_iCurrent = -1;
    FillList();
    lstSelections->setCurrentRow(iTo);
    ShowSelection(iTo);
}

void frmSelections::cmdDefault_Click()
{
    if (m_iCurrent < 0)
        return;
    m_iDefault = m_iCurrent;
    m_bChanged = true;
    FillList();
}

void frmSelections::cmdTest_Click()
{
    // Run read-only, each question answered with "*".
    const SelectionList::Selection selection = GatherSelection();
    if (!m_session.catalogue())
        return;
    const QString where = QString(selection.where).replace(QLatin1String("??"), QLatin1String("*"));
    try {
        const int n =
            m_session.catalogue()->openSnapshot(SelectionList::displayStatement(selection, where))->recordCount();
        lblTest->setText(QStringLiteral("%1 %2%3").arg(n).arg(
            n == 1 ? QStringLiteral("recording") : QStringLiteral("recordings"),
            SelectionList::asksForValues(selection.where) ? QStringLiteral(" (each question answered with *)")
                                                          : QString()));
    } catch (const EngineError& e) {
        lblTest->setText(QStringLiteral("It cannot be run: ") + e.description());
    }
}

void frmSelections::cmdOK_Click()
{
    StoreCurrent();
    for (int i = 0; i < m_list.size(); ++i) {
        if (const QString refusal = SelectionList::storeRefusal(m_list.at(i)); !refusal.isEmpty()) {
            lstSelections->setCurrentRow(i);
            Dialogs::message(this, refusal + QStringLiteral(" Nothing has been saved yet."), kTitle, QMessageBox::Ok,
                             QMessageBox::Warning);
            return;
        }
    }
    QString sError;
    if (!m_session.SaveSelections(m_list, m_iDefault, &sError)) {
        Dialogs::message(this, QStringLiteral("The Selections could not be saved:\r\n\r\n") + sError, kTitle,
                         QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    QDialog::done(QDialog::Accepted);
}

void frmSelections::cmdCancel_Click()
{
    StoreCurrent();
    if ((m_bChanged || m_list != m_session.selections) &&
        Dialogs::message(this, QStringLiteral("Changes exist to the Selections - drop them?"), kTitle,
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::done(QDialog::Rejected);
}
