#include "WorkbookFailure.h"

#include <vector>

QelError WorkbookFailure(int number, const QString& description)
{
    return QelError(number == SheetNumber::PermissionDenied ? QelError::Kind::WriteDenied
                                                            : QelError::Kind::Workbook,
                    description, {}, number);
}

void RunEachPart(std::initializer_list<std::function<void()>> parts)
{
    std::vector<QelError> failures;
    for (const std::function<void()>& part : parts) {
        try {
            part();
        } catch (const QelError& e) {
            failures.push_back(e);
        }
    }
    if (!failures.empty())
        throw QelError::together(std::move(failures));
}

void ThrowApplicationError(const QString& detail)
{
    throw WorkbookFailure(SheetNumber::Application, QelError::sentence(QelError::Kind::Workbook) + detail);
}

int WorkbookFailureNumber(const QelError& e)
{
    switch (e.kind()) {
    case QelError::Kind::PageSetup:
    case QelError::Kind::WriteDenied:
    case QelError::Kind::Workbook:
        return e.code();
    case QelError::Kind::OutOfMemory:
    case QelError::Kind::Unexpected:
        return SheetNumber::Application;
    default:
        return SheetNumber::Database;
    }
}

QString WorkbookFailureText(const QelError& e)
{
    QString text;
    switch (e.kind()) {
    case QelError::Kind::PageSetup:
        text = QStringLiteral("プリンタの設定が行われていませんが処理はそのまま続行してください。\n");
        break;
    case QelError::Kind::WriteDenied:
        text = QStringLiteral("Excelファイルが開かれている可能性があります。\n"
                              "Excelファイル閉じてからプログラムを実行してください。\n");
        break;
    default:
        break;
    }
    return text + QStringLiteral("ErrNo=") + QString::number(WorkbookFailureNumber(e)) +
           QStringLiteral(" ErrMsg=") + e.userText();
}
