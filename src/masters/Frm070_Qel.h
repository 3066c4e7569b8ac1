#pragma once

#include "MasterListScreen.h"

#include "core/Amount.h"

#include <QStringList>

#include <array>
#include <cstdint>

// The product list: every product with its maker and prices, grouped by maker, with adding,
// correcting (also moving to another maker) and deleting.
class Frm070_Qel : public MasterListScreen
{
    Q_OBJECT

  public:
    Frm070_Qel();
    void LoadProc() override;

  private:
    void Combo1_Click(int index);
    void Txt_Inp_Change(int index) override;
    void Txt_Inp_GotFocus(int index) override;
    void Txt_Inp_LostFocus(int index) override;

    void MakerListProc();
    void GridInitProc() override;
    void GridFillProc();
    std::vector<QStringList> RowTextsProc(const std::vector<std::int32_t>& keys) override;
    std::optional<std::int32_t> MatchKeyProc() override;
    void RowDispProc(int row) override;
    int InputChk() override;
    bool AddProc() override;
    bool UpdateProc(bool& found) override;
    bool DeleteProc() override;
    QString ItemWord() const override;
    QString UpdateQuestion() const override;

    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QStringList MakerReadings;
    std::int16_t LastMakerIndex = -1;
    std::array<Amount, 2> EntryPrices{0, 0};
};
