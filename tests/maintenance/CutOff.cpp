#include "CutOff.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <string>

#include <sys/wait.h>
#include <unistd.h>

bool LeaveCutOffTransaction(const QString& db)
{
    const pid_t child = ::fork();
    if (child == 0) {
        // A small cache makes the engine write pages before the commit, as a large deletion does.
        SQLite::Database connection(db.toStdString(), SQLite::OPEN_READWRITE);
        connection.exec("PRAGMA cache_size = 10");
        connection.exec("BEGIN");
        connection.exec("delete from Tb_売上");
        SQLite::Statement insert(connection,
                                 "insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, 'x', ?)");
        for (int key = 100000; key < 100300; ++key) {
            insert.bind(1, key);
            insert.bind(2, std::string(2000, 'y'));
            insert.exec();
            insert.reset();
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const QFileInfo journal(db + QStringLiteral("-journal"));
    return journal.exists() && journal.size() > 0;
}
