// Selections: the list of named queries, and the answers to their "??" placeholders.
#include "browser/frmMain.h"

#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/CStrParse.h"
#include "shared/modVarolin.h"
#include "shared/NumberText.h"
#include "store/JetText.h"

#include <QComboBox>
#include <QDate>

namespace {

const int kLastOrderPiece = 9;

// The pieces of a Selection entry: the name up to the first comma, then the condition and the
// ordering items, each ending at a comma that stands outside quotes, [names], #dates#, comments
// and parentheses, so that "Initial,UCase(Left(Artist,1)) = 'N',Artist" has a condition of its own.
QStringList SelectionPieces(const QString& sEntry)
{
    CStrParse parser;
    parser.setSourceString(sEntry);
    parser.parse();
    QStringList asPieces{parser.Substring(0)};
    if (asPieces.first().size() == sEntry.size())
        return asPieces;
    const QStringView sRest = QStringView(sEntry).mid(asPieces.first().size() + 1);
    qsizetype iStart = 0;
    for (const qsizetype iComma : JetText::topLevelCommas(sRest)) {
        asPieces.append(sRest.mid(iStart, iComma - iStart).toString());
        iStart = iComma + 1;
    }
    asPieces.append(sRest.mid(iStart).toString());
    return asPieces;
}

} // namespace

void frmMain::LoadSelections()
{
    cboSQL->clear();
    g_asSelectionWhere = QStringList{QString()};
    g_asSelectionOrder = QStringList{QString()};

    const QHash<QString, QString> asSection = ReadIniSection(QStringLiteral("SQL"));
    int i = 1;
    QString sEntry = asSection.value(QString::number(i));
    while (!sEntry.isEmpty()) {
        const QStringList asPieces = SelectionPieces(sEntry);
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
        sEntry = asSection.value(QString::number(i));
    }

    // A "Default" outside the list chooses nothing.
    const int iDefault =
        NumberText::roundHalfEven(NumberText::leadingNumber(asSection.value(QStringLiteral("default"))) - 1);
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
        const JetText::Place place = JetText::placeAt(s, p);
        if (place.context == JetText::Context::String)
            sAnswer.replace(place.quote, QString(2, place.quote));
        s = s.left(p) + sAnswer + s.mid(p + 2);
    }

    const QString sYear = QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0'));
    for (qsizetype p = s.indexOf(QLatin1String("~~Year~~")); p >= 0; p = s.indexOf(QLatin1String("~~Year~~")))
        s.replace(p, 8, sYear);
    return s;
}
