#include "SalesDetailSheet.h"

#include "WorkbookFailure.h"

#include "core/DateText.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"

namespace {

// "ge年m月" or "yyyy年m月" of a "yyyymm" text; a text that is no month stays as it is.
QString monthText(const QString& yyyymm, bool era)
{
    const QDate first = FirstDayOf(yyyymm);
    if (!first.isValid())
        return yyyymm;
    const Era* e = era ? EraOf(first) : nullptr;
    if (!e)
        return QStringLiteral("%1年%2月").arg(first.year()).arg(first.month());
    return QStringLiteral("%1%2年%3月")
        .arg(e->initial)
        .arg(first.year() - e->first.year() + 1)
        .arg(first.month());
}

// The purchase date "yyyymmdd"; invalid when the text is no date.
QDate purchaseDate(const QString& text)
{
    if (text.size() != 8)
        return {};
    return QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
}

} // namespace

QString PeriodHeaderText(const QString& periodFrom, const QString& periodTo, bool era)
{
    if (periodFrom == kOpenStart)
        return QStringLiteral("期間:指定なし");
    return QStringLiteral("期間:") + monthText(periodFrom, era) + QStringLiteral("～") +
           monthText(periodTo, era);
}

SalesDetailSheet::SalesDetailSheet(const QString& fileName, SalesDetailTexts texts)
    : SalesDetailSheet(AppFile(kTemplateFile), WorkbookTarget(fileName), std::move(texts))
{
}

SalesDetailSheet::SalesDetailSheet(QString templatePath, QString targetPath, SalesDetailTexts texts)
    : TemplateSheet(std::move(templatePath), std::move(targetPath)), m_texts(std::move(texts))
{
}

QString SalesDetailSheet::tooManyMessage(std::int64_t sales)
{
    return tooManyText(QStringLiteral("売上"), sales, kMaxSales,
                       QStringLiteral("期間を短くして出力してください。"));
}

void SalesDetailSheet::open(std::int64_t sales)
{
    openUnless(tooManyMessage(sales));
}

void SalesDetailSheet::writePageSetup()
{
    // A header that does not fit is reported on its own; the others are still written.
    RunEachPart({
        [this] {
            if (!m_texts.leftHeader.isEmpty())
                m_book.setLeftHeader(m_texts.leftHeader);
        },
        [this] { m_book.setCenterHeader(m_texts.centerHeader); },
        [this] { m_book.setRightHeader(m_texts.rightHeader); },
    });
}

std::int64_t SalesDetailSheet::writeRows(SheetRows<SalesDetailRow> rows, const SheetProgress& progress)
{
    refuse(tooManyMessage(rows.total()));
    m_book.setText(1, 3, m_texts.makerHeading);
    m_book.setText(2, 3, m_texts.productHeading);
    m_book.setColumnFormat(2, QString::fromUtf16(m_texts.eraDates ? kEraDateFormat : kWesternDateFormat));
    m_book.setSheetName(m_texts.sheetName);
    m_grandTotal = 0;
    const std::int64_t i = writeBlocks(rows, progress, 2, 7, [this](const SalesDetailRow& s, int r) {
        if (const QDate date = purchaseDate(s.date); date.isValid())
            m_book.setDate(r, 2, date);
        else
            m_book.setText(r, 2, s.date);
        m_book.setText(r, 3, s.maker);
        m_book.setText(r + 1, 3, s.product);
        m_book.setText(r, 4, s.buyer);
        m_book.setText(r + 1, 4, s.remarks);
        m_book.setNumber(r, 5, s.sellingPrice);
        m_book.setNumber(r + 1, 5, s.listPrice);
        m_book.setNumber(r, 6, s.quantity);
        m_book.setNumber(r, 7, s.total);
        m_grandTotal += s.total;
    });
    const int t = int(2 * i + 3);
    m_book.setText(t, 6, QStringLiteral("売価総合計"));
    m_book.setNumber(t, 7, m_grandTotal);
    m_book.drawBorders(t, 6, t, 7);
    return i;
}
