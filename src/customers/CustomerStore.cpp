#include "CustomerStore.h"

#include "db/Database.h"

namespace {

const QString kCustomers = QStringLiteral("Tb_顧客");
constexpr int kPrefectureRows = 48;

} // namespace

Prefectures CustomerStore::prefectures() const
{
    Database db;
    Prefectures result;
    int rows = 0;
    bool gap = false;
    Query q(db, QStringLiteral("select Fi_番号,Fi_名称 from Tb_都道府県 order by Fi_番号"));
    while (q.next()) {
        ++rows;
        if (q.integer("Fi_番号") == result.names.size() && !gap)
            result.names << q.text("Fi_名称");
        else
            gap = true;
    }
    if (rows == 0) {
        result.problem = QStringLiteral("都道府県の一覧（Tb_都道府県）にデータがありません。\n"
                                        "都道府県を選べないため、顧客を登録できません。");
    } else if (result.names.size() < kPrefectureRows) {
        result.problem =
            QStringLiteral("都道府県の一覧（Tb_都道府県）に番号 0 から 47 までの 48 件がそろっていません"
                           "（使える番号は 0 から %1 まで）。\n一覧にない都道府県は選べません。")
                .arg(result.names.size() - 1);
    }
    return result;
}

std::int32_t CustomerStore::add(const Customer& c) const
{
    Database db;
    const std::int32_t key = db.nextKey(kCustomers);
    RowValues()
        .set(QStringLiteral("Fi_キー"), key)
        .set(QStringLiteral("Fi_名前フリガナ"), c.reading)
        .set(QStringLiteral("Fi_名前"), c.name)
        .set(QStringLiteral("Fi_郵便番号"), c.postalCode)
        .set(QStringLiteral("Fi_都道府県番号"), c.prefecture)
        .set(QStringLiteral("Fi_市区町村"), c.city)
        .set(QStringLiteral("Fi_建物"), c.building)
        .set(QStringLiteral("Fi_電話番号"), c.phone)
        .set(QStringLiteral("Fi_携帯番号"), c.mobile)
        .set(QStringLiteral("Fi_ファックス番号"), c.fax)
        .set(QStringLiteral("Fi_メールアドレス"), c.mail)
        .set(QStringLiteral("Fi_備考"), c.remarks)
        .stamp(Stamp::now())
        .insertInto(db, kCustomers);
    return key;
}
