#include "MakerStore.h"

namespace {

const Table<MakerRow> kMakers(QStringLiteral("Tb_メーカー"), &MakerRow::key,
                              {{QStringLiteral("Fi_メーカーフリガナ"), &MakerRow::reading},
                               {QStringLiteral("Fi_メーカー"), &MakerRow::name}},
                              Table<MakerRow>::Stamped::Yes);

const QString kListOrder = QStringLiteral("order by Fi_メーカーフリガナ, Fi_キー");

} // namespace

MakerStore::MakerStore() : TableStore(kMakers) {}

std::vector<MakerRow> MakerStore::all() const
{
    Database db;
    return kMakers.rows(db, kListOrder);
}

std::vector<std::int32_t> MakerStore::keys() const
{
    Database db;
    // The reading index holds the key: the list order is read without touching a row.
    return ReadKeys(db, QStringLiteral("select Fi_キー from Tb_メーカー ") + kListOrder);
}

std::optional<std::int32_t> MakerStore::firstKeyOf(const QString& name, const QString& reading) const
{
    Database db;
    Query q(db,
            QStringLiteral("select Fi_キー from Tb_メーカー where trim(Fi_メーカー, ' ') = ? and "
                           "trim(Fi_メーカーフリガナ, ' ') = ? ") +
                kListOrder + QStringLiteral(" limit 1"),
            {name, reading});
    if (!q.next())
        return std::nullopt;
    return static_cast<std::int32_t>(q.integer(0));
}
