// Selections: the list of named queries, and the answers to their "??" placeholders.
#include "browser/frmMain.h"

#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/CStrParse.h"
#include "shared/modVarolin.h"
#include "shared/NumberText.h"

#include <QComboBox>
#include <QDate>

namespace {

const int kLastOrderPiece = 9;

// The quote of the literal that position p of the condition stands inside; a null QChar outside.
QChar EnclosingQuote(const QString& sCondition, qsizetype p)
{
    QChar cOpen;
    for (qsizetype i = 0; i < p; ++i) {
        const QChar c = sCondition.at(i);
        if (cOpen.isNull()) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                cOpen = c;
            else if (c == QLatin1Char('[') && sCondition.indexOf(QLatin1Char(']'), i) >= 0)
                i = qMin(sCondition.indexOf(QLatin1Char(']'), i), p);
        } else if (c == cOpen) {
            if (i + 1 < p && sCondition.at(i + 1) == cOpen)
                ++i; // a doubled quote stands for itself inside the literal
            else
                cOpen = QChar();
        }
    }
    return cOpen;
}

} // namespace

void frmMain::LoadSelections()
{
    cboSQL->clear();
    g_asSelectionWhere = QStringList{QString()};
    g_asSelectionOrder = QStringList{QString()};

    CStrParse parser;
    int i = 1;
    QString sEntry = ReadIniString(QStringLiteral("SQL"), QString::number(i), QString());
    while (!sEntry.isEmpty()) {
        parser.setSourceString(sEntry);
        parser.parse();
        cboSQL->addItem(parser.Substring(0));
        g_asSelectionWhere.append(QString());
        g_asSelectionOrder.append(QString());
        if (!parser.Substring(1).isEmpty())
            g_asSelectionWhere[i - 1] = parser.Substring(1);
        for (int j = 2; j <= kLastOrderPiece; ++j) {
            if (!parser.Substring(j).isEmpty())
                g_asSelectionOrder[i - 1] += parser.Substring(j) + QStringLiteral(", ");
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
        QString sAnswer = Dialogs::input(this, sPrompt, sTitle);
        // Inside a quoted literal a quote of the answer is doubled, so O'Brien finds O'Brien
        // instead of breaking the statement; elsewhere the answer stands as typed.
        const QChar cQuote = EnclosingQuote(s, p);
        if (!cQuote.isNull())
            sAnswer.replace(cQuote, QString(2, cQuote));
        s = s.left(p) + sAnswer + s.mid(p + 2);
    }

    const QString sYear = QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0'));
    for (qsizetype p = s.indexOf(QLatin1String("~~Year~~")); p >= 0; p = s.indexOf(QLatin1String("~~Year~~")))
        s.replace(p, 8, sYear);
    return s;
}
