#pragma once

#include "platform/DialogBase.h"
#include "shared/SelectionCondition.h"
#include "shared/SelectionList.h"

#include <array>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

class Session;

// The Selections window: the list of Selections in their order, each edited as a name, a
// condition (as rows of a field, a test and a value, or as text in the dialect) and an order. OK
// writes the [SQL] section of varolin.ini; Cancel asks before dropping changes.
class frmSelections : public DialogBase
{
    Q_OBJECT

public:
    explicit frmSelections(Session& session, QWidget* parent = nullptr);

    // Shows the window on the session's Selections; true when OK wrote them.
    bool ShowModal();

protected:
    void okKey() override { cmdOK_Click(); }
    void cancelKey() override { cmdCancel_Click(); }

private:
    static constexpr int kConditionRows = 4;
    static constexpr int kOrderRows = 3;

    struct ConditionRow
    {
        QComboBox* field = nullptr;
        QComboBox* test = nullptr;
        QLineEdit* value = nullptr;
        QLineEdit* value2 = nullptr;
        QCheckBox* ask = nullptr;
    };
    struct OrderRow
    {
        QComboBox* field = nullptr;
        QCheckBox* descending = nullptr;
    };

    void CreateControls();
    QWidget* CreateConditionPage();
    QWidget* CreateOrderPage();

    // The list and the one Selection the editor shows.
    void FillList();
    void lstSelections_Change(int iRow);
    void ShowSelection(int iRow);
    SelectionList::Selection GatherSelection() const;
    void StoreCurrent();
    void ShowConditionRows(const SelectionCondition& condition);
    SelectionCondition GatherConditionRows() const;
    void chkText_Click(bool bText);
    void UpdateRowControls();
    void Changed();

    void cmdNew_Click();
    void cmdRename_Click();
    void cmdDelete_Click();
    void Move(int iBy);
    void cmdDefault_Click();
    void cmdTest_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    Session& m_session;
    QList<SelectionList::Selection> m_list;
    int m_iDefault = -1;
    int m_iCurrent = -1;
    bool m_bChanged = false;
    bool m_bShowing = false; // the editor is being filled: no change of the user's

    QListWidget* lstSelections = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
    QPushButton* cmdDefault = nullptr;
    QRadioButton* optAll = nullptr;
    QRadioButton* optAny = nullptr;
    std::array<ConditionRow, kConditionRows> m_rows;
    QCheckBox* chkText = nullptr;
    QLineEdit* txtCondition = nullptr;
    QStackedWidget* stkCondition = nullptr;
    std::array<OrderRow, kOrderRows> m_order;
    QLineEdit* txtOrder = nullptr;
    QStackedWidget* stkOrder = nullptr;
    QPushButton* cmdTest = nullptr;
    QLabel* lblTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
