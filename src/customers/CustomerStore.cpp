#include "CustomerStore.h"

#include "CustomerWhere.h"

#include "core/Services.h"

#include <QFile>
#include <QHash>

#include <optional>

#include <sys/stat.h>

namespace {

// What tells one state of a database file from another without opening it: its size, its last
// change and the change counter the engine bumps in the file's header at every commit, by this
// program or any other (the file is kept with a rollback journal, never write-ahead).
struct FileVersion
{
    qint64 size = 0;
    qint64 modified = 0;
    QByteArray counter;
    bool operator==(const FileVersion&) const = default;
};

std::optional<FileVersion> VersionOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(24))
        return std::nullopt;
    const QByteArray counter = file.read(4);
    struct stat status
    {
    };
    if (counter.size() != 4 || ::fstat(file.handle(), &status) != 0)
        return std::nullopt;
    return FileVersion{static_cast<qint64>(status.st_size),
                       static_cast<qint64>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
                       counter};
}

// The readings of the last reading, kept while the file stays as it was: the sales entry and the
// report menu list every customer, and reading a hundred thousand readings again was most of the
// time they took to open.
struct KeptReadings
{
    QString path;
    FileVersion version;
    KeysWithReadings rows;
};

KeptReadings& Kept()
{
    // A fresh start (a test's reset among them) keeps nothing.
    static KeptReadings kept = [] {
        OnServiceReset([] { Kept() = {}; });
        return KeptReadings();
    }();
    return kept;
}

constexpr int kPrefectureRows = 48;
constexpr std::int32_t kConditionKey = 1;

// The customer fields, as every customer and condition row holds them. A NULL left by an older
// version reads as the empty text or 0.
const std::vector<Table<Customer>::Column> kFields{
    {QStringLiteral("Fi_名前フリガナ"), &Customer::reading},
    {QStringLiteral("Fi_名前"), &Customer::name},
    {QStringLiteral("Fi_郵便番号"), &Customer::postalCode},
    {QStringLiteral("Fi_都道府県番号"), &Customer::prefecture},
    {QStringLiteral("Fi_市区町村"), &Customer::city},
    {QStringLiteral("Fi_建物"), &Customer::building},
    {QStringLiteral("Fi_電話番号"), &Customer::phone},
    {QStringLiteral("Fi_携帯番号"), &Customer::mobile},
    {QStringLiteral("Fi_ファックス番号"), &Customer::fax},
    {QStringLiteral("Fi_メールアドレス"), &Customer::mail},
    {QStringLiteral("Fi_備考"), &Customer::remarks},
};
const Table<Customer> kCustomers(QStringLiteral("Tb_顧客"), &Customer::key, kFields,
                                 Table<Customer>::Stamped::Yes);
const Table<Customer> kConditions(QStringLiteral("Tb_検索条件"), &Customer::key, kFields,
                                  Table<Customer>::Stamped::No);

// Containment matches cannot use an index, and walking the reading index costs a lookup per
// row: one scan of the table and a sort of the matches is several times faster. Rows of equal
// reading come in key order, so that the list and its workbook agree.
const QString kMatched = QStringLiteral("not indexed where ");
const QString kOrder = QStringLiteral(" order by Fi_名前フリガナ, Fi_キー");

} // namespace

int PrefectureAtStart(const QString& address, const QStringList& names, int first)
{
    for (int i = first; i < names.size(); ++i) {
        if (!names.at(i).isEmpty() && address.startsWith(names.at(i)))
            return i;
    }
    return -1;
}

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

CustomerStore::CustomerStore() : TableStore(kCustomers) {}

std::int32_t CustomerStore::add(const std::vector<Customer>& customers) const
{
    Database db;
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    const std::int32_t first = kCustomers.add(db, customers);
    transaction.commit();
    return first;
}

std::vector<Customer> CustomerStore::all() const
{
    Database db;
    return kCustomers.rows(db, QStringLiteral("order by Fi_キー"));
}

std::optional<Customer> CustomerStore::condition() const
{
    Database db;
    return kConditions.row(db, kConditionKey);
}

void CustomerStore::saveCondition(const Customer& condition) const
{
    Database db;
    Customer row = condition;
    row.key = kConditionKey;
    kConditions.put(db, row);
}

std::vector<CustomerListEntry> CustomerStore::list(const Customer& condition) const
{
    const WhereClause where = CustomerWhere(condition);
    Database db;
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前, Fi_電話番号, Fi_携帯番号 from Tb_顧客 ") + kMatched +
                where.text + kOrder,
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
    return kCustomers.rows(db, kMatched + where.text + kOrder, where.values);
}

KeysWithReadings CustomerStore::readings() const
{
    // The version is taken before the read: a commit while reading makes the next call read again.
    const QString path = Database::currentPath();
    const std::optional<FileVersion> version = VersionOf(path);
    KeptReadings& kept = Kept();
    if (version && kept.path == path && kept.version == *version)
        return kept.rows;
    Database db;
    KeysWithReadings result;
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前フリガナ from Tb_顧客 order by Fi_名前フリガナ, Fi_キー"));
    while (q.next()) {
        result.keys.push_back(static_cast<std::int32_t>(q.integer(0)));
        result.readings << q.text(1);
    }
    if (version)
        kept = {path, *version, result};
    return result;
}

QStringList CustomerStore::names(const std::vector<std::int32_t>& keys) const
{
    Database db;
    QStringList names;
    names.reserve(static_cast<qsizetype>(keys.size()));
    for (const std::optional<Customer>& c : kCustomers.rowsOf(db, keys))
        names << (c ? c->name : QString());
    return names;
}
