#include "CustomerForm.h"

#include "core/Clock.h"
#include "core/TextRoutines.h"
#include "sales/SalesStore.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"
#include "ui/Twips.h"

#include <QFrame>

#include <algorithm>
#include <iterator>

namespace {

// Input-method modes of Txt_Inp 0 to 10 (3 is never typed into).
constexpr int kModes[] = {ImeHiragana, ImeHalfKatakana, ImeOff, 0,      ImeHiragana, ImeHiragana,
                          ImeOff,      ImeOff,          ImeOff, ImeOff, ImeHiragana};
// List positions that the prefecture split compares with the start of the address.
constexpr int kSplitPositions = 48;
// Txt_Inp(11) to (13): the birthday's year, month and day.
constexpr int kBirthYear = 11;
constexpr int kBirthMonth = 12;
constexpr int kBirthDay = 13;
const QString kNoMailRemark = QStringLiteral("DM不要");

bool AllDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

CustomerFieldsScreen::CustomerFieldsScreen(const QString& formName, const CustomerScreenTexts& t)
    : MainScreen(formName)
{
    using K = ControlRow::Kind;
    const QStringList& c = t.captions;
    // Rows inside Picture1 are 480 apart from 300: name, reading, postal code, prefecture, city,
    // building, telephone, mobile, fax, e-mail, remarks.
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, t.title, 360, 240, 9255, 435},
        {K::Panel, "Picture1", -1, QString(), 360, 780, 9255, 5775},
        {K::Label, "Lbl_Ttl", 0, c.value(0), 300, 300, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 1, c.value(1), 300, 780, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 2, c.value(2), 300, 1260, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 3, c.value(3), 300, 1740, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 4, c.value(4), 300, 2220, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 5, c.value(5), 300, 2700, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 6, c.value(6), 300, 3180, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 7, c.value(7), 300, 3660, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 8, c.value(8), 300, 4140, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 9, c.value(9), 300, 4620, 2475, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 10, c.value(10), 300, 5100, 2475, 375, "Picture1"},
        {K::Text, "Txt_Inp", 0, QString(), 2820, 300, 6135, 375, "Picture1", 20},
        {K::Text, "Txt_Inp", 1, QString(), 2820, 780, 6135, 375, "Picture1", 40},
        {K::Label, "Lbl_Ttl", 15, QStringLiteral("〒"), 2880, 1260, 420, 375, "Picture1"},
        {K::Text, "Txt_Inp", 2, QString(), 3300, 1260, 1335, 375, "Picture1", 8},
        {K::Combo, "Combo1", -1, QString(), 2820, 1740, 1875, 375, "Picture1"},
        {K::Text, "Txt_Inp", 4, QString(), 2820, 2220, 6135, 375, "Picture1", 20},
        {K::Text, "Txt_Inp", 5, QString(), 2820, 2700, 6135, 375, "Picture1", 20},
        {K::Text, "Txt_Inp", 6, QString(), 2820, 3180, 2235, 375, "Picture1", 14},
        {K::Text, "Txt_Inp", 7, QString(), 2820, 3660, 2235, 375, "Picture1", 14},
        {K::Text, "Txt_Inp", 8, QString(), 2820, 4140, 2235, 375, "Picture1", 14},
        {K::Text, "Txt_Inp", 9, QString(), 2820, 4620, 6135, 375, "Picture1", 40},
        {K::Text, "Txt_Inp", 10, QString(), 2820, 5100, 6135, 375, "Picture1", 20},
        {K::Text, "Txt_Inp", 3, QString(), -2000, -2000, 600, 375},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 9255, 375},
        {K::Button, "Cmd", 0, t.buttons.value(0), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 1, t.buttons.value(1), 2280, 6720, 1815, 555},
        {K::Button, "Cmd", 2, t.buttons.value(2), 7800, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 13, QString(), 5160, 3180, 3795, 1335},
        {K::Label, "Lbl_Ttl", 12, t.notice, 5220, 3660, 3675, 555},
    });
    setWindowTitle(t.windowTitle);
    auto* panel = Control<QFrame>("Picture1");
    panel->setFrameShape(QFrame::StyledPanel);
    Picture1 = panel;
    Combo1 = Control<QComboBox>("Combo1");
    StyleRoleLabels({.noticeBack = Colors::LightCyan, .panelBack = Colors::LightCyan});

    // The parking field is reached only by the program, never by Tab.
    Txt_Inp(3)->setFocusPolicy(Qt::ClickFocus);
    QWidget* tabOrder[] = {Txt_Inp(0),  Txt_Inp(1), Txt_Inp(2), Combo1,     Txt_Inp(4),
                           Txt_Inp(5),  Txt_Inp(6), Txt_Inp(7), Txt_Inp(8), Txt_Inp(9),
                           Txt_Inp(10), Cmd(0),     Cmd(1),     Cmd(2)};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Input()->selectAllOnFocus({Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(4), Txt_Inp(5), Txt_Inp(6),
                               Txt_Inp(7), Txt_Inp(8), Txt_Inp(9), Txt_Inp(10)});
    Input()->setEnterOrder({
        {Txt_Inp(0), {Txt_Inp(1)}},
        {Txt_Inp(1), {Txt_Inp(2)}},
        {Txt_Inp(2), {Combo1}},
        {Combo1, {Txt_Inp(4)}},
        {Txt_Inp(3), {Txt_Inp(4)}},
        {Txt_Inp(4), {Txt_Inp(5)}},
        {Txt_Inp(5), {Txt_Inp(6)}},
        {Txt_Inp(6), {Txt_Inp(7)}},
        {Txt_Inp(7), {Txt_Inp(8)}},
        {Txt_Inp(8), {Txt_Inp(9)}},
        {Txt_Inp(9), {Txt_Inp(10)}},
        {Txt_Inp(10), {Txt_Inp(0)}},
    });
}

void CustomerFieldsScreen::PrefListProc()
{
    const Prefectures prefectures = CustomerStore().prefectures();
    Combo1->clear();
    Combo1->addItems(prefectures.names);
    if (!prefectures.problem.isEmpty())
        Dialogs().warning(formName(), prefectures.problem);
}

void CustomerFieldsScreen::SelectPrefecture(int wanted, const QString& settingName, bool reportOutside)
{
    if (wanted >= 0 && wanted < Combo1->count()) {
        Combo1->setCurrentIndex(wanted);
        return;
    }
    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
    if (reportOutside && Combo1->count() > 0) {
        Dialogs().warning(formName(),
                          QStringLiteral("Qel.Ini の %1（%2）に当たる都道府県が一覧にありません。\n"
                                         "都道府県は「%3」にしておきます。")
                              .arg(settingName)
                              .arg(wanted)
                              .arg(Combo1->itemText(0)));
    }
}

void CustomerFieldsScreen::ImeModeProc()
{
    for (int i = 0; i <= 10; ++i) {
        if (i != 3)
            SetImeMode(Txt_Inp(i), kModes[i]);
    }
}

Customer CustomerFieldsScreen::FieldsToCustomer() const
{
    Customer c;
    c.name = TrimBlank(Txt_Inp(0)->text());
    c.reading = TrimBlank(Txt_Inp(1)->text());
    c.postalCode = TrimBlank(Txt_Inp(2)->text());
    c.prefecture = std::max(0, Combo1->currentIndex());
    c.city = TrimBlank(Txt_Inp(4)->text());
    c.building = TrimBlank(Txt_Inp(5)->text());
    c.phone = TrimBlank(Txt_Inp(6)->text());
    c.mobile = TrimBlank(Txt_Inp(7)->text());
    c.fax = TrimBlank(Txt_Inp(8)->text());
    c.mail = TrimBlank(Txt_Inp(9)->text());
    c.remarks = TrimBlank(Txt_Inp(10)->text());
    return c;
}

void CustomerFieldsScreen::CustomerToFields(const Customer& c)
{
    // A stored text longer than its field's limit (from another tool or an older version) is
    // shown and saved back whole; the limits hold for what the user enters.
    ShowStoredText(Txt_Inp(0), TrimBlank(c.name));
    ShowStoredText(Txt_Inp(1), TrimBlank(c.reading));
    ShowStoredText(Txt_Inp(2), TrimBlank(c.postalCode));
    // A number the list does not have leaves the list where it stands rather than blank.
    if (c.prefecture >= 0 && c.prefecture < Combo1->count())
        Combo1->setCurrentIndex(c.prefecture);
    ShowStoredText(Txt_Inp(4), TrimBlank(c.city));
    ShowStoredText(Txt_Inp(5), TrimBlank(c.building));
    ShowStoredText(Txt_Inp(6), TrimBlank(c.phone));
    ShowStoredText(Txt_Inp(7), TrimBlank(c.mobile));
    ShowStoredText(Txt_Inp(8), TrimBlank(c.fax));
    ShowStoredText(Txt_Inp(9), TrimBlank(c.mail));
    ShowStoredText(Txt_Inp(10), TrimBlank(c.remarks));
}

void CustomerFieldsScreen::ClearFieldsProc()
{
    for (int i = 0; i <= 10; ++i)
        Txt_Inp(i)->setText(QString());
}

void CustomerFieldsScreen::PurchaseIndexProc()
{
    bool missing = false;
    if (!Guarded([&] { missing = SalesStore().purchaseIndexMissing(); }) || !missing)
        return;
    QLabel* line = Lbl_Ttl(11);
    const bool shown = line->isVisible();
    line->show();
    GuardedRun({Cmd(0), Cmd(1), Cmd(2)}, line, [](BusyRun& busy) {
        busy.say(QStringLiteral("購入履歴の索引を作成しています。しばらくお待ちください"));
        SalesStore().buildPurchaseIndex([&busy] { busy.paint(); });
    });
    line->clear();
    line->setVisible(shown);
}

CustomerEntryScreen::CustomerEntryScreen(const QString& formName, const CustomerScreenTexts& texts)
    : CustomerFieldsScreen(formName, texts)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 16, QStringLiteral(" 誕生日"), 5220, 3180, 1080, 375, "Picture1"},
        {K::Text, "Txt_Inp", kBirthYear, QString(), 6300, 3180, 735, 375, "Picture1", 4},
        {K::Label, "Lbl_Ttl", 17, QStringLiteral("年"), 7035, 3180, 300, 375, "Picture1"},
        {K::Text, "Txt_Inp", kBirthMonth, QString(), 7335, 3180, 495, 375, "Picture1", 2},
        {K::Label, "Lbl_Ttl", 18, QStringLiteral("月"), 7830, 3180, 300, 375, "Picture1"},
        {K::Text, "Txt_Inp", kBirthDay, QString(), 8130, 3180, 495, 375, "Picture1", 2},
        {K::Label, "Lbl_Ttl", 19, QStringLiteral("日"), 8625, 3180, 300, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 20, QStringLiteral(" DM"), 5220, 3660, 1080, 375, "Picture1"},
        {K::Combo, "Combo2", -1, QString(), 6300, 3660, 1500, 375, "Picture1"},
        {K::Label, "Lbl_Ttl", 21, QStringLiteral("備考にDM不要とあります"), 5220, 4140, 3735, 375,
         "Picture1"},
    });
    Combo2 = Control<QComboBox>("Combo2");
    Combo2->addItems({QStringLiteral("送る"), QStringLiteral("送らない")});
    QPalette hint = Lbl_Ttl(21)->palette();
    hint.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Lbl_Ttl(21)->setPalette(hint);
    Lbl_Ttl(21)->hide();
    for (int i = kBirthYear; i <= kBirthDay; ++i)
        SetImeMode(Txt_Inp(i), ImeOff);
    setTabOrder(Txt_Inp(10), Txt_Inp(kBirthYear));
    setTabOrder(Txt_Inp(kBirthYear), Txt_Inp(kBirthMonth));
    setTabOrder(Txt_Inp(kBirthMonth), Txt_Inp(kBirthDay));
    setTabOrder(Txt_Inp(kBirthDay), Combo2);
    Input()->selectAllOnFocus({Txt_Inp(kBirthYear), Txt_Inp(kBirthMonth), Txt_Inp(kBirthDay)});
    Input()->setEnterOrder({
        {Txt_Inp(kBirthYear), {Txt_Inp(kBirthMonth)}},
        {Txt_Inp(kBirthMonth), {Txt_Inp(kBirthDay)}},
        {Txt_Inp(kBirthDay), {Combo2}},
        {Combo2, {Txt_Inp(0)}},
    });

    AttachReadingCapture(*Input(), Txt_Inp(0), Txt_Inp(1));
    for (int index : {2, 4}) {
        Input()->onFocusIn(Txt_Inp(index), [this, index] { Txt_Inp_GotFocus(index); });
        Input()->onFocusOut(Txt_Inp(index), [this, index] { Txt_Inp_LostFocus(index); });
    }
    for (int i = 0; i <= kBirthDay; ++i)
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, [this, i] { Txt_Inp_Change(i); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { Combo2_Click(); });
}

Customer CustomerEntryScreen::EntryToCustomer() const
{
    Customer c = FieldsToCustomer();
    const int month = TrimBlank(Txt_Inp(kBirthMonth)->text()).toInt();
    if (month > 0) {
        c.birthday = {TrimBlank(Txt_Inp(kBirthYear)->text()).toInt(), month,
                      TrimBlank(Txt_Inp(kBirthDay)->text()).toInt()};
    }
    c.noMail = Combo2->currentIndex() == 1;
    return c;
}

void CustomerEntryScreen::CustomerToEntry(const Customer& c)
{
    CustomerToFields(c);
    const Birthday& b = c.birthday;
    Txt_Inp(kBirthYear)->setText(b.known() && b.year > 0 ? QString::number(b.year) : QString());
    Txt_Inp(kBirthMonth)->setText(b.known() ? QString::number(b.month) : QString());
    Txt_Inp(kBirthDay)->setText(b.known() ? QString::number(b.day) : QString());
    Combo2->setCurrentIndex(c.noMail ? 1 : 0);
}

void CustomerEntryScreen::ClearFieldsProc()
{
    CustomerFieldsScreen::ClearFieldsProc();
    for (int i = kBirthYear; i <= kBirthDay; ++i)
        Txt_Inp(i)->setText(QString());
}

void CustomerEntryScreen::Combo2_Click()
{
    if (Combo2->currentIndex() != DmIndex)
        ChangedProc();
    DmIndex = static_cast<std::int16_t>(Combo2->currentIndex());
    HintProc();
}

// The remarks keep what they say; the hint leaves it to the user to set the wish.
void CustomerEntryScreen::HintProc()
{
    Lbl_Ttl(21)->setVisible(Combo2->currentIndex() == 0 && Txt_Inp(10)->text().contains(kNoMailRemark));
}

void CustomerEntryScreen::ChangedProc()
{
    HenkouFlg = 1;
}

void CustomerEntryScreen::Txt_Inp_Change(int index)
{
    ChangedProc();
    if (index == 10)
        HintProc();
}

void CustomerEntryScreen::Txt_Inp_GotFocus(int index)
{
    if (index == 4) {
        QLineEdit* city = Txt_Inp(4);
        if (TrimBlank(city->text()).isEmpty())
            city->setText(ZipCodeWide);
        SelectWhole(city);
    }
}

void CustomerEntryScreen::Txt_Inp_LostFocus(int index)
{
    if (index == 2) {
        ZipCode = Txt_Inp(2)->text();
        ZipCodeWide = ToWide(ZipCode);
    } else if (index == 4) {
        PrefectureSplitProc();
    }
}

void CustomerEntryScreen::PrefCompareProc()
{
    if (Combo1->currentIndex() != PrefIndex)
        ChangedProc();
    PrefIndex = static_cast<std::int16_t>(Combo1->currentIndex());
}

void CustomerEntryScreen::PrefectureSplitProc()
{
    QLineEdit* city = Txt_Inp(4);
    const QString address = city->text();
    QStringList entries;
    for (int i = 0; i < std::min(kSplitPositions, Combo1->count()); ++i)
        entries << Combo1->itemText(i);
    if (const int i = PrefectureAtStart(address, entries); i >= 0) {
        city->setText(address.mid(entries.at(i).size()));
        Combo1->setCurrentIndex(i);
    }
}

bool CustomerEntryScreen::InputChk()
{
    const QString year = TrimBlank(Txt_Inp(kBirthYear)->text());
    const QString month = TrimBlank(Txt_Inp(kBirthMonth)->text());
    const QString day = TrimBlank(Txt_Inp(kBirthDay)->text());
    const bool birthday = !year.isEmpty() || !month.isEmpty() || !day.isEmpty();
    const bool digits = AllDigits(year) && AllDigits(month) && AllDigits(day);
    const QDate today = Clock::current().now().date();
    const bool yearWrong = !year.isEmpty() && !BirthdayOf(year.toInt(), 1, 1, today);
    const bool monthWrong = month.toInt() < 1 || month.toInt() > 12;
    const bool dayWrong = !BirthdayOf(year.toInt(), month.toInt(), day.toInt(), today);
    QLineEdit* firstNonDigit = !AllDigits(year)    ? Txt_Inp(kBirthYear)
                               : !AllDigits(month) ? Txt_Inp(kBirthMonth)
                                                   : Txt_Inp(kBirthDay);
    return FirstFailedCheck(
               {
                   {IsAllBlank(Txt_Inp(0)->text()), QStringLiteral("名前を入力してください"), Txt_Inp(0)},
                   {IsAllBlank(Txt_Inp(1)->text()), QStringLiteral("フリガナを入力してください"), Txt_Inp(1)},
                   {IsAllBlank(Txt_Inp(2)->text()), QStringLiteral("郵便番号を入力してください"), Txt_Inp(2)},
                   {Combo1->currentIndex() <= 0, QStringLiteral("都道府県を設定してください"), Txt_Inp(2)},
                   {IsAllBlank(Txt_Inp(4)->text()), QStringLiteral("市区町村・番地を入力してください"),
                    Txt_Inp(4)},
                   {birthday && !digits, QStringLiteral("誕生日は数字で入力してください"), firstNonDigit},
                   {birthday && (month.isEmpty() || day.isEmpty()),
                    QStringLiteral("誕生日は月と日を入力してください（年は省略できます）"),
                    month.isEmpty() ? Txt_Inp(kBirthMonth) : Txt_Inp(kBirthDay)},
                   {birthday && yearWrong,
                    QStringLiteral("誕生日の年は西暦で入力してください（1868 から今年まで）"),
                    Txt_Inp(kBirthYear)},
                   {birthday && monthWrong, QStringLiteral("誕生日の月は 1 から 12 で入力してください"),
                    Txt_Inp(kBirthMonth)},
                   {birthday && dayWrong, QStringLiteral("誕生日の日がその月にありません"),
                    Txt_Inp(kBirthDay)},
               },
               Txt_Inp(3)) == 0;
}

bool CustomerEntryScreen::LeaveChk(const QString& question)
{
    return HenkouFlg != 1 ||
           Dialogs().question(QStringLiteral("確認"), question) == DialogService::Answer::Yes;
}
