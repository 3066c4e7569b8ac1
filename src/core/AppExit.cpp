#include "AppExit.h"

#include <QCoreApplication>

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
    // Leave at once, as the original did: no screen may go on with a half-done output.
    std::exit(1);
}

AppExit& AppExit::current()
{
    return *slot();
}

void AppExit::install(std::unique_ptr<AppExit> service)
{
    slot() = service ? std::move(service) : std::make_unique<AppExit>();
}
