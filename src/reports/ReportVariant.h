#pragma once

#include "sales/SalesSelection.h"

#include <QString>

// Where a jump button of a report screen leads: the shown sale's month in the period report,
// or all months of the shown sale's maker or purchaser.
enum class ReportJump { PeriodOfSale, MakerOfSale, BuyerOfSale };

// What tells the three report screens apart, as data: the screen itself is one class.
struct ReportVariant
{
    QString formName;
    ReportKind kind;
    QString title;
    QString caption;
    // "期間指定売上明細", maker word + "名別売上明細", "購入者別売上明細": the sheet name, the
    // file's base name and the subject of the completion box.
    QString reportName;
    QString centerHeader;
    ReportJump jumps[2];

    // The variant of the form, with the maker word as the settings hold it now.
    static ReportVariant Of(ReportKind kind);

    QString fileName() const { return reportName + QStringLiteral(".xlsx"); }
    // The report's selection from the report menu's globals.
    ReportSelection selection() const;
    QString leftHeader() const;
};

// The form that shows the report of that kind.
QString ReportFormName(ReportKind kind);
