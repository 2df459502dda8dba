#pragma once

#include "platform/DialogBase.h"
#include "shared/HotKeySet.h"

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Session;

// The settings window: auto-refresh and the hot keys, each with its key and its text. It shows the
// session's settings as it opens; OK writes them to varolin.ini and, once they are there, into the
// session. The caller reads nothing back.
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
    // In a key box, a key pressed is the hot key's new key.
    bool previewKey(QKeyEvent* event) override;

private:
    static const int kRows = HotKeySet::kMaxKeys;

    void CreateControls();
    void Form_Load();
    // Shows a row for each hot key of the window's set, with its name and key.
    void ShowHotKeyRows();
    void LayOutHotKeyRows();
    void SetCurrentRow(int iRow);
    void txtHK_GotFocus(int iIndex);
    void txtKey_KeyDown(int iIndex, const QKeyEvent* event);
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Refuse(const QString& sMessage, QWidget* focus);

    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QCheckBox* chkRefresh = nullptr;
    QGroupBox* frmHotKeys = nullptr;
    std::array<QLabel*, kRows> lblHK{};
    std::array<QLineEdit*, kRows> txtKey{};
    std::array<QLabel*, kRows> lblEq{};
    std::array<QLineEdit*, kRows> txtHK{};
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;

    Session& m_session;
    // The hot keys as the window holds them: names, keys and the stored texts of the rows.
    HotKeySet m_hotKeys;
    int m_iStoredCount = 0; // the hot keys the file held as the window opened
    int m_iCurrentRow = -1; // the row the focus was in last, which Remove removes
};
