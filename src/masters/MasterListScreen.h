#pragma once

#include "ui/MainScreen.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class FlexGrid;

// What the maker list and the product list have in common: a grid whose position survives the
// screen in two globals, the name box (Txt_Inp(0)) with its reading box (Txt_Inp(1)), a hidden
// key box, the buttons 新規登録, 修正登録, 削除 and 閉じる with their enabling rules, the
// completion notice and the questions. Each form brings its columns, boxes, checks and store.
class MasterListScreen : public MainScreen
{
    Q_OBJECT

  public:
  protected:
    // topRow and rowSel are the globals that keep this list's grid position.
    MasterListScreen(const QString& formName, std::int32_t& topRow, std::int32_t& rowSel);

    // After the form's own controls are built (the grid MSHFlexGrid1 among them): the labels every list
    // shares, the hidden key box, the disabled action buttons and the event wiring. entryField takes the
    // focus from the grid.
    void SetUpListControls(int keyBox, int lastSelectedColumn, QWidget* entryField);

    // The form's own procedures, run by the shared flow.
    virtual void GridInitProc() = 0;
    // The texts of grid columns 2 onwards for the rows of the keys, one list per key in their
    // order (an empty one for a key whose row is gone). Throws QelError.
    virtual std::vector<QStringList> RowTextsProc(const std::vector<std::int32_t>& keys) = 0;
    // After an add or a correction: the key of the first row in list order that holds what the
    // boxes hold. Throws QelError.
    virtual std::optional<std::int32_t> MatchKeyProc() = 0;
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
    // Gives the grid a numbered row for each key, in their order; the texts of a row are read
    // (RowTextsProc) when the grid draws it or is asked about it, so that a long list opens at
    // once. The buttons follow: with no key, none of the three actions.
    void GridKeysProc(std::vector<std::int32_t> keys);
    // Where the rebuilt grid stands; after an add or a correction, at the row of MatchKeyProc.
    void GridPositionProc();
    void EditedProc();
    void NameEditedProc(int index);
    void ReadingAppendProc();
    void SaveButtonsOffProc();
    // The hidden key box, which also parks the focus.
    QLineEdit* KeyBox() const { return m_keyBox; }
    bool DeleteRowProc(const std::function<bool(std::int32_t key)>& remove);
    void ShowListProc(const QString& caption);

    FlexGrid* MSHFlexGrid1 = nullptr;
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

    class GridRows;
    // A block of rows could not be read: the failure is shown once per fill, after the paint
    // or the handler that asked for them.
    void RowsUnreadProc(const QelError& error);

    bool CorrectProc();
    void NoticeProc(const QString& caption);
    void RememberPositionProc();

    std::int32_t& m_topRow;
    std::int32_t& m_rowSel;
    QLineEdit* m_keyBox = nullptr;
    QWidget* m_entryField = nullptr;
    // The keys of the grid's data rows, in row order.
    std::vector<std::int32_t> m_keys;
    bool m_unreadShown = false;
};
