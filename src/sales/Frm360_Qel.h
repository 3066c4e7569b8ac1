#pragma once

#include "SaleFieldDialog.h"

// The quantity of the shown sale.
class Frm360_Qel : public AmountFieldDialog
{
    Q_OBJECT

  public:
    Frm360_Qel(FormBase* sales, std::function<void()> henkouChk);
};
