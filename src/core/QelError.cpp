#include "QelError.h"

#include <cerrno>
#include <cstring>
#include <new>

QelError::QelError(Kind kind, QString message, QString detail, int code)
    : std::runtime_error((message.isEmpty() ? sentence(kind) : message).toStdString()), m_kind(kind),
      m_message(message.isEmpty() ? sentence(kind) : std::move(message)), m_detail(std::move(detail)),
      m_code(code)
{
}

QString QelError::sentence(Kind kind)
{
    switch (kind) {
    case Kind::Busy:
        return QStringLiteral(
            "他のプログラムがデータベースを使用中です。"
            "そのプログラムの処理が終わるのを待つか、そのプログラムを閉じてから、もう一度操作してください。");
    case Kind::ReadOnly:
        return QStringLiteral(
            "データベースファイルに書き込めません。"
            "ファイルが読み取り専用になっていないか、書き込みの権限があるかを確かめてください。");
    case Kind::NoPermission:
        return QStringLiteral("データベースファイルを使う権限がありません。"
                              "ファイルとフォルダの権限を確かめてください。");
    case Kind::DiskFull:
        return QStringLiteral("ディスクの空き容量が足りないため、書き込めません。"
                              "不要なファイルを削除して空きを作ってから、もう一度操作してください。");
    case Kind::Damaged:
        return QStringLiteral("データベースファイルが壊れているか、データベースのファイルではありません。"
                              "バックアップフォルダのファイルから戻してください。");
    case Kind::EarlierLedger:
        return QStringLiteral("このファイルは以前の形式（Access）のデータベースで、壊れてはいません。"
                              "以前の台帳なら、「データ バックアップ」の画面の「旧データ取込…」で、"
                              "このプログラムの形式に変換できます。");
    case Kind::CannotOpen:
        return QStringLiteral("データベースファイルを開けません。"
                              "ファイルがあるか、読み書きの権限があるかを確かめてください。");
    case Kind::ReadWrite:
        return QStringLiteral("データベースファイルの読み書きに失敗しました。"
                              "ディスクの状態を確かめてから、もう一度操作してください。");
    case Kind::Engine:
        return QStringLiteral("データベースの処理ができませんでした。");
    case Kind::FileNoPermission:
        return QStringLiteral("ファイルを使う権限がありません。"
                              "ファイルとフォルダの権限を確かめてください。");
    case Kind::ReadOnlyDisk:
        return QStringLiteral("書き込みのできないディスクです。");
    case Kind::NotFound:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case Kind::FolderInTheWay:
        return QStringLiteral("ファイルの代わりに同じ名前のフォルダがあります。");
    case Kind::AlreadyExists:
        return QStringLiteral("同じ名前のファイルがあります。");
    case Kind::FileInUse:
        return QStringLiteral("他のプログラムがファイルを使用中です。"
                              "そのプログラムを閉じてから、もう一度操作してください。");
    case Kind::FileOperation:
        return QStringLiteral("ファイルの操作ができませんでした。");
    case Kind::Folder:
        return QStringLiteral("フォルダを作れないか、使えません。");
    case Kind::Changed:
        return QStringLiteral("作業中に他のプログラムがファイルを書き換えました。もう一度操作してください。");
    case Kind::NotAWorkbook:
        return QStringLiteral("Excel のブック（.xlsx）として読めないファイルです。");
    case Kind::NoSheet:
        return QStringLiteral("ブックにワークシートがありません。");
    case Kind::TooLarge:
        return QStringLiteral("ファイルが大きすぎるため、読み込めません。");
    case Kind::Encoding:
        return QStringLiteral("ファイルの文字コードを読み取れません。");
    case Kind::Malformed:
        return QStringLiteral("ファイルの形式に誤りがあります。");
    case Kind::NotALedger:
        return QStringLiteral("顧客と売上の台帳のファイルではありません。");
    case Kind::OtherLedger:
        return QStringLiteral("使用中のデータとは別のデータのファイルです。");
    case Kind::PageSetup:
        return QStringLiteral("PageSetup クラスのプロパティを設定できません。");
    case Kind::WriteDenied:
        return QStringLiteral("書き込みできません。");
    case Kind::Workbook:
        return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    case Kind::OutOfMemory:
        return QStringLiteral("メモリが足りないため、処理を続けられませんでした。"
                              "他のプログラムを閉じてから、もう一度操作してください。");
    case Kind::Unexpected:
        break;
    }
    return QStringLiteral("処理を続けられない問題が起きました。もう一度操作してください。");
}

QelError QelError::of(const std::exception& e, const QString& where)
{
    if (const auto* known = dynamic_cast<const QelError*>(&e))
        return where.isEmpty() ? *known : known->within({}, where);
    const Kind kind = dynamic_cast<const std::bad_alloc*>(&e) ? Kind::OutOfMemory : Kind::Unexpected;
    QString message = sentence(kind);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return QelError(kind, message, QString::fromLocal8Bit(e.what()));
}

QelError QelError::fromFile(int error, const QString& what, const QString& where)
{
    Kind kind = Kind::FileOperation;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        // The same words as the engine's full disk: the user meets one cause, one sentence.
        kind = Kind::DiskFull;
        break;
    case EACCES:
    case EPERM:
        kind = Kind::FileNoPermission;
        break;
    case EROFS:
        kind = Kind::ReadOnlyDisk;
        break;
    case ENOENT:
    case ENOTDIR:
        kind = Kind::NotFound;
        break;
    case EISDIR:
        kind = Kind::FolderInTheWay;
        break;
    case EEXIST:
        kind = Kind::AlreadyExists;
        break;
    case EBUSY:
    case ETXTBSY:
        kind = Kind::FileInUse;
        break;
    case EIO:
        kind = Kind::ReadWrite;
        break;
    default:
        break;
    }
    QString message = what + QLatin1Char('\n') + sentence(kind);
    if (!where.isEmpty())
        message += QLatin1Char('\n') + where;
    return QelError(kind, message, QString::fromLocal8Bit(std::strerror(error)), error);
}

QelError QelError::within(const QString& before, const QString& after) const
{
    QString message = m_message;
    if (!before.isEmpty())
        message = before + QLatin1Char('\n') + message;
    if (!after.isEmpty())
        message += QLatin1Char('\n') + after;
    QelError wrapped(m_kind, message, m_detail, m_code);
    wrapped.m_more = m_more;
    return wrapped;
}

QString QelError::userText() const
{
    return m_detail.isEmpty() ? m_message : m_message + QLatin1Char('\n') + m_detail;
}

QelError QelError::together(std::vector<QelError> failures)
{
    QelError first = failures.front();
    first.m_more.assign(std::make_move_iterator(failures.begin() + 1),
                        std::make_move_iterator(failures.end()));
    return first;
}
