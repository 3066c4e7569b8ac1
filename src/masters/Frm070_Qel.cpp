#include "Frm070_Qel.h"

#include "MakerStore.h"
#include "ProductStore.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"
#include "ui/ReadingSearch.h"
#include "ui/Twips.h"

namespace {

// Grid column of the price shown in price box 2 or 3.
int priceColumn(int box)
{
    return box + 1;
}

} // namespace

Frm070_Qel::Frm070_Qel() : MasterListScreen(Forms::Frm070_Qel, G().ProductTopRow, G().ProductRowSel)
{
    using K = ControlRow::Kind;
    // The grid comes first so that it is first in the tab order and has the focus at opening.
    BuildControls({
        {K::Grid, "MSHFlexGrid1", -1, QString(), 480, 1200, 10755, 3960},
        {K::Label, "Lbl_Ttl", 14, QString(), 480, 240, 10755, 435},
        {K::Label, "Lbl_Ttl", 0, QString(), 480, 780, 1800, 375},
        {K::Label, "Lbl_Ttl", 1, QString(), 2280, 780, 4200, 375},
        {K::Frame, "Frame1", -1, QString(), 480, 5220, 10755, 1500},
        {K::Combo, "Combo1", -1, QString(), 830, 180, 4000, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 12, QString(), 6830, 120, 3600, 435, "Frame1"},
        {K::Text, "Txt_Inp", 0, QString(), 830, 630, 6000, 375, "Frame1", 20},
        {K::Text, "Txt_Inp", 2, QString(), 6830, 630, 1800, 375, "Frame1", 11},
        {K::Text, "Txt_Inp", 3, QString(), 8630, 630, 1800, 375, "Frame1", 11},
        {K::Text, "Txt_Inp", 1, QString(), 830, 1050, 6000, 375, "Frame1", 40},
        {K::Text, "Txt_Inp", 4, QString(), 480, 6840, 1000, 375},
        {K::Button, "Cmd", 0, QStringLiteral("新規登録"), 480, 6840, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("修正登録"), 2520, 6840, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("削除"), 4560, 6840, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 9420, 6840, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 480, 7560, 10755, 375},
    });
    Frame1 = Control<QGroupBox>("Frame1");
    Combo1 = Control<QComboBox>("Combo1");

    for (int i : {0, 1}) {
        Lbl_Ttl(i)->setAlignment(Qt::AlignCenter);
        SetBordered(Lbl_Ttl(i));
    }
    SetBackColor(Lbl_Ttl(0), Colors::LightYellow);
    SetBackColor(Lbl_Ttl(1), Colors::LightBlue);

    SetImeMode(Txt_Inp(0), ImeHiragana);
    SetImeMode(Txt_Inp(1), ImeHalfKatakana);
    for (int i : {2, 3}) {
        Txt_Inp(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        SetImeMode(Txt_Inp(i), ImeOff);
    }
    setTabOrder(MSHFlexGrid1, Combo1);
    setTabOrder(Combo1, Txt_Inp(0));
    setTabOrder(Txt_Inp(0), Txt_Inp(1));
    setTabOrder(Txt_Inp(1), Txt_Inp(2));
    setTabOrder(Txt_Inp(2), Txt_Inp(3));
    setTabOrder(Txt_Inp(3), Cmd(0));

    Input()->selectAllOnFocus({Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3)});
    Input()->setEnterOrder({
        {Txt_Inp(0), {Txt_Inp(1)}},
        {Txt_Inp(1), {Txt_Inp(2)}},
        {Txt_Inp(2), {Txt_Inp(3)}},
        {Txt_Inp(3), {Combo1}},
        {Combo1, {Txt_Inp(0)}},
    });
    SetUpListControls(4, 4, Combo1);
    connect(Combo1, &QComboBox::activated, this, &Frm070_Qel::Combo1_Click);
}

void Frm070_Qel::LoadProc()
{
    LastMakerIndex = -1;
    MakerListProc();
    GridInitProc();
    Lbl_Ttl(0)->setText(G().Maker + QStringLiteral("名"));
    ShowListProc(G().Syouhin + QStringLiteral("名一覧"));
}

QString Frm070_Qel::ItemWord() const
{
    return G().Syouhin;
}

QString Frm070_Qel::UpdateQuestion() const
{
    return QStringLiteral("修正前の") + G().Syouhin +
           QStringLiteral("情報で、すでにに売上情報が登録されている場合\n売上入力等で") + G().Syouhin +
           QStringLiteral("情報が設定できなくなる可能性があります\n\n修正登録を行いますか");
}

void Frm070_Qel::MakerListProc()
{
    std::vector<MakerRow> makers;
    Guarded([&] { makers = MakerStore().all(); });
    NamesWithReadings lists = NamesOf(makers);
    FillCombo(Combo1, lists.names);
    MakerReadings = std::move(lists.readings);
    Combo1->setCurrentIndex(-1);
}

void Frm070_Qel::GridInitProc()
{
    GridColumnsProc({800, 0, 6000, 1800, 1800, 0, 0, 0}, 4);
    MSHFlexGrid1->setTextMatrix(0, 2, G().Syouhin + QStringLiteral("名"));
    MSHFlexGrid1->setTextMatrix(0, 3, QStringLiteral("定価"));
    MSHFlexGrid1->setTextMatrix(0, 4, QStringLiteral("売価"));
    GridFillProc();
    GridPositionProc();
}

void Frm070_Qel::GridFillProc()
{
    std::vector<std::int32_t> keys;
    Guarded([&] { keys = ProductStore().keys(); });
    MSHFlexGrid1->setColAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    MSHFlexGrid1->setColAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    GridKeysProc(std::move(keys));
}

std::vector<QStringList> Frm070_Qel::RowTextsProc(const std::vector<std::int32_t>& keys)
{
    std::vector<QStringList> texts;
    texts.reserve(keys.size());
    for (const std::optional<ProductRow>& p : ProductStore().rowsOf(keys)) {
        if (p)
            texts.push_back({TrimBlank(p->name), YenText(p->listPrice), YenText(p->sellingPrice),
                             TrimBlank(p->reading), TrimBlank(p->maker), TrimBlank(p->makerReading)});
        else
            texts.emplace_back();
    }
    return texts;
}

std::optional<std::int32_t> Frm070_Qel::MatchKeyProc()
{
    return ProductStore().firstKeyOf(TrimBlank(Txt_Inp(0)->text()), TrimBlank(Combo1->currentText()));
}

void Frm070_Qel::RowDispProc(int row)
{
    const FlexGrid* grid = MSHFlexGrid1;
    const QString maker = grid->textMatrix(row, 6);
    Lbl_Ttl(1)->setText(maker);
    int found = -1;
    for (int i = 0; i < Combo1->count(); ++i) {
        if (Combo1->itemText(i) == maker) {
            found = i;
            break;
        }
    }
    Combo1->setCurrentIndex(found);
    LastMakerIndex = static_cast<std::int16_t>(found);
    Txt_Inp(0)->setText(grid->textMatrix(row, 2));
    Txt_Inp(1)->setText(grid->textMatrix(row, 5));
    Txt_Inp(2)->setText(grid->textMatrix(row, 3));
    Txt_Inp(3)->setText(grid->textMatrix(row, 4));
    Txt_Inp(4)->setText(grid->textMatrix(row, 1));
    G().ProductKey = grid->textMatrix(row, 1).toInt();
    SaveButtonsOffProc();
}

void Frm070_Qel::Combo1_Click(int index)
{
    if (index != LastMakerIndex) {
        Cmd(0)->setEnabled(true);
        if (!MSHFlexGrid1->textMatrix(G().ProductRowSel, 1).isEmpty())
            Cmd(1)->setEnabled(true);
    }
    LastMakerIndex = static_cast<std::int16_t>(index);
}

void Frm070_Qel::Txt_Inp_Change(int index)
{
    switch (index) {
    case 0:
    case 1:
        NameEditedProc(index);
        break;
    case 2:
    case 3: {
        const Amount shown = AmountValue(MSHFlexGrid1->textMatrix(MSHFlexGrid1->row(), priceColumn(index)));
        if (EntryPrices[static_cast<size_t>(index - 2)] != shown)
            EditedProc();
        break;
    }
    default:
        break;
    }
}

void Frm070_Qel::Txt_Inp_GotFocus(int index)
{
    switch (index) {
    case 0:
        StartReadingCapture(Txt_Inp(0));
        break;
    case 2:
    case 3: {
        QLineEdit* box = Txt_Inp(index);
        const QString digits = NumOnly(TrimBlank(box->text()));
        EntryPrices[static_cast<size_t>(index - 2)] = AmountValue(digits);
        box->setText(digits);
        box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        SelectWhole(box);
        break;
    }
    default:
        break;
    }
}

void Frm070_Qel::Txt_Inp_LostFocus(int index)
{
    if (index == 0) {
        ReadingAppendProc();
        return;
    }
    if (index != 2 && index != 3)
        return;
    // BoxAmount holds the eight-digit rule: more digits stand for 99,999,999.
    const int row = MSHFlexGrid1->row();
    for (int box : {2, 3}) {
        if (BoxAmount(Txt_Inp(box)->text()) != AmountValue(MSHFlexGrid1->textMatrix(row, priceColumn(box)))) {
            EditedProc();
            break;
        }
    }
    // The box shows the price that will be stored, whatever separators or signs were typed.
    QLineEdit* box = Txt_Inp(index);
    box->setText(YenText(BoxAmount(box->text())));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

int Frm070_Qel::InputChk()
{
    return FirstFailedCheck(
        {
            {Combo1->currentIndex() < 0, G().Maker + QStringLiteral("名を設定してください"), Combo1},
            {TrimBlank(Txt_Inp(0)->text()).isEmpty(), G().Syouhin + QStringLiteral("名を入力してください"),
             Txt_Inp(0)},
            {TrimBlank(Txt_Inp(1)->text()).isEmpty(), QStringLiteral("フリガナを入力してください"),
             Txt_Inp(1)},
            {BoxAmount(Txt_Inp(2)->text()) == 0, QStringLiteral("定価を入力してください"), Txt_Inp(2)},
            {BoxAmount(Txt_Inp(3)->text()) == 0, QStringLiteral("売価を入力してください"), Txt_Inp(3)},
        },
        KeyBox());
}

namespace {

ProductRow productOf(const QComboBox* combo, const QStringList& readings, const QLineEdit* name,
                     const QLineEdit* reading, const QLineEdit* listPrice, const QLineEdit* sellPrice)
{
    ProductRow p;
    p.key = G().ProductKey;
    p.makerReading = readings.value(combo->currentIndex());
    p.maker = TrimBlank(combo->currentText());
    p.name = TrimBlank(name->text());
    p.reading = TrimBlank(reading->text());
    p.listPrice = BoxAmount(listPrice->text());
    p.sellingPrice = BoxAmount(sellPrice->text());
    return p;
}

} // namespace

bool Frm070_Qel::AddProc()
{
    const ProductRow p = productOf(Combo1, MakerReadings, Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3));
    return Guarded([&] { ProductStore().add(p); });
}

bool Frm070_Qel::UpdateProc(bool& found)
{
    found = false;
    const ProductRow p = productOf(Combo1, MakerReadings, Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3));
    return Guarded([&] { found = ProductStore().update(p); });
}

bool Frm070_Qel::DeleteProc()
{
    return DeleteRowProc([](std::int32_t key) { return ProductStore().remove(key); });
}
