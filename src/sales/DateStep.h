#pragma once

#include <QDateTime>

// The five date buttons of the sales screens, "<<", "<", "■", ">", ">>" (0 to 4): back 7 days,
// back 1 day, the clock's now, forward 1 day, forward 7 days. Any other index leaves the date.
// There is no bound: dates in the future are accepted.
QDateTime StepDate(const QDateTime& date, int button);
