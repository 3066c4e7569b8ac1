#pragma once

#include "db/Rows.h"
#include "db/Table.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One row of Tb_顧客 as the screens see it. The saved search condition of Tb_検索条件 has the
// same fields (its key is always 1, its prefecture 0 means "any prefecture but 0").
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

// Reads and writes Tb_顧客 and Tb_検索条件 and reads Tb_都道府県. One connection per call; every
// value bound. Failures are thrown as QelError.
class CustomerStore : public TableStore<Customer>
{
  public:
    CustomerStore();

    // The rows numbered 0, 1, 2, ... without a gap; a row after a gap could not sit at the
    // position of its number, so it is left out and reported.
    Prefectures prefectures() const;

    using TableStore::add;
    // Adds the customers in one transaction, under the largest key + 1 and on, all with the stamp
    // of now; a failure adds none. Returns the first key given. The progress (percent done) may
    // throw to stop: nothing is added then either.
    std::int32_t add(const std::vector<Customer>& customers,
                     const std::function<void(int percent)>& progress = {}) const;
    // Every stored customer, in key order.
    std::vector<Customer> all() const;
    // remove() deletes the customer's row only: sales name their customers by copy.

    // The saved search condition; none before the first search. A NULL left in it by an older
    // version reads as an empty condition.
    std::optional<Customer> condition() const;
    // Writes the condition as the single row with the key 1, added on the first save.
    void saveCondition(const Customer& condition) const;

    // The customers matching the condition in reading order: the list's lines, and the whole
    // rows the customer-list workbook is written from.
    std::vector<CustomerListEntry> list(const Customer& condition) const;
    std::vector<Customer> customers(const Customer& condition) const;

    // Every customer's key and reading in reading order, rows of equal reading in key order,
    // read from the reading index alone, and the names of some customers at the positions of
    // their keys (empty for a key without a row): a long purchaser list is shown at once and its
    // names read as they are drawn.
    KeysWithReadings readings() const;
    QStringList names(const std::vector<std::int32_t>& keys) const;
};
