#include "CustomerWhere.h"

#include "core/TextRoutines.h"
#include "db/Database.h"

WhereClause CustomerWhere(const SearchCondition& search)
{
    const Customer& c = search.fields;
    WhereClause where;
    const auto append = [&where](const QString& term) {
        if (!where.text.isEmpty())
            where.text += QStringLiteral(" and ");
        where.text += term;
    };
    const auto contains = [&](const char* field, const QString& value) {
        const QString trimmed = TrimBlank(value);
        if (trimmed.isEmpty())
            return;
        append(QString::fromUtf8(field) + QStringLiteral(" like ? escape '\\'"));
        where.values << LikeContains(trimmed);
    };
    contains("Fi_名前フリガナ", c.reading);
    contains("Fi_名前", c.name);
    contains("Fi_郵便番号", c.postalCode);
    append(c.prefecture != 0 ? QStringLiteral("Fi_都道府県番号 = %1").arg(c.prefecture)
                             : QStringLiteral("Fi_都道府県番号 > 0"));
    contains("Fi_市区町村", c.city);
    contains("Fi_建物", c.building);
    contains("Fi_電話番号", c.phone);
    contains("Fi_携帯番号", c.mobile);
    contains("Fi_ファックス番号", c.fax);
    contains("Fi_メールアドレス", c.mail);
    contains("Fi_備考", c.remarks);
    if (search.birthMonth > 0) {
        append(QStringLiteral("Fi_キー in (select Fi_キー from Tb_顧客補足 where Fi_誕生月 = ?)"));
        where.values << search.birthMonth;
    }
    const WhereClause purchases = PurchaseWhere(search.purchases, QStringLiteral("Fi_名前"));
    if (!purchases.text.isEmpty()) {
        append(purchases.text);
        where.values << purchases.values;
    }
    return where;
}
