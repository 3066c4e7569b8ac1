#include "AppExit.h"

#include "Services.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdlib>

void AppExit::endApplication()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        std::exit(1);
    // exit() leaves every running event loop, modal ones included; the queued call covers an
    // end asked for before the main loop has started.
    QCoreApplication::exit(1);
    QMetaObject::invokeMethod(
        app, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

AppExit& AppExit::current()
{
    return Service<AppExit>::current();
}

void AppExit::install(std::unique_ptr<AppExit> service)
{
    Service<AppExit>::install(std::move(service));
}
