#pragma once

#include "SaleFieldDialog.h"

#include <memory>

class PurchaserList;

// The purchaser of the shown sale, found by typing the reading.
class Frm370_Qel : public SaleFieldDialog
{
    Q_OBJECT

  public:
    Frm370_Qel(FormBase* sales, std::function<void()> henkouChk);
    ~Frm370_Qel() override;

  protected:
    void PrepareProc() override;
    void ApplyProc() override;

  private:
    void CustomerListProc();

    QLineEdit* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    std::unique_ptr<PurchaserList> m_buyers;
};
