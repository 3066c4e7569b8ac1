#include "SenderStore.h"

#include "db/Schema.h"

namespace {

const QString kTable = QStringLiteral("Tb_差出人");

const Table<SenderRow>& SenderTable()
{
    static const Table<SenderRow> table(kTable, &SenderRow::key,
                                        {{QStringLiteral("Fi_名前"), &SenderRow::name},
                                         {QStringLiteral("Fi_郵便番号"), &SenderRow::postalCode},
                                         {QStringLiteral("Fi_住所1"), &SenderRow::address1},
                                         {QStringLiteral("Fi_住所2"), &SenderRow::address2},
                                         {QStringLiteral("Fi_電話番号"), &SenderRow::phone}},
                                        Table<SenderRow>::Stamped::No);
    return table;
}

} // namespace

SenderStore::SenderStore() : TableStore(SenderTable()) {}

Sender SenderStore::sender() const
{
    Database db;
    try {
        CreateMissingTable(db, kTable);
    } catch (const QelError& e) {
        if (e.kind() != QelError::Kind::ReadOnly && e.kind() != QelError::Kind::Busy)
            throw;
        // A file that cannot take the table now has no sender yet.
        if (db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'table' and name = ?"),
                     {kTable}) == 0)
            return {};
    }
    return m_table.row(db, SenderRow().key).value_or(SenderRow());
}

void SenderStore::save(const Sender& sender) const
{
    Database db;
    CreateMissingTable(db, kTable);
    SenderRow row;
    row.name = sender.name.trimmed();
    row.postalCode = sender.postalCode.trimmed();
    row.address1 = sender.address1.trimmed();
    row.address2 = sender.address2.trimmed();
    row.phone = sender.phone.trimmed();
    m_table.put(db, row);
}
