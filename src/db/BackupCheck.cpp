#include "Backup.h"

#include "Database.h"
#include "EngineError.h"
#include "Schema.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <map>
#include <set>
#include <string>

namespace {

using Tables = std::map<std::string, std::set<std::string>>;

std::set<std::string> columnsOf(SQLite::Database& db, const std::string& table)
{
    std::set<std::string> columns;
    SQLite::Statement info(db, "select name from pragma_table_info(?)");
    info.bind(1, table);
    while (info.executeStep())
        columns.insert(info.getColumn(0).getString());
    return columns;
}

// The tables and columns every ledger of ours has: the schema's, but for the tables added later.
const Tables& expected()
{
    static const Tables tables = [] {
        Tables required;
        for (const auto& [table, columns] : SchemaTables()) {
            if (LaterTables().contains(table))
                continue;
            std::set<std::string>& names = required[table.toStdString()];
            for (const SchemaColumn& column : columns)
                names.insert(column.name.toStdString());
        }
        return required;
    }();
    return tables;
}

quint32 bigEndian(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// A look at the file's header: a database at all, and not shorter than the header says (a copy
// cut off by a stop or a full disk). The engine would open such a file and fail later, or not
// at all when the missing pages are not read.
void checkHeader(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QelError(QelError::Kind::ReadWrite, QStringLiteral("ファイルを読めません。"),
                       file.errorString());
    const QByteArray header = file.read(100);
    // A ledger of the earlier format is not damaged: the user is told how to convert it.
    if (IsJetFile(path))
        throw QelError(QelError::Kind::EarlierLedger);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw QelError(QelError::Kind::Damaged, QStringLiteral("データベースのファイルではありません。"));
    const quint32 pageSize = bigEndian(header, 16, 2) == 1 ? 65536 : bigEndian(header, 16, 2);
    const quint32 pages = bigEndian(header, 28, 4);
    // The page count is valid only when the engine wrote it with the change counter.
    const bool countValid = pages > 0 && bigEndian(header, 92, 4) == bigEndian(header, 24, 4);
    if (countValid && size < static_cast<qint64>(pages) * pageSize)
        throw QelError(
            QelError::Kind::Damaged,
            QStringLiteral("ファイルが途中で切れています（書き込みが終わっていないか、壊れています）。"),
            QStringLiteral("%1 / %2 bytes").arg(size).arg(static_cast<qint64>(pages) * pageSize));
}

} // namespace

QString DamageIn(const QString& path, const Progress& progress)
{
    try {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY, Database::kBusyTimeoutMs);
        EngineProgress painting(db, progress);
        SQLite::Statement check(db, "PRAGMA integrity_check");
        const std::string first = check.executeStep() ? check.getColumn(0).getString() : std::string();
        return first == "ok" ? QString() : QString::fromStdString(first);
    } catch (const std::exception& e) {
        // A page the check cannot even read is damage too.
        if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&e);
            engine && (engine->getErrorCode() & 0xff) == SQLITE_CORRUPT)
            return QString::fromUtf8(e.what());
        throw EngineError(e);
    }
}

DatabaseSummary InspectDatabase(const QString& path, bool whole, bool counts, const Progress& progress)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw QelError(QelError::Kind::NotFound, QStringLiteral("ファイルが見つかりません。"));
    if (!info.isFile())
        throw QelError(QelError::Kind::FolderInTheWay, QStringLiteral("ファイルではありません。"));
    checkHeader(path, info.size());
    try {
        // Waits for another program's write as every operation does, then says it is in use.
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY, Database::kBusyTimeoutMs);
        EngineProgress painting(db, progress);
        if (whole) {
            SQLite::Statement check(db, "PRAGMA integrity_check");
            const std::string first = check.executeStep() ? check.getColumn(0).getString() : std::string();
            if (first != "ok")
                throw QelError(QelError::Kind::Damaged, QStringLiteral("ファイルが壊れています。"),
                               QString::fromStdString(first));
        }
        for (const auto& [table, columns] : expected()) {
            const std::set<std::string> present = columnsOf(db, table);
            if (present.empty())
                throw QelError(
                    QelError::Kind::NotALedger,
                    QStringLiteral("このプログラムのデータベースではありません（表「%1」がありません）。")
                        .arg(QString::fromStdString(table)));
            for (const std::string& column : columns) {
                if (!present.count(column))
                    throw QelError(QelError::Kind::NotALedger,
                                   QStringLiteral("このプログラムのデータベースではありません"
                                                  "（表「%1」に列「%2」がありません）。")
                                       .arg(QString::fromStdString(table), QString::fromStdString(column)));
            }
        }
        DatabaseSummary summary;
        if (!counts)
            return summary;
        summary.customers = db.execAndGet("select count(*) from Tb_顧客").getInt64();
        SQLite::Statement sales(db, "select count(*), coalesce(max(Fi_購入年月日), '') from Tb_売上");
        sales.executeStep();
        summary.sales = sales.getColumn(0).getInt64();
        summary.latestSale = QString::fromStdString(sales.getColumn(1).getString());
        return summary;
    } catch (const std::exception& e) {
        throw EngineError(e);
    }
}
