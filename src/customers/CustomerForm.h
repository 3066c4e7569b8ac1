#pragma once

#include "CustomerStore.h"

#include "ui/MainScreen.h"

#include <QStringList>

#include <cstdint>

// What tells the customer screens apart on their common layout.
struct CustomerScreenTexts
{
    QString windowTitle;
    QString title;        // Lbl_Ttl(14)
    QStringList captions; // Lbl_Ttl(0) to (10)
    QStringList buttons;  // Cmd(0) to (2)
    QString notice;       // Lbl_Ttl(12) over its box Lbl_Ttl(13); empty: the screen has none
};

// The customer fields as registration, detail and search all show them: the panel Picture1 with
// the eleven rows (Txt_Inp 0 to 10 with their limits and input-method modes, the prefecture list
// Combo1, the hidden parking field Txt_Inp(3)), the title, the message line, the three buttons,
// select-all on entry and the Enter order.
class CustomerFieldsScreen : public MainScreen
{
    Q_OBJECT

  public:
  protected:
    CustomerFieldsScreen(const QString& formName, const CustomerScreenTexts& texts);

    // Fills Combo1 from Tb_都道府県 so that list position equals prefecture number.
    void PrefListProc();
    // Selects the prefecture of a setting; one outside the list selects the first entry and,
    // when asked, says so.
    void SelectPrefecture(int wanted, const QString& settingName, bool reportOutside);
    void ImeModeProc();
    // The boxes as a row, each text trimmed, the prefecture by list position.
    Customer FieldsToCustomer() const;
    // Each text trimmed into its box, whole even beyond the box's limit, the list at the
    // prefecture's position.
    void CustomerToFields(const Customer& customer);
    void ClearFieldsProc();
    // A file made before the index of the customers' purchases gets it before its first search by
    // purchases or its first history: seconds over a million sales, said in the message line.
    // One that cannot take it now says why and is read without it.
    void PurchaseIndexProc();

    QWidget* Picture1 = nullptr;
    QComboBox* Combo1 = nullptr;
};

// The field events of the screens that enter a customer (registration and detail): the reading
// captured from the name, the postal code offered to an empty city field in full width, the
// prefecture split off the start of the address, the change flag, and the required-field checks.
// Right of the telephone numbers they take the birthday (year, month, day: Txt_Inp 11 to 13) and
// the mail wish (Combo2), with a hint when the remarks ask for no mail that the wish does not say.
class CustomerEntryScreen : public CustomerFieldsScreen
{
    Q_OBJECT

  protected:
    CustomerEntryScreen(const QString& formName, const CustomerScreenTexts& texts);

    // The customer fields with the birthday and the mail wish, once InputChk has passed; and back.
    Customer EntryToCustomer() const;
    void CustomerToEntry(const Customer& customer);
    // Empties the boxes, the birthday's too; the mail wish stays.
    void ClearFieldsProc();

    // A box or the prefecture changed.
    virtual void ChangedProc();
    // The prefecture list compared with the position last seen, which it then becomes.
    void PrefCompareProc();
    bool InputChk();
    // Asks before leaving with unsaved entries; whether the screen may be left.
    bool LeaveChk(const QString& question);

    std::int16_t HenkouFlg = 0;
    std::int16_t PrefIndex = 0;
    QString ZipCode;
    QString ZipCodeWide;
    QComboBox* Combo2 = nullptr; // DM: 送る, 送らない
    std::int16_t DmIndex = 0;

  private:
    void Combo2_Click();
    void HintProc();
    void Txt_Inp_Change(int index);
    void Txt_Inp_GotFocus(int index);
    void Txt_Inp_LostFocus(int index);
    void PrefectureSplitProc();
};
