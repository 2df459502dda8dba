#include "support/TestFolder.h"

#include "store/Catalogue.h"
#include "store/Database.h"

#include <gtest/gtest.h>
#include <QFile>

TestFolder::TestFolder()
{
    EXPECT_TRUE(m_dir.isValid());
}

void TestFolder::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestFolder::readFile(const QString& name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TestFolder::createCatalogue(const QString& name) const
{
    const QString path = file(name);
    Catalogue::create(path);
    return path;
}

int TestFolder::addRecordings(const QString& catalogue, const QList<Recording>& recordings)
{
    const auto db = Database::open(catalogue);
    const auto rs = db->openRecordset(QStringLiteral("Recording"));
    rs->setIndex(QStringLiteral("PrimaryKey"));
    db->beginTrans();
    for (const Recording& r : recordings) {
        rs->addNew();
        rs->setField(QStringLiteral("Artist"), r.artist);
        rs->setField(QStringLiteral("Title"), r.title);
        rs->setField(QStringLiteral("Year"), r.year);
        rs->setField(QStringLiteral("Format"), r.format);
        rs->setField(QStringLiteral("Label"), r.label);
        rs->setField(QStringLiteral("Catalogue_No"), r.catalogueNo);
        rs->setField(QStringLiteral("Notes"), r.notes);
        rs->setField(QStringLiteral("International_Catalogue_No"), r.internationalNo);
        rs->update();
    }
    db->commitTrans();
    rs->moveLast();
    return rs->eof() ? 0 : rs->field(QStringLiteral("ID")).toInt();
}
