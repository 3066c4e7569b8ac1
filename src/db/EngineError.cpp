#include "EngineError.h"

#include <QFile>

#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

QelError::Kind EngineKind(int resultCode)
{
    using Kind = QelError::Kind;
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Busy;
    case SQLITE_READONLY:
        return Kind::ReadOnly;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Kind::NoPermission;
    case SQLITE_FULL:
        return Kind::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Kind::Damaged;
    case SQLITE_CANTOPEN:
        return Kind::CannotOpen;
    case SQLITE_IOERR:
        return Kind::ReadWrite;
    default:
        return Kind::Engine;
    }
}

bool IsJetFile(const QString& path)
{
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(19) : QByteArray();
    return head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
           (head.mid(4) == "Standard Jet DB" || head.mid(4) == "Standard ACE DB");
}

QelError EngineError(const std::exception& e, const QString& where, const QString& file)
{
    const auto* engine = dynamic_cast<const SQLite::Exception*>(&e);
    if (!engine)
        return QelError::of(e, where);
    const int code =
        engine->getExtendedErrorCode() >= 0 ? engine->getExtendedErrorCode() : engine->getErrorCode();
    QelError::Kind kind = EngineKind(code);
    if ((code & 0xff) == SQLITE_NOTADB && !file.isEmpty() && IsJetFile(file))
        kind = QelError::Kind::EarlierLedger;
    QString message = QelError::sentence(kind);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return QelError(kind, message, QString::fromUtf8(e.what()), code);
}
