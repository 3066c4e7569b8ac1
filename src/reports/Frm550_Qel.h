#pragma once

#include "ChartStore.h"

#include "ui/MainScreen.h"

#include <optional>
#include <vector>

class QChart;
class QChartView;
class QPainter;
class QPrinter;

// The sales of the report menu's period as charts: the months against the year before, the
// makers of the largest totals and the best purchasers, over all sales or those of the maker or
// purchaser chosen on the menu. The chart can be printed and saved as an image.
class Frm550_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm550_Qel();
    void LoadProc() override;

    enum class View { Months, Makers, Buyers };

  private:
    void Cmd_Click(int index) override;
    void Combo1_Click();

    void PeriodDispProc();
    // Reads the period's months (the figures under every chart), then shows the view.
    void DataReadProc();
    void ChartProc();
    void SumDispProc();
    void MonthChartProc(QChart* chart) const;
    void MakerChartProc(QChart* chart) const;
    void BuyerChartProc(QChart* chart) const;
    void PrintProc();
    void PrintPageProc(QPrinter* printer);
    void ImageSaveProc();
    QString ViewName() const;

    QComboBox* Combo1 = nullptr;
    QChartView* Chart1 = nullptr;

    View m_view = View::Months;
    ChartScope m_scope;
    std::vector<ChartScope> m_scopes;
    std::optional<MonthChart> m_months;
    std::optional<std::vector<MakerShare>> m_makers;
    std::optional<std::vector<BuyerTotal>> m_buyers;
};
