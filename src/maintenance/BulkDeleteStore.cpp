#include "BulkDeleteStore.h"

#include "core/QelError.h"
#include "db/Database.h"

namespace {

const QString kTable = QStringLiteral("Tb_売上");
const QString kPeriod = QStringLiteral("Fi_購入年月 between ? and ?");

} // namespace

std::int64_t BulkDeleteStore::count(const QString& from, const QString& to) const
{
    Database db;
    return db.count(kTable, kPeriod, {from, to});
}

std::int64_t BulkDeleteStore::remove(const QString& from, const QString& to, std::int64_t confirmed) const
{
    const QString failed = QStringLiteral("売上データを削除できませんでした。削除したデータはありません。");
    Database db;
    return InContext(failed, [&] {
        // Immediate: no other writer can change the period between the count and the deletion.
        Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
        const std::int64_t found = db.count(kTable, kPeriod, {from, to});
        if (found != confirmed)
            return found;
        const int deleted =
            db.execute(QStringLiteral("delete from Tb_売上 where Fi_購入年月 between ? and ?"), {from, to});
        if (deleted != found)
            throw QelError(QelError::Kind::Changed, failed,
                           QStringLiteral("%1 / %2").arg(deleted).arg(found));
        transaction.commit();
        return found;
    });
}
