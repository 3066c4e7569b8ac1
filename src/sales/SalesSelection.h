#pragma once

#include "SalesStore.h"
#include "core/Amount.h"
#include "core/PeriodMonth.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Database;
class Query;

// The three sales-detail reports: by period, by maker and by purchaser.
enum class ReportKind { Period, Maker, Buyer };

// What a report selects: the months from and to ("yyyymm", kOpenStart and kOpenEnd for no
// period), and for the maker and purchaser reports the name, compared as stored.
struct ReportSelection
{
    ReportKind kind = ReportKind::Period;
    QString periodFrom = kOpenStart;
    QString periodTo = kOpenEnd;
    QString name;
};

// The report's sales in report order (purchase date, then key) and the sum of their totals.
struct ReportKeys
{
    std::vector<std::int32_t> keys;
    Amount grandTotal = 0;
};

// The report's sales for its workbook, read one at a time while the workbook is written, so that
// half a million of them never sit in memory at once. The connection lasts as long as this
// object: one press of the output button.
class ReportSales
{
  public:
    // Opens the database and counts the selected sales.
    explicit ReportSales(const ReportSelection& selection);
    ~ReportSales();
    ReportSales(const ReportSales&) = delete;
    ReportSales& operator=(const ReportSales&) = delete;

    std::int64_t count() const { return m_count; }
    // The next sale in report order, valid until the next call; nullptr at the end.
    const Sale* next();

  private:
    ReportSelection m_selection;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Query> m_rows;
    Sale m_row;
    std::int64_t m_count = 0;
};
