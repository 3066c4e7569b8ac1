#include "DbError.h"

#include <QFile>

#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

DbError::DbError(QString message, QString engineText, int code)
    : std::runtime_error((message + QLatin1Char(' ') + engineText).toStdString()),
      m_message(std::move(message)), m_engineText(std::move(engineText)), m_code(code)
{
}

bool DbError::busy() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

DbError DbError::within(const QString& before, const QString& after) const
{
    QString message = m_message;
    if (!before.isEmpty())
        message = before + QLatin1Char('\n') + message;
    if (!after.isEmpty())
        message += QLatin1Char('\n') + after;
    return DbError(message, m_engineText, m_code);
}

DbError DbError::of(const std::exception& e, const QString& where)
{
    if (const auto* known = dynamic_cast<const DbError*>(&e))
        return *known;
    return fromEngine(e, where);
}

QString DbError::sentenceFor(int resultCode)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral(
            "他のプログラムがデータベースを使用中です。"
            "そのプログラムの処理が終わるのを待つか、そのプログラムを閉じてから、もう一度操作してください。");
    case SQLITE_READONLY:
        return QStringLiteral(
            "データベースファイルに書き込めません。"
            "ファイルが読み取り専用になっていないか、書き込みの権限があるかを確かめてください。");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("データベースファイルを使う権限がありません。"
                              "ファイルとフォルダの権限を確かめてください。");
    case SQLITE_FULL:
        return QStringLiteral("ディスクの空き容量が足りないため、書き込めません。"
                              "不要なファイルを削除して空きを作ってから、もう一度操作してください。");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("データベースファイルが壊れているか、データベースのファイルではありません。"
                              "バックアップフォルダのファイルから戻してください。");
    case SQLITE_CANTOPEN:
        return QStringLiteral("データベースファイルを開けません。"
                              "ファイルがあるか、読み書きの権限があるかを確かめてください。");
    case SQLITE_IOERR:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。"
                              "ディスクの状態を確かめてから、もう一度操作してください。");
    default:
        return QStringLiteral("データベースの処理ができませんでした。");
    }
}

QString DbError::sentenceFor(int resultCode, const QString& file)
{
    if ((resultCode & 0xff) == SQLITE_NOTADB && !file.isEmpty()) {
        QFile database(file);
        const QByteArray head = database.open(QIODevice::ReadOnly) ? database.read(19) : QByteArray();
        if (head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
            (head.mid(4) == "Standard Jet DB" || head.mid(4) == "Standard ACE DB"))
            return QStringLiteral("このファイルは以前の形式（Access）のデータベースで、壊れてはいません。"
                                  "以前の台帳なら、「データ バックアップ」の画面の「旧データ取込…」で、"
                                  "このプログラムの形式に変換できます。");
    }
    return sentenceFor(resultCode);
}

QString DbError::fileSentenceFor(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        // The same words as the engine's full disk: the user meets one cause, one sentence.
        return sentenceFor(SQLITE_FULL);
    case EACCES:
    case EPERM:
        return QStringLiteral("ファイルを使う権限がありません。"
                              "ファイルとフォルダの権限を確かめてください。");
    case EROFS:
        return QStringLiteral("書き込みのできないディスクです。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case EISDIR:
        return QStringLiteral("ファイルの代わりに同じ名前のフォルダがあります。");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがあります。");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("他のプログラムがファイルを使用中です。"
                              "そのプログラムを閉じてから、もう一度操作してください。");
    case EIO:
        return sentenceFor(SQLITE_IOERR);
    default:
        return QStringLiteral("ファイルの操作ができませんでした。");
    }
}

DbError DbError::fromFile(int error, const QString& what, const QString& where)
{
    QString message = what + QLatin1Char('\n') + fileSentenceFor(error);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return DbError(message, QString::fromLocal8Bit(std::strerror(error)));
}

DbError DbError::fromEngine(const std::exception& e, const QString& where, const QString& file)
{
    int code = SQLITE_ERROR;
    if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&e))
        code = engine->getExtendedErrorCode() >= 0 ? engine->getExtendedErrorCode() : engine->getErrorCode();
    QString message = sentenceFor(code, file);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return DbError(message, QString::fromUtf8(e.what()), code);
}

QString DbError::userText() const
{
    return m_engineText.isEmpty() ? m_message : m_message + QLatin1Char('\n') + m_engineText;
}
