#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// One row of Tb_顧客 as the screens see it.
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

// The prefecture list as the lists show it: names[i] is the prefecture numbered i.
struct Prefectures
{
    QStringList names;
    // Empty when the table holds the rows 0 to 47; otherwise what is wrong, for the user.
    QString problem;
};

// Reads and writes Tb_顧客 and reads Tb_都道府県. One connection per call; every value bound.
// Failures are thrown as DbError.
class CustomerStore
{
  public:
    // The rows numbered 0, 1, 2, ... without a gap; a row after a gap could not sit at the
    // position of its number, so it is left out and reported.
    Prefectures prefectures() const;

    // Adds the customer under the largest key + 1 (1 for an empty table), with the stamp of now.
    // Returns the key given.
    std::int32_t add(const Customer& customer) const;
};
