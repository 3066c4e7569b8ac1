#pragma once

#include "core/DateInput.h"
#include "db/Rows.h"
#include "db/Table.h"
#include "sales/PurchaseHistory.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One customer as the screens see it: the row of Tb_顧客, with the birthday and the mail wish kept
// beside it. The saved search condition of Tb_検索条件 has the same fields but the last two (its
// key is always 1, its prefecture 0 means "any prefecture but 0").
struct Customer
{
    std::int32_t key = 0;
    QString name;
    QString reading;
    QString postalCode;
    int prefecture = 0; // position in the prefecture list; 0 = none
    QString city;
    QString building;
    QString phone;
    QString mobile;
    QString fax;
    QString mail;
    QString remarks;
    Birthday birthday;
    bool noMail = false; // DM 送らない
};

// The saved search: the customer fields, the purchases and the month of birth (0: any).
struct SearchCondition
{
    Customer fields;
    PurchaseCondition purchases;
    int birthMonth = 0;
};

// One line of the customer list: what the grid shows and the key behind it.
struct CustomerListEntry
{
    std::int32_t key = 0;
    QString name;
    QString phone;
    QString mobile;
};

// The prefecture list as the lists show it: names[i] is the prefecture numbered i.
struct Prefectures
{
    QStringList names;
    // Empty when the table holds the rows 0 to 47; otherwise what is wrong, for the user.
    QString problem;
};

// The first position from `first` on whose (non-empty) name begins the address; -1 for none. A
// typed or imported address that starts with its prefecture gives it up to the prefecture.
int PrefectureAtStart(const QString& address, const QStringList& names, int first = 0);

// Reads and writes Tb_顧客 with the birthdays and mail wishes beside it, the saved search, and
// reads Tb_都道府県. One connection per call; every value bound. Failures are thrown as QelError.
class CustomerStore : public TableStore<Customer>
{
  public:
    CustomerStore();

    // The rows numbered 0, 1, 2, ... without a gap; a row after a gap could not sit at the
    // position of its number, so it is left out and reported.
    Prefectures prefectures() const;

    // The customer of the key with the birthday and the mail wish; none when it is gone.
    std::optional<Customer> row(std::int32_t key) const;
    // Adds the customer under the largest key + 1 with its birthday and mail wish; returns the key.
    std::int32_t add(const Customer& customer) const;
    // Adds the customers in one transaction, under the largest key + 1 and on, all with the stamp
    // of now; a failure adds none. Returns the first key given. The progress (percent done) may
    // throw to stop: nothing is added then either.
    std::int32_t add(const std::vector<Customer>& customers,
                     const std::function<void(int percent)>& progress = {}) const;
    // Writes the customer over the row of its key, birthday and mail wish with it; false when the
    // row is gone, and then nothing is written.
    bool update(const Customer& customer) const;
    // Deletes the customer with its birthday and mail wish; sales name their customers by copy and
    // stay. False when there was none.
    bool remove(std::int32_t key) const;
    // Every stored customer, in key order, without birthdays and mail wishes.
    std::vector<Customer> all() const;
    // How many customers bear the name: the sales of a name shared are the sales of them all.
    std::int64_t namesakes(const QString& name) const;

    // The saved search; none before the first search. A NULL left in it by an older version
    // reads as an empty condition.
    std::optional<SearchCondition> condition() const;
    // Writes the search as the single rows with the key 1, added on the first save.
    void saveCondition(const SearchCondition& condition) const;

    // The customers the search finds in reading order: the list's lines, and the whole
    // customers (with birthdays and mail wishes) the workbook, the CSV and the postcards take.
    std::vector<CustomerListEntry> list(const SearchCondition& condition) const;
    std::vector<Customer> customers(const SearchCondition& condition) const;

    // Every customer's key and reading in reading order, rows of equal reading in key order,
    // read from the reading index alone, and the names of some customers at the positions of
    // their keys (empty for a key without a row): a long purchaser list is shown at once and its
    // names read as they are drawn.
    KeysWithReadings readings() const;
    QStringList names(const std::vector<std::int32_t>& keys) const;
};
