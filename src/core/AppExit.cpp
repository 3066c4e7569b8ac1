#include "AppExit.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdlib>

namespace {
std::unique_ptr<AppExit>& slot()
{
    static std::unique_ptr<AppExit> service = std::make_unique<AppExit>();
    return service;
}
} // namespace

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
    return *slot();
}

void AppExit::install(std::unique_ptr<AppExit> service)
{
    slot() = service ? std::move(service) : std::make_unique<AppExit>();
}
