#pragma once

#include "SaleFieldDialog.h"

// The selling price of the shown sale.
class Frm350_Qel : public AmountFieldDialog
{
    Q_OBJECT

  public:
    Frm350_Qel(FormBase* sales, std::function<void()> henkouChk);
};
