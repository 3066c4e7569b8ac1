#include "Database.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"

#include <QFileInfo>
#include <QStringList>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <cmath>

namespace {

std::string utf8(const QString& s)
{
    return s.toStdString();
}

// Every engine failure of an operation leaves through here, so that each screen shows the
// same sentence for the same kind of failure.
[[noreturn]] void fail(const std::exception& e, const QString& path)
{
    throw EngineError(e, {}, path);
}

void bindValue(SQLite::Statement& stmt, int index, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Bool:
        stmt.bind(index, static_cast<int64_t>(value.toLongLong()));
        break;
    case QMetaType::Double:
        stmt.bind(index, value.toDouble());
        break;
    default:
        stmt.bind(index, utf8(value.toString()));
    }
}

// A list read in index order visits a grown file's pages out of order, and the engine's default
// 2 MB of cache reads them again and again; 64 MB is taken only as pages are read and freed with
// the connection. Setting it reads the schema, so it is tried without waiting and any failure is
// left to the first statement, which waits for a lock and reports as every statement does.
void KeepMorePages(SQLite::Database& db)
{
    db.setBusyTimeout(0);
    db.tryExec("PRAGMA cache_size = -65536");
    db.setBusyTimeout(Database::kBusyTimeoutMs);
}

} // namespace

Database::Database() : Database(currentPath()) {}

Database::Database(const QString& path, Access access) : m_path(path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw QelError(QelError::Kind::FolderInTheWay,
                       QStringLiteral("データベースファイルの代わりに同じ名前のフォルダがあります。"
                                      "フォルダの名前を変えるか移してから、もう一度操作してください。\n%1")
                           .arg(ShownPath(path)));
    if (!info.exists() || !info.isFile())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("データベースファイルが見つかりません。\n%1").arg(ShownPath(path)));
    try {
        // Read and write, never create: a missing file must not be replaced by an empty one. A
        // connection lives on the one thread that opened it, so the engine need not lock each
        // call.
        const int mode = access == Access::ReadOnly ? SQLite::OPEN_READONLY : SQLite::OPEN_READWRITE;
        m_db = std::make_unique<SQLite::Database>(utf8(path), mode | SQLite::OPEN_NOMUTEX, kBusyTimeoutMs);
        m_db->exec("PRAGMA foreign_keys = OFF");
    } catch (const std::exception& e) {
        throw EngineError(e, FileLine(path), path);
    }
    KeepMorePages(*m_db);
}

Database::~Database() = default;

QString Database::currentPath()
{
    return AppFile(G().DbFileName);
}

void Database::setProgress(std::function<void()> progress)
{
    m_progress.reset();
    if (progress)
        m_progress =
            std::make_unique<EngineProgress>(*m_db, [progress = std::move(progress)](int) { progress(); });
}

EngineProgress::EngineProgress(SQLite::Database& db, Progress progress)
    : m_db(db), m_progress(std::move(progress))
{
    if (!m_progress)
        return;
    sqlite3_progress_handler(
        m_db.getHandle(), 20000,
        [](void* self) {
            static_cast<EngineProgress*>(self)->m_progress(-1);
            return 0; // go on
        },
        this);
}

EngineProgress::~EngineProgress()
{
    if (m_progress)
        sqlite3_progress_handler(m_db.getHandle(), 0, nullptr, nullptr);
}

Database::Transaction::Transaction(Database& db, Start start) : m_db(db)
{
    m_db.execute(start == Start::Immediate ? QStringLiteral("begin immediate") : QStringLiteral("begin"));
}

Database::Transaction::~Transaction()
{
    if (m_open)
        m_db.m_db->tryExec("rollback");
}

void Database::Transaction::commit()
{
    m_db.execute(QStringLiteral("commit"));
    m_open = false;
}

std::int32_t Database::nextKey(const QString& table)
{
    if (count(table) == 0)
        return 1;
    Query q(*this, QStringLiteral("select max(Fi_キー) as wMax from %1").arg(table));
    q.next();
    return static_cast<std::int32_t>(q.integer("wMax") + 1);
}

std::int64_t Database::count(const QString& table, const QString& where, const QVariantList& values)
{
    QString sql = QStringLiteral("select count(*) as cnt from %1").arg(table);
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    Query q(*this, sql, values);
    q.next();
    return q.integer("cnt");
}

int Database::execute(const QString& sql, const QVariantList& values)
{
    try {
        SQLite::Statement stmt(*m_db, utf8(sql));
        for (int i = 0; i < values.size(); ++i)
            bindValue(stmt, i + 1, values.at(i));
        return stmt.exec();
    } catch (const std::exception& e) {
        fail(e, m_path);
    }
}

Query::Query(Database& db, const QString& sql, const QVariantList& values) : m_db(db)
{
    try {
        m_stmt = std::make_unique<SQLite::Statement>(*db.m_db, utf8(sql));
        for (int i = 0; i < values.size(); ++i)
            bindValue(*m_stmt, i + 1, values.at(i));
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

Query::~Query() = default;

void Query::bind(int index, const QVariant& value)
{
    try {
        bindValue(*m_stmt, index, value);
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

bool Query::next()
{
    try {
        return m_stmt->executeStep();
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

QString Query::text(const char* column) const
{
    return text(indexOf(column));
}

std::int64_t Query::integer(const char* column) const
{
    return integer(indexOf(column));
}

std::int64_t Query::amount(const char* column) const
{
    return integer(column);
}

int Query::indexOf(const char* column) const
{
    try {
        return m_stmt->getColumnIndex(column);
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

QString Query::text(int column) const
{
    try {
        // The length comes with the text: no second pass over it to find its end.
        const SQLite::Column value = m_stmt->getColumn(column);
        const char* text = value.getText();
        return QString::fromUtf8(text, value.getBytes());
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

std::int64_t Query::integer(int column) const
{
    try {
        const SQLite::Column c = m_stmt->getColumn(column);
        if (c.isFloat())
            return static_cast<std::int64_t>(std::llround(c.getDouble()));
        return c.getInt64();
    } catch (const std::exception& e) {
        fail(e, m_db.m_path);
    }
}

RowValues& RowValues::set(const QString& column, const QVariant& value)
{
    m_values.emplace_back(column, value);
    return *this;
}

RowValues& RowValues::stamp(const Stamp& s)
{
    const auto parts = s.parts();
    for (std::size_t i = 0; i < parts.size(); ++i)
        set(Stamp::columns().at(static_cast<qsizetype>(i)), *parts[i]);
    return *this;
}

void RowValues::insertInto(Database& db, const QString& table) const
{
    QStringList columns;
    QStringList marks;
    QVariantList values;
    for (const auto& [column, value] : m_values) {
        columns << column;
        marks << QStringLiteral("?");
        values << value;
    }
    db.execute(QStringLiteral("insert into %1 (%2) values (%3)")
                   .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
               values);
}

bool RowValues::updateByKey(Database& db, const QString& table, std::int64_t key) const
{
    QStringList assignments;
    QVariantList values;
    for (const auto& [column, value] : m_values) {
        assignments << column + QStringLiteral(" = ?");
        values << value;
    }
    values << QVariant::fromValue<qlonglong>(key);
    return db.execute(QStringLiteral("update %1 set %2 where Fi_キー = ?")
                          .arg(table, assignments.join(QLatin1Char(','))),
                      values) > 0;
}

bool DeleteByKey(Database& db, const QString& table, std::int64_t key)
{
    return db.execute(QStringLiteral("delete from %1 where Fi_キー = ?").arg(table),
                      {QVariant::fromValue<qlonglong>(key)}) > 0;
}

QString LikeContains(const QString& value)
{
    QString escaped;
    for (QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}
