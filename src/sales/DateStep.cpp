#include "DateStep.h"

#include "core/Clock.h"

QDateTime StepDate(const QDateTime& date, int button)
{
    switch (button) {
    case 0:
        return date.addDays(-7);
    case 1:
        return date.addDays(-1);
    case 2:
        return Clock::current().now();
    case 3:
        return date.addDays(1);
    case 4:
        return date.addDays(7);
    default:
        return date;
    }
}
