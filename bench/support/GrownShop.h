#pragma once

#include <QString>

#include <memory>

class BenchFolder;
class Database;

// How many rows of each kind a grown shop adds.
struct ShopSize
{
    int customers = 0;
    int makers = 0;
    int products = 0;
    int sales = 0;
};

// Ten times a large shop: the sizes every screen must open at once with.
constexpr ShopSize kLargeShop{100'000, 2'000, 200'000, 1'000'000};

// Adds generated rows to the database after its largest keys, each table in one statement:
// readings spread over the syllabary (some voiced, so that folding has work), products spread
// evenly over the new makers with their maker's name and reading, sales of the new products and
// customers on days spread over the ten years 2015 to 2024 with keys unrelated to the dates.
// Products need makers, and sales need products and customers.
void GrowShop(Database& db, const ShopSize& size);

// Adds sales of the grown products bought by the customer of the key, on days spread over the ten
// years: a regular customer, whose history is long.
void GrowRegular(Database& db, int customerKey, int sales);

// The large shop in use for the run: grown in a fresh folder, or, when the environment variable
// QEL_BENCH_SHOP names a database file, that file (grown there first when it does not exist), so
// that a profile or the real program can be run over the same rows without growing them again.
class LargeShop
{
  public:
    LargeShop();
    ~LargeShop();

  private:
    std::unique_ptr<BenchFolder> m_folder;
};
