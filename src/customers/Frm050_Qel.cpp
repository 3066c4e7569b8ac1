#include "Frm050_Qel.h"

#include "core/FormNames.h"
#include "core/Globals.h"

namespace {

CustomerScreenTexts DetailTexts()
{
    return {QStringLiteral("顧客新詳細表示"),
            QStringLiteral("顧客詳細表示"),
            {QStringLiteral("*名前（詳細）"), QStringLiteral("*ﾌﾘｶﾞﾅ"), QStringLiteral("*郵便番号"),
             QStringLiteral("*都道府県名"), QStringLiteral("*市区町村・番地"),
             QStringLiteral(" 建物名・号室等"), QStringLiteral(" 電話番号"), QStringLiteral(" 携帯番号"),
             QStringLiteral(" FAX 番号"), QStringLiteral(" メールアドレス"), QStringLiteral(" 備考")},
            {QStringLiteral("修正登録"), QStringLiteral("画面クリア"), QStringLiteral("閉じる")},
            QStringLiteral("修正完了")};
}

QString GoneMessage()
{
    return QStringLiteral(
               "この顧客（キー %1）は見つかりませんでした。ほかの操作で削除された可能性があります。\n"
               "顧客一覧に戻ります。")
        .arg(G().CustKey);
}

} // namespace

Frm050_Qel::Frm050_Qel() : CustomerEntryScreen(Forms::Frm050_Qel, DetailTexts())
{
    // Compared on every change of the selection, by the user or by the prefecture split.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    BuildControls({{ControlRow::Kind::Button, "Cmd", 3, QStringLiteral("購入履歴"), 4200, 6720, 1815, 555}});
    setTabOrder(Cmd(1), Cmd(3));
    setTabOrder(Cmd(3), Cmd(2));
}

void Frm050_Qel::LoadProc()
{
    HenkouFlg = 0;
    bool found = false;
    if (!Guarded([&] {
            PrefListProc();
            found = DataReadProc();
        })) {
        BackProc();
        return;
    }
    if (!found) {
        Dialogs().warning(formName(), GoneMessage());
        BackProc();
        return;
    }
    // Filling the boxes raised change events; they are no change of the user's.
    HenkouFlg = 0;
    Cmd(0)->setEnabled(false);
    PrefIndex = static_cast<std::int16_t>(Combo1->currentIndex());
    ImeModeProc();
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

bool Frm050_Qel::DataReadProc()
{
    const std::optional<Customer> customer = CustomerStore().row(G().CustKey);
    if (!customer)
        return false;
    CustomerToEntry(*customer);
    return true;
}

void Frm050_Qel::ChangedProc()
{
    HenkouFlg = 1;
    Cmd(0)->setEnabled(true);
}

void Frm050_Qel::Combo1_Click()
{
    PrefCompareProc();
}

bool Frm050_Qel::SaveProc()
{
    Customer c = EntryToCustomer();
    c.key = G().CustKey;
    return CustomerStore().update(c);
}

void Frm050_Qel::BackProc()
{
    OpenScreen(Forms::Frm040_Qel);
}

void Frm050_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0: {
        if (!InputChk())
            return;
        bool found = false;
        if (!Guarded([&] { found = SaveProc(); }))
            return;
        if (!found) {
            Dialogs().warning(formName(), GoneMessage());
            BackProc();
            return;
        }
        FlashNotice({Lbl_Ttl(13), Lbl_Ttl(12)}, {Cmd(0), Cmd(1)});
        ParkFocus(Txt_Inp(3), Txt_Inp(0));
        HenkouFlg = 0;
        Cmd(0)->setEnabled(false);
        break;
    }
    case 1:
        // Unlike registration, the prefecture stays; the emptied boxes leave 修正登録 enabled.
        ClearFieldsProc();
        ParkFocus(Txt_Inp(3), Txt_Inp(0));
        HenkouFlg = 0;
        break;
    case 2:
        if (!LeaveChk(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか")))
            return;
        BackProc();
        break;
    case 3:
        // The history comes back to this customer as stored: unsaved changes are asked about.
        if (!LeaveChk(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか")))
            return;
        PurchaseIndexProc();
        OpenScreen(Forms::Frm055_Qel);
        break;
    default:
        break;
    }
}
