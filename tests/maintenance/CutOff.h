#pragma once

#include <QString>

// Leaves the database as a program killed in the middle of a large transaction leaves it: pages of
// the transaction written, and the journal that undoes them beside the file. Returns whether the
// journal is there.
bool LeaveCutOffTransaction(const QString& db);
