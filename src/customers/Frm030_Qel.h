#pragma once

#include "CustomerForm.h"

// Customer search: the conditions are stored as the single saved row, which the list then reads;
// coming back from the list shows them again. Under the customer fields, the group 購入履歴 finds
// customers by what they bought, and 誕生月 by the month of their birthday.
class Frm030_Qel : public CustomerFieldsScreen
{
    Q_OBJECT

  public:
    Frm030_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void MakerListProc();
    void CondLoadProc();
    void CondSaveProc();
    bool InputChk();
    PurchaseCondition FieldsToPurchases() const;
    void PurchasesToFields(const PurchaseCondition& purchases);
    void ClearPurchasesProc();
    void MessageProc();

    QComboBox* Combo2 = nullptr; // the maker bought
    QComboBox* Combo3 = nullptr; // the month of birth
    QCheckBox* Check1 = nullptr; // never bought
};
