// Backups: a copy of the catalogue when it changed since the last, and going back to one.
#include "browser/frmMain.h"

#include "platform/Dialogs.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/CatalogueBackup.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QDir>
#include <QLocale>

void frmMain::BackUpAtStart()
{
    // A backup that fails is said once, and the program goes on without one.
    try {
        CatalogueBackup::makeIfChanged(*m_session.catalogue(), m_session.backupsKept);
    } catch (const EngineError& e) {
        Dialogs::message(this,
                         QStringLiteral("The catalogue could not be backed up into '%1':\r\n\r\n%2\r\n\r\nVarolin goes "
                                        "on without a new backup.")
                             .arg(QDir::toNativeSeparators(CatalogueBackup::folderOf(m_session.catalogue()->path())),
                                  e.description()),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
}

void frmMain::mnuFileRestore_Click()
{
    Database* catalogue = m_session.catalogue();
    if (!catalogue)
        return;
    const QList<CatalogueBackup::Copy> copies = CatalogueBackup::copies(catalogue->path());
    if (copies.isEmpty()) {
        Dialogs::message(this, QStringLiteral("There is no backup of this catalogue yet."), QStringLiteral("Varolin"),
                         QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    QStringList items;
    for (const CatalogueBackup::Copy& copy : copies) {
        items << QStringLiteral("%1 - %2").arg(QLocale().toString(copy.made, QLocale::ShortFormat),
                                               copy.recordings < 0
                                                   ? QStringLiteral("cannot be read")
                                                   : QStringLiteral("%1 recordings").arg(copy.recordings));
    }
    const int i =
        Dialogs::choose(this, QStringLiteral("The backup to go back to:"), QStringLiteral("Restore Backup"), items);
    if (i < 0)
        return;
    if (Dialogs::message(this,
                         QStringLiteral("Put the catalogue back as it was on %1?\r\n\r\nThe catalogue as it is now is "
                                        "kept as one more backup.")
                             .arg(items.at(i)),
                         QStringLiteral("Restore Backup"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::No) != QMessageBox::Yes)
        return;
    try {
        CatalogueBackup::restore(*catalogue, copies.at(i).path, m_session.backupsKept);
    } catch (const EngineError& e) {
        Dialogs::message(this, QStringLiteral("The backup could not be restored:\r\n\r\n") + e.description(),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    // The changes of this run are gone with the catalogue they were made to.
    m_session.undo.clear();
    UpdateUndoItems();
    RefreshAfterChange();
    ShowStatusMessage(this, QStringLiteral("The catalogue is back as it was on ") + items.at(i), 0);
}
