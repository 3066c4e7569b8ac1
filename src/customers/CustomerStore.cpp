#include "CustomerStore.h"

#include "CustomerWhere.h"

#include "db/Database.h"

namespace {

const QString kCustomers = QStringLiteral("Tb_顧客");
const QString kConditions = QStringLiteral("Tb_検索条件");
constexpr int kPrefectureRows = 48;
constexpr std::int32_t kConditionKey = 1;

// The customer fields, as every customer and condition row holds them.
RowValues FieldValues(const Customer& c)
{
    RowValues values;
    values.set(QStringLiteral("Fi_名前フリガナ"), c.reading)
        .set(QStringLiteral("Fi_名前"), c.name)
        .set(QStringLiteral("Fi_郵便番号"), c.postalCode)
        .set(QStringLiteral("Fi_都道府県番号"), c.prefecture)
        .set(QStringLiteral("Fi_市区町村"), c.city)
        .set(QStringLiteral("Fi_建物"), c.building)
        .set(QStringLiteral("Fi_電話番号"), c.phone)
        .set(QStringLiteral("Fi_携帯番号"), c.mobile)
        .set(QStringLiteral("Fi_ファックス番号"), c.fax)
        .set(QStringLiteral("Fi_メールアドレス"), c.mail)
        .set(QStringLiteral("Fi_備考"), c.remarks);
    return values;
}

// A NULL left by an older version reads as the empty text or 0.
Customer ReadFields(const Query& q)
{
    Customer c;
    c.key = static_cast<std::int32_t>(q.integer("Fi_キー"));
    c.reading = q.text("Fi_名前フリガナ");
    c.name = q.text("Fi_名前");
    c.postalCode = q.text("Fi_郵便番号");
    c.prefecture = static_cast<int>(q.integer("Fi_都道府県番号"));
    c.city = q.text("Fi_市区町村");
    c.building = q.text("Fi_建物");
    c.phone = q.text("Fi_電話番号");
    c.mobile = q.text("Fi_携帯番号");
    c.fax = q.text("Fi_ファックス番号");
    c.mail = q.text("Fi_メールアドレス");
    c.remarks = q.text("Fi_備考");
    return c;
}

// Containment matches cannot use an index, and walking the reading index costs a lookup per
// row: one scan of the table and a sort of the matches is several times faster. Rows of equal
// reading come in key order, so that the list and its workbook agree.
const QString kFrom = QStringLiteral(" from Tb_顧客 not indexed where ");
const QString kOrder = QStringLiteral(" order by Fi_名前フリガナ, Fi_キー");

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
    RowValues values = FieldValues(c);
    values.set(QStringLiteral("Fi_キー"), key).stamp(Stamp::now()).insertInto(db, kCustomers);
    return key;
}

std::int32_t CustomerStore::addAll(const std::vector<Customer>& customers) const
{
    Database db;
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    const std::int32_t first = db.nextKey(kCustomers);
    const Stamp stamp = Stamp::now();
    std::int32_t key = first;
    for (const Customer& c : customers)
        FieldValues(c).set(QStringLiteral("Fi_キー"), key++).stamp(stamp).insertInto(db, kCustomers);
    transaction.commit();
    return first;
}

std::vector<Customer> CustomerStore::all() const
{
    Database db;
    Query q(db, QStringLiteral("select * from Tb_顧客 order by Fi_キー"));
    std::vector<Customer> rows;
    while (q.next())
        rows.push_back(ReadFields(q));
    return rows;
}

std::optional<Customer> CustomerStore::customer(std::int32_t key) const
{
    Database db;
    Query q(db, QStringLiteral("select * from Tb_顧客 where Fi_キー = ?"), {key});
    if (!q.next())
        return std::nullopt;
    return ReadFields(q);
}

bool CustomerStore::update(const Customer& c) const
{
    Database db;
    return FieldValues(c).stamp(Stamp::now()).updateByKey(db, kCustomers, c.key);
}

bool CustomerStore::remove(std::int32_t key) const
{
    Database db;
    return DeleteByKey(db, kCustomers, key);
}

std::optional<Customer> CustomerStore::condition() const
{
    Database db;
    Query q(db, QStringLiteral("select * from Tb_検索条件 where Fi_キー = ?"), {kConditionKey});
    if (!q.next())
        return std::nullopt;
    Customer c = ReadFields(q);
    c.key = kConditionKey;
    return c;
}

void CustomerStore::saveCondition(const Customer& condition) const
{
    Database db;
    RowValues values = FieldValues(condition);
    if (!values.updateByKey(db, kConditions, kConditionKey))
        values.set(QStringLiteral("Fi_キー"), kConditionKey).insertInto(db, kConditions);
}

std::vector<CustomerListEntry> CustomerStore::list(const Customer& condition) const
{
    const WhereClause where = CustomerWhere(condition);
    Database db;
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前, Fi_電話番号, Fi_携帯番号") + kFrom + where.text + kOrder,
            where.values);
    std::vector<CustomerListEntry> rows;
    while (q.next())
        rows.push_back({static_cast<std::int32_t>(q.integer(0)), q.text(1), q.text(2), q.text(3)});
    return rows;
}

std::vector<Customer> CustomerStore::customers(const Customer& condition) const
{
    const WhereClause where = CustomerWhere(condition);
    Database db;
    Query q(db, QStringLiteral("select *") + kFrom + where.text + kOrder, where.values);
    std::vector<Customer> rows;
    while (q.next())
        rows.push_back(ReadFields(q));
    return rows;
}
