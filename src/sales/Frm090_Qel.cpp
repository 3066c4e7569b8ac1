#include "Frm090_Qel.h"

#include "Frm310_Qel.h"
#include "Frm320_Qel.h"
#include "Frm330_Qel.h"
#include "Frm340_Qel.h"
#include "Frm350_Qel.h"
#include "Frm360_Qel.h"
#include "Frm370_Qel.h"
#include "Frm380_Qel.h"
#include "SaleDisplay.h"
#include "SalesStore.h"

#include "core/Amount.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/Twips.h"

#include <memory>

namespace {

// The labels the change check compares and "修正取消" puts back.
constexpr int kChecked[] = {0, 1, 2, 3, 4, 5, 6, 7, 10};

void SetPublicStrings(const std::array<QString, 6>& values)
{
    AppGlobals& g = G();
    g.g_Fmr090_Nen = values[0];
    g.g_Fmr090_Nengetu = values[1];
    g.g_Fmr090_Nengappi = values[2];
    g.g_Fmr090_MakerKana = values[3];
    g.g_Fmr090_SyouhinKana = values[4];
    g.g_Fmr090_KokyakuKana = values[5];
}

} // namespace

Frm090_Qel::Frm090_Qel() : MainScreen(Forms::Frm090_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("売上修正"), 360, 240, 10995, 435},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral(" 購入日"), 360, 840, 1935, 375},
        {K::Label, "Lbl_Dat", 0, QString(), 2400, 840, 3735, 375},
        {K::Button, "Syu", 0, QStringLiteral("修正"), 8220, 840, 915, 375},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral(" 名"), 360, 1320, 1935, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 2400, 1320, 5655, 375},
        {K::Button, "Syu", 1, QStringLiteral("修正"), 8220, 1320, 915, 375},
        {K::Label, "Lbl_Ttl", 2, QStringLiteral(" 名"), 360, 1800, 1935, 375},
        {K::Label, "Lbl_Dat", 2, QString(), 2400, 1800, 5655, 375},
        {K::Button, "Syu", 2, QStringLiteral("修正"), 8220, 1800, 915, 375},
        {K::Label, "Lbl_Ttl", 3, QStringLiteral(" 定価"), 360, 2280, 1935, 375},
        {K::Label, "Lbl_Dat", 3, QString(), 2400, 2280, 2175, 375},
        {K::Button, "Syu", 3, QStringLiteral("修正"), 8220, 2280, 915, 375},
        {K::Label, "Lbl_Ttl", 4, QStringLiteral(" 売価"), 360, 2760, 1935, 375},
        {K::Label, "Lbl_Dat", 4, QString(), 2400, 2760, 2175, 375},
        {K::Button, "Syu", 4, QStringLiteral("修正"), 8220, 2760, 915, 375},
        {K::Label, "Lbl_Ttl", 5, QStringLiteral(" 数量"), 360, 3240, 1935, 375},
        {K::Label, "Lbl_Dat", 5, QString(), 2400, 3240, 2175, 375},
        {K::Button, "Syu", 5, QStringLiteral("修正"), 8220, 3240, 915, 375},
        {K::Label, "Lbl_Ttl", 6, QStringLiteral(" 売価合計"), 360, 3720, 1935, 375},
        {K::Label, "Lbl_Dat", 6, QString(), 2400, 3720, 2175, 375},
        {K::Label, "Lbl_Ttl", 7, QStringLiteral(" 購入者"), 360, 4200, 1935, 375},
        {K::Label, "Lbl_Dat", 7, QString(), 2400, 4200, 5655, 375},
        {K::Button, "Syu", 6, QStringLiteral("修正"), 8220, 4200, 915, 375},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral(" 備考"), 360, 4680, 1935, 375},
        {K::Label, "Lbl_Dat", 10, QString(), 2400, 4680, 5655, 375},
        {K::Button, "Syu", 7, QStringLiteral("修正"), 8220, 4680, 915, 375},
        {K::Scroll, "VScroll1", -1, QString(), 10080, 840, 495, 4215},
        {K::Label, "Lbl_Dat", 8, QString(), 9360, 5280, 1995, 375},
        {K::Label, "Lbl_Dat", 9, QString(), 2400, 5280, 5655, 375},
        {K::Label, "Lbl_Ttl", 13, QString(), 5880, 2280, 5475, 1815},
        {K::Label, "Lbl_Ttl", 12, QString(), 5880, 2280, 5475, 1815},
        {K::Button, "Cmd", 101, QStringLiteral("修正登録"), 360, 7020, 1815, 495},
        {K::Button, "Cmd", 102, QStringLiteral("削除"), 2400, 7020, 1815, 495},
        {K::Button, "Cmd", 104, QStringLiteral("修正取消"), 4440, 7020, 1815, 495},
        {K::Button, "Cmd", 103, QStringLiteral("閉じる"), 9540, 7020, 1815, 495},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7620, 10995, 375},
    });
    setWindowTitle(QStringLiteral("売上修正"));
    VScroll1 = Control<QScrollBar>("VScroll1");
    // The bar takes the focus, so that the arrow and page keys page through the sales.
    VScroll1->setFocusPolicy(Qt::StrongFocus);
    CollectArray(Syu, "Syu");
    for (auto [i, button] : Syu.items().asKeyValueRange())
        connect(button, &QPushButton::clicked, this, [this, i = i] { Syu_Click(i); });
    m_sales.emplace(
        VScroll1, [] { return SalesStore().saleKeys(); },
        [this] {
            if (m_sales->empty())
                EmptyProc();
        });
    connect(VScroll1, &QScrollBar::valueChanged, this, &Frm090_Qel::VScroll1_Change);

    StyleRoleLabels(
        {.framedTitle = true, .noticePoints = 20.25, .panelBack = Colors::LightCyan, .framedPanel = true});
    for (int i = 0; i <= 8; ++i)
        SetBackColor(Lbl_Ttl(i), Colors::LightCyan);
    for (int i : kChecked) {
        SetBordered(Lbl_Dat(i));
        SetBackColor(Lbl_Dat(i), Colors::LightBlue);
    }
    for (int i : {3, 4, 5, 6})
        Lbl_Dat(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lbl_Dat(0)->setAlignment(Qt::AlignCenter);
    SetBordered(Lbl_Dat(8));
    Lbl_Dat(8)->setAlignment(Qt::AlignCenter);
}

void Frm090_Qel::LoadProc()
{
    const AppGlobals& g = G();
    Lbl_Ttl(1)->setText(QStringLiteral(" ") + g.Maker + QStringLiteral("名"));
    Lbl_Ttl(2)->setText(QStringLiteral(" ") + g.Syouhin + QStringLiteral("名"));
    if (KeyListProc() > 0)
        DataReadProc();
    ShowScreen();
    if (VScroll1->isEnabled())
        VScroll1->setFocus(Qt::OtherFocusReason);
    else
        Cmd(103)->setFocus(Qt::OtherFocusReason);
}

std::int64_t Frm090_Qel::KeyListProc()
{
    // A list that cannot be read keeps the one the screen has (none at the opening).
    const bool read = Guarded([this] { m_sales->reload(); });
    if (m_sales->empty()) {
        EmptyProc();
        // Unread sales are not an empty table.
        if (!read)
            Lbl_Ttl(11)->setText(QStringLiteral("売上を読み込めませんでした"));
        return 0;
    }
    m_sales->moveTo(m_sales->count());
    return m_sales->count();
}

void Frm090_Qel::EmptyProc()
{
    VScroll1->setEnabled(false);
    for (int i : {101, 102, 104})
        Cmd(i)->setEnabled(false);
    for (int i = 0; i <= 7; ++i)
        Syu(i)->setEnabled(false);
    ShowNoSale(Lbl_Dat);
    m_loaded.clear();
    for (int i : kChecked)
        m_loaded << Lbl_Dat(i)->text();
}

bool Frm090_Qel::DataReadProc()
{
    std::optional<Sale> sale;
    // A failed read keeps the screen on the sale it showed.
    if (!Guarded([&] { sale = m_sales->read(); }) || !sale)
        return false;
    ShowSale(Lbl_Dat, *sale);
    ShowPosition(Lbl_Dat, m_sales->shown(), m_sales->count());
    m_loaded.clear();
    for (int i : kChecked)
        m_loaded << Lbl_Dat(i)->text();
    m_loadedStrings = {sale->year,         sale->yearMonth,      sale->date,
                       sale->makerReading, sale->productReading, sale->buyerReading};
    SetPublicStrings(m_loadedStrings);
    HenkouChk();
    return true;
}

void Frm090_Qel::VScroll1_Change()
{
    DataReadProc();
}

void Frm090_Qel::HenkouChk()
{
    if (m_sales->empty()) {
        for (QWidget* w : {static_cast<QWidget*>(Cmd(101)), static_cast<QWidget*>(Cmd(102)),
                           static_cast<QWidget*>(Cmd(104)), static_cast<QWidget*>(VScroll1)})
            w->setEnabled(false);
        return;
    }
    bool changed = false;
    for (int n = 0; n < static_cast<int>(std::size(kChecked)); ++n) {
        if (n >= m_loaded.size() || Lbl_Dat(kChecked[n])->text() != m_loaded.at(n)) {
            changed = true;
            break;
        }
    }
    Cmd(101)->setEnabled(changed);
    Cmd(104)->setEnabled(changed);
    Cmd(102)->setEnabled(!changed);
    VScroll1->setEnabled(!changed);
}

int Frm090_Qel::InputChk()
{
    const AppGlobals& g = G();
    auto blank = [this](int i) { return TrimBlank(Lbl_Dat(i)->text()).isEmpty(); };
    auto zero = [this](int i) { return AmountValue(Lbl_Dat(i)->text()) == 0; };
    return FirstFailedCheck({
        {blank(0), QStringLiteral("購入日を設定してください"), Syu(0)},
        {blank(1), g.Maker + QStringLiteral("名を設定してください"), Syu(1)},
        {blank(2), g.Syouhin + QStringLiteral("名を設定してください"), Syu(2)},
        {zero(3), QStringLiteral("定価を入力してください"), Syu(3)},
        {zero(4), QStringLiteral("売価を入力してください"), Syu(4)},
        {zero(5), QStringLiteral("数量を入力してください"), Syu(5)},
        {zero(6), QStringLiteral("売価合計がエラーです"), Syu(5)},
        {blank(7), QStringLiteral("購入者が未設定です"), Syu(6)},
    });
}

bool Frm090_Qel::SaveProc()
{
    const AppGlobals& g = G();
    Sale sale;
    sale.year = g.g_Fmr090_Nen;
    sale.yearMonth = g.g_Fmr090_Nengetu;
    sale.date = g.g_Fmr090_Nengappi;
    sale.maker = TrimBlank(Lbl_Dat(1)->text());
    sale.makerReading = g.g_Fmr090_MakerKana;
    sale.product = TrimBlank(Lbl_Dat(2)->text());
    sale.productReading = g.g_Fmr090_SyouhinKana;
    sale.listPrice = AmountValue(Lbl_Dat(3)->text());
    sale.sellingPrice = AmountValue(Lbl_Dat(4)->text());
    sale.quantity = AmountValue(Lbl_Dat(5)->text());
    sale.total = AmountValue(Lbl_Dat(6)->text());
    sale.buyer = TrimBlank(Lbl_Dat(7)->text());
    sale.buyerReading = g.g_Fmr090_KokyakuKana;
    sale.remarks = TrimBlank(Lbl_Dat(10)->text());
    sale.key = m_sales->shownKey();
    return SalesStore().update(sale);
}

bool Frm090_Qel::DeleteProc()
{
    if (Dialogs().question(QStringLiteral("確認"),
                           QStringLiteral("表示されている売上情報を削除してもよろしいですか")) !=
        DialogService::Answer::Yes)
        return false;
    // A row already gone is as deleted as the user asked.
    SalesStore().remove(m_sales->shownKey());
    return true;
}

void Frm090_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 101:
        CorrectProc();
        break;
    case 102:
        DeleteButtonProc();
        break;
    case 103:
        CloseProc();
        break;
    case 104:
        UndoProc();
        break;
    default:
        break;
    }
}

void Frm090_Qel::CorrectProc()
{
    Lbl_Ttl(11)->clear();
    if (m_sales->shown() < 1 || InputChk() != 0)
        return;
    bool stored = false;
    // A failed write leaves the change on screen, to be stored again or undone.
    if (!Guarded([&] { stored = SaveProc(); }))
        return;
    const std::int64_t position = m_sales->shown();
    if (!stored) {
        ReloadAt(position);
        Lbl_Ttl(11)->setText(QStringLiteral("この売上は既に削除されています。修正は登録されませんでした"));
        FocusAfterAction(Syu(0));
        return;
    }
    Banner(QStringLiteral("修正完了"));
    ReloadAt(position);
    FocusAfterAction(Syu(0));
}

void Frm090_Qel::DeleteButtonProc()
{
    if (m_sales->shown() < 1)
        return;
    const std::int64_t position = VScroll1->value();
    bool deleted = false;
    if (!Guarded([&] { deleted = DeleteProc(); }) || !deleted)
        return;
    Banner(QStringLiteral("削除完了"));
    ReloadAt(position);
    FocusAfterAction(nullptr);
}

void Frm090_Qel::UndoProc()
{
    for (int n = 0; n < static_cast<int>(std::size(kChecked)) && n < m_loaded.size(); ++n)
        Lbl_Dat(kChecked[n])->setText(m_loaded.at(n));
    // The readings and date texts go back with the captions, so that a later store cannot
    // write a name with the reading of an undone choice.
    SetPublicStrings(m_loadedStrings);
    HenkouChk();
    FocusAfterAction(nullptr);
}

void Frm090_Qel::CloseProc()
{
    if (Cmd(101)->isEnabled() &&
        Dialogs().question(QStringLiteral("確認"),
                           QStringLiteral("修正登録が行われていません\nそのまま終了しましか")) !=
            DialogService::Answer::Yes)
        return;
    OpenScreen(Forms::Frm010_Qel);
}

void Frm090_Qel::ReloadAt(std::int64_t position)
{
    if (KeyListProc() == 0)
        return;
    m_sales->moveTo(std::min(position, m_sales->count()));
    DataReadProc();
}

void Frm090_Qel::Banner(const QString& text)
{
    Lbl_Ttl(12)->setText(text);
    FlashNotice({Lbl_Ttl(13), Lbl_Ttl(12)}, {Cmd(101), Cmd(102), Cmd(104)});
}

void Frm090_Qel::FocusAfterAction(QWidget* otherwise)
{
    if (VScroll1->isEnabled())
        VScroll1->setFocus(Qt::OtherFocusReason);
    else if (otherwise && otherwise->isEnabled())
        otherwise->setFocus(Qt::OtherFocusReason);
}

void Frm090_Qel::Syu_Click(int index)
{
    auto check = [this] { HenkouChk(); };
    switch (index) {
    case 0:
        (new Frm310_Qel(this, check))->LoadProc();
        break;
    case 1:
        (new Frm320_Qel(this, check))->LoadProc();
        break;
    case 2:
        (new Frm330_Qel(this, check))->LoadProc();
        break;
    case 3:
        (new Frm340_Qel(this, check))->LoadProc();
        break;
    case 4:
        (new Frm350_Qel(this, check))->LoadProc();
        break;
    case 5:
        (new Frm360_Qel(this, check))->LoadProc();
        break;
    case 6:
        (new Frm370_Qel(this, check))->LoadProc();
        break;
    case 7:
        (new Frm380_Qel(this, check))->LoadProc();
        break;
    default:
        break;
    }
}
