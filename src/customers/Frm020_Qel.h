#pragma once

#include "CustomerForm.h"

// Customer registration: checks the required fields, adds the row with a fresh key, flashes the
// completion notice and keeps the entries for the next, similar customer.
class Frm020_Qel : public CustomerEntryScreen
{
    Q_OBJECT

  public:
    Frm020_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Combo1_LostFocus();
    void SaveProc();
};
