#pragma once

#include "ui/MainScreen.h"

#include <cstdint>

class InputBehaviour;

// Customer registration: checks the required fields, adds the row with a fresh key, flashes the
// completion notice and keeps the entries for the next, similar customer.
class Frm020_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm020_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Txt_Inp_Change(int index);
    void Txt_Inp_GotFocus(int index);
    void Txt_Inp_LostFocus(int index);
    void Combo1_LostFocus();

    void PrefListProc();
    void SelectDefaultPrefecture(bool reportOutside);
    bool InputChk();
    void SaveProc();
    void PrefectureSplitProc();

    QWidget* Picture1 = nullptr;
    QComboBox* Combo1 = nullptr;
    InputBehaviour* m_input = nullptr;

    std::int16_t HenkouFlg = 0;
    std::int16_t PrefIndex = 0;
    QString ZipCode;
    QString ZipCodeWide;
};
