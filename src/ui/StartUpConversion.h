#pragma once

// At start-up, before the menu: when the database about to be used (the sample while it exists,
// else the operational one) is a ledger of the earlier format, asks whether to convert it, with
// its counts, and converts it in a window that shows the progress; then says what was converted.
// Returns false when the program must end, the file unchanged: the user declined, or the file
// cannot be converted (after the box that says why).
bool OfferLedgerConversion();
