#pragma once

#include "platform/DialogBase.h"
#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QToolButton;
class Session;

// The settings window: auto-refresh and the texts of the hot keys. It shows the settings globals as
// it opens; OK writes them to varolin.ini and, once they are there, into the globals. The caller
// reads nothing back.
class frmSettings : public DialogBase
{
    Q_OBJECT

public:
    explicit frmSettings(Session& session, QWidget* parent = nullptr);

    // Shows the window modally until it is left: Accepted when OK stored the settings, Rejected
    // when it was left without storing anything.
    int ShowModal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void okKey() override { cmdOK_Click(); }
    void cancelKey() override { cmdCancel_Click(); }

private:
    static const int kRows = 5;

    void CreateControls();
    void Form_Load();
    void LayOutHotKeyRows(int iCount);
    int HotKeyCount() const;
    void txtHK_GotFocus(int iIndex);
    void cmdOK_Click();
    void cmdCancel_Click();
    void Refuse(const QString& sMessage, QWidget* focus);

    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QCheckBox* chkRefresh = nullptr;
    QGroupBox* frmHotKeys = nullptr;
    std::array<QLabel*, kRows> lblHK{};
    std::array<QLabel*, kRows> lblEq{};
    std::array<QLineEdit*, kRows> txtHK{};

    Session& m_session;
};
