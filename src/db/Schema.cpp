#include "Schema.h"

#include "Database.h"

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

} // namespace

QStringList PrefectureNames()
{
    QStringList names = resourceText(QStringLiteral(":/db/prefectures.txt")).split(QLatin1Char('\n'));
    while (!names.isEmpty() && names.back().trimmed().isEmpty())
        names.removeLast();
    return names;
}

QString CreateIndexStatement(const QString& name)
{
    static const QString schema = resourceText(QStringLiteral(":/db/schema.sql"));
    const QRegularExpression definition(QStringLiteral("^create index ") + QRegularExpression::escape(name) +
                                            QStringLiteral(" (on [^;]*);"),
                                        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = definition.match(schema);
    if (!match.hasMatch())
        throw QelError(QelError::Kind::Unexpected, QStringLiteral("組み込みの定義にない索引です。"), name);
    return QStringLiteral("create index if not exists ") + name + QLatin1Char(' ') + match.captured(1);
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
        throw EngineError(e, path).within(QStringLiteral("データベースファイルを作成できません。"));
    }
}
