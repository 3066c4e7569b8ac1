#pragma once

#include "SaleFieldDialog.h"

// The list price of the shown sale.
class Frm340_Qel : public AmountFieldDialog
{
    Q_OBJECT

  public:
    Frm340_Qel(FormBase* sales, std::function<void()> henkouChk);
};
