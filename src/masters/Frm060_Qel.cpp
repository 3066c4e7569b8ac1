#include "Frm060_Qel.h"

#include "MakerStore.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"
#include "ui/Twips.h"

namespace {

const QString kForm = QStringLiteral("Frm060_Qel");
const QString kMenu = QStringLiteral("Frm010_Qel");
const QString kAsk = QStringLiteral("確認");

} // namespace

Frm060_Qel::Frm060_Qel() : MainScreen(kForm)
{
    // The grid comes first so that it is first in the tab order and has the focus at opening.
    MSHFlexGrid1 = new FlexGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setGeometry(TwRect(1230, 780, 9255, 4500));

    using K = ControlSpec::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QString(), 1230, 240, 9255, 435},
        {K::Frame, "Frame1", -1, QString(), 1230, 5340, 9255, 1260},
        {K::Label, "Lbl_Ttl", 12, QString(), 4830, 120, 4000, 435, "Frame1"},
        {K::Text, "Txt_Inp", 0, QString(), 830, 660, 4000, 375, "Frame1"},
        {K::Text, "Txt_Inp", 1, QString(), 4830, 660, 4000, 375, "Frame1"},
        {K::Text, "Txt_Inp", 2, QString(), 1230, 6780, 1000, 375},
        {K::Button, "Cmd", 0, QStringLiteral("新規登録"), 1230, 6780, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("修正登録"), 3270, 6780, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("削除"), 5310, 6780, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 8670, 6780, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 1230, 7560, 9255, 375},
    });
    Frame1 = Control<QGroupBox>("Frame1");

    Lbl_Ttl(14)->setAlignment(Qt::AlignCenter);
    Lbl_Ttl(14)->setFont(ScreenFont(18));
    SetBordered(Lbl_Ttl(14));
    SetBackColor(Lbl_Ttl(14), Colors::LightCyan);
    SetBackColor(Lbl_Ttl(11), Colors::LightRed);
    Lbl_Ttl(12)->setAlignment(Qt::AlignCenter);
    Lbl_Ttl(12)->setFont(ScreenFont(18));
    SetBackColor(Lbl_Ttl(12), Colors::LightRed);
    Lbl_Ttl(12)->hide();

    Txt_Inp(0)->setMaxLength(13);
    Txt_Inp(1)->setMaxLength(25);
    SetImeMode(Txt_Inp(0), ImeHiragana);
    SetImeMode(Txt_Inp(1), ImeHalfKatakana);
    SetImeMode(Txt_Inp(2), ImeOff);
    Txt_Inp(2)->setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i <= 2; ++i)
        Cmd(i)->setEnabled(false);
    setTabOrder(MSHFlexGrid1, Txt_Inp(0));
    setTabOrder(Txt_Inp(0), Txt_Inp(1));
    setTabOrder(Txt_Inp(1), Cmd(0));

    m_input = new InputBehaviour(this);
    m_input->selectAllOnFocus({Txt_Inp(0), Txt_Inp(1)});
    m_input->setEnterOrder({{Txt_Inp(0), {Txt_Inp(1)}}, {Txt_Inp(1), {Txt_Inp(0)}}});
    m_input->swallowEnter(Txt_Inp(2));
    for (int i = 0; i <= 2; ++i) {
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, [this, i] { Txt_Inp_Change(i); });
        m_input->onFocusIn(Txt_Inp(i), [this, i] { Txt_Inp_GotFocus(i); });
        m_input->onFocusOut(Txt_Inp(i), [this, i] { Txt_Inp_LostFocus(i); });
    }
    for (int i = 0; i <= 3; ++i)
        connect(Cmd(i), &QPushButton::clicked, this, [this, i] { Cmd_Click(i); });

    MSHFlexGrid1->setSelectionColumns(1, 3);
    connect(MSHFlexGrid1, &FlexGrid::gridClicked, this, &Frm060_Qel::MSHFlexGrid1_Click);
    connect(MSHFlexGrid1, &FlexGrid::gridDoubleClicked, this, &Frm060_Qel::MSHFlexGrid1_DblClick);
    connect(MSHFlexGrid1, &FlexGrid::enterPressed, this, &Frm060_Qel::MSHFlexGrid1_KeyDown);
    connect(MSHFlexGrid1, &FlexGrid::rowColChanged, this, &Frm060_Qel::MSHFlexGrid1_RowColChange);
}

void Frm060_Qel::LoadProc()
{
    GridInitProc();
    const QString caption = G().Maker + QStringLiteral("名一覧");
    setWindowTitle(caption);
    Lbl_Ttl(14)->setText(caption);
    Txt_Inp(2)->move(Txt_Inp(2)->x(), Tw(-1000));
    ShowScreen();
}

void Frm060_Qel::GridInitProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setCols(4);
    const int widths[] = {800, 0, 4000, 4000};
    for (int c = 0; c < 4; ++c)
        grid->setColWidth(c, widths[c]);
    grid->clear();
    for (int c = 1; c <= 3; ++c)
        grid->setCellAlignment(0, c, Qt::AlignCenter);
    grid->setTextMatrix(0, 2, G().Maker + QStringLiteral("名"));
    grid->setTextMatrix(0, 3, QStringLiteral("フリガナ"));

    GridFillProc();

    AppGlobals& g = G();
    const int last = grid->rows() - 1;
    if (g.CallerForm == kMenu) {
        g.MakerTopRow = 1;
        g.MakerRowSel = 1;
    }
    // Row 0 is the heading: a position from before any visit starts at the first data row.
    g.MakerTopRow = std::clamp(g.MakerTopRow, 1, last);
    g.MakerRowSel = std::clamp(g.MakerRowSel, 1, last);
    if (LastCmd == 1 || LastCmd == 2) {
        const QString name = TrimBlank(Txt_Inp(0)->text());
        const QString reading = TrimBlank(Txt_Inp(1)->text());
        for (int r = 1; r <= last; ++r) {
            if (TrimBlank(grid->textMatrix(r, 2)) == name && TrimBlank(grid->textMatrix(r, 3)) == reading) {
                g.MakerTopRow = r;
                g.MakerRowSel = r;
                break;
            }
        }
    }
    grid->setRedraw(true);
    grid->setTopRow(g.MakerTopRow);
    RowDispProc(g.MakerRowSel);
    grid->setRow(g.MakerRowSel);
    grid->setCol(1);
}

void Frm060_Qel::GridFillProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    std::vector<MakerRow> makers;
    // A database that cannot be read leaves the list empty; the warning says why.
    Guarded([&] { makers = MakerStore::all(); });
    if (makers.empty()) {
        grid->setRows(2);
        for (int i = 0; i <= 2; ++i)
            Cmd(i)->setEnabled(false);
        return;
    }
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Cmd(2)->setEnabled(true);
    const int count = static_cast<int>(makers.size());
    grid->setRows(count + 1);
    for (int i = 1; i <= count; ++i) {
        const MakerRow& m = makers[static_cast<size_t>(i - 1)];
        grid->setTextMatrix(i, 0, QString::number(i));
        grid->setCellAlignment(i, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->setTextMatrix(i, 1, QString::number(m.key));
        grid->setTextMatrix(i, 2, TrimBlank(m.name));
        grid->setTextMatrix(i, 3, TrimBlank(m.reading));
    }
}

void Frm060_Qel::RowDispProc(int row)
{
    Txt_Inp(0)->setText(MSHFlexGrid1->textMatrix(row, 2));
    Txt_Inp(1)->setText(MSHFlexGrid1->textMatrix(row, 3));
    Txt_Inp(2)->setText(MSHFlexGrid1->textMatrix(row, 1));
    G().MakerKey = MSHFlexGrid1->textMatrix(row, 1).toInt();
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

void Frm060_Qel::MSHFlexGrid1_RowColChange()
{
    RowDispProc(MSHFlexGrid1->row());
}

void Frm060_Qel::MSHFlexGrid1_Click()
{
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

void Frm060_Qel::MSHFlexGrid1_DblClick()
{
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
}

void Frm060_Qel::MSHFlexGrid1_KeyDown()
{
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
}

void Frm060_Qel::Txt_Inp_Change(int index)
{
    Cmd(0)->setEnabled(true);
    if (!TrimBlank(Txt_Inp(2)->text()).isEmpty())
        Cmd(1)->setEnabled(true);
    if (index == 0 && Txt_Inp(0)->text().isEmpty())
        Txt_Inp(1)->clear();
}

void Frm060_Qel::Txt_Inp_GotFocus(int index)
{
    if (index == 0)
        StartReadingCapture(Txt_Inp(0));
}

void Frm060_Qel::Txt_Inp_LostFocus(int index)
{
    if (index != 0)
        return;
    StopReadingCapture();
    SetImeMode(Txt_Inp(1), ImeHalfKatakana);
    const QString reading = ReadingText();
    if (!reading.isEmpty())
        Txt_Inp(1)->setText(Txt_Inp(1)->text() + reading);
}

int Frm060_Qel::InputChk()
{
    Lbl_Ttl(11)->clear();
    if (TrimBlank(Txt_Inp(0)->text()).isEmpty()) {
        Lbl_Ttl(11)->setText(G().Maker + QStringLiteral("名を入力してください"));
        ParkFocus(Txt_Inp(2), Txt_Inp(0));
        return 1;
    }
    if (TrimBlank(Txt_Inp(1)->text()).isEmpty()) {
        Lbl_Ttl(11)->setText(QStringLiteral("フリガナを入力してください"));
        ParkFocus(Txt_Inp(2), Txt_Inp(1));
        return 2;
    }
    return 0;
}

void Frm060_Qel::RememberPositionProc()
{
    G().CallerForm = kForm;
    G().MakerTopRow = MSHFlexGrid1->topRow();
    G().MakerRowSel = MSHFlexGrid1->row();
}

void Frm060_Qel::NoticeProc(const QString& caption)
{
    Lbl_Ttl(12)->setText(caption);
    FlashNotice({Lbl_Ttl(12)}, {Cmd(0), Cmd(1), Cmd(2)});
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

bool Frm060_Qel::AddProc()
{
    return Guarded([&] { MakerStore::add(TrimBlank(Txt_Inp(0)->text()), TrimBlank(Txt_Inp(1)->text())); });
}

bool Frm060_Qel::UpdateProc(bool& found)
{
    found = false;
    return Guarded([&] {
        found =
            MakerStore::update(G().MakerKey, TrimBlank(Txt_Inp(0)->text()), TrimBlank(Txt_Inp(1)->text()));
    });
}

bool Frm060_Qel::DeleteProc()
{
    const int row = MSHFlexGrid1->row();
    const QString number = MSHFlexGrid1->textMatrix(row, 0);
    const QString name = MSHFlexGrid1->textMatrix(row, 2);
    const int key = MSHFlexGrid1->textMatrix(row, 1).toInt();
    const QString question = QStringLiteral("No.") + number + QStringLiteral(" ") + G().Maker +
                             QStringLiteral("名：") + name +
                             QStringLiteral(" の\n情報を削除してもよろしいですか");
    if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
        return false;
    bool deleted = false;
    Guarded([&] { deleted = MakerStore::remove(key); });
    return deleted;
}

void Frm060_Qel::Cmd_Click(int index)
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
        const QString question =
            QStringLiteral("修正前の") + G().Maker + QStringLiteral("名に") + G().Syouhin +
            QStringLiteral("情報が登録されている場合\n他の入力画面で") + G().Maker +
            QStringLiteral("情報が設定できなくなる可能性があります\n\n修正登録を行いますか");
        if (Dialogs().question(kAsk, question) == DialogService::Answer::Yes) {
            RememberPositionProc();
            bool found = false;
            if (UpdateProc(found)) {
                if (found) {
                    NoticeProc(QStringLiteral("修正完了"));
                } else {
                    Dialogs().warning(
                        formName(), QStringLiteral("修正する") + G().Maker +
                                        QStringLiteral("情報が見つかりませんでした。\n一覧を読み直します。"));
                }
                GridInitProc();
            }
        }
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
