#pragma once

#include "SalesStore.h"

#include "core/Amount.h"
#include "db/Rows.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

// What the customer search asks of a customer's purchases; an empty text or a 0 sets no
// condition. Dates are "yyyymmdd".
struct PurchaseCondition
{
    QString lastFrom;   // the last purchase on or after this day
    QString lastBefore; // the last purchase before this day
    QString periodFrom; // a purchase within the period; either end may be open
    QString periodTo;
    Amount minTotal = 0; // the purchases of the period (of all time without one) total at least this
    int minVisits = 0;   // on at least this many days of the period (of all time without one)
    QString maker;       // a purchase of this maker, at any time
    bool never = false;  // no purchase at all

    bool any() const;
    bool hasPeriod() const { return !periodFrom.isEmpty() || !periodTo.isEmpty(); }
    bool operator==(const PurchaseCondition&) const = default;
};

// The terms that keep the customers whose purchases meet the condition, joined with " and ", for
// a statement on the customers with the name in `nameColumn`: a sale carries its purchaser's name,
// not a key, so a customer's sales are those of the customer's name. Each term looks the name up
// in the purchaser index once per customer (the maker's purchasers are read once). Empty when the
// condition sets nothing.
WhereClause PurchaseWhere(const PurchaseCondition& condition, const QString& nameColumn);

struct MakerTotal
{
    QString maker;
    Amount total = 0;
};

// The figures above a customer's purchase history.
struct PurchaseSummary
{
    QString first; // "yyyymmdd" of the first and the last purchase; empty without a purchase
    QString last;
    std::int64_t visits = 0; // days with a purchase
    std::int64_t count = 0;  // sales
    Amount total = 0;
    Amount perVisit = 0;               // the total over the visits, rounded to the yen
    int monthsSince = -1;              // whole months from the last purchase to today; -1: none
    std::vector<MakerTotal> topMakers; // the three makers bought most by amount, most first
};

PurchaseSummary SummarizePurchases(const std::vector<Sale>& sales, const QDate& today);
