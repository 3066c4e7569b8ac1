#pragma once

#include "SaleFieldDialog.h"

#include <QDateTime>

// The purchase date of the shown sale, stepped from today with the date buttons.
class Frm310_Qel : public SaleFieldDialog
{
    Q_OBJECT

  public:
    Frm310_Qel(FormBase* sales, std::function<void()> henkouChk);

  protected:
    void PrepareProc() override;
    void ApplyProc() override;
    void Cmd_Click(int index) override;

  private:
    void DateDispProc();

    QDateTime m_date;
};
