#pragma once

#include "CustomerForm.h"

// Customer detail: the customer picked in the list, corrected in place; leaving with unsaved
// changes asks first, and the list comes back at the same place.
class Frm050_Qel : public CustomerEntryScreen
{
    Q_OBJECT

  public:
    Frm050_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void ChangedProc() override;
    void Combo1_Click();

    bool DataReadProc();
    bool SaveProc();
    void BackProc();
};
