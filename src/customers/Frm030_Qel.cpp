#include "Frm030_Qel.h"

#include "core/FormNames.h"
#include "core/Globals.h"

namespace {

CustomerScreenTexts SearchTexts()
{
    return {QStringLiteral("顧客検索"),
            QStringLiteral("顧客検索"),
            {QStringLiteral(" 名前（検索）"), QStringLiteral(" ﾌﾘｶﾞﾅ"), QStringLiteral(" 郵便番号"),
             QStringLiteral(" 都道府県名"), QStringLiteral(" 市区町村・番地"),
             QStringLiteral(" 建物名・号室等"), QStringLiteral(" 電話番号"), QStringLiteral(" 携帯番号"),
             QStringLiteral(" FAX 番号"), QStringLiteral(" メールアドレス"), QStringLiteral(" 備考")},
            {QStringLiteral("検索"), QStringLiteral("画面クリア"), QStringLiteral("閉じる")},
            QString()};
}

const QString kSetting = QStringLiteral("Todoufuken2");

} // namespace

Frm030_Qel::Frm030_Qel() : CustomerFieldsScreen(Forms::Frm030_Qel, SearchTexts())
{
    // The search checks nothing, so it has no message line.
    Lbl_Ttl(11)->hide();
}

void Frm030_Qel::LoadProc()
{
    Guarded([this] { PrefListProc(); });
    SelectPrefecture(G().Todoufuken2, kSetting, true);
    ImeModeProc();
    if (G().CallerForm == Forms::Frm040_Qel)
        Guarded([this] { CondLoadProc(); });
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

void Frm030_Qel::CondLoadProc()
{
    if (const std::optional<Customer> condition = CustomerStore().condition())
        CustomerToFields(*condition);
}

void Frm030_Qel::CondSaveProc()
{
    CustomerStore().saveCondition(FieldsToCustomer());
}

void Frm030_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        // Conditions that could not be stored would list the old ones: stay instead.
        if (!Guarded([this] { CondSaveProc(); }))
            return;
        OpenScreen(Forms::Frm040_Qel);
        break;
    case 1:
        ClearFieldsProc();
        SelectPrefecture(G().Todoufuken2, kSetting, false);
        ParkFocus(Txt_Inp(3), Txt_Inp(0));
        break;
    case 2:
        OpenScreen(Forms::Frm010_Qel);
        break;
    default:
        break;
    }
}
