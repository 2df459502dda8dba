#include "shared/modVarolin.h"

#include "platform/StatusPanel.h"

#include <QTimer>
#include <QWidget>

QString TrimNull(const QString& p_sText)
{
    qsizetype iStart = 0;
    qsizetype iEnd = p_sText.size();
    while (iStart < iEnd && p_sText.at(iStart) == QLatin1Char(' '))
        ++iStart;
    while (iEnd > iStart && p_sText.at(iEnd - 1) == QLatin1Char(' '))
        --iEnd;
    QString sResult = p_sText.mid(iStart, iEnd - iStart);
    const qsizetype iNul = sResult.indexOf(QChar(0));
    if (iNul >= 0)
        sResult.truncate(iNul);
    return sResult;
}

QString EscapeHotKeyText(const QString& p_vText)
{
    QString s = p_vText;
    for (qsizetype p = s.indexOf(QLatin1Char('(')); p >= 0; p = s.indexOf(QLatin1Char('('), p + 2))
        s.replace(p, 1, QStringLiteral("{(}"));
    for (qsizetype p = s.indexOf(QLatin1Char(')')); p >= 0; p = s.indexOf(QLatin1Char(')'), p + 2))
        s.replace(p, 1, QStringLiteral("{)}"));
    return s;
}

QString UnescapeHotKeyText(const QString& p_vText)
{
    QString s = p_vText;
    s.remove(QLatin1Char('{'));
    s.remove(QLatin1Char('}'));
    return s;
}

void ShowStatusMessage(QWidget* p_frmForm, const QString& p_sMessage, int p_iSeconds)
{
    auto* pnlStatus = p_frmForm->findChild<StatusPanel*>(QStringLiteral("pnlStatus"));
    auto* tmrMessage = p_frmForm->findChild<QTimer*>(QStringLiteral("tmrMessage"));
    if (pnlStatus)
        pnlStatus->setCaption(QLatin1Char(' ') + p_sMessage);
    if (tmrMessage) {
        // Qt runs a timer of interval 0 continuously; here 0 means "no time-out".
        tmrMessage->stop();
        if (p_iSeconds > 0)
            tmrMessage->start(p_iSeconds * 1000);
    }
}

QStringList CataloguePathCandidates(const QString& p_sWritten)
{
    qsizetype iEnd = p_sWritten.size();
    while (iEnd > 0 && p_sWritten.at(iEnd - 1) == QLatin1Char(' '))
        --iEnd;
    QStringList asCandidates{p_sWritten};
    if (iEnd > 0 && iEnd < p_sWritten.size())
        asCandidates.append(p_sWritten.left(iEnd));
    return asCandidates;
}
