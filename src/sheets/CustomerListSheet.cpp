#include "CustomerListSheet.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"

RemarkLines SplitRemarks(const QString& remarks)
{
    const qsizetype first = CharsEnd(remarks, 10);
    const qsizetype second = std::max(first, CharsEnd(remarks, 20));
    return {remarks.left(first), remarks.mid(first, second - first)};
}

CustomerListSheet::CustomerListSheet() : CustomerListSheet(AppFile(kTemplateFile), WorkbookTarget(kFileName))
{
}

CustomerListSheet::CustomerListSheet(QString templatePath, QString targetPath)
    : TemplateSheet(std::move(templatePath), std::move(targetPath))
{
}

QString CustomerListSheet::tooManyMessage(std::int64_t customers)
{
    return tooManyText(QStringLiteral("顧客"), customers, kMaxCustomers,
                       QStringLiteral("検索条件を絞り込んでから出力してください。"));
}

void CustomerListSheet::open(std::int64_t customers)
{
    openUnless(tooManyMessage(customers));
}

void CustomerListSheet::writePageSetup()
{
    m_book.setCenterHeader(kTitle);
}

std::int64_t CustomerListSheet::writeRows(SheetRows<CustomerListRow> rows, const SheetProgress& progress)
{
    refuse(tooManyMessage(rows.total()));
    m_book.setSheetName(kTitle);
    return writeBlocks(rows, progress, 3, 6, [this](const CustomerListRow& c, int r) {
        const RemarkLines remarks = SplitRemarks(c.remarks);
        m_book.setText(r, 2, c.reading);
        m_book.setText(r, 3, QStringLiteral("〒") + c.postalCode);
        m_book.setText(r, 5, c.mobile);
        m_book.setText(r + 1, 2, c.name);
        m_book.setText(r + 1, 3, c.prefecture);
        m_book.setText(r + 1, 4, c.city);
        m_book.setText(r + 1, 5, c.phone);
        m_book.setText(r + 1, 6, remarks.first);
        m_book.setText(r + 2, 2, c.mail);
        m_book.setText(r + 2, 4, c.building);
        m_book.setText(r + 2, 5, c.fax);
        m_book.setText(r + 2, 6, remarks.second);
    });
}
