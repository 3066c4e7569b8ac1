#pragma once

#include "ui/MainScreen.h"

class FlexGrid;

// A customer's purchase history: the sales that carry the customer's name, newest first, under the
// figures of them; "閉じる" goes back to the customer's detail.
class Frm055_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm055_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    bool DataReadProc();

    FlexGrid* MSHFlexGrid1 = nullptr;
};
