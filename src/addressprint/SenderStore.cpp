#include "SenderStore.h"

#include "db/Table.h"

namespace {

// The one row of Tb_差出人.
struct SenderRow : Sender
{
    std::int32_t key = 1;
};

const Table<SenderRow> kSenders(QStringLiteral("Tb_差出人"), &SenderRow::key,
                                {{QStringLiteral("Fi_名前"), &SenderRow::name},
                                 {QStringLiteral("Fi_郵便番号"), &SenderRow::postalCode},
                                 {QStringLiteral("Fi_住所1"), &SenderRow::address1},
                                 {QStringLiteral("Fi_住所2"), &SenderRow::address2},
                                 {QStringLiteral("Fi_電話番号"), &SenderRow::phone}},
                                Table<SenderRow>::Stamped::No);

} // namespace

Sender SenderStore::sender() const
{
    Database db;
    if (db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'table' and name = ?"),
                 {kSenders.name()}) == 0)
        return {};
    return kSenders.row(db, SenderRow().key).value_or(SenderRow());
}

void SenderStore::save(const Sender& sender) const
{
    Database db;
    // The table and its row together, or neither.
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    db.execute(QStringLiteral("create table if not exists Tb_差出人 (Fi_キー integer primary key, "
                              "Fi_名前 text not null default '', Fi_郵便番号 text not null default '', "
                              "Fi_住所1 text not null default '', Fi_住所2 text not null default '', "
                              "Fi_電話番号 text not null default '')"));
    SenderRow row;
    row.name = sender.name.trimmed();
    row.postalCode = sender.postalCode.trimmed();
    row.address1 = sender.address1.trimmed();
    row.address2 = sender.address2.trimmed();
    row.phone = sender.phone.trimmed();
    kSenders.put(db, row);
    transaction.commit();
}
