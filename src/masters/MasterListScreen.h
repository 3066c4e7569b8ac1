#pragma once

#include "ui/MainScreen.h"

#include <cstdint>
#include <functional>

class FlexGrid;
class InputBehaviour;

// What the maker list and the product list have in common: a grid whose position survives the
// screen in two globals, the name box (Txt_Inp(0)) with its reading box (Txt_Inp(1)), a hidden
// key box, the buttons 新規登録, 修正登録, 削除 and 閉じる with their enabling rules, the
// completion notice and the questions. Each form brings its columns, boxes, checks and store.
class MasterListScreen : public MainScreen
{
    Q_OBJECT

  public:
    ~MasterListScreen() override;

  protected:
    // topRow and rowSel are the globals that keep this list's grid position.
    MasterListScreen(const QString& formName, std::int32_t& topRow, std::int32_t& rowSel);

    // After the form's own controls are built (the grid MSHFlexGrid1 among them): the labels every list
    // shares, the hidden key box, the disabled action buttons and the event wiring. entryField takes the
    // focus from the grid.
    void SetUpListControls(int keyBox, int lastSelectedColumn, QWidget* entryField);

    // The form's own procedures, run by the shared flow.
    virtual void GridInitProc() = 0;
    virtual void RowDispProc(int row) = 0;
    virtual int InputChk() = 0;
    virtual bool AddProc() = 0;
    virtual bool UpdateProc(bool& found) = 0;
    virtual bool DeleteProc() = 0;
    virtual void Txt_Inp_Change(int index) = 0;
    virtual void Txt_Inp_GotFocus(int index) = 0;
    virtual void Txt_Inp_LostFocus(int index) = 0;
    // The setting word for what the list holds (Maker or Syouhin) and the correction question.
    virtual QString ItemWord() const = 0;
    virtual QString UpdateQuestion() const = 0;

    // Shared steps of the forms' procedures.
    void GridColumnsProc(std::initializer_list<int> widths, int lastCentredHeader);
    // Sizes the grid for count data rows and numbers them; false when there is none to fill.
    bool GridRowsProc(int count);
    // Where the rebuilt grid stands; after an add or a correction, at the first row that has the
    // name box's name in column 2 and matchText in matchColumn.
    void GridPositionProc(int matchColumn, const QString& matchText);
    void EditedProc();
    void NameEditedProc(int index);
    void ReadingAppendProc();
    void SaveButtonsOffProc();
    // The hidden key box, which also parks the focus.
    QLineEdit* KeyBox() const { return m_keyBox; }
    bool DeleteRowProc(const std::function<bool(std::int32_t key)>& remove);
    void ShowListProc(const QString& caption);

    FlexGrid* MSHFlexGrid1 = nullptr;
    InputBehaviour* m_input = nullptr;
    std::int16_t LastCmd = 0;
    // The maker list puts the focus back on the grid also after a correction was declined or
    // failed; the product list leaves it where it was.
    bool m_gridFocusAfterNo = false;

  private:
    void Cmd_Click(int index) override;
    void MSHFlexGrid1_Click();
    void MSHFlexGrid1_DblClick();
    void MSHFlexGrid1_KeyDown();
    void MSHFlexGrid1_RowColChange();

    bool CorrectProc();
    void NoticeProc(const QString& caption);
    void RememberPositionProc();

    std::int32_t& m_topRow;
    std::int32_t& m_rowSel;
    QLineEdit* m_keyBox = nullptr;
    QWidget* m_entryField = nullptr;
};
