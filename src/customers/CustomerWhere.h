#pragma once

#include "CustomerStore.h"

#include <QString>
#include <QVariantList>

// The where-clause of the customer list and its workbook, built from the saved condition: one
// term per condition in the order reading, name, postal code, prefecture, city, building,
// telephone, mobile, fax, mail, remarks, joined with " and ". A text condition applies when its
// trimmed value is not empty and is a containment match whose value is bound, never spliced:
// quotes and the pattern characters of either engine are just characters, and ASCII letters
// match regardless of case. The prefecture term always applies: "= n", or "> 0" for 0, so a
// customer stored without a prefecture is never listed. The month of birth and the purchases
// follow, each term only when set.
WhereClause CustomerWhere(const SearchCondition& condition);
