#pragma once

#include "SaleFieldDialog.h"

// The maker of the shown sale; a different maker clears the product and the amounts.
class Frm320_Qel : public SaleFieldDialog
{
    Q_OBJECT

  public:
    Frm320_Qel(FormBase* sales, std::function<void()> henkouChk);

  protected:
    void PrepareProc() override;
    void ApplyProc() override;

  private:
    void MakerListProc();

    QComboBox* Combo1 = nullptr;
    QListWidget* List1 = nullptr;
};
