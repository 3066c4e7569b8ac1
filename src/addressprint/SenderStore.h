#pragma once

#include "AddressLayout.h"

// Keeps the shop's sender details of the postcards in the ledger itself, in the one-row table
// Tb_差出人, so that the backup and the restore carry them. The table is made by the first save;
// a database without it reads as an empty sender. One connection per call; every value bound.
// Failures are thrown as QelError.
class SenderStore
{
  public:
    Sender sender() const;
    void save(const Sender& sender) const;
};
