#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// The program's name, its menu entry (so that docks and task bars group its windows under the
// entry) and its icon, the window icon of every screen and box.
void SetUpApplication();

// Start-up: refuses a second instance, completes an installed folder from seedDir (nothing to do
// for a portable folder, seedDir empty), reads the settings, makes the working folders and opens
// the main menu; a ledger of the earlier format in use is offered for conversion first
// (OfferLedgerConversion). Returns the instance lock to hold for the whole run, or nullptr when the program
// did not start (refused, failed or declined, after its box): it then ends with a non-zero status.
std::unique_ptr<QLockFile> Main(const QString& appPath, const QString& seedDir = {});

// The per-user lock file that marks a running instance of the application in this folder.
QString InstanceLockPath(const QString& appPath);
