#pragma once

#include <memory>

class QWidget;

// The one-second notices and the backup pauses: repaint the screen, then wait while user input
// queues (it is handled after the wait).
class WaitService
{
  public:
    virtual ~WaitService() = default;
    virtual void wait(QWidget* screen, int milliseconds);
};

WaitService& Waits();
void InstallWaits(std::unique_ptr<WaitService> service); // nullptr restores the real one

// Repaints the screen now, as the progress texts need; the input that comes meanwhile stays queued.
void Repaint(QWidget* screen);
