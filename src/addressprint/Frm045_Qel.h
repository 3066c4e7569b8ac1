#pragma once

#include "AddressLayout.h"

#include "customers/CustomerStore.h"

#include "ui/MainScreen.h"

#include <vector>

// Postcards and address labels for the customers of the list, in the list's order: the kind of
// output and its options, the sender kept in the ledger, the preview, the printer and a PDF file.
// "閉じる" goes back to the list at the place it was left.
class Frm045_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm045_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Combo1_Click();
    void Combo2_Click();
    void AddresseeProc();

    void EnableProc();
    void StartListProc();
    bool InputChk();
    bool SheetChk(LabelSheet& sheet);
    Sender FieldsToSender() const;
    AddressOptions OptionsProc(const LabelSheet& sheet) const;
    void PreviewProc(const AddressLayout& layout);
    void PrinterProc(const AddressLayout& layout);
    void PdfProc(const AddressLayout& layout);
    bool SenderSaveProc();
    void BackProc();

    bool postcards() const;

    QComboBox* Combo1 = nullptr; // postcards or labels
    QComboBox* Combo2 = nullptr; // the label sheet
    QComboBox* Combo3 = nullptr; // the first label
    QComboBox* Combo4 = nullptr; // the honorific
    QComboBox* Combo5 = nullptr; // the numerals
    QCheckBox* Check1 = nullptr; // red postal boxes
    QCheckBox* Check2 = nullptr; // print the sender
    QCheckBox* Check3 = nullptr; // this time the customers who want no mail too

    std::vector<Customer> m_found;
    QStringList m_prefectures;
    std::vector<Addressee> m_addressees;
    Sender m_savedSender;
};
