#pragma once

#include "customers/CustomerStore.h"

#include "support/ScreenTest.h"

#include <QStringList>

#include <ostream>

void PrintTo(const QString& text, std::ostream* out);

// The customer screens on a database with known customers.
class CustomerScreenTest : public ScreenTest
{
  protected:
    void SetUp() override;

    // A customer in Tokyo (13) unless told otherwise; returns its key.
    static std::int32_t addCustomer(const QString& name, const QString& reading, int prefecture = 13,
                                    const QString& phone = {}, const QString& remarks = {});
    // Customers C01 .. Cnn with the readings ｱ01 .. ｱnn, added in reverse so that keys and
    // reading order differ.
    static void addCustomers(int count);

    // A sale of one product to the purchaser's name on the day ("yyyymmdd").
    void addSale(const QString& buyer, const QString& date, const QString& maker, qlonglong price,
                 qlonglong quantity = 1, const QString& remarks = {}) const;
    // A ledger of 30 customers C01 .. C30 (readings ｱ01 .. ｱ30; C05 twice, the second one ｲ05) and
    // 240 sales of the makers メーカーA to メーカーE over 2022 to 2024, bought by C01 to C24 (C25 to
    // C30 never buy) and by a walk-in no customer is; every third customer has a birthday in month
    // key % 12 + 1, every fourth wants no mail.
    void addLedger() const;

    // Opens the search from the menu, enters the conditions and searches; the list is then the
    // screen.
    void search(const QString& name = {}, int prefecture = 0);
    // The names the list shows, top to bottom.
    QStringList listedNames() const;
    // The detail of the grid's row, through 詳細表示.
    void openDetail(int row);
    // The first column of each row the statement selects.
    QStringList selected(const QString& sql) const;
};
