#pragma once

#include "core/Amount.h"
#include "ui/MainScreen.h"

#include <QStringList>

#include <array>
#include <cstdint>

class FlexGrid;
class InputBehaviour;

// The product list: every product with its maker and prices, grouped by maker, with adding,
// correcting (also moving to another maker) and deleting.
class Frm070_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm070_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index);
    void Combo1_Click(int index);
    void MSHFlexGrid1_Click();
    void MSHFlexGrid1_DblClick();
    void MSHFlexGrid1_KeyDown();
    void MSHFlexGrid1_RowColChange();
    void Txt_Inp_Change(int index);
    void Txt_Inp_GotFocus(int index);
    void Txt_Inp_LostFocus(int index);

    void MakerListProc();
    void GridInitProc();
    void GridFillProc();
    void RowDispProc(int row);
    int InputChk();
    bool AddProc();
    bool UpdateProc(bool& found);
    bool DeleteProc();
    void NoticeProc(const QString& caption);
    void RememberPositionProc();
    void EditedProc();

    FlexGrid* MSHFlexGrid1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    InputBehaviour* m_input = nullptr;
    std::int16_t LastCmd = 0;
    QStringList MakerReadings;
    std::int16_t LastMakerIndex = -1;
    std::array<Amount, 2> EntryPrices{0, 0};
};

// The price a price box stands for: its digits as a number, at most eight significant digits
// (more give 99,999,999).
Amount PriceOf(const QString& text);
