// Selections: the list of named queries, and the answers to their "??" placeholders.
#include "browser/frmMain.h"

#include "browser/SelectionEntry.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/modVarolin.h"
#include "shared/NumberText.h"
#include "store/JetText.h"

#include <QComboBox>
#include <QDate>

namespace {

const int kLastOrderPiece = 9;

} // namespace

void frmMain::LoadSelections()
{
    cboSQL->clear();
    g_asSelectionWhere = QStringList{QString()};
    g_asSelectionOrder = QStringList{QString()};

    int i = 1;
    QString sEntry = ReadIniString(QStringLiteral("SQL"), QString::number(i), QString());
    while (!sEntry.isEmpty()) {
        const QStringList asPieces = SelectionEntry::pieces(sEntry);
        cboSQL->addItem(asPieces.first());
        g_asSelectionWhere.append(QString());
        g_asSelectionOrder.append(QString());
        if (!asPieces.value(1).isEmpty())
            g_asSelectionWhere[i - 1] = asPieces.value(1);
        for (int j = 2; j <= kLastOrderPiece; ++j) {
            if (!asPieces.value(j).isEmpty())
                g_asSelectionOrder[i - 1] += asPieces.value(j) + QStringLiteral(", ");
        }
        if (g_asSelectionOrder[i - 1].endsWith(QLatin1String(", ")))
            g_asSelectionOrder[i - 1].chop(2);
        ++i;
        sEntry = ReadIniString(QStringLiteral("SQL"), QString::number(i), QString());
    }

    // A "Default" outside the list chooses nothing.
    const int iDefault =
        NumberText::roundHalfEven(NumberText::leadingNumber(ReadIniString(
                                      QStringLiteral("SQL"), QStringLiteral("Default"), QStringLiteral("0"))) -
                                  1);
    const int iIndex = iDefault >= 0 && iDefault < cboSQL->count() ? iDefault : -1;
    cboSQL->setCurrentIndex(iIndex);
    if (iIndex < 0)
        cboSQL->setEditText(QString());
    else
        cboSQL_Click();
}

void frmMain::cboSQL_Click()
{
    // Choosing a Selection asks its questions again, even after a save left the last answers.
    g_bRecordUpdated = false;
    RefreshGrid();
    grdData->setCol(0);
    grdData->setRow(1);
    grdData_Click();
    grdData->setFocus();
}

QString frmMain::PromptForParameters(const QString& sTitle, const QString& sCondition)
{
    if (g_bRecordUpdated) {
        g_bRecordUpdated = false;
        return m_sLastWhere;
    }

    QString s = sCondition;
    const QString sPrompt = QStringLiteral("Enter a value for this Selection.\r\n"
                                           "Note that wildcard characters (* and ?) may be used. ");
    for (qsizetype p = s.indexOf(QLatin1String("??")); p >= 0; p = s.indexOf(QLatin1String("??"))) {
        s = JetText::placeAnswer(s, p, Dialogs::input(this, sPrompt, sTitle));
    }

    const QString sYear = QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0'));
    for (qsizetype p = s.indexOf(QLatin1String("~~Year~~")); p >= 0; p = s.indexOf(QLatin1String("~~Year~~")))
        s.replace(p, 8, sYear);
    return s;
}
