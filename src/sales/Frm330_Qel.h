#pragma once

#include "SaleFieldDialog.h"

// The product of the shown sale, among its maker's products; its prices come with it.
class Frm330_Qel : public SaleFieldDialog
{
    Q_OBJECT

  public:
    Frm330_Qel(FormBase* sales, std::function<void()> henkouChk);

  protected:
    void PrepareProc() override;
    void ApplyProc() override;

  private:
    void ProductListProc();

    QComboBox* Combo1 = nullptr;
    QListWidget* List1 = nullptr; // readings
    QListWidget* List2 = nullptr; // list prices
    QListWidget* List3 = nullptr; // selling prices
};
