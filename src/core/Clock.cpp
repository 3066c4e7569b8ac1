#include "Clock.h"

#include "Services.h"

QDateTime Clock::now() const
{
    // Whole seconds: stamps and backup names carry no fractions.
    QDateTime t = QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

const Clock& Clock::current()
{
    return Service<Clock>::current();
}

void Clock::install(std::unique_ptr<Clock> clock)
{
    Service<Clock>::install(std::move(clock));
}
