#pragma once

#include <QDateTime>

#include <memory>

// The one source of "now", so that tests can fix the time of a save or a backup.
class Clock
{
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;

    static const Clock& current();
    // Replaces the clock; nullptr restores the system clock.
    static void install(std::unique_ptr<Clock> clock);
};

class FixedClock : public Clock
{
  public:
    explicit FixedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }

  private:
    QDateTime m_at;
};
