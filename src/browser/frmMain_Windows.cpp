// The commands that open the windows not about one recording: formats, settings and about.
#include "browser/frmMain.h"

#include "about/frmAbout.h"
#include "formats/frmFormats.h"
#include "settings/frmSettings.h"

void frmMain::cmdFormats_Click()
{
    if (!m_frmFormats)
        m_frmFormats = new frmFormats(m_session, this);
    m_frmFormats->ShowModal();
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

void frmMain::mnuHelpItem_Click()
{
    // The about box is made for each showing and discarded after it.
    frmAbout about(this);
    about.ShowModal();
}
