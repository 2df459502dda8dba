#pragma once

#include "store/FormatList.h"

#include "platform/DialogBase.h"

class QFrame;
class QListWidget;
class QToolButton;

class Session;

// The format list editor: a window over a FormatList, which holds the Format table while it is
// edited. The main window keeps one for the run and reads FormatsChanged after each showing.
class frmFormats : public DialogBase
{
    Q_OBJECT

public:
    explicit frmFormats(Session& session, QWidget* parent = nullptr);

    // Loads the list from the catalogue and shows the editor modally until it is left. A table that
    // cannot be read is reported and shows no editor.
    int ShowModal();
    // The last Apply wrote changes the user made; Cancel clears it.
    bool FormatsChanged() const;

protected:
    void okKey() override { cmdOK_Click(); }
    // As Cancel, which asks before edits are dropped: Escape and the title bar's close.
    void cancelKey() override { cmdCancel_Click(); }

private:
    void CreateControls();

    bool Form_Load();

    // The list shows the FormatList's entries row for row.
    void InsertItem(int iRow);
    int SelectedRow() const;
    void ShowChange(const FormatList::Change& change, int iRowReplaced);
    void EnableItemButtons();
    void Refuse(const QString& sMessage);

    // Handlers
    void cmdNew_Click();
    void cmdAmend_Click();
    void lstFormats_DblClick();
    void cmdDelete_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Unload(int iResult);

    // Controls
    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* cmdNew = nullptr;
    QToolButton* cmdAmend = nullptr;
    QToolButton* cmdDelete = nullptr;
    QListWidget* lstFormats = nullptr;

    // Window state, kept for the whole run
    Session& m_session;
    FormatList m_formats;
    bool m_bFormatsChanged = false;
    bool m_bUnloading = false;
};
