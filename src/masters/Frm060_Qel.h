#pragma once

#include "ui/MainScreen.h"

#include <cstdint>

class FlexGrid;
class InputBehaviour;

// The maker list: every maker in reading order, with adding, correcting and deleting.
class Frm060_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm060_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index);
    void MSHFlexGrid1_Click();
    void MSHFlexGrid1_DblClick();
    void MSHFlexGrid1_KeyDown();
    void MSHFlexGrid1_RowColChange();
    void Txt_Inp_Change(int index);
    void Txt_Inp_GotFocus(int index);
    void Txt_Inp_LostFocus(int index);

    void GridInitProc();
    void GridFillProc();
    void RowDispProc(int row);
    int InputChk();
    bool AddProc();
    bool UpdateProc(bool& found);
    bool DeleteProc();
    void NoticeProc(const QString& caption);
    void RememberPositionProc();

    FlexGrid* MSHFlexGrid1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    InputBehaviour* m_input = nullptr;
    std::int16_t LastCmd = 0;
};
