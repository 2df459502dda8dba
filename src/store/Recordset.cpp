#include "store/Recordset.h"

#include "store/EngineError.h"

#include <cmath>

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw EngineError(EngineError::Kind::General, QStringLiteral("Item '%1' not found in this collection.").arg(name));
}

QString Recordset::text(int index) const
{
    const QVariant v = value(index);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return numberText(v.toDouble());
    return v.toString();
}

QString Recordset::numberText(double d)
{
    // Whole numbers show without a point; past 2^63 a cast would be undefined, and 'g' serves.
    if (std::fabs(d) < 9.0e18 && d == std::trunc(d))
        return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', 15);
}

void Recordset::setIndex(const QString&)
{
    notSupported();
}

void Recordset::seek(const QString&, const QVariant&)
{
    notSupported();
}

bool Recordset::noMatch() const
{
    notSupported();
}

void Recordset::addNew()
{
    notSupported();
}

void Recordset::edit()
{
    notSupported();
}

void Recordset::setValue(int, const QVariant&)
{
    notSupported();
}

void Recordset::update()
{
    notSupported();
}

qint64 Recordset::lastModified() const
{
    notSupported();
}

void Recordset::noCurrentRecord()
{
    throw EngineError(EngineError::Kind::General, QStringLiteral("No current record."));
}

void Recordset::notSupported()
{
    throw EngineError(EngineError::Kind::General,
                      QStringLiteral("Operation is not supported for this type of recordset."));
}
