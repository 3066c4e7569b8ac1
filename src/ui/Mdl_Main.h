#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Start-up: refuses a second instance, completes an installed folder from seedDir (nothing to do
// for a portable folder, seedDir empty), reads the settings, makes the working folders and opens
// the main menu. Returns the instance lock to hold for the whole run, or nullptr when the program
// must end at once.
std::unique_ptr<QLockFile> Main(const QString& appPath, const QString& seedDir = {});

// The per-user lock file that marks a running instance of the application in this folder.
QString InstanceLockPath(const QString& appPath);
