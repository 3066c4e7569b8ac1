#include "Frm055_Qel.h"

#include "CustomerStore.h"

#include "core/Clock.h"
#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "sales/PurchaseHistory.h"
#include "sales/SaleDisplay.h"
#include "ui/FlexGrid.h"
#include "ui/Twips.h"

namespace {

constexpr int kColumns = 7;

QString DateOrEmpty(const QString& yyyymmdd)
{
    Sale sale;
    sale.date = yyyymmdd;
    return yyyymmdd.isEmpty() ? QString() : SaleDateText(sale);
}

QString MonthsText(int months)
{
    if (months < 0)
        return {};
    return months == 0 ? QStringLiteral("1か月未満") : QStringLiteral("%1か月").arg(months);
}

} // namespace

Frm055_Qel::Frm055_Qel() : MainScreen(Forms::Frm055_Qel)
{
    using K = ControlRow::Kind;
    // The figures in two columns above the sales; the message line under them says when the name
    // is shared.
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("購入履歴"), 360, 240, 10995, 435},
        {K::Label, "Lbl_Dat", 0, QString(), 360, 780, 10995, 375},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral("初回購入日"), 360, 1200, 2100, 330},
        {K::Label, "Lbl_Dat", 1, QString(), 2460, 1200, 3060, 330},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral("最終購入日"), 360, 1590, 2100, 330},
        {K::Label, "Lbl_Dat", 2, QString(), 2460, 1590, 3060, 330},
        {K::Label, "Lbl_Ttl", 2, QStringLiteral("最終購入から"), 360, 1980, 2100, 330},
        {K::Label, "Lbl_Dat", 3, QString(), 2460, 1980, 3060, 330},
        {K::Label, "Lbl_Ttl", 3, QStringLiteral("来店回数"), 5760, 1200, 1815, 330},
        {K::Label, "Lbl_Dat", 4, QString(), 7575, 1200, 3780, 330},
        {K::Label, "Lbl_Ttl", 4, QStringLiteral("購入件数"), 5760, 1590, 1815, 330},
        {K::Label, "Lbl_Dat", 5, QString(), 7575, 1590, 3780, 330},
        {K::Label, "Lbl_Ttl", 5, QStringLiteral("購入合計"), 5760, 1980, 1815, 330},
        {K::Label, "Lbl_Dat", 6, QString(), 7575, 1980, 3780, 330},
        {K::Label, "Lbl_Ttl", 6, QStringLiteral("来店1回平均"), 5760, 2370, 1815, 330},
        {K::Label, "Lbl_Dat", 7, QString(), 7575, 2370, 3780, 330},
        {K::Label, "Lbl_Ttl", 7, QString(), 360, 2760, 2100, 330},
        {K::Label, "Lbl_Dat", 8, QString(), 2460, 2760, 8895, 330},
        {K::Grid, "MSHFlexGrid1", -1, QString(), 360, 3240, 10995, 3360},
        {K::Button, "Cmd", 0, QStringLiteral("閉じる"), 9540, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 10995, 375},
    });
    setWindowTitle(QStringLiteral("購入履歴"));
    StyleRoleLabels();
    for (int i = 1; i <= 8; ++i)
        SetBordered(Lbl_Dat(i));
    // Three makers with their totals take more than a line of the screen font.
    Lbl_Dat(8)->setFont(ScreenFont(10));
    for (int i = 0; i <= 7; ++i)
        SetBackColor(Lbl_Ttl(i), Colors::LightCyan);
    MSHFlexGrid1 = Control<FlexGrid>("MSHFlexGrid1");
    MSHFlexGrid1->setSelectionColumns(1, kColumns - 1);
}

void Frm055_Qel::LoadProc()
{
    bool found = false;
    if (!Guarded([&] { found = DataReadProc(); })) {
        OpenScreen(Forms::Frm050_Qel);
        return;
    }
    if (!found) {
        Dialogs().warning(formName(),
                          QStringLiteral("この顧客（キー %1）は見つかりませんでした。ほかの操作で削除された"
                                         "可能性があります。\n顧客一覧に戻ります。")
                              .arg(G().CustKey));
        OpenScreen(Forms::Frm040_Qel);
        return;
    }
    ShowScreen();
    MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
}

bool Frm055_Qel::DataReadProc()
{
    const CustomerStore customers;
    const std::optional<Customer> customer = customers.row(G().CustKey);
    if (!customer)
        return false;
    const std::int64_t namesakes = customers.namesakes(customer->name);
    const std::vector<Sale> sales = SalesStore().purchasesOf(customer->name);
    const PurchaseSummary s = SummarizePurchases(sales, Clock::current().now().date());

    Lbl_Dat(0)->setText(customer->name + QStringLiteral("（") + customer->reading + QStringLiteral("）"));
    Lbl_Dat(1)->setText(sales.empty() ? QStringLiteral("購入はありません") : DateOrEmpty(s.first));
    Lbl_Dat(2)->setText(DateOrEmpty(s.last));
    Lbl_Dat(3)->setText(MonthsText(s.monthsSince));
    Lbl_Dat(4)->setText(QStringLiteral("%1回").arg(FormatGrouped(s.visits)));
    Lbl_Dat(5)->setText(QStringLiteral("%1件").arg(FormatGrouped(s.count)));
    Lbl_Dat(6)->setText(YenText(s.total));
    Lbl_Dat(7)->setText(YenText(s.perVisit));
    Lbl_Ttl(7)->setText(QStringLiteral("よく買う") + G().Maker);
    QStringList makers;
    for (const MakerTotal& m : s.topMakers)
        makers << m.maker + QLatin1Char(' ') + YenText(m.total);
    Lbl_Dat(8)->setText(makers.join(QStringLiteral("、")));
    Lbl_Ttl(11)->setText(
        namesakes > 1
            ? QStringLiteral("同名の顧客がほかに%1人います。売上は名前で記録されるため、購入を区別できません")
                  .arg(namesakes - 1)
            : QString());
    Lbl_Ttl(11)->setVisible(namesakes > 1);

    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setRows(1);
    grid->setCols(kColumns);
    const int widths[kColumns] = {600, 3000, 1800, 2000, 700, 1400, 1200};
    const QString headings[kColumns] = {QString(),
                                        QStringLiteral("購入日"),
                                        G().Maker,
                                        G().Syouhin,
                                        QStringLiteral("数量"),
                                        QStringLiteral("金額"),
                                        QStringLiteral("備考")};
    grid->clear();
    for (int c = 0; c < kColumns; ++c) {
        grid->setColWidth(c, widths[c]);
        grid->setColAlignment(c, c == 0 || c == 4 || c == 5 ? Qt::AlignRight | Qt::AlignVCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
        grid->setCellAlignment(0, c, Qt::AlignCenter);
        grid->setTextMatrix(0, c, headings[c]);
    }
    grid->setRows(std::max<int>(2, static_cast<int>(sales.size()) + 1));
    int row = 0;
    for (const Sale& sale : sales) {
        ++row;
        grid->setTextMatrix(row, 0, QString::number(row));
        grid->setTextMatrix(row, 1, SaleDateText(sale));
        grid->setTextMatrix(row, 2, sale.maker);
        grid->setTextMatrix(row, 3, sale.product);
        grid->setTextMatrix(row, 4, FormatGrouped(sale.quantity));
        grid->setTextMatrix(row, 5, YenText(sale.total));
        grid->setTextMatrix(row, 6, sale.remarks);
    }
    grid->setRedraw(true);
    grid->setTopRow(1);
    grid->setRow(1);
    grid->setCol(1);
    return true;
}

void Frm055_Qel::Cmd_Click(int index)
{
    if (index == 0)
        OpenScreen(Forms::Frm050_Qel);
}
