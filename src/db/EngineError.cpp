#include "EngineError.h"

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

QelError EngineError(const std::exception& e, const QString& where)
{
    const auto* engine = dynamic_cast<const SQLite::Exception*>(&e);
    if (!engine)
        return QelError::of(e, where);
    const int code =
        engine->getExtendedErrorCode() >= 0 ? engine->getExtendedErrorCode() : engine->getErrorCode();
    const QelError::Kind kind = EngineKind(code);
    QString message = QelError::sentence(kind);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return QelError(kind, message, QString::fromUtf8(e.what()), code);
}
