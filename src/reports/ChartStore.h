#pragma once

#include "core/Amount.h"
#include "core/PeriodMonth.h"

#include <QString>

#include <cstdint>
#include <vector>

// Which sales the charts sum: the months from and to ("yyyymm", kOpenStart and kOpenEnd for no
// period), and all sales, those of one maker or those of one purchaser (by name, as stored).
struct ChartScope
{
    enum class Kind { All, Maker, Buyer };
    Kind kind = Kind::All;
    QString periodFrom = kOpenStart;
    QString periodTo = kOpenEnd;
    QString name;
};

// One month of the period: its selling-price total and count, and the total of the same month
// a year earlier.
struct MonthTotal
{
    QString month; // yyyymm
    Amount total = 0;
    std::int64_t count = 0;
    Amount yearBefore = 0;
};

// Every month of the period in order, zero where there were no sales, and the sums over them.
// An open start or end stands for the first or last month with a sale; no sale gives no months.
struct MonthChart
{
    std::vector<MonthTotal> months;
    Amount total = 0;
    std::int64_t count = 0;
    Amount yearBefore = 0;
};

// A maker's total and share of the period's total in tenths of a percent; `others` marks the
// sum of all makers past the first ten.
struct MakerShare
{
    QString maker;
    Amount total = 0;
    int perMille = 0;
    bool others = false;
};

// A purchaser's total, number of purchases and last purchase date ("yyyymmdd").
struct BuyerTotal
{
    QString buyer;
    std::int64_t count = 0;
    Amount total = 0;
    QString lastDate;
};

// The sums of the sales charts, over the indexes of the reports. Each call is one database
// operation; failures are thrown as QelError.
class ChartStore
{
  public:
    static constexpr int kTopMakers = 10;
    static constexpr int kTopBuyers = 20;

    MonthChart months(const ChartScope& scope) const;
    // The ten makers of the largest totals, then the rest together; largest first, equal
    // totals by name.
    std::vector<MakerShare> makers(const ChartScope& scope) const;
    // The twenty purchasers of the largest totals, largest first, equal totals by name.
    std::vector<BuyerTotal> buyers(const ChartScope& scope) const;
};

// Tenths of a percent of the whole, rounded half up; 0 when the whole is not positive.
int PerMille(Amount part, Amount whole);
// "12.3%".
QString PerMilleText(int perMille);
