#pragma once

#include "RestoreRun.h"

#include "ui/MainScreen.h"

#include <vector>

class FlexGrid;
class QTimer;

// The restore screen, opened from the backup screen: the backups of the backup folder with what
// each holds, and the restore of the chosen one in place of the database in use, after a backup
// of that file through the backup run.
class Frm630_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm630_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;

    void GridInitProc();
    void ListProc();
    void RowFillProc(int row);
    void CountNextProc();
    void RowDispProc();
    void RestoreProc();
    // The database in use as the question names it: what it holds, whether it is damaged.
    QString InUseProc();
    // The entry of the current row, counted; nullptr without one.
    BackupEntry* ChosenEntry();

    FlexGrid* MSHFlexGrid1 = nullptr;
    std::vector<BackupEntry> m_entries;
    // Counts the rows one at a time between the user's events.
    QTimer* m_counter = nullptr;
};
