#include "MakerStore.h"

#include "db/Database.h"

namespace {
const QString kTable = QStringLiteral("Tb_メーカー");
}

std::vector<std::int32_t> MakerStore::keys() const
{
    Database db;
    // The reading index holds the key: the list order is read without touching a row.
    return ReadKeys(db,
                    QStringLiteral("select Fi_キー from Tb_メーカー order by Fi_メーカーフリガナ, Fi_キー"));
}

std::vector<MakerRow> MakerStore::rowsOf(const std::vector<std::int32_t>& keys) const
{
    Database db;
    std::vector<MakerRow> rows;
    Query q(db,
            QStringLiteral(
                "select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ from Tb_メーカー where Fi_キー in (%1)")
                .arg(Placeholders(keys.size())),
            KeyValues(keys));
    while (q.next())
        rows.push_back({static_cast<std::int32_t>(q.integer(0)), q.text(1), q.text(2)});
    return rows;
}

std::optional<std::int32_t> MakerStore::firstKeyOf(const QString& name, const QString& reading) const
{
    Database db;
    Query q(
        db,
        QStringLiteral("select Fi_キー from Tb_メーカー where trim(Fi_メーカー, ' ') = ? and "
                       "trim(Fi_メーカーフリガナ, ' ') = ? order by Fi_メーカーフリガナ, Fi_キー limit 1"),
        {name, reading});
    if (!q.next())
        return std::nullopt;
    return static_cast<std::int32_t>(q.integer(0));
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
