#include "Frm060_Qel.h"

#include "MakerStore.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"

Frm060_Qel::Frm060_Qel() : MasterListScreen(Forms::Frm060_Qel, G().MakerTopRow, G().MakerRowSel)
{
    using K = ControlRow::Kind;
    // The grid comes first so that it is first in the tab order and has the focus at opening.
    BuildControls({
        {K::Grid, "MSHFlexGrid1", -1, QString(), 1230, 780, 9255, 4500},
        {K::Label, "Lbl_Ttl", 14, QString(), 1230, 240, 9255, 435},
        {K::Frame, "Frame1", -1, QString(), 1230, 5340, 9255, 1260},
        {K::Label, "Lbl_Ttl", 12, QString(), 4830, 120, 4000, 435, "Frame1"},
        {K::Text, "Txt_Inp", 0, QString(), 830, 660, 4000, 375, "Frame1", 13},
        {K::Text, "Txt_Inp", 1, QString(), 4830, 660, 4000, 375, "Frame1", 25},
        {K::Text, "Txt_Inp", 2, QString(), 1230, 6780, 1000, 375},
        {K::Button, "Cmd", 0, QStringLiteral("新規登録"), 1230, 6780, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("修正登録"), 3270, 6780, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("削除"), 5310, 6780, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 8670, 6780, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 1230, 7560, 9255, 375},
    });
    Frame1 = Control<QGroupBox>("Frame1");

    SetImeMode(Txt_Inp(0), ImeHiragana);
    SetImeMode(Txt_Inp(1), ImeHalfKatakana);
    setTabOrder(MSHFlexGrid1, Txt_Inp(0));
    setTabOrder(Txt_Inp(0), Txt_Inp(1));
    setTabOrder(Txt_Inp(1), Cmd(0));

    Input()->selectAllOnFocus({Txt_Inp(0), Txt_Inp(1)});
    Input()->setEnterOrder({{Txt_Inp(0), {Txt_Inp(1)}}, {Txt_Inp(1), {Txt_Inp(0)}}});
    m_gridFocusAfterNo = true;
    SetUpListControls(2, 3, Txt_Inp(0));
}

void Frm060_Qel::LoadProc()
{
    GridInitProc();
    ShowListProc(G().Maker + QStringLiteral("名一覧"));
}

QString Frm060_Qel::ItemWord() const
{
    return G().Maker;
}

QString Frm060_Qel::UpdateQuestion() const
{
    return QStringLiteral("修正前の") + G().Maker + QStringLiteral("名に") + G().Syouhin +
           QStringLiteral("情報が登録されている場合\n他の入力画面で") + G().Maker +
           QStringLiteral("情報が設定できなくなる可能性があります\n\n修正登録を行いますか");
}

void Frm060_Qel::GridInitProc()
{
    GridColumnsProc({800, 0, 4000, 4000}, 3);
    MSHFlexGrid1->setTextMatrix(0, 2, G().Maker + QStringLiteral("名"));
    MSHFlexGrid1->setTextMatrix(0, 3, QStringLiteral("フリガナ"));
    GridFillProc();
    GridPositionProc();
}

void Frm060_Qel::GridFillProc()
{
    std::vector<std::int32_t> keys;
    // A database that cannot be read leaves the list empty; the warning says why.
    Guarded([&] { keys = MakerStore().keys(); });
    GridKeysProc(std::move(keys));
}

std::vector<QStringList> Frm060_Qel::RowTextsProc(const std::vector<std::int32_t>& keys)
{
    std::vector<QStringList> texts;
    texts.reserve(keys.size());
    for (const std::optional<MakerRow>& m : MakerStore().rowsOf(keys))
        texts.push_back(m ? QStringList{TrimBlank(m->name), TrimBlank(m->reading)} : QStringList());
    return texts;
}

std::optional<std::int32_t> Frm060_Qel::MatchKeyProc()
{
    return MakerStore().firstKeyOf(TrimBlank(Txt_Inp(0)->text()), TrimBlank(Txt_Inp(1)->text()));
}

void Frm060_Qel::RowDispProc(int row)
{
    Txt_Inp(0)->setText(MSHFlexGrid1->textMatrix(row, 2));
    Txt_Inp(1)->setText(MSHFlexGrid1->textMatrix(row, 3));
    Txt_Inp(2)->setText(MSHFlexGrid1->textMatrix(row, 1));
    G().MakerKey = MSHFlexGrid1->textMatrix(row, 1).toInt();
    SaveButtonsOffProc();
}

void Frm060_Qel::Txt_Inp_Change(int index)
{
    NameEditedProc(index);
}

void Frm060_Qel::Txt_Inp_GotFocus(int index)
{
    if (index == 0)
        StartReadingCapture(Txt_Inp(0));
}

void Frm060_Qel::Txt_Inp_LostFocus(int index)
{
    if (index == 0)
        ReadingAppendProc();
}

int Frm060_Qel::InputChk()
{
    return FirstFailedCheck(
        {
            {TrimBlank(Txt_Inp(0)->text()).isEmpty(), G().Maker + QStringLiteral("名を入力してください"),
             Txt_Inp(0)},
            {TrimBlank(Txt_Inp(1)->text()).isEmpty(), QStringLiteral("フリガナを入力してください"),
             Txt_Inp(1)},
        },
        KeyBox());
}

MakerRow Frm060_Qel::EnteredRow()
{
    return {
        .key = G().MakerKey, .name = TrimBlank(Txt_Inp(0)->text()), .reading = TrimBlank(Txt_Inp(1)->text())};
}

bool Frm060_Qel::AddProc()
{
    return Guarded([&] { MakerStore().add(EnteredRow()); });
}

bool Frm060_Qel::UpdateProc(bool& found)
{
    found = false;
    return Guarded([&] { found = MakerStore().update(EnteredRow()); });
}

bool Frm060_Qel::DeleteProc()
{
    return DeleteRowProc([](std::int32_t key) { return MakerStore().remove(key); });
}
