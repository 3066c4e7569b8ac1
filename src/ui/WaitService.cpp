#include "WaitService.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

namespace {
std::unique_ptr<WaitService>& slot()
{
    static std::unique_ptr<WaitService> service = std::make_unique<WaitService>();
    return service;
}
} // namespace

void Repaint(QWidget* screen)
{
    if (screen)
        screen->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WaitService::wait(QWidget* screen, int milliseconds)
{
    Repaint(screen);
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

WaitService& Waits()
{
    return *slot();
}

void InstallWaits(std::unique_ptr<WaitService> service)
{
    slot() = service ? std::move(service) : std::make_unique<WaitService>();
}
