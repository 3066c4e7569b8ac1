#pragma once

#include <QStringList>

#include <optional>

// What the command line asks before any window opens: "--help" and "--version" print to
// standard output and end the program with status 0, without a display. Returns the exit
// status when the program is to end, nothing when it starts.
std::optional<int> AnswerCommandLine(int argc, char* argv[]);

// The arguments Qt left after taking its own (-platform, -display and the like): the program
// takes none, so any is refused on standard error with status 2.
std::optional<int> RefuseArguments(const QStringList& arguments);

// While it lives, Qt's abort for want of a display (no desktop session, a display that cannot be
// reached) becomes a message in Japanese and English on standard error and exit status 1.
class NoDisplayExit
{
  public:
    NoDisplayExit();
    ~NoDisplayExit();
    NoDisplayExit(const NoDisplayExit&) = delete;
    NoDisplayExit& operator=(const NoDisplayExit&) = delete;
};
