#pragma once

#include "EngineError.h"
#include "Stamp.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace SQLite {
class Database;
} // namespace SQLite

// Progress of a long step: percent done (0 to 100), or -1 when the step cannot tell.
using Progress = std::function<void(int percent)>;

// Calls the progress (with -1) every so many steps of the engine on the connection while it
// lives, so that a screen keeps painting through a long statement (a check, a compaction, an
// index built over a million rows).
class EngineProgress
{
  public:
    EngineProgress(SQLite::Database& db, Progress progress);
    ~EngineProgress();
    EngineProgress(const EngineProgress&) = delete;
    EngineProgress& operator=(const EngineProgress&) = delete;

  private:
    SQLite::Database& m_db;
    Progress m_progress;
};

namespace SQLite {
class Database;
class Statement;
} // namespace SQLite

// One connection for one operation (one button press, one list refresh), closed when it goes
// out of scope, so that the backup can move the file between operations. The file must exist:
// it is never created here.
class Database
{
  public:
    // How long a statement waits for another program's lock before it reports it.
    static constexpr int kBusyTimeoutMs = 2000;

    enum class Access { ReadWrite, ReadOnly };

    // The database in use: AppPath + "/" + DbFileName.
    Database();
    explicit Database(const QString& path, Access access = Access::ReadWrite);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static QString currentPath();

    // Largest key + 1, or 1 when the table is empty.
    std::int32_t nextKey(const QString& table);
    // Rows of a table, with an optional condition whose "?" are bound to the values.
    std::int64_t count(const QString& table, const QString& where = {}, const QVariantList& values = {});
    // Runs a statement that returns no rows; returns the number of rows changed.
    int execute(const QString& sql, const QVariantList& values = {});

    // Calls `progress` every so many steps of the engine (to keep a screen painting through a
    // long statement); an empty function stops the calls. The connection keeps the function.
    void setProgress(std::function<void()> progress);

    // A transaction on the connection, rolled back when it ends uncommitted. Immediate takes the
    // write lock at once, so that nothing changes between what it reads and what it writes.
    class Transaction
    {
      public:
        enum class Start { Deferred, Immediate };
        explicit Transaction(Database& db, Start start = Start::Deferred);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

      private:
        Database& m_db;
        bool m_open = true;
    };

    const QString& path() const { return m_path; }

    // The engine's own connection, for tests and benchmarks that provoke or measure the engine
    // beneath this class; the program itself goes through Database and Query only.
    SQLite::Database& raw() { return *m_db; }

  private:
    friend class Query;

    QString m_path;
    std::unique_ptr<SQLite::Database> m_db;
    // After the connection, so that it is removed from it first.
    std::unique_ptr<EngineProgress> m_progress;
};

// A prepared statement with bound values; every engine failure becomes a QelError.
class Query
{
  public:
    Query(Database& db, const QString& sql, const QVariantList& values = {});
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void bind(int index, const QVariant& value); // 1-based
    bool next();

    QString text(const char* column) const;
    std::int64_t integer(const char* column) const;
    // Money and quantity columns hold whole yen as double; read back exactly as whole numbers.
    std::int64_t amount(const char* column) const;
    QString text(int column) const;
    std::int64_t integer(int column) const;

  private:
    int indexOf(const char* column) const;

    Database& m_db;
    std::unique_ptr<SQLite::Statement> m_stmt;
};

// Field assignments for one new or changed row; column names are the program's own, values
// are always bound.
class RowValues
{
  public:
    RowValues& set(const QString& column, const QVariant& value);
    RowValues& stamp(const Stamp& stamp);

    // "insert into T (...) values (?, ...)"
    void insertInto(Database& db, const QString& table) const;
    // Changes the row of the key; returns whether such a row existed.
    bool updateByKey(Database& db, const QString& table, std::int64_t key) const;

  private:
    std::vector<std::pair<QString, QVariant>> m_values;
};

// Deletes the row of the key; returns whether such a row existed.
bool DeleteByKey(Database& db, const QString& table, std::int64_t key);

// The bound pattern of a containment match: "%" + value with \, % and _ escaped + "%",
// used with "like ? escape '\'".
QString LikeContains(const QString& value);
