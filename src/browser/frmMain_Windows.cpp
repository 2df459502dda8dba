// The commands that open the windows not about one recording: formats, settings and about.
#include "browser/frmMain.h"

#include "about/frmAbout.h"
#include "formats/frmFormats.h"
#include "platform/Grid.h"
#include "selections/frmSelections.h"
#include "settings/frmSettings.h"
#include "shared/Session.h"

#include <QComboBox>

void frmMain::cmdFormats_Click()
{
    if (!m_frmFormats)
        m_frmFormats = new frmFormats(m_session, this);
    RecordChange(UndoStack::Kind::FormatsApply, [this] { m_frmFormats->ShowModal(); });
    // Changed descriptions show in the display whatever the auto-refresh setting says.
    if (m_frmFormats->FormatsChanged())
        RefreshAfterChange();
}

void frmMain::cmdSettings_Click()
{
    if (!m_frmSettings)
        m_frmSettings = new frmSettings(m_session, this);
    m_frmSettings->ShowModal();
}

void frmMain::cmdSelections_Click()
{
    const int iShown = cboSQL->currentIndex();
    const std::optional<SelectionList::Selection> shown = iShown >= 0 && iShown < m_session.selections.size()
                                                              ? std::optional(m_session.selections.at(iShown))
                                                              : std::nullopt;
    frmSelections selections(m_session, this);
    if (!selections.ShowModal())
        return;
    // The list follows at once; the display stays on its Selection, and runs it again only when
    // it changed. A Selection gone from the list gives way to the default one.
    int iNow = -1;
    cboSQL->clear();
    for (int i = 0; i < m_session.selections.size(); ++i) {
        cboSQL->addItem(m_session.selections.at(i).name);
        if (shown && m_session.selections.at(i).name == shown->name)
            iNow = i;
    }
    if (iNow < 0) {
        LoadSelections();
    } else {
        cboSQL->setCurrentIndex(iNow);
        if (m_session.selections.at(iNow) != *shown)
            cboSQL_Click();
    }
    grdData->setFocus();
}

void frmMain::mnuHelpItem_Click()
{
    // The about box is made for each showing and discarded after it.
    frmAbout about(this);
    about.ShowModal();
}
