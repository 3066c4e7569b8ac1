#include "WaitService.h"

#include "core/Services.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

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
    return Service<WaitService>::current();
}

void InstallWaits(std::unique_ptr<WaitService> service)
{
    Service<WaitService>::install(std::move(service));
}
