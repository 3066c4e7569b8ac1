#include "MasterListScreen.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/LateFailure.h"
#include "ui/ReadingCapture.h"
#include "ui/Twips.h"

#include <algorithm>

namespace {

const QString kMenu = Forms::Frm010_Qel;
const QString kAsk = QStringLiteral("確認");

} // namespace

MasterListScreen::MasterListScreen(const QString& formName, std::int32_t& topRow, std::int32_t& rowSel)
    : MainScreen(formName), m_topRow(topRow), m_rowSel(rowSel)
{
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

    Input()->swallowEnter(m_keyBox);
    for (int i = 0; i <= keyBox; ++i) {
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, [this, i] { Txt_Inp_Change(i); });
        Input()->onFocusIn(Txt_Inp(i), [this, i] { Txt_Inp_GotFocus(i); });
        Input()->onFocusOut(Txt_Inp(i), [this, i] { Txt_Inp_LostFocus(i); });
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

// The rows of the grid, read a block of keys at a time. A row whose texts cannot be read shows
// its number and key only.
class MasterListScreen::GridRows : public FlexGridRows
{
  public:
    GridRows(MasterListScreen* screen, std::vector<std::int32_t> keys)
        : m_screen(screen), m_keys(std::move(keys))
    {
    }

    std::vector<QStringList> read(int first, int count) override
    {
        const auto begin = m_keys.begin() + (first - 1);
        const std::vector<std::int32_t> keys(begin, begin + count);
        std::vector<QStringList> texts;
        try {
            texts = m_screen->RowTextsProc(keys);
        } catch (const QelError& e) {
            m_screen->RowsUnreadProc(e);
        }
        std::vector<QStringList> rows;
        rows.reserve(keys.size());
        for (int i = 0; i < count; ++i) {
            QStringList row{QString::number(first + i), QString::number(keys[static_cast<size_t>(i)])};
            if (static_cast<size_t>(i) < texts.size())
                row += texts[static_cast<size_t>(i)];
            rows.push_back(std::move(row));
        }
        return rows;
    }

  private:
    MasterListScreen* m_screen;
    std::vector<std::int32_t> m_keys;
};

void MasterListScreen::GridKeysProc(std::vector<std::int32_t> keys)
{
    FlexGrid* grid = MSHFlexGrid1;
    m_keys = std::move(keys);
    m_unreadShown = false;
    if (m_keys.empty()) {
        grid->setRows(2);
        for (int i = 0; i <= 2; ++i)
            Cmd(i)->setEnabled(false);
        return;
    }
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Cmd(2)->setEnabled(true);
    grid->setColAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    grid->setRowSource(static_cast<int>(m_keys.size()), std::make_unique<GridRows>(this, m_keys));
}

void MasterListScreen::RowsUnreadProc(const QelError& error)
{
    if (m_unreadShown)
        return;
    m_unreadShown = true;
    ShowFailureLater(this, formName(), error);
}

void MasterListScreen::GridPositionProc()
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
    if ((LastCmd == 1 || LastCmd == 2) && !m_keys.empty()) {
        std::optional<std::int32_t> match;
        Guarded([&] { match = MatchKeyProc(); });
        const std::int32_t key = match.value_or(0);
        const auto found = match ? std::find(m_keys.begin(), m_keys.end(), key) : m_keys.end();
        if (found != m_keys.end()) {
            m_topRow = static_cast<std::int32_t>(found - m_keys.begin()) + 1;
            m_rowSel = m_topRow;
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
