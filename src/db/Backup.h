#pragma once

#include "Database.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

// The backup routines; each throws QelError with the reason when a step fails. At every instant
// the database lies under its own name, whole. While a run copies the database or writes into it,
// it holds the engine's write lock on it: another program that writes then waits or fails as at a
// save, and its commit never lands in a file outside the database in use. New content is written
// into the database through the engine, in one transaction, never by renaming a file over it.

// A work file that must not outlive its step: removed (through BackupFiles) when this goes out of
// scope, whichever way the step ends, if it is there then.
class RemovedAtEnd
{
  public:
    explicit RemovedAtEnd(QString path) : m_path(std::move(path)) {}
    ~RemovedAtEnd();
    RemovedAtEnd(const RemovedAtEnd&) = delete;
    RemovedAtEnd& operator=(const RemovedAtEnd&) = delete;

  private:
    QString m_path;
};

// Deletes the named file of the backup folder when it exists.
void DeleteBackFile(const QString& fileName);

// Lets the engine roll back a transaction that a stopped program left in the journal beside the
// file, so that the file holds committed data only; nothing without a journal. Throws QelError
// when the engine cannot.
void SettleDatabase(const QString& path);

// Refuses a database that the run must not touch: missing, not writable by the user, or (when
// asked) not one of ours (the six tables with their columns). A cut-off transaction is rolled
// back first.
void CheckDatabaseInUse(bool mustBeOurs = true);

// The engine's write lock on the database in use, held from construction until destruction or
// until its content is replaced. Taking it waits as long as any operation waits for another
// program, then throws QelError with the locked sentence.
class DatabaseLock
{
  public:
    // The lock of a run that writes the content later (the backup run): another program may still
    // read, none may write.
    DatabaseLock();
    // The lock of a run that replaces the content with the database file `replacement` (the
    // restore): nobody else may read or write until the content is written or the lock let go.
    // Throws QelError as above; `readable` is set to false instead (and nothing is locked) when the
    // engine cannot read the database at all (not a database to it), which no program can then be
    // writing.
    DatabaseLock(const QString& replacement, bool& readable);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // Writes the database file's bytes as they are to a new file, flushed, with the database's mode.
    // They are read through the engine's own handle: a second handle on the file, once closed,
    // would drop every lock of this program on it. Returns 0 or the system's error number.
    int copyTo(const QString& target, const Progress& progress) const;
    // Puts the content of the database file in place of the database's, through the engine, in
    // one transaction that the engine rolls back when it is cut off. A lock taken without the
    // replacement lets go for an instant: the write is refused when another program committed
    // meanwhile.
    void replace(const QString& replacement, const Progress& progress);
    const QString& path() const { return m_path; }

    // The engine's copy into the database, with the lock it holds.
    struct Writer;

  private:
    quint32 changeCounter() const;

    QString m_path;
    std::unique_ptr<SQLite::Database> m_db;
    std::unique_ptr<Writer> m_writer;
    quint32 m_counter = 0;
};

// Writes a compacted copy of the database in use to AppPath + "/Temp" + DbFileName, with the
// database's mode, flushed and checked. The lock keeps other writers out from here until the copy
// has replaced the database.
void CompactDb(DatabaseLock& lock, const Progress& progress = {});

// Writes the database in use to the backup folder as "Back" + yyyymmddhhnnss + DbFileName, as it
// is, and puts the compacted copy's content in its place. Returns the full path of the backup file.
QString BackupDb(DatabaseLock& lock, const Progress& progress = {});

// Writes the database in use to the backup folder as it is (a copy, never a second name of the
// file in use). With a lock, the bytes are read through it. Returns the path.
QString KeepDbAsBackup(const DatabaseLock* lock, const Progress& progress = {});

// Renames the copy over the database in use when the engine cannot read it as a database (nobody
// can then be writing it) or when it is missing; the copy takes the database's mode.
void ReplaceUnreadableDb(const QString& copy);

// The name of the private copy that a restore writes into the database; left beside the database
// by a restore that stopped.
QString RestoreCopyPath();

// The name of the new database that the conversion of an earlier ledger writes before it takes
// the database's place; left beside the database by a conversion that stopped.
QString ConversionCopyPath();

// Keeps the file of an earlier ledger (a Jet file) byte for byte in the backup folder, as
// "旧形式_" + its name + "_" + yyyymmddhhnnss + its extension, written under a partial name first.
// Such a copy is not a backup of ours: the restore does not offer it and the pruning leaves it.
// Returns the full path.
QString KeepEarlierLedger(const QString& path, const Progress& progress = {});

// Whether the name is that of a kept earlier ledger.
bool IsEarlierLedgerCopy(const QString& fileName);

// Whether the name is that of a backup still being written (left by a run that stopped); such a
// file is not a backup and never counts as one.
bool IsPartialBackup(const QString& fileName);

// The database file that a backup was made of, read from its name ("Back" + time + file name);
// empty for a file of another name.
QString BackupOrigin(const QString& fileName);

// At start-up, before the menu chooses the database: lets the engine roll back a transaction cut
// off in either database, says whether a restore stopped before or after it wrote, puts back a
// database that an earlier version left only as its checked compacted copy, and removes the
// partial files. Returns the notices for the user (empty when nothing was done that the user must
// know).
QStringList RecoverInterruptedBackup();

// What a database file of ours holds.
struct DatabaseSummary
{
    std::int64_t customers = 0;
    std::int64_t sales = 0;
    QString latestSale; // yyyymmdd of the latest purchase date; empty without sales
    bool operator==(const DatabaseSummary&) const = default;
};

// Reads a database file without changing it. Throws QelError with the reason, in a sentence for
// the user, when it is not one of ours: missing, not a database, cut short, damaged, or lacking
// one of the six tables or one of their columns. `whole` runs the engine's full integrity check
// as well (it reads every page). Without `counts` the summary stays empty: counting the sales
// reads a large part of the file.
DatabaseSummary InspectDatabase(const QString& path, bool whole, bool counts = true,
                                const Progress& progress = {});

// The engine's full check of a database file: empty when it is whole, else the engine's first
// finding. Throws QelError when the file cannot be read at all.
QString DamageIn(const QString& path, const Progress& progress = {});

// Which file a path names, and its bytes' last change as the system records it: a file replaced
// by another, or written and given back its old time, has another fingerprint.
struct FileFingerprint
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileFingerprint&) const = default;
};
FileFingerprint FingerprintOf(const QString& path);

// The file operations of the backup routines, so that tests can make any of them fail, or stop
// the program after any of them, where a real file system cannot be made to (permissions do not
// bind the superuser). Each returns 0 or the system's error number.
class BackupFiles
{
  public:
    // Fills the buffer with `size` bytes of the source from `offset`; returns 0 or an error number.
    using Reader = std::function<int(char* buffer, qint64 offset, qint64 size)>;

    virtual ~BackupFiles() = default;
    // Renames in one step, replacing a file of the target name.
    virtual int rename(const QString& from, const QString& to);
    // A new file of `size` bytes from the reader, with the mode, flushed; nothing is left when it
    // fails. Never over an existing file.
    virtual int write(const QString& to, qint64 size, unsigned mode, const Reader& read,
                      const Progress& progress);
    virtual int remove(const QString& path);
    virtual int setMode(const QString& path, unsigned mode);
    // Makes what was written to the file, or the names of the folder, durable.
    virtual int flush(const QString& path);

    // A new file with the bytes and mode of the source, through write().
    int copy(const QString& from, const QString& to, const Progress& progress = {});

    static BackupFiles& current();
    static void install(std::unique_ptr<BackupFiles> files); // nullptr restores the real ones
};
