#include "Frm030_Qel.h"

#include "core/DateInput.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "masters/MakerStore.h"
#include "ui/InputBehaviour.h"
#include "ui/Twips.h"

#include <QRegularExpression>

#include <algorithm>

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
// The screen grows below the customer fields to hold the purchase conditions.
constexpr int kSearchHeightTw = 10320;
// Txt_Inp(11) to (16): last purchase on or after, before; period from, to; total; visits.
constexpr int kLastFrom = 11;
constexpr int kLastBefore = 12;
constexpr int kPeriodFrom = 13;
constexpr int kPeriodTo = 14;
constexpr int kTotal = 15;
constexpr int kVisits = 16;

QString StoredDate(const QString& typed)
{
    return IsAllBlank(typed) ? QString() : DateInput(typed).toString(QStringLiteral("yyyyMMdd"));
}

// An amount or a count as typed, grouping commas and a yen sign allowed; 0 when empty, none when
// anything else stands there.
std::optional<Amount> TypedNumber(const QString& typed)
{
    static const QRegularExpression allowed(QStringLiteral("^[0-9,¥\\\\円 ]*$"));
    const QString text = ToHalfAscii(TrimBlanks(typed));
    if (!allowed.match(text).hasMatch())
        return std::nullopt;
    return AmountValue(NumOnly(text));
}

} // namespace

Frm030_Qel::Frm030_Qel() : CustomerFieldsScreen(Forms::Frm030_Qel, SearchTexts())
{
    using K = ControlRow::Kind;
    setFixedSize(Tw(kScreenWidthTw), Tw(kSearchHeightTw));
    BuildControls({
        {K::Frame, "Frame1", -1, QStringLiteral("購入履歴"), 360, 7860, 9255, 2220},
        {K::Label, "Lbl_Ttl", 16, QStringLiteral(" 最終購入日"), 120, 330, 1800, 375, "Frame1"},
        {K::Text, "Txt_Inp", kLastFrom, QString(), 1980, 330, 1575, 375, "Frame1", 10},
        {K::Label, "Lbl_Ttl", 17, QStringLiteral("以降"), 3600, 330, 720, 375, "Frame1"},
        {K::Text, "Txt_Inp", kLastBefore, QString(), 4380, 330, 1575, 375, "Frame1", 10},
        {K::Label, "Lbl_Ttl", 18, QStringLiteral("より前"), 6000, 330, 1200, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 19, QStringLiteral(" 購入期間"), 120, 780, 1800, 375, "Frame1"},
        {K::Text, "Txt_Inp", kPeriodFrom, QString(), 1980, 780, 1575, 375, "Frame1", 10},
        {K::Label, "Lbl_Ttl", 20, QStringLiteral("～"), 3600, 780, 720, 375, "Frame1"},
        {K::Text, "Txt_Inp", kPeriodTo, QString(), 4380, 780, 1575, 375, "Frame1", 10},
        {K::Label, "Lbl_Ttl", 21, QStringLiteral(" 期間内の合計"), 120, 1230, 1800, 375, "Frame1"},
        {K::Text, "Txt_Inp", kTotal, QString(), 1980, 1230, 1575, 375, "Frame1", 14},
        {K::Label, "Lbl_Ttl", 22, QStringLiteral("円以上"), 3600, 1230, 1000, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 23, QStringLiteral("期間内の来店"), 4700, 1230, 1620, 375, "Frame1"},
        {K::Text, "Txt_Inp", kVisits, QString(), 6360, 1230, 735, 375, "Frame1", 4},
        {K::Label, "Lbl_Ttl", 24, QStringLiteral("回以上"), 7140, 1230, 1000, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 25, QString(), 120, 1680, 1800, 375, "Frame1"},
        {K::Combo, "Combo2", -1, QString(), 1980, 1680, 3975, 375, "Frame1"},
        {K::Check, "Check1", -1, QStringLiteral("購入なし"), 6360, 1680, 2700, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 26, QStringLiteral(" 誕生月"), 9735, 7980, 1620, 375},
        {K::Combo, "Combo3", -1, QString(), 9735, 8400, 1260, 375},
    });
    // The search checks nothing of the customer fields; the line shows only what is wrong with
    // the conditions below them.
    Lbl_Ttl(11)->hide();
    Combo2 = Control<QComboBox>("Combo2");
    Combo3 = Control<QComboBox>("Combo3");
    Check1 = Control<QCheckBox>("Check1");
    Lbl_Ttl(20)->setAlignment(Qt::AlignCenter);
    const QString allTime = QStringLiteral("購入期間を指定しないときは、すべての購入で数えます");
    for (QWidget* w : {static_cast<QWidget*>(Lbl_Ttl(21)), static_cast<QWidget*>(Txt_Inp(kTotal)),
                       static_cast<QWidget*>(Lbl_Ttl(23)), static_cast<QWidget*>(Txt_Inp(kVisits))})
        w->setToolTip(allTime);
    Combo3->addItem(QString());
    for (int month = 1; month <= 12; ++month)
        Combo3->addItem(QStringLiteral("%1月").arg(month));

    for (int i = kLastFrom; i <= kVisits; ++i)
        SetImeMode(Txt_Inp(i), ImeOff);
    setTabOrder(Txt_Inp(10), Txt_Inp(kLastFrom));
    for (int i = kLastFrom; i < kVisits; ++i)
        setTabOrder(Txt_Inp(i), Txt_Inp(i + 1));
    setTabOrder(Txt_Inp(kVisits), Combo2);
    setTabOrder(Combo2, Check1);
    setTabOrder(Check1, Combo3);
    setTabOrder(Combo3, Cmd(0));
    Input()->selectAllOnFocus({Txt_Inp(kLastFrom), Txt_Inp(kLastBefore), Txt_Inp(kPeriodFrom),
                               Txt_Inp(kPeriodTo), Txt_Inp(kTotal), Txt_Inp(kVisits)});
    Input()->setEnterOrder({
        {Txt_Inp(kLastFrom), {Txt_Inp(kLastBefore)}},
        {Txt_Inp(kLastBefore), {Txt_Inp(kPeriodFrom)}},
        {Txt_Inp(kPeriodFrom), {Txt_Inp(kPeriodTo)}},
        {Txt_Inp(kPeriodTo), {Txt_Inp(kTotal)}},
        {Txt_Inp(kTotal), {Txt_Inp(kVisits)}},
        {Txt_Inp(kVisits), {Combo2}},
        {Combo2, {Combo3}},
        {Combo3, {Txt_Inp(kLastFrom)}},
    });
}

void Frm030_Qel::LoadProc()
{
    Guarded([this] { PrefListProc(); });
    SelectPrefecture(G().Todoufuken2, kSetting, true);
    Lbl_Ttl(25)->setText(QStringLiteral(" 購入") + G().Maker);
    MakerListProc();
    ImeModeProc();
    if (G().CallerForm == Forms::Frm040_Qel)
        Guarded([this] { CondLoadProc(); });
    Txt_Inp(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

void Frm030_Qel::MakerListProc()
{
    std::vector<MakerRow> makers;
    Guarded([&] { makers = MakerStore().all(); });
    Combo2->clear();
    Combo2->addItem(QString());
    for (const MakerRow& m : makers)
        Combo2->addItem(m.name);
}

void Frm030_Qel::CondLoadProc()
{
    const std::optional<SearchCondition> condition = CustomerStore().condition();
    if (!condition)
        return;
    CustomerToFields(condition->fields);
    PurchasesToFields(condition->purchases);
    Combo3->setCurrentIndex(std::clamp(condition->birthMonth, 0, 12));
}

void Frm030_Qel::CondSaveProc()
{
    CustomerStore().saveCondition({.fields = FieldsToCustomer(),
                                   .purchases = FieldsToPurchases(),
                                   .birthMonth = std::max(0, Combo3->currentIndex())});
}

PurchaseCondition Frm030_Qel::FieldsToPurchases() const
{
    PurchaseCondition p;
    p.lastFrom = StoredDate(Txt_Inp(kLastFrom)->text());
    p.lastBefore = StoredDate(Txt_Inp(kLastBefore)->text());
    p.periodFrom = StoredDate(Txt_Inp(kPeriodFrom)->text());
    p.periodTo = StoredDate(Txt_Inp(kPeriodTo)->text());
    p.minTotal = TypedNumber(Txt_Inp(kTotal)->text()).value_or(0);
    p.minVisits = static_cast<int>(std::min<Amount>(TypedNumber(Txt_Inp(kVisits)->text()).value_or(0), 9999));
    p.maker = Combo2->currentIndex() > 0 ? Combo2->currentText() : QString();
    p.never = Check1->isChecked();
    return p;
}

void Frm030_Qel::PurchasesToFields(const PurchaseCondition& p)
{
    Txt_Inp(kLastFrom)->setText(DateInputText(p.lastFrom));
    Txt_Inp(kLastBefore)->setText(DateInputText(p.lastBefore));
    Txt_Inp(kPeriodFrom)->setText(DateInputText(p.periodFrom));
    Txt_Inp(kPeriodTo)->setText(DateInputText(p.periodTo));
    Txt_Inp(kTotal)->setText(p.minTotal > 0 ? FormatGrouped(p.minTotal) : QString());
    Txt_Inp(kVisits)->setText(p.minVisits > 0 ? QString::number(p.minVisits) : QString());
    int maker = p.maker.isEmpty() ? 0 : Combo2->findText(p.maker, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A maker renamed or deleted since stays the condition it was.
    if (maker < 0) {
        Combo2->insertItem(1, p.maker);
        maker = 1;
    }
    Combo2->setCurrentIndex(maker);
    Check1->setChecked(p.never);
}

void Frm030_Qel::ClearPurchasesProc()
{
    for (int i = kLastFrom; i <= kVisits; ++i)
        Txt_Inp(i)->setText(QString());
    Combo2->setCurrentIndex(0);
    Check1->setChecked(false);
    Combo3->setCurrentIndex(0);
    Lbl_Ttl(11)->clear();
    MessageProc();
}

void Frm030_Qel::MessageProc()
{
    Lbl_Ttl(11)->setVisible(!Lbl_Ttl(11)->text().isEmpty());
}

bool Frm030_Qel::InputChk()
{
    const auto badDate = [this](int i) {
        const QString text = Txt_Inp(i)->text();
        return !IsAllBlank(text) && !DateInput(text).isValid();
    };
    int firstBadDate = -1;
    for (int i = kLastFrom; i <= kPeriodTo && firstBadDate < 0; ++i) {
        if (badDate(i))
            firstBadDate = i;
    }
    const PurchaseCondition p = FieldsToPurchases();
    const bool others = !p.lastFrom.isEmpty() || !p.lastBefore.isEmpty() || p.hasPeriod() || p.minTotal > 0 ||
                        p.minVisits > 0 || !p.maker.isEmpty();
    const int failed = FirstFailedCheck(
        {
            {firstBadDate >= 0, QStringLiteral("日付は 2024/04/01 のように入力してください"),
             Txt_Inp(std::max(firstBadDate, kLastFrom))},
            {!p.lastFrom.isEmpty() && !p.lastBefore.isEmpty() && p.lastFrom >= p.lastBefore,
             QStringLiteral("最終購入日の指定に誤りがあります"), Txt_Inp(kLastFrom)},
            {!p.periodFrom.isEmpty() && !p.periodTo.isEmpty() && p.periodFrom > p.periodTo,
             QStringLiteral("購入期間の指定に誤りがあります"), Txt_Inp(kPeriodFrom)},
            {!TypedNumber(Txt_Inp(kTotal)->text()), QStringLiteral("合計は金額を数字で入力してください"),
             Txt_Inp(kTotal)},
            {!TypedNumber(Txt_Inp(kVisits)->text()), QStringLiteral("来店は回数を数字で入力してください"),
             Txt_Inp(kVisits)},
            {p.never && others, QStringLiteral("「購入なし」は購入履歴のほかの条件と同時には指定できません"),
             Check1},
        },
        Txt_Inp(3));
    MessageProc();
    return failed == 0;
}

void Frm030_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        if (!InputChk())
            return;
        // Conditions that could not be stored would list the old ones: stay instead.
        if (!Guarded([this] { CondSaveProc(); }))
            return;
        if (FieldsToPurchases().any())
            PurchaseIndexProc();
        OpenScreen(Forms::Frm040_Qel);
        break;
    case 1:
        ClearFieldsProc();
        ClearPurchasesProc();
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
