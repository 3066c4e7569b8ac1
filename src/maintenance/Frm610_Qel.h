#pragma once

#include "ui/MainScreen.h"

// The backup screen: one press backs the database up, compacts it and prunes the backup folder;
// "復元…" opens the restore screen; "旧データ取込…" converts a ledger of the earlier format into
// the database in use.
class Frm610_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm610_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void LedgerImportProc();
};
