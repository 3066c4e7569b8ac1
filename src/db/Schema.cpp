#include "Schema.h"

#include "Database.h"

#include "core/TextRoutines.h"

#include <QFile>
#include <QRegularExpression>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace {

QString resourceText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw QelError(QelError::Kind::Unexpected, QStringLiteral("組み込みの定義が読めません。"), name);
    return QString::fromUtf8(file.readAll());
}

const QString& schemaText()
{
    static const QString schema = resourceText(QStringLiteral(":/db/schema.sql"));
    return schema;
}

} // namespace

QStringList PrefectureNames()
{
    QStringList names = resourceText(QStringLiteral(":/db/prefectures.txt")).split(QLatin1Char('\n'));
    while (!names.isEmpty() && names.back().trimmed().isEmpty())
        names.removeLast();
    return names;
}

const QStringList& LaterTables()
{
    static const QStringList tables{QStringLiteral("Tb_差出人"), QStringLiteral("Tb_検索条件追加"),
                                    QStringLiteral("Tb_顧客補足")};
    return tables;
}

const std::map<QString, std::vector<SchemaColumn>>& SchemaTables()
{
    static const std::map<QString, std::vector<SchemaColumn>> tables = [] {
        SQLite::Database db(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(schemaText().toStdString());
        std::map<QString, std::vector<SchemaColumn>> read;
        SQLite::Statement names(db, "select name from sqlite_master where type = 'table'");
        while (names.executeStep()) {
            const std::string table = names.getColumn(0).getString();
            SQLite::Statement info(db, "select name, lower(type) from pragma_table_info(?) order by cid");
            info.bind(1, table);
            std::vector<SchemaColumn>& columns = read[QString::fromStdString(table)];
            while (info.executeStep())
                columns.push_back({QString::fromStdString(info.getColumn(0).getString()),
                                   QString::fromStdString(info.getColumn(1).getString())});
        }
        return read;
    }();
    return tables;
}

QString CreateIndexStatement(const QString& name)
{
    const QRegularExpression definition(QStringLiteral("^create index ") + QRegularExpression::escape(name) +
                                            QStringLiteral(" (on [^;]*);"),
                                        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = definition.match(schemaText());
    if (!match.hasMatch())
        throw QelError(QelError::Kind::Unexpected, QStringLiteral("組み込みの定義にない索引です。"), name);
    return QStringLiteral("create index if not exists ") + name + QLatin1Char(' ') + match.captured(1);
}

void CreateMissingTable(Database& db, const QString& name)
{
    if (db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'table' and name = ?"), {name}) > 0)
        return;
    const QString escaped = QRegularExpression::escape(name);
    const QRegularExpression table(QStringLiteral("^create table ") + escaped +
                                       QStringLiteral(" (\\([^;]*);"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = table.match(schemaText());
    if (!match.hasMatch())
        throw QelError(QelError::Kind::Unexpected, QStringLiteral("組み込みの定義にない表です。"), name);
    Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
    db.execute(QStringLiteral("create table if not exists ") + name + QLatin1Char(' ') + match.captured(1));
    const QRegularExpression indexes(QStringLiteral("^create index (\\S+) on ") + escaped +
                                         QStringLiteral(" "),
                                     QRegularExpression::MultilineOption);
    for (auto it = indexes.globalMatch(schemaText()); it.hasNext();)
        db.execute(CreateIndexStatement(it.next().captured(1)));
    transaction.commit();
}

void CreateDatabaseFile(const QString& path)
{
    QFile::remove(path);
    try {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("begin");
        db.exec(resourceText(QStringLiteral(":/db/schema.sql")).toStdString());
        SQLite::Statement insert(db, "insert into Tb_都道府県 (Fi_番号, Fi_名称) values (?, ?)");
        const QStringList names = PrefectureNames();
        for (int i = 0; i < names.size(); ++i) {
            insert.bind(1, i);
            insert.bind(2, names.at(i).trimmed().toStdString());
            insert.exec();
            insert.reset();
        }
        db.exec("commit");
    } catch (const std::exception& e) {
        QFile::remove(path);
        throw EngineError(e, FileLine(path)).within(QStringLiteral("データベースファイルを作成できません。"));
    }
}
