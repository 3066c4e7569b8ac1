#pragma once

#include "SaleFieldDialog.h"

// The remarks of the shown sale; an empty box clears them.
class Frm380_Qel : public SaleFieldDialog
{
    Q_OBJECT

  public:
    Frm380_Qel(FormBase* sales, std::function<void()> henkouChk);

  protected:
    void PrepareProc() override;
    void ApplyProc() override;

  private:
    QLineEdit* Text1 = nullptr;
};
