// Selections: the list of named queries, and the answers to their "??" placeholders.
#include "browser/frmMain.h"

#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/Session.h"
#include "store/JetText.h"

#include <QComboBox>

void frmMain::LoadSelections()
{
    cboSQL->clear();
    const int iIndex = m_session.LoadSelections();
    for (const SelectionList::Selection& selection : m_session.selections)
        cboSQL->addItem(selection.name);

    cboSQL->setCurrentIndex(iIndex);
    if (iIndex < 0)
        cboSQL->setEditText(QString());
    else
        cboSQL_Click();
}

void frmMain::cboSQL_Click()
{
    // Choosing a Selection asks its questions again, even after a save left the last answers, and
    // shows it in its own order.
    ClearSort();
    RefreshGrid();
    grdData->setCol(0);
    grdData->setRow(1);
    grdData_Click();
    grdData->setFocus();
}

QString frmMain::PromptForParameters(const QString& sTitle, const QString& sCondition, bool bReuseAnswers)
{
    if (bReuseAnswers)
        return m_sLastWhere;

    QString s = sCondition;
    const QString sPrompt = QStringLiteral("Enter a value for this Selection.\r\n"
                                           "Note that wildcard characters (* and ?) may be used. ");
    // The search goes on after each answer, so an answer holding "??" is not asked about again.
    for (qsizetype p = s.indexOf(QLatin1String("??")); p >= 0;) {
        const qsizetype iBefore = s.size();
        s = JetText::placeAnswer(s, p, Dialogs::input(this, sPrompt, sTitle));
        p = s.indexOf(QLatin1String("??"), p + (s.size() - iBefore + 2));
    }
    return SelectionList::withCurrentYear(s);
}
