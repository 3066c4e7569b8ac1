#include "MakerStore.h"

#include "db/Database.h"

namespace {
const QString kTable = QStringLiteral("Tb_メーカー");
}

std::vector<MakerRow> MakerStore::all() const
{
    Database db;
    return ReadMakers(db);
}

std::int32_t MakerStore::add(const QString& name, const QString& reading) const
{
    Database db;
    const std::int32_t key = db.nextKey(kTable);
    RowValues()
        .set(QStringLiteral("Fi_キー"), key)
        .set(QStringLiteral("Fi_メーカーフリガナ"), reading)
        .set(QStringLiteral("Fi_メーカー"), name)
        .stamp(Stamp::now())
        .insertInto(db, kTable);
    return key;
}

bool MakerStore::update(std::int32_t key, const QString& name, const QString& reading) const
{
    Database db;
    return RowValues()
        .set(QStringLiteral("Fi_メーカーフリガナ"), reading)
        .set(QStringLiteral("Fi_メーカー"), name)
        .stamp(Stamp::now())
        .updateByKey(db, kTable, key);
}

bool MakerStore::remove(std::int32_t key) const
{
    Database db;
    return DeleteByKey(db, kTable, key);
}
