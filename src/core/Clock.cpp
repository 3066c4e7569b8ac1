#include "Clock.h"

namespace {
std::unique_ptr<Clock>& slot()
{
    static std::unique_ptr<Clock> clock = std::make_unique<Clock>();
    return clock;
}
} // namespace

QDateTime Clock::now() const
{
    // Whole seconds: stamps and backup names carry no fractions.
    QDateTime t = QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

const Clock& Clock::current()
{
    return *slot();
}

void Clock::install(std::unique_ptr<Clock> clock)
{
    slot() = clock ? std::move(clock) : std::make_unique<Clock>();
}
