#pragma once

#include "customers/CustomerStore.h"

#include "support/ScreenTest.h"

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

    // Opens the search from the menu, enters the conditions and searches; the list is then the
    // screen.
    void search(const QString& name = {}, int prefecture = 0);
    // The names the list shows, top to bottom.
    QStringList listedNames() const;
    // The detail of the grid's row, through 詳細表示.
    void openDetail(int row);
};
