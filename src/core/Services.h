#pragma once

#include <functional>
#include <memory>

// The replaceable services of the program (the clock, the end of the application, the message
// boxes, the waits, the backup's file operations): one slot each, holding the real service until
// another is installed, and one reset that puts every slot back. Tests install their own
// services and reset between cases.
//
// A service is a class with virtual members whose default construction is the real service:
//     Service<Clock>::current().now();
//     Service<Clock>::install(std::make_unique<FixedClock>(at)); // nullptr restores the real one

// Adds what a reset must also clear: program state kept outside the slots (the text handed over
// between two fields, say). It runs at every later ResetServices.
void OnServiceReset(std::function<void()> reset);

// Puts every service back to the real one and clears the state registered with OnServiceReset,
// as a fresh start finds it.
void ResetServices();

template <class T> class Service
{
  public:
    static T& current() { return *slot(); }
    static void install(std::unique_ptr<T> service)
    {
        slot() = service ? std::move(service) : std::make_unique<T>();
    }

  private:
    static std::unique_ptr<T>& slot()
    {
        // A slot never used holds the real service already; it joins the reset on first use.
        static std::unique_ptr<T> service = [] {
            OnServiceReset([] { install(nullptr); });
            return std::make_unique<T>();
        }();
        return service;
    }
};
