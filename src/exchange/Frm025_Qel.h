#pragma once

#include "ui/MainScreen.h"

#include <array>

class ImportPreviewModel;
class QTableView;

// The customer import, opened from registration: a CSV or workbook file read, its columns matched
// to the customer fields, every row previewed with its status, and the accepted rows stored at
// once after a backup.
class Frm025_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm025_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void Combo_Fld_Click(int field);
    void Check1_Click();

    void FileReadProc();
    void ColumnListProc();
    void CountDispProc();
    bool ImportChk();
    void ImportProc();

    QCheckBox* Check1 = nullptr;
    ControlArray<QComboBox> Combo_Fld;
    QTableView* Grd_Preview = nullptr;
    ImportPreviewModel* m_model = nullptr;
    bool m_filling = false;
};
