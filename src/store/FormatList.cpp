#include "store/FormatList.h"

#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/JetCollation.h"
#include "store/Recordset.h"
#include "store/SnapshotRecordset.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

const qint64 kLastID = std::numeric_limits<qint64>::max();

// A whole-number value of an ID column; a table another tool made may hold anything there.
bool ToID(const QVariant& v, qint64* iID)
{
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d != std::trunc(d) || std::fabs(d) > 9.0e18)
            return false;
        *iID = static_cast<qint64>(d);
        return true;
    }
    bool bOK = false;
    *iID = v.toLongLong(&bOK);
    return bOK;
}

int CompareNoCase(const QString& a, const QString& b)
{
    // The catalogue's own order of text, so the list reads as any sorted column does.
    return JetCollation::compareNoCase(a.toUtf8(), b.toUtf8());
}

} // namespace

bool FormatList::Format::isBlank() const
{
    return description.isNull() || description.toString().trimmed().isEmpty();
}

QString FormatList::Format::text() const
{
    return isBlank() ? QString() : description.toString();
}

QString FormatList::load(Database* catalogue)
{
    m_aFormats.clear();
    m_bChanged = false;
    try {
        if (!catalogue)
            throw EngineError(EngineError::Kind::General, QStringLiteral("No catalogue is open."));
        const Rows aRows = readRows(*catalogue);
        // A recording may still name a format that is gone; a new format must not take its ID
        // and suddenly describe it.
        qint64 iID = 0;
        {
            const std::unique_ptr<SnapshotRecordset> rs =
                catalogue->openSnapshot(Catalogue::highestFormatInUseStatement());
            if (!rs->eof() && ToID(rs->value(0), &iID))
                m_iMaxID = qMax(m_iMaxID, iID);
        }
        for (const auto& row : aRows) {
            if (ToID(row.first, &iID))
                m_iMaxID = qMax(m_iMaxID, iID);
        }
        for (const auto& row : aRows) {
            // A row without an ID can be named by no recording: it gets a fresh one.
            if (!ToID(row.first, &iID)) {
                if (m_iMaxID == kLastID)
                    throw EngineError(EngineError::Kind::General, QStringLiteral("No Format ID is left to give."));
                iID = ++m_iMaxID;
            }
            insertSorted({iID, row.second});
        }
        m_aLoaded = aRows;
    } catch (const EngineError& e) {
        m_aFormats.clear();
        m_aLoaded.clear();
        return QStringLiteral("The Formats could not be read:\r\n\r\n") + e.description();
    }
    return QString();
}

FormatList::Rows FormatList::readRows(Database& catalogue)
{
    Rows aRows;
    const std::unique_ptr<Recordset> rsFormat = catalogue.openRecordset(QStringLiteral("Format"));
    const int iID = rsFormat->fieldIndex(QStringLiteral("ID"));
    const int iDescription = rsFormat->fieldIndex(QStringLiteral("Description"));
    for (; !rsFormat->eof(); rsFormat->moveNext())
        aRows.append({rsFormat->value(iID), rsFormat->value(iDescription)});
    return aRows;
}

int FormatList::insertSorted(const Format& format)
{
    // After any equal entries, so that equal descriptions keep the table's order; blank ones sort
    // as the empty text, first, where they are seen.
    const QString sKey = format.text();
    int iRow = count();
    for (int i = 0; i < count(); ++i) {
        if (CompareNoCase(sKey, m_aFormats[i].text()) < 0) {
            iRow = i;
            break;
        }
    }
    m_aFormats.insert(iRow, format);
    return iRow;
}

QString FormatList::newRefusal() const
{
    return m_iMaxID == kLastID
               ? QStringLiteral("No more Formats can be added: the highest Format ID is already in use.")
               : QString();
}

QString FormatList::tidied(const QString& typed)
{
    // A pasted line break or tab would show as nothing in the list; blanks around the text are
    // never meant and would make "CD " a second CD.
    QString description = typed;
    for (QChar& c : description) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return description.trimmed();
}

QString FormatList::check(QString* typed, int amended) const
{
    *typed = tidied(*typed);
    if (typed->isEmpty())
        return QString();
    if (typed->size() > kMaxDescription)
        return QStringLiteral("A Format's description can be at most %1 characters long; this one has %2. "
                              "Nothing has been changed.")
            .arg(kMaxDescription)
            .arg(typed->size());
    // Recordings choose their format by its description alone, so two alike could not be told apart.
    for (int i = 0; i < count(); ++i) {
        const Format& f = m_aFormats[i];
        if (i != amended && !f.isBlank() && CompareNoCase(*typed, f.text()) == 0)
            return QStringLiteral("There is already a Format called \"%1\". Nothing has been changed.").arg(f.text());
    }
    return QString();
}

FormatList::Change FormatList::add(const QString& typed)
{
    if (QString sRefusal = newRefusal(); !sRefusal.isEmpty())
        return {-1, sRefusal};
    QString sDescription = typed;
    if (QString sRefusal = check(&sDescription, -1); !sRefusal.isEmpty() || sDescription.isEmpty())
        return {-1, sRefusal};
    m_bChanged = true;
    // The ID is spent even if the entry is removed again, so it is never handed out twice in a run.
    return {insertSorted({++m_iMaxID, sDescription}), QString()};
}

FormatList::Change FormatList::amend(int index, const QString& typed)
{
    QString sDescription = typed;
    if (QString sRefusal = check(&sDescription, index); !sRefusal.isEmpty() || sDescription.isEmpty())
        return {-1, sRefusal};
    m_bChanged = true;
    // The entry moves to its new alphabetical place at once, keeping its ID.
    const qint64 iID = m_aFormats.takeAt(index).id;
    return {insertSorted({iID, sDescription}), QString()};
}

QString FormatList::deleteRefusal(Database& catalogue, int index) const
{
    qint64 iCount = 0;
    try {
        const std::unique_ptr<SnapshotRecordset> rs =
            catalogue.openSnapshot(Catalogue::formatUseCountStatement(m_aFormats.at(index).id));
        iCount = rs->field(QStringLiteral("Count")).toLongLong();
    } catch (const EngineError& e) {
        return QStringLiteral("Whether recordings use this Format could not be checked, so it has not been "
                              "deleted:\r\n\r\n") +
               e.description();
    }
    if (iCount < 1)
        return QString();
    return QStringLiteral("Can't delete this Format - %1 Recording%2 for it.")
        .arg(iCount)
        .arg(iCount == 1 ? QStringLiteral(" exists") : QStringLiteral("s exist"));
}

int FormatList::remove(int index)
{
    m_aFormats.removeAt(index);
    m_bChanged = true;
    if (m_aFormats.isEmpty())
        return -1;
    return index > 0 ? index - 1 : 0;
}

FormatList::Applied FormatList::apply(Database& catalogue, Overwrite overwrite) const
{
    try {
        catalogue.beginTrans();
        // Compared under the write lock, so no other program's change comes between.
        if (overwrite == Overwrite::No && readRows(catalogue) != m_aLoaded) {
            catalogue.rollback();
            return {true, QString()};
        }
        refuseFormatsTakenIntoUse(catalogue);
        catalogue.execute(Catalogue::deleteFormatsStatement());
        const std::unique_ptr<Recordset> rsFormat = catalogue.openRecordset(QStringLiteral("Format"));
        const int iID = rsFormat->fieldIndex(QStringLiteral("ID"));
        const int iDescription = rsFormat->fieldIndex(QStringLiteral("Description"));
        for (const Format& f : m_aFormats) {
            rsFormat->addNew();
            // A description another tool left Null or blank goes back as it came.
            rsFormat->setValue(iDescription, f.description);
            rsFormat->setValue(iID, f.id);
            rsFormat->update();
        }
        catalogue.commitTrans();
    } catch (const EngineError& e) {
        // Rolled back before the message is shown, so the catalogue is not held locked while it is read.
        QString sMessage = QStringLiteral("Error updating Formats : ") + e.description();
        try {
            catalogue.rollback();
        } catch (const EngineError& eRollback) {
            // The engine may already have rolled back; if not, the user must know the list is in doubt.
            sMessage += QStringLiteral("\r\n\r\nThe change could not be taken back either: ") + eRollback.description();
        }
        return {false, sMessage};
    }
    return {};
}

void FormatList::refuseFormatsTakenIntoUse(Database& catalogue) const
{
    // Another program may have given a recording a format deleted here since Delete checked it.
    QList<qint64> aiKept;
    for (const Format& f : m_aFormats)
        aiKept << f.id;
    const std::unique_ptr<SnapshotRecordset> rs =
        catalogue.openSnapshot(Catalogue::recordingsOfFormatsOtherThanStatement(aiKept));
    const qint64 iCount = rs->field(QStringLiteral("Count")).toLongLong();
    if (iCount > 0)
        throw EngineError(
            EngineError::Kind::General,
            QStringLiteral("%1 now %2 a Format deleted here (another program gave it to "
                           "them), so nothing has been changed.")
                .arg(iCount == 1 ? QStringLiteral("1 Recording") : QStringLiteral("%1 Recordings").arg(iCount),
                     iCount == 1 ? QStringLiteral("uses") : QStringLiteral("use")));
}
