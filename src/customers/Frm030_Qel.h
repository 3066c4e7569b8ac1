#pragma once

#include "CustomerForm.h"

// Customer search: the conditions are stored as the single saved row, which the list then reads;
// coming back from the list shows them again.
class Frm030_Qel : public CustomerFieldsScreen
{
    Q_OBJECT

  public:
    Frm030_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void CondLoadProc();
    void CondSaveProc();
};
