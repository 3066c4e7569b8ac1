#include "CustomerStore.h"

#include "CustomerWhere.h"

#include "core/Services.h"
#include "db/Schema.h"

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

// The birthday and the mail wish beside Tb_顧客, under the customer's key. Eight-aligned like a
// row with an amount: the table's reader is compiled for every kind of field.
struct alignas(8) ProfileRow
{
    std::int32_t key = 0;
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t noMail = 0;
};
const QString kProfileTable = QStringLiteral("Tb_顧客補足");
const Table<ProfileRow> kProfiles(kProfileTable, &ProfileRow::key,
                                  {{QStringLiteral("Fi_誕生年"), &ProfileRow::year},
                                   {QStringLiteral("Fi_誕生月"), &ProfileRow::month},
                                   {QStringLiteral("Fi_誕生日"), &ProfileRow::day},
                                   {QStringLiteral("Fi_DM不要"), &ProfileRow::noMail}},
                                  Table<ProfileRow>::Stamped::No);

// What the search adds to Tb_検索条件, in a row of its own.
struct ConditionExtraRow
{
    std::int32_t key = 0;
    QString lastFrom;
    QString lastBefore;
    QString periodFrom;
    QString periodTo;
    Amount minTotal = 0;
    std::int32_t minVisits = 0;
    QString maker;
    std::int32_t never = 0;
    std::int32_t birthMonth = 0;
};
const QString kExtraTable = QStringLiteral("Tb_検索条件追加");
const Table<ConditionExtraRow>
    kConditionExtras(kExtraTable, &ConditionExtraRow::key,
                     {{QStringLiteral("Fi_最終購入以降"), &ConditionExtraRow::lastFrom},
                      {QStringLiteral("Fi_最終購入より前"), &ConditionExtraRow::lastBefore},
                      {QStringLiteral("Fi_購入期間開始"), &ConditionExtraRow::periodFrom},
                      {QStringLiteral("Fi_購入期間終了"), &ConditionExtraRow::periodTo},
                      {QStringLiteral("Fi_期間合計以上"), &ConditionExtraRow::minTotal},
                      {QStringLiteral("Fi_期間来店以上"), &ConditionExtraRow::minVisits},
                      {QStringLiteral("Fi_購入メーカー"), &ConditionExtraRow::maker},
                      {QStringLiteral("Fi_購入なし"), &ConditionExtraRow::never},
                      {QStringLiteral("Fi_誕生月"), &ConditionExtraRow::birthMonth}},
                     Table<ConditionExtraRow>::Stamped::No);

bool TablePresent(Database& db, const QString& table)
{
    return db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'table' and name = ?"), {table}) >
           0;
}

// Whether a reader can look into a table that an older file gets at its first use: made now, or
// absent from a file that cannot take it now (read-only, or held by another program), which then
// has no rows of it.
bool ReadyToRead(Database& db, const QString& table)
{
    try {
        CreateMissingTable(db, table);
        return true;
    } catch (const QelError& e) {
        if (e.kind() != QelError::Kind::ReadOnly && e.kind() != QelError::Kind::Busy)
            throw;
        return TablePresent(db, table);
    }
}

void ProfileToCustomer(const ProfileRow& p, Customer& c)
{
    c.birthday = {p.year, p.month, p.day};
    c.noMail = p.noMail != 0;
}

// A customer with neither a birthday nor a wish against mail keeps no row.
void SaveProfile(Database& db, std::int32_t key, const Customer& c)
{
    if (!c.birthday.known() && !c.noMail) {
        kProfiles.remove(db, key);
        return;
    }
    kProfiles.put(db, {key, c.birthday.year, c.birthday.month, c.birthday.day, c.noMail ? 1 : 0});
}

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

std::optional<Customer> CustomerStore::row(std::int32_t key) const
{
    Database db;
    std::optional<Customer> customer = kCustomers.row(db, key);
    if (customer && ReadyToRead(db, kProfileTable)) {
        if (const std::optional<ProfileRow> profile = kProfiles.row(db, key))
            ProfileToCustomer(*profile, *customer);
    }
    return customer;
}

std::int32_t CustomerStore::add(const Customer& customer) const
{
    return add(std::vector<Customer>{customer});
}

std::int32_t CustomerStore::add(const std::vector<Customer>& customers,
                                const std::function<void(int percent)>& progress) const
{
    constexpr std::size_t kBlock = 500;
    Database db;
    CreateMissingTable(db, kProfileTable);
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    std::int32_t first = 0;
    for (std::size_t done = 0; done < customers.size(); done += kBlock) {
        if (progress)
            progress(int(done * 100 / customers.size()));
        const auto from = customers.begin() + std::ptrdiff_t(done);
        const std::vector<Customer> block(from,
                                          from + std::ptrdiff_t(std::min(kBlock, customers.size() - done)));
        std::int32_t key = kCustomers.add(db, block);
        first = done == 0 ? key : first;
        for (const Customer& c : block)
            SaveProfile(db, key++, c);
    }
    transaction.commit();
    return first;
}

bool CustomerStore::update(const Customer& customer) const
{
    Database db;
    CreateMissingTable(db, kProfileTable);
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    if (!kCustomers.update(db, customer))
        return false;
    SaveProfile(db, customer.key, customer);
    transaction.commit();
    return true;
}

bool CustomerStore::remove(std::int32_t key) const
{
    Database db;
    CreateMissingTable(db, kProfileTable);
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    const bool removed = kCustomers.remove(db, key);
    kProfiles.remove(db, key);
    transaction.commit();
    return removed;
}

std::int64_t CustomerStore::namesakes(const QString& name) const
{
    Database db;
    return db.count(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前 = ?"), {name});
}

std::vector<Customer> CustomerStore::all() const
{
    Database db;
    return kCustomers.rows(db, QStringLiteral("order by Fi_キー"));
}

std::optional<SearchCondition> CustomerStore::condition() const
{
    Database db;
    const std::optional<Customer> fields = kConditions.row(db, kConditionKey);
    if (!fields)
        return std::nullopt;
    SearchCondition condition{.fields = *fields, .purchases = {}, .birthMonth = 0};
    if (!TablePresent(db, kExtraTable))
        return condition;
    if (const std::optional<ConditionExtraRow> e = kConditionExtras.row(db, kConditionKey)) {
        condition.purchases = {.lastFrom = e->lastFrom,
                               .lastBefore = e->lastBefore,
                               .periodFrom = e->periodFrom,
                               .periodTo = e->periodTo,
                               .minTotal = e->minTotal,
                               .minVisits = e->minVisits,
                               .maker = e->maker,
                               .never = e->never != 0};
        condition.birthMonth = e->birthMonth;
    }
    return condition;
}

void CustomerStore::saveCondition(const SearchCondition& condition) const
{
    Database db;
    CreateMissingTable(db, kExtraTable);
    Customer row = condition.fields;
    row.key = kConditionKey;
    const PurchaseCondition& p = condition.purchases;
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    kConditions.put(db, row);
    kConditionExtras.put(db, {kConditionKey, p.lastFrom, p.lastBefore, p.periodFrom, p.periodTo, p.minTotal,
                              p.minVisits, p.maker, p.never ? 1 : 0, condition.birthMonth});
    transaction.commit();
}

std::vector<CustomerListEntry> CustomerStore::list(const SearchCondition& condition) const
{
    const WhereClause where = CustomerWhere(condition);
    Database db;
    // Where the birthdays cannot be kept yet, nobody has one.
    if (condition.birthMonth > 0 && !ReadyToRead(db, kProfileTable))
        return {};
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前, Fi_電話番号, Fi_携帯番号 from Tb_顧客 ") + kMatched +
                where.text + kOrder,
            where.values);
    std::vector<CustomerListEntry> rows;
    while (q.next())
        rows.push_back({static_cast<std::int32_t>(q.integer(0)), q.text(1), q.text(2), q.text(3)});
    return rows;
}

std::vector<Customer> CustomerStore::customers(const SearchCondition& condition) const
{
    const WhereClause where = CustomerWhere(condition);
    Database db;
    const bool profilesKept = ReadyToRead(db, kProfileTable);
    if (condition.birthMonth > 0 && !profilesKept)
        return {};
    std::vector<Customer> customers = kCustomers.rows(db, kMatched + where.text + kOrder, where.values);
    if (!profilesKept)
        return customers;
    QHash<std::int32_t, ProfileRow> profiles;
    for (ProfileRow& p : kProfiles.rows(db))
        profiles.insert(p.key, p);
    for (Customer& c : customers) {
        if (const auto it = profiles.constFind(c.key); it != profiles.constEnd())
            ProfileToCustomer(*it, c);
    }
    return customers;
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
