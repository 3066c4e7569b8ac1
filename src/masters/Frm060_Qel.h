#pragma once

#include "MasterListScreen.h"

#include "db/Rows.h"

// The maker list: every maker in reading order, with adding, correcting and deleting.
class Frm060_Qel : public MasterListScreen
{
    Q_OBJECT

  public:
    Frm060_Qel();
    void LoadProc() override;

  private:
    void Txt_Inp_Change(int index) override;
    void Txt_Inp_GotFocus(int index) override;
    void Txt_Inp_LostFocus(int index) override;

    void GridInitProc() override;
    void GridFillProc();
    std::vector<QStringList> RowTextsProc(const std::vector<std::int32_t>& keys) override;
    std::optional<std::int32_t> MatchKeyProc() override;
    void RowDispProc(int row) override;
    int InputChk() override;
    bool AddProc() override;
    bool UpdateProc(bool& found) override;
    bool DeleteProc() override;
    // The maker as typed, under the key of the row shown.
    MakerRow EnteredRow();
    QString ItemWord() const override;
    QString UpdateQuestion() const override;

    QGroupBox* Frame1 = nullptr;
};
