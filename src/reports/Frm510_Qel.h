#pragma once

#include "sales/SalesSelection.h"

#include "ui/MainScreen.h"

#include <QDateTime>

#include <memory>

class PurchaserList;

// The report menu: a period of months for all three reports, a maker for the by-maker report
// and a purchaser for the by-purchaser report; "作成" hands them to the report screen.
class Frm510_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm510_Qel();
    ~Frm510_Qel() override;
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;

    void PeriodDispProc();
    void ChoiceBackProc();
    void MakerListProc();
    void CustomerListProc();
    int ReportChk(ReportKind kind);
    // Whether the report may be made.
    bool IndexProc();
    void SetArrows(bool enabled);

    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::unique_ptr<PurchaserList> m_buyers;

    QString m_start;
    QString m_end;
    QDateTime m_workDate;
    // Whether the user chose the maker or the purchaser, rather than left the first one the lists
    // start with: only a choice is offered to the charts.
    bool m_makerChosen = false;
    bool m_buyerChosen = false;
};
