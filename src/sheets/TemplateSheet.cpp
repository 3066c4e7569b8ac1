#include "TemplateSheet.h"

#include "WorkbookFailure.h"

#include "core/Amount.h"

TemplateSheet::TemplateSheet(QString templatePath, QString targetPath)
    : m_book(std::move(templatePath), std::move(targetPath))
{
}

QString TemplateSheet::tooManyText(const QString& what, std::int64_t count, std::int64_t limit,
                                   const QString& advice)
{
    if (count <= limit)
        return {};
    return QStringLiteral("%1が%2件あり、1枚のシートに出力できる%3件を超えています。\n")
               .arg(what, FormatGrouped(count), FormatGrouped(limit)) +
           advice;
}

void TemplateSheet::refuse(const QString& refusal)
{
    if (!refusal.isEmpty())
        throw WorkbookFailure(SheetNumber::Application, refusal);
}

void TemplateSheet::openUnless(const QString& refusal)
{
    refuse(refusal);
    m_book.prepare();
    m_book.open();
}

void TemplateSheet::scrollToTop()
{
    m_book.scrollToTop();
}

void TemplateSheet::save()
{
    m_book.save();
}
