#pragma once

#include "ReportVariant.h"

#include "sales/SaleBrowser.h"
#include "ui/MainScreen.h"

#include <cstdint>
#include <optional>

// Frm520_Qel, Frm530_Qel and Frm540_Qel: the sales of the report menu's selection one at a time,
// their grand total, the jumps between the three reports and the sales-detail workbook. The
// three differ only in their ReportVariant.
class SalesReportScreen : public MainScreen
{
    Q_OBJECT

  public:
    explicit SalesReportScreen(ReportKind kind);
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Syu_Click(int index);

    std::int64_t KeyListProc();
    void DataReadProc();
    void EmptyProc();
    void PeriodDispProc();
    // The sales-detail workbook: the number of sales written, 0 when none was.
    std::int64_t BookOutProc();
    void BookPrintProc();
    void CsvOutProc();

    ReportVariant m_variant;
    ControlArray<QPushButton> Syu;
    QScrollBar* VScroll1 = nullptr;
    std::optional<SaleBrowser> m_sales;
    Amount m_grandTotal = 0;
    QString m_bookPath;
};
