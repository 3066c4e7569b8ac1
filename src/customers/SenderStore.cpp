#include "SenderStore.h"

#include "db/Database.h"

namespace {

const QString kSenders = QStringLiteral("Tb_差出人");
constexpr std::int32_t kSenderKey = 1;

} // namespace

Sender SenderStore::sender() const
{
    Database db;
    Sender s;
    if (db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'table' and name = ?"),
                 {kSenders}) == 0)
        return s;
    Query q(db, QStringLiteral("select * from Tb_差出人 where Fi_キー = ?"), {kSenderKey});
    if (q.next()) {
        s.name = q.text("Fi_名前");
        s.postalCode = q.text("Fi_郵便番号");
        s.address1 = q.text("Fi_住所1");
        s.address2 = q.text("Fi_住所2");
        s.phone = q.text("Fi_電話番号");
    }
    return s;
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
    RowValues values;
    values.set(QStringLiteral("Fi_名前"), sender.name.trimmed())
        .set(QStringLiteral("Fi_郵便番号"), sender.postalCode.trimmed())
        .set(QStringLiteral("Fi_住所1"), sender.address1.trimmed())
        .set(QStringLiteral("Fi_住所2"), sender.address2.trimmed())
        .set(QStringLiteral("Fi_電話番号"), sender.phone.trimmed());
    if (!values.updateByKey(db, kSenders, kSenderKey)) {
        values.set(QStringLiteral("Fi_キー"), kSenderKey);
        values.insertInto(db, kSenders);
    }
    transaction.commit();
}
