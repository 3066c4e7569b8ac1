#pragma once

#include "CustomerStore.h"

#include "ui/MainScreen.h"

#include <QStringList>

#include <cstdint>

class FlexGrid;

// The customers matching the saved search condition, in reading order: the detail of one, its
// deletion, the customer-list workbook, and the way back to the search. The position survives a
// visit to the detail and a deletion.
class Frm040_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm040_Qel();
    void LoadProc() override;

  private:
    void Cmd_Click(int index) override;
    void MSHFlexGrid1_DblClick();

    void GridInitProc();
    void ListProc();
    void RememberPositionProc();
    enum class DeleteResult { Declined, Deleted, Failed };
    DeleteResult DeleteProc();
    void PrintProc();
    void CsvOutProc();
    std::int64_t WorkbookProc();

    FlexGrid* MSHFlexGrid1 = nullptr;
    QComboBox* Combo1 = nullptr;
    // The condition the grid was filled from; the workbook is written from the same.
    SearchCondition m_condition;
};
