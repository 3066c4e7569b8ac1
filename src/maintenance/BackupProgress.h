#pragma once

#include "db/Backup.h"

#include <QString>

#include <functional>
#include <vector>

class MainScreen;
class QLabel;
class QWidget;

// Shows one step of a run: its text in the status line, then the half-second pause.
using Announce = std::function<void(const QString& status)>;

// Runs work as the maintenance screens show it: the hourglass and the held controls disabled
// while it runs, each announced step in the status line with its pause and then with its progress,
// the screen painted while a long step works, then `done` or `stopped`
// in the status line. A failure is shown through the dialog service's failure box captioned with
// the form's box title and leaves the screen usable. Input that queued while the controls were
// held is handled before they are enabled again, so that a click made during the run is not taken
// for a new request. Returns whether the work completed.
bool ShowProgressRun(MainScreen* screen, QLabel* status, const std::vector<QWidget*>& held,
                     const std::function<void(const Announce& announce, const Progress& progress)>& work,
                     const QString& done, const QString& stopped);

// The backup run as both maintenance screens show it: the run with the controls held, then the
// box with the backup file's path. Returns whether the backup was made.
bool ShowBackupRun(MainScreen* screen, QLabel* status, const std::vector<QWidget*>& held);
bool ShowBackupRun(MainScreen* screen, QLabel* status, QWidget* button);
