#pragma once

#include "ui/MainScreen.h"

// The bulk deletion of the sales of a period of months, possible only after a backup made on
// this screen in the same visit.
class Frm620_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm620_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;

    void DefaultPeriodProc();
    void PeriodDispProc();
    void DeleteStateProc(bool deleting);
    void StepStartProc(int delta);
    void StepEndProc(int delta);
    void BulkDeleteProc();

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QString PeriodStart;
    QString PeriodEnd;
};
