#pragma once

#include "db/Backup.h"

#include <QString>

#include <functional>

// Leaves the database as a program killed in the middle of a large transaction leaves it: pages of
// the transaction written, and the journal that undoes them beside the file. Returns whether the
// journal is there.
bool LeaveCutOffTransaction(const QString& db);

// Ends the program without a word after the n-th file operation, as a kill or a power cut
// would; a copy chosen to be the last is cut off half-way.
class StoppingFiles : public BackupFiles
{
  public:
    explicit StoppingFiles(int stopAfter) : m_left(stopAfter) {}
    int rename(const QString& from, const QString& to) override;
    int remove(const QString& path) override;
    int setMode(const QString& path, unsigned mode) override;
    int flush(const QString& path) override;
    int write(const QString& to, qint64 size, unsigned mode, const Reader& read,
              const Progress& progress) override;

  private:
    int tick(int result);
    int m_left;
};

// How a run in a child process ended whose file operations stop it after the n-th one.
enum class StoppedRun { Stopped, Completed, Failed };

// Runs `run` in a child process that StoppingFiles(stopAfter) ends, as a kill would.
StoppedRun RunStoppingAfter(int stopAfter, const std::function<void()>& run);
