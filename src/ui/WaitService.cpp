#include "WaitService.h"

#include "core/Services.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

void Repaint(QWidget* screen)
{
    if (screen)
        screen->repaint();
    // Under X11 the input that processing with user input excluded sets aside is looked at again
    // only when the window system sends something more (with the GLib event loop): the end of a
    // run could not drop it, and it would reach the controls given back meanwhile. There the
    // window system's events stay queued instead, for the end of the run, unless the window is
    // not yet on the screen and waits for them to show.
    const QWindow* window = screen ? screen->window()->windowHandle() : nullptr;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && (!window || window->isExposed()))
        QCoreApplication::sendPostedEvents();
    else
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
