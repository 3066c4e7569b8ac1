#pragma once

#include <memory>

// Ends the application after a failure it cannot continue from. Tests install their own to
// see that it was asked for.
class AppExit
{
  public:
    virtual ~AppExit() = default;
    // The caller stops what it was doing and returns to the event loop, which then ends with
    // exit code 1; the screens and files are closed as on a normal end.
    virtual void endApplication();

    static AppExit& current();
    static void install(std::unique_ptr<AppExit> service); // nullptr restores the real one
};
