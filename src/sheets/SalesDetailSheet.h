#pragma once

#include "sheets/TemplateSheet.h"

#include "core/Amount.h"

#include <QString>

#include <cstdint>

// One sale as the sales-detail workbook shows it.
struct SalesDetailRow
{
    QString date; // Fi_購入年月日, "yyyymmdd"
    QString maker;
    QString product;
    QString buyer;
    QString remarks;
    Amount sellingPrice = 0;
    Amount listPrice = 0;
    Amount quantity = 0;
    Amount total = 0; // Fi_売価合計
};

// What tells the three reports apart; the screen fills it. An empty left header leaves the
// template's left header as it is (the period report has none).
struct SalesDetailTexts
{
    QString makerHeading;   // C1: maker word + "名"
    QString productHeading; // C2: product word + "名"
    QString leftHeader;
    QString centerHeader;
    QString rightHeader; // see PeriodHeaderText()
    QString sheetName;
    bool eraDates = false; // column B as "ge.m.d" (era) or "yyyy/m/d"
};

// The right header: "期間:" and "指定なし" for an open start, else the two months as
// "ge年m月" with the era initial ("H17年5月～H17年6月") in era mode, "yyyy年m月" otherwise.
// The bounds are "yyyymm" texts as the report menu sets them ("000000" = open start).
QString PeriodHeaderText(const QString& periodFrom, const QString& periodTo, bool era);

// The sales-detail workbook from "売上明細オリジナル.xlsx": two rows a sale from row 3 on,
// each block lined, and the grand total "売価総合計" two rows below the last sale. A screen
// writes it through WorkbookRun (sheets/preview), each call one step. Every failure throws
// QelError; open() and writeRows() refuse too many sales as a last guard. Until save() the
// target is not there.
class SalesDetailSheet : public TemplateSheet
{
  public:
    static inline const QString kTemplateFile = QStringLiteral("売上明細オリジナル.xlsx");
    // Rows 1 and 2 are the template's, the grand total takes one more: 2n + 3 <= 1,048,576.
    static constexpr std::int64_t kMaxSales = (1048576 - 3) / 2;

    // The template in the application folder, the target fileName in the DataPath folder.
    SalesDetailSheet(const QString& fileName, SalesDetailTexts texts);
    SalesDetailSheet(QString templatePath, QString targetPath, SalesDetailTexts texts);

    // Why these many sales cannot go into one sheet (naming the limit and suggesting a shorter
    // period), for the screen to show before any file is touched; empty when they can.
    static QString tooManyMessage(std::int64_t sales);

    // Deletes an existing target and opens a fresh copy of the template; with the number of
    // sales given, refuses too many before touching any file.
    void open(std::int64_t sales = 0);
    // Left (when given), centre and right headers, each a step of its own whose failure lets
    // the output go on: a header that fails is reported (QelError) after the others are set.
    void writePageSetup();
    // C1 and C2, the column-B format, the sheet name, one block per sale at row 2i + 1 and the
    // grand-total line, reporting progress after blocks. Returns the number of sales written.
    std::int64_t writeRows(SheetRows<SalesDetailRow> rows, const SheetProgress& progress = {});

    // The sum of the sales' totals written so far, in whole yen.
    Amount grandTotal() const { return m_grandTotal; }

  private:
    SalesDetailTexts m_texts;
    Amount m_grandTotal = 0;
};
