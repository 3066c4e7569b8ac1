#pragma once

#include "core/Amount.h"
#include "ui/MainScreen.h"

#include <QStringList>

#include <memory>

class PurchaserList;

// Sales entry: date, maker, product, prices, quantity, purchaser and remarks; each
// registration appends one sale and keeps most inputs for the next.
class Frm080_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm080_Qel();
    ~Frm080_Qel() override;
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Combo1_Click();
    void Combo2_Click();
    void List1_Click();
    void Txt_Inp_GotFocus(int index);
    void Txt_Inp_LostFocus(int index);

    void DateDispProc();
    // Returns whether the makers could be read.
    bool MakerListProc();
    void ProductListProc();
    void PriceGetProc(Amount& listPrice, Amount& sellingPrice);
    void CustomerListProc();
    void AmountCalc(int k);
    int InputChk();
    void SalesSaveProc();
    void Registration();

    void SetEnterOrder();

    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QListWidget* List3 = nullptr;
    QListWidget* List4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QFrame* Frame1 = nullptr;
    // The purchaser list List1 with its readings List2.
    std::unique_ptr<PurchaserList> m_buyers;
};
