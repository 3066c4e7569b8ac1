#include "Frm080_Qel.h"

#include "DateStep.h"
#include "SalesStore.h"

#include "core/Clock.h"
#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "customers/CustomerStore.h"
#include "masters/MakerStore.h"
#include "masters/ProductStore.h"
#include "ui/InputBehaviour.h"
#include "ui/PurchaserList.h"
#include "ui/Twips.h"

#include <QPalette>

Frm080_Qel::Frm080_Qel() : MainScreen(Forms::Frm080_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("売上入力"), 360, 240, 10995, 435},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral(" 購入日"), 360, 840, 1935, 375},
        {K::Button, "Cmd", 0, QStringLiteral("<<"), 2400, 840, 615, 375},
        {K::Button, "Cmd", 1, QStringLiteral("<"), 3075, 840, 615, 375},
        {K::Label, "Lbl_Ttl", 7, QString(), 3750, 840, 3735, 375},
        {K::Button, "Cmd", 2, QStringLiteral("■"), 7545, 840, 615, 375},
        {K::Button, "Cmd", 3, QStringLiteral(">"), 8220, 840, 615, 375},
        {K::Button, "Cmd", 4, QStringLiteral(">>"), 8895, 840, 615, 375},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral(" 名"), 360, 1320, 1935, 375},
        {K::Combo, "Combo1", -1, QString(), 2400, 1320, 5055, 375},
        {K::Label, "Lbl_Ttl", 2, QStringLiteral(" 名"), 360, 1800, 1935, 375},
        {K::Combo, "Combo2", -1, QString(), 2400, 1800, 5055, 375},
        {K::Label, "Lbl_Ttl", 3, QStringLiteral(" 定価"), 360, 2280, 1935, 375},
        {K::Text, "Txt_Inp", 0, QStringLiteral("0"), 2400, 2280, 2175, 375, "", 11},
        {K::Label, "Lbl_Ttl", 4, QStringLiteral(" 売価"), 360, 2760, 1935, 375},
        {K::Text, "Txt_Inp", 1, QStringLiteral("0"), 2400, 2760, 2175, 375, "", 11},
        {K::Label, "Lbl_Ttl", 5, QStringLiteral(" 数量"), 360, 3240, 1935, 375},
        {K::Text, "Txt_Inp", 2, QStringLiteral("0"), 2400, 3240, 2175, 375, "", 11},
        {K::Label, "Lbl_Ttl", 6, QStringLiteral(" 売価合計"), 360, 3720, 1935, 375},
        {K::Panel, "Frame1", -1, QString(), 2400, 3720, 2175, 375},
        {K::Text, "Text1", -1, QStringLiteral("0"), 0, 0, 2175, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 13, QString(), 5880, 2280, 5475, 1815},
        {K::Label, "Lbl_Ttl", 12, QStringLiteral("登録完了"), 5880, 2280, 5475, 1815},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral(" 購入者"), 360, 4200, 1935, 375},
        {K::Label, "Lbl_Ttl", 9, QString(), 2400, 4200, 5055, 375},
        {K::Label, "Lbl_Ttl", 10, QStringLiteral("フリガナ"), 360, 4680, 1935, 375},
        {K::Text, "Txt_Inp", 3, QString(), 2400, 4680, 5055, 375, "", 40},
        {K::List, "List1", -1, QString(), 2400, 5160, 5055, 1215},
        {K::Label, "Lbl_Ttl", 15, QStringLiteral(" 備考"), 360, 6480, 1935, 375},
        {K::Text, "Txt_Inp", 5, QString(), 2400, 6480, 5055, 375, "", 20},
        {K::Button, "Cmd", 100, QStringLiteral("売上登録"), 360, 7020, 1815, 495},
        {K::Button, "Cmd", 103, QStringLiteral("閉じる"), 9540, 7020, 1815, 495},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7620, 10995, 375},
        {K::List, "List2", -1, QString(), 7560, 5160, 1815, 1215},
        {K::List, "List3", -1, QString(), 7560, 1320, 1815, 375},
        {K::List, "List4", -1, QString(), 7560, 1800, 1815, 375},
        {K::Text, "Txt_Inp", 4, QString(), 9540, 6480, 1815, 375},
    });
    Combo1 = Control<QComboBox>("Combo1");
    Combo2 = Control<QComboBox>("Combo2");
    List1 = Control<QListWidget>("List1");
    List2 = Control<QListWidget>("List2");
    List3 = Control<QListWidget>("List3");
    List4 = Control<QListWidget>("List4");
    Text1 = Control<QLineEdit>("Text1");
    Frame1 = Control<QFrame>("Frame1");
    setWindowTitle(QStringLiteral("売上入力"));

    StyleRoleLabels(
        {.framedTitle = true, .noticePoints = 20.25, .panelBack = Colors::LightCyan, .framedPanel = true});
    for (int i : {0, 1, 2, 3, 4, 5, 6, 8, 10, 15})
        SetBackColor(Lbl_Ttl(i), Colors::LightCyan);
    Lbl_Ttl(7)->setAlignment(Qt::AlignCenter);
    SetBordered(Lbl_Ttl(7));
    SetBackColor(Lbl_Ttl(7), Colors::LightBlue);
    SetBordered(Lbl_Ttl(9));
    SetBackColor(Lbl_Ttl(9), Colors::LightBlue);

    for (int i : {0, 1, 2})
        Txt_Inp(i)->setAlignment(Qt::AlignRight);
    Txt_Inp(4)->setFocusPolicy(Qt::ClickFocus);

    // The total can be neither focused nor edited; its frame is disabled, but it stays legible.
    Text1->setAlignment(Qt::AlignRight);
    SetBackColor(Text1, Colors::LightBlue);
    QPalette totalPalette = Text1->palette();
    totalPalette.setColor(QPalette::Disabled, QPalette::Text,
                          totalPalette.color(QPalette::Active, QPalette::Text));
    Text1->setPalette(totalPalette);
    Frame1->setEnabled(false);

    for (QListWidget* list : {List3, List4}) {
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setFocusPolicy(Qt::NoFocus);
    }

    setTabOrder(Cmd(0), Cmd(1));
    setTabOrder(Cmd(1), Cmd(2));
    setTabOrder(Cmd(2), Cmd(3));
    setTabOrder(Cmd(3), Cmd(4));
    setTabOrder(Cmd(4), Combo1);
    setTabOrder(Combo1, Combo2);
    setTabOrder(Combo2, Txt_Inp(0));
    setTabOrder(Txt_Inp(0), Txt_Inp(1));
    setTabOrder(Txt_Inp(1), Txt_Inp(2));
    setTabOrder(Txt_Inp(2), Txt_Inp(3));
    setTabOrder(Txt_Inp(3), List1);
    setTabOrder(List1, Txt_Inp(5));
    setTabOrder(Txt_Inp(5), Cmd(100));
    setTabOrder(Cmd(100), Cmd(103));

    // activated: a choice by the user, also of the entry already shown; the fills call the
    // click handlers themselves.
    connect(Combo1, &QComboBox::activated, this, &Frm080_Qel::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &Frm080_Qel::Combo2_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &Frm080_Qel::List1_Click);

    m_buyers = std::make_unique<PurchaserList>(*this, Txt_Inp(3), List1, List2, [this] { List1_Click(); });
    for (int i : {0, 1, 2, 3, 5}) {
        Input()->selectAllOnFocus(Txt_Inp(i));
        Input()->onFocusIn(Txt_Inp(i), [this, i] { Txt_Inp_GotFocus(i); });
    }
    for (int i : {0, 1, 2})
        Input()->onFocusOut(Txt_Inp(i), [this, i] { Txt_Inp_LostFocus(i); });
    SetEnterOrder();
}

void Frm080_Qel::SetEnterOrder()
{
    Input()->setEnterOrder({
        {Combo1, {Combo2, Txt_Inp(0)}},
        {Combo2, {Txt_Inp(0)}},
        {Txt_Inp(0), {Txt_Inp(1)}},
        {Txt_Inp(1), {Txt_Inp(2)}},
        {Txt_Inp(2), {Txt_Inp(3)}},
        {Txt_Inp(3), {List1, Txt_Inp(5)}},
        {List1, {Txt_Inp(5)}},
        {Txt_Inp(5), {Combo1}},
    });
    Input()->swallowEnter(Txt_Inp(4));
}

Frm080_Qel::~Frm080_Qel() = default;

void Frm080_Qel::LoadProc()
{
    AppGlobals& g = G();
    g.SalesDate = Clock::current().now();
    DateDispProc();
    Lbl_Ttl(1)->setText(QStringLiteral(" ") + g.Maker + QStringLiteral("名"));
    Lbl_Ttl(2)->setText(QStringLiteral(" ") + g.Syouhin + QStringLiteral("名"));
    // One failure at opening is one message: when the makers cannot be read, the customers are
    // not asked for again and their list stays empty.
    if (MakerListProc())
        CustomerListProc();
    else
        m_buyers->clear();
    for (QWidget* hidden : {static_cast<QWidget*>(List2), static_cast<QWidget*>(List3),
                            static_cast<QWidget*>(List4), static_cast<QWidget*>(Txt_Inp(4))})
        hidden->move(hidden->x(), Tw(-2000));
    // The companion lists are never seen: hidden, a hundred thousand readings cost no layout.
    // The focus parking field stays shown, as the focus can rest only on a shown field.
    for (QListWidget* companion : {List2, List3, List4})
        companion->hide();
    for (int i : {0, 1, 2})
        SetImeMode(Txt_Inp(i), ImeOff);
    SetImeMode(Txt_Inp(3), ImeHalfKatakana);
    SetImeMode(Txt_Inp(5), ImeHiragana);
    ShowScreen();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Frm080_Qel::DateDispProc()
{
    Lbl_Ttl(7)->setText(DateWithWeekday(G().SalesDate.date()));
}

void Frm080_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        G().SalesDate = StepDate(G().SalesDate, index);
        DateDispProc();
        return;
    case 100:
        Registration();
        return;
    case 103:
        OpenScreen(Forms::Frm010_Qel);
        return;
    default:
        return;
    }
}

bool Frm080_Qel::MakerListProc()
{
    NamesWithReadings makers;
    const bool read = Guarded([&] { makers = NamesOf(MakerStore().all()); });
    FillCompanions(Combo1, List3, makers.names, makers.readings);
    if (Combo1->count() > 0) {
        Combo1->setCurrentIndex(0);
        Combo1_Click();
    } else {
        Combo1->setCurrentIndex(-1);
    }
    return read;
}

void Frm080_Qel::Combo1_Click()
{
    ProductListProc();
    if (!Combo2->isEnabled()) {
        for (int i : {0, 1, 2})
            Txt_Inp(i)->setText(QStringLiteral("0"));
        Text1->setText(QStringLiteral("0"));
    }
}

void Frm080_Qel::ProductListProc()
{
    const QString maker = TrimBlank(Combo1->currentText());
    NamesWithReadings products;
    // A failed read leaves the maker without products, so that nothing is saved under it.
    Guarded([&] { products = ProductStore().namesOf(maker); });
    FillCompanions(Combo2, List4, products.names, products.readings);
    if (Combo2->count() > 0) {
        Combo2->setEnabled(true);
        Combo2->setCurrentIndex(0);
        Combo2_Click();
    } else {
        Combo2->setEnabled(false);
    }
}

void Frm080_Qel::Combo2_Click()
{
    if (TrimBlank(Combo2->currentText()).isEmpty())
        return;
    Amount listPrice = 0;
    Amount sellingPrice = 0;
    PriceGetProc(listPrice, sellingPrice);
    Txt_Inp(0)->setText(QString::number(listPrice));
    Txt_Inp(1)->setText(QString::number(sellingPrice));
    Txt_Inp(2)->setText(QStringLiteral("0"));
    for (int k : {0, 1, 2})
        AmountCalc(k);
}

void Frm080_Qel::PriceGetProc(Amount& listPrice, Amount& sellingPrice)
{
    const QString maker = TrimBlank(Combo1->currentText());
    const QString product = TrimBlank(Combo2->currentText());
    // Prices count only when the read completed and found the product: a product deleted since
    // the list was read, or a read that failed, leaves both at 0, so that no price the database
    // did not hold is shown or stored (the check then asks for the list price).
    std::optional<ProductRow> found;
    const bool read = Guarded([&] { found = ProductStore().product(maker, product); });
    listPrice = read && found ? found->listPrice : 0;
    sellingPrice = read && found ? found->sellingPrice : 0;
}

void Frm080_Qel::CustomerListProc()
{
    m_buyers->fill([] { return CustomerStore().readings(); },
                   [](const std::vector<std::int32_t>& keys) { return CustomerStore().names(keys); });
    List1_Click();
}

void Frm080_Qel::List1_Click()
{
    Lbl_Ttl(9)->setText(m_buyers->name());
}

void Frm080_Qel::Txt_Inp_GotFocus(int index)
{
    QLineEdit* box = Txt_Inp(index);
    if (index <= 2) {
        box->setAlignment(Qt::AlignLeft);
        box->setText(NumOnly(TrimBlank(box->text())));
    } else if (index == 3) {
        SetImeMode(box, ImeHalfKatakana);
    } else if (index == 5) {
        SetImeMode(box, ImeHiragana);
    }
    SelectWhole(box);
}

void Frm080_Qel::Txt_Inp_LostFocus(int index)
{
    if (index <= 2)
        AmountCalc(index);
}

void Frm080_Qel::AmountCalc(int k)
{
    Amount v[3] = {0, 0, 0};
    for (int j = 0; j < 3; ++j)
        v[j] = BoxAmount(Txt_Inp(j)->text());
    Text1->setText(TotalText(v[1], v[2]));
    // The box shows the value the total was computed with (its capped digits), also when the
    // user typed separators such as "1,280".
    QLineEdit* box = Txt_Inp(k);
    box->setText(k == 2 ? FormatGrouped(v[k]) : YenText(v[k]));
    box->setAlignment(Qt::AlignRight);
}

int Frm080_Qel::InputChk()
{
    const AppGlobals& g = G();
    return FirstFailedCheck(
        {
            {TrimBlank(Combo1->currentText()).isEmpty(), g.Maker + QStringLiteral("名を設定してください"),
             Combo1},
            {TrimBlank(Combo2->currentText()).isEmpty(), g.Syouhin + QStringLiteral("名を設定してください"),
             Combo1},
            {BoxAmount(Txt_Inp(0)->text()) == 0, QStringLiteral("定価を入力してください"), Txt_Inp(0)},
            {BoxAmount(Txt_Inp(1)->text()) == 0, QStringLiteral("売価を入力してください"), Txt_Inp(1)},
            {BoxAmount(Txt_Inp(2)->text()) == 0, QStringLiteral("数量を入力してください"), Txt_Inp(2)},
            {AmountValue(TrimBlank(Text1->text())) == 0, QStringLiteral("売価合計がエラーです"), Txt_Inp(2)},
            {TrimBlank(Lbl_Ttl(9)->text()).isEmpty(), QStringLiteral("購入者が未設定です"), Txt_Inp(2)},
        },
        Txt_Inp(4));
}

void Frm080_Qel::SalesSaveProc()
{
    const QDate date = G().SalesDate.date();
    Sale sale;
    sale.year = date.toString(QStringLiteral("yyyy"));
    sale.yearMonth = date.toString(QStringLiteral("yyyyMM"));
    sale.date = date.toString(QStringLiteral("yyyyMMdd"));
    sale.maker = TrimBlank(Combo1->currentText());
    List3->setCurrentRow(Combo1->currentIndex());
    sale.makerReading = TrimBlank(ItemText(List3, List3->currentRow()));
    sale.product = TrimBlank(Combo2->currentText());
    List4->setCurrentRow(Combo2->currentIndex());
    sale.productReading = TrimBlank(ItemText(List4, List4->currentRow()));
    sale.listPrice = BoxAmount(Txt_Inp(0)->text());
    sale.sellingPrice = BoxAmount(Txt_Inp(1)->text());
    sale.quantity = BoxAmount(Txt_Inp(2)->text());
    sale.total = AmountValue(TrimBlank(Text1->text()));
    sale.buyer = TrimBlank(Lbl_Ttl(9)->text());
    sale.buyerReading = TrimBlank(m_buyers->reading());
    sale.remarks = TrimBlank(Txt_Inp(5)->text());
    SalesStore().add(sale);
}

void Frm080_Qel::Registration()
{
    if (InputChk() != 0)
        return;
    if (Dialogs().question(QStringLiteral("確認"), QStringLiteral("売上を登録します。よろしいですか")) ==
        DialogService::Answer::Yes) {
        if (Guarded([&] { SalesSaveProc(); })) {
            FlashNotice({Lbl_Ttl(13), Lbl_Ttl(12)}, {Cmd(100)});
            Txt_Inp(2)->setText(QStringLiteral("0"));
            Text1->setText(QStringLiteral("0"));
        }
    }
    ParkFocus(Txt_Inp(3), Combo1);
}
