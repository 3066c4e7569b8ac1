#include "MasterListScreen.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"
#include "ui/Twips.h"

#include <algorithm>

namespace {

const QString kMenu = QStringLiteral("Frm010_Qel");
const QString kAsk = QStringLiteral("確認");

} // namespace

MasterListScreen::MasterListScreen(const QString& formName, std::int32_t& topRow, std::int32_t& rowSel)
    : MainScreen(formName), m_topRow(topRow), m_rowSel(rowSel)
{
    m_input = new InputBehaviour(this);
}

MasterListScreen::~MasterListScreen()
{
    // The focus handlers are the form's own; none may run once the form part is gone.
    delete m_input;
}

void MasterListScreen::SetUpListControls(int keyBox, int lastSelectedColumn, QWidget* entryField)
{
    MSHFlexGrid1 = Control<FlexGrid>("MSHFlexGrid1");
    m_keyBox = Txt_Inp(keyBox);
    m_entryField = entryField;

    StyleRoleLabels({.framedTitle = true, .titleBack = Colors::LightCyan, .noticeBack = Colors::LightRed});

    SetImeMode(m_keyBox, ImeOff);
    m_keyBox->setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i <= 2; ++i)
        Cmd(i)->setEnabled(false);

    m_input->swallowEnter(m_keyBox);
    for (int i = 0; i <= keyBox; ++i) {
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, [this, i] { Txt_Inp_Change(i); });
        m_input->onFocusIn(Txt_Inp(i), [this, i] { Txt_Inp_GotFocus(i); });
        m_input->onFocusOut(Txt_Inp(i), [this, i] { Txt_Inp_LostFocus(i); });
    }

    MSHFlexGrid1->setSelectionColumns(1, lastSelectedColumn);
    connect(MSHFlexGrid1, &FlexGrid::gridClicked, this, &MasterListScreen::MSHFlexGrid1_Click);
    connect(MSHFlexGrid1, &FlexGrid::gridDoubleClicked, this, &MasterListScreen::MSHFlexGrid1_DblClick);
    connect(MSHFlexGrid1, &FlexGrid::enterPressed, this, &MasterListScreen::MSHFlexGrid1_KeyDown);
    connect(MSHFlexGrid1, &FlexGrid::rowColChanged, this, &MasterListScreen::MSHFlexGrid1_RowColChange);
}

void MasterListScreen::ShowListProc(const QString& caption)
{
    setWindowTitle(caption);
    Lbl_Ttl(14)->setText(caption);
    m_keyBox->move(m_keyBox->x(), Tw(-1000));
    ShowScreen();
}

void MasterListScreen::GridColumnsProc(std::initializer_list<int> widths, int lastCentredHeader)
{
    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setCols(static_cast<int>(widths.size()));
    int c = 0;
    for (int width : widths)
        grid->setColWidth(c++, width);
    grid->clear();
    for (c = 1; c <= lastCentredHeader; ++c)
        grid->setCellAlignment(0, c, Qt::AlignCenter);
}

bool MasterListScreen::GridRowsProc(int count)
{
    FlexGrid* grid = MSHFlexGrid1;
    if (count == 0) {
        grid->setRows(2);
        for (int i = 0; i <= 2; ++i)
            Cmd(i)->setEnabled(false);
        return false;
    }
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Cmd(2)->setEnabled(true);
    grid->setRows(count + 1);
    for (int i = 1; i <= count; ++i) {
        grid->setTextMatrix(i, 0, QString::number(i));
        grid->setCellAlignment(i, 0, Qt::AlignRight | Qt::AlignVCenter);
    }
    return true;
}

void MasterListScreen::GridPositionProc(int matchColumn, const QString& matchText)
{
    FlexGrid* grid = MSHFlexGrid1;
    const int last = grid->rows() - 1;
    if (G().CallerForm == kMenu) {
        m_topRow = 1;
        m_rowSel = 1;
    }
    // Row 0 is the heading: a position from before any visit starts at the first data row.
    m_topRow = std::clamp(m_topRow, 1, last);
    m_rowSel = std::clamp(m_rowSel, 1, last);
    if (LastCmd == 1 || LastCmd == 2) {
        const QString name = TrimBlank(Txt_Inp(0)->text());
        for (int r = 1; r <= last; ++r) {
            if (TrimBlank(grid->textMatrix(r, 2)) == name &&
                TrimBlank(grid->textMatrix(r, matchColumn)) == matchText) {
                m_topRow = r;
                m_rowSel = r;
                break;
            }
        }
    }
    grid->setRedraw(true);
    grid->setTopRow(m_topRow);
    RowDispProc(m_rowSel);
    grid->setRow(m_rowSel);
    grid->setCol(1);
}

void MasterListScreen::SaveButtonsOffProc()
{
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

void MasterListScreen::EditedProc()
{
    Cmd(0)->setEnabled(true);
    if (!TrimBlank(m_keyBox->text()).isEmpty())
        Cmd(1)->setEnabled(true);
}

void MasterListScreen::NameEditedProc(int index)
{
    EditedProc();
    if (index == 0 && Txt_Inp(0)->text().isEmpty())
        Txt_Inp(1)->clear();
}

void MasterListScreen::ReadingAppendProc()
{
    AppendCapturedReading(Txt_Inp(1));
}

void MasterListScreen::MSHFlexGrid1_RowColChange()
{
    RowDispProc(MSHFlexGrid1->row());
}

void MasterListScreen::MSHFlexGrid1_Click()
{
    SaveButtonsOffProc();
}

void MasterListScreen::MSHFlexGrid1_DblClick()
{
    SaveButtonsOffProc();
    m_entryField->setFocus(Qt::OtherFocusReason);
}

void MasterListScreen::MSHFlexGrid1_KeyDown()
{
    m_entryField->setFocus(Qt::OtherFocusReason);
}

void MasterListScreen::RememberPositionProc()
{
    G().CallerForm = formName();
    m_topRow = MSHFlexGrid1->topRow();
    m_rowSel = MSHFlexGrid1->row();
}

void MasterListScreen::NoticeProc(const QString& caption)
{
    Lbl_Ttl(12)->setText(caption);
    FlashNotice({Lbl_Ttl(12)}, {Cmd(0), Cmd(1), Cmd(2)});
    SaveButtonsOffProc();
}

bool MasterListScreen::DeleteRowProc(const std::function<bool(std::int32_t key)>& remove)
{
    const int row = MSHFlexGrid1->row();
    const QString number = MSHFlexGrid1->textMatrix(row, 0);
    const QString name = MSHFlexGrid1->textMatrix(row, 2);
    const int key = MSHFlexGrid1->textMatrix(row, 1).toInt();
    const QString question = QStringLiteral("No.") + number + QStringLiteral(" ") + ItemWord() +
                             QStringLiteral("名：") + name +
                             QStringLiteral(" の\n情報を削除してもよろしいですか");
    if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
        return false;
    bool deleted = false;
    Guarded([&] { deleted = remove(key); });
    return deleted;
}

// The correction after its question was answered Yes; false when the database refused it.
bool MasterListScreen::CorrectProc()
{
    RememberPositionProc();
    bool found = false;
    if (!UpdateProc(found))
        return false;
    if (found) {
        NoticeProc(QStringLiteral("修正完了"));
    } else {
        Dialogs().warning(formName(),
                          QStringLiteral("修正する") + ItemWord() +
                              QStringLiteral("情報が見つかりませんでした。\n一覧を読み直します。"));
    }
    GridInitProc();
    return true;
}

void MasterListScreen::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        LastCmd = 1;
        if (InputChk() != 0)
            return;
        RememberPositionProc();
        if (!AddProc())
            return;
        NoticeProc(QStringLiteral("登録完了"));
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    case 1: {
        LastCmd = 2;
        if (InputChk() != 0)
            return;
        const bool corrected =
            Dialogs().question(kAsk, UpdateQuestion()) == DialogService::Answer::Yes && CorrectProc();
        if (corrected || m_gridFocusAfterNo)
            MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    }
    case 2: {
        LastCmd = 3;
        const bool deleted = DeleteProc();
        RememberPositionProc();
        if (deleted)
            NoticeProc(QStringLiteral("削除完了"));
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    }
    case 3:
        LastCmd = 4;
        if (Cmd(1)->isEnabled() &&
            Dialogs().question(kAsk, QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか")) !=
                DialogService::Answer::Yes)
            return;
        OpenScreen(kMenu);
        break;
    default:
        break;
    }
}
