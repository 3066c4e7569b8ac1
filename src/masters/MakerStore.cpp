#include "MakerStore.h"

#include "db/Database.h"

namespace {
const QString kTable = QStringLiteral("Tb_メーカー");
}

std::vector<MakerRow> MakerStore::all()
{
    Database db;
    std::vector<MakerRow> rows;
    Query q(db, QStringLiteral("select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ from Tb_メーカー"
                               " order by Fi_メーカーフリガナ, Fi_キー"));
    while (q.next()) {
        MakerRow row;
        row.key = static_cast<std::int32_t>(q.integer("Fi_キー"));
        row.name = q.text("Fi_メーカー");
        row.reading = q.text("Fi_メーカーフリガナ");
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int32_t MakerStore::add(const QString& name, const QString& reading)
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

bool MakerStore::update(std::int32_t key, const QString& name, const QString& reading)
{
    Database db;
    return RowValues()
        .set(QStringLiteral("Fi_メーカーフリガナ"), reading)
        .set(QStringLiteral("Fi_メーカー"), name)
        .stamp(Stamp::now())
        .updateByKey(db, kTable, key);
}

bool MakerStore::remove(std::int32_t key)
{
    Database db;
    return DeleteByKey(db, kTable, key);
}
