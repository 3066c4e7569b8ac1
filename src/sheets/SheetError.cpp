#include "SheetError.h"

SheetError::SheetError(int number, QString description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(std::move(description))
{
}

SheetErrors::SheetErrors(std::vector<SheetError> errors)
    : std::runtime_error(errors.empty() ? std::string() : errors.front().what()), m_errors(std::move(errors))
{
}

void RunEachPart(std::initializer_list<std::function<void()>> parts)
{
    std::vector<SheetError> failures;
    for (const std::function<void()>& part : parts) {
        try {
            part();
        } catch (const SheetError& e) {
            failures.push_back(e);
        }
    }
    if (!failures.empty())
        throw SheetErrors(std::move(failures));
}

void ThrowApplicationError(const QString& detail)
{
    throw SheetError(SheetError::Application,
                     QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。") + detail);
}

SheetFailureKind FailureKindOf(const QString& description)
{
    if (description.left(9).compare(QLatin1String("PAGESETUP"), Qt::CaseInsensitive) == 0)
        return SheetFailureKind::PageSetup;
    if (description.left(9) == QStringLiteral("書き込みできません"))
        return SheetFailureKind::WriteDenied;
    return SheetFailureKind::Other;
}

QString SheetFailureText(int number, const QString& description)
{
    QString text;
    switch (FailureKindOf(description)) {
    case SheetFailureKind::PageSetup:
        text = QStringLiteral("プリンタの設定が行われていませんが処理はそのまま続行してください。\n");
        break;
    case SheetFailureKind::WriteDenied:
        text = QStringLiteral("Excelファイルが開かれている可能性があります。\n"
                              "Excelファイル閉じてからプログラムを実行してください。\n");
        break;
    case SheetFailureKind::Other:
        break;
    }
    return text + QStringLiteral("ErrNo=") + QString::number(number) + QStringLiteral(" ErrMsg=") +
           description;
}
