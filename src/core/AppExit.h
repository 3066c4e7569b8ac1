#pragma once

#include <memory>

// Ends the application after a failure it cannot continue from. Tests install their own to
// see that it was asked for.
class AppExit
{
public:
    virtual ~AppExit() = default;
    virtual void endApplication();

    static AppExit& current();
    static void install(std::unique_ptr<AppExit> service); // nullptr restores the real one
};
