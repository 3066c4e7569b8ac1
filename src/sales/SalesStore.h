#pragma once

#include "core/Amount.h"
#include "core/PeriodMonth.h"
#include "db/Stamp.h"
#include "db/Table.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One row of Tb_売上: as the sales entry writes it (key and stamp left to the store) and as it is
// read back.
struct Sale
{
    std::int32_t key = 0;
    QString year;      // yyyy
    QString yearMonth; // yyyymm
    QString date;      // yyyymmdd
    QString maker;
    QString makerReading;
    QString product;
    QString productReading;
    Amount listPrice = 0;
    Amount sellingPrice = 0;
    Amount quantity = 0;
    Amount total = 0;
    QString buyer;
    QString buyerReading;
    QString remarks;
    Stamp stamp; // last update, as read
};

// The columns of Tb_売上, for the readers that walk many sales at once (the reports).
const Table<Sale>& SalesTable();

// Which sales a sum covers: the purchase months from and to ("yyyymm"; kOpenStart and kOpenEnd
// for no bound), and all sales or those of one maker or one purchaser (by name, as stored).
struct SalesScope
{
    enum class Kind { All, Maker, Buyer };
    Kind kind = Kind::All;
    QString from = kOpenStart;
    QString to = kOpenEnd;
    QString name;
};

// The sales of one month, maker or purchaser: the sum of their totals, their number and the last
// purchase date ("yyyymmdd").
struct SalesSum
{
    QString group;
    Amount total = 0;
    std::int64_t count = 0;
    QString lastDate;
};

struct ReportSelection;
struct ReportKeys;

// Tb_売上, its statements and its indexes: the sales screens, the reports, the charts and the bulk
// deletion all read and change the sales through here. Each call is one database operation;
// failures are thrown as QelError.
class SalesStore : public TableStore<Sale>
{
  public:
    SalesStore();
    // The keys of every sale in ascending order: the browsing order of the correction screen.
    std::vector<std::int32_t> saleKeys() const;

    // A report's sales in report order (purchase date, then key) and the sum of their totals.
    ReportKeys reportKeys(const ReportSelection& selection) const;
    // Whether the file lacks an index of the report order or of the chart sums (a file made
    // before they existed).
    bool reportIndexesMissing() const;
    // Builds the missing indexes, which takes seconds over a million sales; progress runs now
    // and then meanwhile, so that the screen that waits can repaint.
    void buildReportIndexes(const std::function<void()>& progress = {}) const;

    // The sales carrying the purchaser's name, newest first (purchase date, then key, descending).
    std::vector<Sale> purchasesOf(const QString& buyer) const;
    // Whether the file lacks the index of the customers' purchases (a file made before it), and
    // building it, seconds over a million sales with progress now and then.
    bool purchaseIndexMissing() const;
    void buildPurchaseIndex(const std::function<void()>& progress = {}) const;

    // The sales of a period of purchase months, bounds "yyyymm" or the open "000000" and
    // "999999", compared as text.
    std::int64_t countInPeriod(const QString& from, const QString& to) const;
    // Deletes the sales of the period in one statement inside one transaction, but only when
    // their number is still the confirmed one; returns the number found. A failure deletes
    // nothing; a changed number deletes nothing and is returned for the user to confirm again.
    std::int64_t removePeriod(const QString& from, const QString& to, std::int64_t confirmed) const;

    // The scope's sales by purchase month, in month order (months without sales left out).
    std::vector<SalesSum> monthSums(const SalesScope& scope) const;
    // The first month with a sale of the scope's maker or purchaser (of any sale for all), whatever
    // its months; empty when there is none.
    QString firstMonth(const SalesScope& scope) const;
    // The scope's sales by maker, in no particular order.
    std::vector<SalesSum> makerSums(const SalesScope& scope) const;
    // The scope's `count` purchasers of the largest totals, largest first, equal totals by name.
    std::vector<SalesSum> topBuyers(const SalesScope& scope, int count) const;
};
