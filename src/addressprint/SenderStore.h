#pragma once

#include "AddressLayout.h"

#include "db/Table.h"

// One row of Tb_差出人: the shop's sender details of the postcards, under the key 1.
struct SenderRow : Sender
{
    std::int32_t key = 1;
};

// Tb_差出人, kept in the ledger itself so that the backup and the restore carry the sender. A
// file made before the table gets it at the first read; where that file cannot be written, the
// sender reads as empty. One connection per call; every value bound. Failures are thrown as
// QelError.
class SenderStore : public TableStore<SenderRow>
{
  public:
    SenderStore();
    Sender sender() const;
    // Writes the one row, its texts trimmed.
    void save(const Sender& sender) const;
};
