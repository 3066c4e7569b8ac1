#include "Frm020_Qel.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "ui/InputBehaviour.h"

namespace {

CustomerScreenTexts RegistrationTexts()
{
    return {QStringLiteral("顧客新規登録"),
            QStringLiteral("顧客新規登録"),
            {QStringLiteral("*名前（新規）"), QStringLiteral("*ﾌﾘｶﾞﾅ"), QStringLiteral("*郵便番号"),
             QStringLiteral("*都道府県名"), QStringLiteral("*市区町村・番地"),
             QStringLiteral(" 建物名・号室等"), QStringLiteral(" 電話番号"), QStringLiteral(" 携帯番号"),
             QStringLiteral(" FAX 番号"), QStringLiteral(" メールアドレス"), QStringLiteral(" 備考")},
            {QStringLiteral("新規登録"), QStringLiteral("画面クリア"), QStringLiteral("閉じる")},
            QStringLiteral("登録完了")};
}

const QString kSetting = QStringLiteral("Todoufuken1");

} // namespace

Frm020_Qel::Frm020_Qel() : CustomerEntryScreen(Forms::Frm020_Qel, RegistrationTexts())
{
    Input()->onFocusOut(Combo1, [this] { Combo1_LostFocus(); });
    BuildControls({{ControlRow::Kind::Button, "Cmd", 3, QStringLiteral("取込…"), 4200, 6720, 1815, 555}});
}

void Frm020_Qel::LoadProc()
{
    HenkouFlg = 0;
    Guarded([this] { PrefListProc(); });
    SelectPrefecture(G().Todoufuken1, kSetting, true);
    PrefIndex = static_cast<std::int16_t>(Combo1->currentIndex());
    ImeModeProc();
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

void Frm020_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        if (!InputChk())
            return;
        if (!Guarded([this] { SaveProc(); }))
            return;
        FlashNotice({Lbl_Ttl(13), Lbl_Ttl(12)}, {Cmd(0), Cmd(1)});
        ParkFocus(Txt_Inp(3), Txt_Inp(0));
        HenkouFlg = 0;
        break;
    case 1:
        ClearFieldsProc();
        Combo2->setCurrentIndex(0);
        SelectPrefecture(G().Todoufuken1, kSetting, false);
        // The list left as it was loaded is no change on its next focus loss.
        PrefIndex = static_cast<std::int16_t>(Combo1->currentIndex());
        ParkFocus(Txt_Inp(3), Txt_Inp(0));
        HenkouFlg = 0;
        break;
    case 2:
        if (!LeaveChk(QStringLiteral("未登録です。\n登録せずに画面を閉じますか")))
            return;
        OpenScreen(Forms::Frm010_Qel);
        break;
    case 3:
        if (!LeaveChk(QStringLiteral("未登録です。\n登録せずに画面を閉じますか")))
            return;
        OpenScreen(Forms::Frm025_Qel);
        break;
    default:
        break;
    }
}

void Frm020_Qel::Combo1_LostFocus()
{
    PrefCompareProc();
}

void Frm020_Qel::SaveProc()
{
    CustomerStore().add(EntryToCustomer());
}
