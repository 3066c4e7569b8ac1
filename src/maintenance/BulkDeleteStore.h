#pragma once

#include <QString>

#include <cstdint>

// The statements of the bulk deletion: the sales of a period of purchase months, bounds
// "yyyymm" or the open "000000" and "999999", compared as text. Each call is one database
// operation; failures are thrown as QelError.
class BulkDeleteStore
{
  public:
    std::int64_t count(const QString& from, const QString& to) const;

    // Deletes the sales of the period in one statement inside one transaction, but only when
    // their number is still the confirmed one; returns the number found. A failure deletes
    // nothing; a changed number deletes nothing and is returned for the user to confirm again.
    std::int64_t remove(const QString& from, const QString& to, std::int64_t confirmed) const;
};
