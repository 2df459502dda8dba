#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The procedures every window uses. The state of the run is the Session's.

QString TrimNull(const QString& p_sText);

// Where a "Database" entry may mean: a hand-edited path may carry spaces after it, so the path as
// written is looked for first, then the path without them.
QStringList CataloguePathCandidates(const QString& p_sWritten);

QString EscapeHotKeyText(const QString& p_vText);
QString UnescapeHotKeyText(const QString& p_vText);

// Shows a message in the window's status line (its "pnlStatus") for p_iSeconds, restarting its
// "tmrMessage"; 0 seconds keeps the message until the next one.
void ShowStatusMessage(QWidget* p_frmForm, const QString& p_sMessage, int p_iSeconds);
