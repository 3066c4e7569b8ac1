#include "Frm510_Qel.h"

#include "ReportVariant.h"

#include "core/Clock.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"
#include "core/TextRoutines.h"
#include "customers/CustomerStore.h"
#include "masters/MakerStore.h"
#include "sales/SalesSelection.h"
#include "ui/BusyRun.h"
#include "ui/InputBehaviour.h"
#include "ui/PurchaserList.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

Frm510_Qel::Frm510_Qel() : MainScreen(Forms::Frm510_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("売上明細　メニュー"), 360, 240, 10995, 435},
        {K::Button, "Cmd", 0, QStringLiteral("前月"), 360, 960, 1335, 435},
        {K::Button, "Cmd", 1, QStringLiteral("当月"), 1755, 960, 1335, 435},
        {K::Button, "Cmd", 6, QStringLiteral("指定なし"), 3150, 960, 1335, 435},
        {K::Button, "Cmd", 2, QStringLiteral("<"), 360, 1500, 495, 375},
        {K::Label, "Lbl_Dat", 0, QString(), 915, 1500, 3255, 375},
        {K::Button, "Cmd", 3, QStringLiteral(">"), 4230, 1500, 495, 375},
        {K::Label, "Lbl_Dat", 2, QStringLiteral("～"), 4785, 1500, 615, 375},
        {K::Button, "Cmd", 4, QStringLiteral("<"), 5460, 1500, 495, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 6015, 1500, 3255, 375},
        {K::Button, "Cmd", 5, QStringLiteral(">"), 9330, 1500, 495, 375},
        {K::Frame, "Frame1", -1, QStringLiteral("期間指定売上明細"), 360, 2100, 10995, 855},
        {K::Button, "Cmd", 7, QStringLiteral("作成"), 9300, 300, 1455, 435, "Frame1"},
        {K::Frame, "Frame2", -1, QString(), 360, 3060, 10995, 855},
        {K::Combo, "Combo1", -1, QString(), 240, 330, 5055, 375, "Frame2"},
        {K::Button, "Cmd", 8, QStringLiteral("作成"), 9300, 300, 1455, 435, "Frame2"},
        {K::Frame, "Frame3", -1, QStringLiteral("購入者別売上明細"), 360, 4020, 10995, 2835},
        {K::Text, "Text1", -1, QString(), 240, 330, 5055, 375, "Frame3"},
        {K::List, "List1", -1, QString(), 240, 780, 5055, 1935, "Frame3"},
        {K::List, "List2", -1, QString(), 5520, -2000, 1815, 1215, "Frame3"},
        {K::Button, "Cmd", 9, QStringLiteral("作成"), 9300, 2280, 1455, 435, "Frame3"},
        {K::Button, "Cmd", 11, QStringLiteral("グラフ"), 7620, 7020, 1815, 495},
        {K::Button, "Cmd", 10, QStringLiteral("閉じる"), 9540, 7020, 1815, 495},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7620, 10995, 375},
        {K::Text, "Txt_Inp", 0, QString(), 360, -2000, 615, 375},
    });
    Combo1 = Control<QComboBox>("Combo1");
    Text1 = Control<QLineEdit>("Text1");
    List1 = Control<QListWidget>("List1");
    List2 = Control<QListWidget>("List2");
    Frame2 = Control<QGroupBox>("Frame2");
    setWindowTitle(QStringLiteral("売上明細メニュー"));

    StyleRoleLabels({.framedTitle = true});
    for (int i : {0, 1}) {
        Lbl_Dat(i)->setAlignment(Qt::AlignCenter);
        SetBordered(Lbl_Dat(i));
        SetBackColor(Lbl_Dat(i), Colors::LightBlue);
    }
    Lbl_Dat(2)->setAlignment(Qt::AlignCenter);

    Txt_Inp(0)->setFocusPolicy(Qt::ClickFocus);

    setTabOrder(Cmd(0), Cmd(1));
    setTabOrder(Cmd(1), Cmd(6));
    setTabOrder(Cmd(6), Cmd(2));
    setTabOrder(Cmd(2), Cmd(3));
    setTabOrder(Cmd(3), Cmd(4));
    setTabOrder(Cmd(4), Cmd(5));
    setTabOrder(Cmd(5), Cmd(7));
    setTabOrder(Cmd(7), Combo1);
    setTabOrder(Combo1, Cmd(8));
    setTabOrder(Cmd(8), Text1);
    setTabOrder(Text1, List1);
    setTabOrder(List1, Cmd(9));
    setTabOrder(Cmd(9), Cmd(11));
    setTabOrder(Cmd(11), Cmd(10));

    m_buyers = std::make_unique<PurchaserList>(*this, Text1, List1, List2);
    connect(Combo1, &QComboBox::activated, this, [this] { m_makerChosen = true; });
    connect(Text1, &QLineEdit::textEdited, this, [this] { m_buyerChosen = true; });
    connect(List1, &QListWidget::itemPressed, this, [this] { m_buyerChosen = true; });
    connect(List1, &QListWidget::currentRowChanged, this, [this] {
        if (List1->hasFocus())
            m_buyerChosen = true;
    });
    Input()->selectAllOnFocus(Text1);
    Input()->setEnterOrder({
        {Combo1, {Cmd(8)}},
        {Text1, {List1}},
        {List1, {Cmd(9)}},
    });
}

Frm510_Qel::~Frm510_Qel() = default;

void Frm510_Qel::LoadProc()
{
    Frame2->setTitle(G().Maker + QStringLiteral("名別売上明細"));
    List2->hide();
    m_workDate = Clock::current().now();
    m_start = kOpenStart;
    m_end = kOpenEnd;
    PeriodDispProc();
    SetArrows(false);
    SetImeMode(Text1, ImeHalfKatakana);
    MakerListProc();
    CustomerListProc();
    if (G().CallerForm == Forms::Frm550_Qel)
        ChoiceBackProc();
    ShowScreen();
}

// Back from the charts, the menu shows the period, the maker and the purchaser it handed over.
void Frm510_Qel::ChoiceBackProc()
{
    const AppGlobals& g = G();
    m_start = g.PeriodFrom;
    m_end = g.PeriodTo;
    PeriodDispProc();
    SetArrows(m_start != kOpenStart || m_end != kOpenEnd);
    if (const int maker = Combo1->findText(g.ReportMaker); maker >= 0) {
        Combo1->setCurrentIndex(maker);
        m_makerChosen = !g.ReportMaker.isEmpty();
    }
    if (g.ReportBuyer.isEmpty())
        return;
    m_buyerChosen = true;
    Text1->setText(g.ReportBuyerReading);
    // Among purchasers of the same reading, the one of the name.
    for (int row = List1->currentRow(); row >= 0 && row < List1->count(); ++row) {
        if (m_buyers->readingAt(row) != g.ReportBuyerReading)
            break;
        if (ItemText(List1, row) == g.ReportBuyer) {
            List1->setCurrentRow(row);
            break;
        }
    }
}

void Frm510_Qel::SetArrows(bool enabled)
{
    for (int i : {2, 3, 4, 5})
        Cmd(i)->setEnabled(enabled);
}

void Frm510_Qel::PeriodDispProc()
{
    Lbl_Dat(0)->setText(PeriodBoundText(m_start));
    Lbl_Dat(1)->setText(PeriodBoundText(m_end));
}

void Frm510_Qel::MakerListProc()
{
    NamesWithReadings makers;
    Guarded([&] { makers = NamesOf(MakerStore().all()); });
    FillCombo(Combo1, makers.names);
    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
}

void Frm510_Qel::CustomerListProc()
{
    m_buyers->fill([] { return CustomerStore().readings(); },
                   [](const std::vector<std::int32_t>& keys) { return CustomerStore().names(keys); });
}

// A file made before the report indexes gets them before its first report: seconds over a
// million sales, so the menu says what it is doing, with the wait cursor, and keeps painting.
// A file that cannot take them (read-only, say) says why and is reported on without them; one
// that cannot be read at all says so and the menu stays.
bool Frm510_Qel::IndexProc()
{
    bool missing = false;
    if (!Guarded([&] { missing = SalesStore().reportIndexesMissing(); }))
        return false;
    if (!missing)
        return true;
    GuardedRun({}, Lbl_Ttl(11), [](BusyRun& busy) {
        busy.say(QStringLiteral("集計用の索引を作成しています。しばらくお待ちください"));
        SalesStore().buildReportIndexes([&busy] { busy.paint(); });
    });
    Lbl_Ttl(11)->clear();
    return true;
}

int Frm510_Qel::ReportChk(ReportKind kind)
{
    return FirstFailedCheck(
        {
            {m_start > m_end, QStringLiteral("期間の指定に誤りがあります"), Cmd(0)},
            {kind == ReportKind::Maker && TrimBlank(Combo1->currentText()).isEmpty(),
             G().Maker + QStringLiteral("名を設定してください"), Combo1},
            {kind == ReportKind::Buyer && List1->currentRow() < 0, QStringLiteral("購入者を設定してください"),
             Text1},
        },
        Txt_Inp(0));
}

void Frm510_Qel::Cmd_Click(int index)
{
    AppGlobals& g = G();
    switch (index) {
    case 0:
        m_workDate = Clock::current().now();
        m_start = m_end = StepMonth(MonthOf(m_workDate.date()), -1);
        PeriodDispProc();
        SetArrows(true);
        return;
    case 1:
        m_workDate = Clock::current().now();
        m_start = m_end = MonthOf(m_workDate.date());
        PeriodDispProc();
        SetArrows(true);
        return;
    case 2:
    case 3:
        m_start = StepMonth(m_start, index == 2 ? -1 : 1);
        PeriodDispProc();
        return;
    case 4:
    case 5:
        m_end = StepMonth(m_end, index == 4 ? -1 : 1);
        PeriodDispProc();
        return;
    case 6:
        m_start = kOpenStart;
        m_end = kOpenEnd;
        PeriodDispProc();
        SetArrows(false);
        return;
    case 7:
    case 8:
    case 9: {
        // The "作成" of the period, the maker and the purchaser frame.
        const ReportKind kind = index == 7   ? ReportKind::Period
                                : index == 8 ? ReportKind::Maker
                                             : ReportKind::Buyer;
        if (ReportChk(kind) != 0)
            return;
        g.PeriodFrom = m_start;
        g.PeriodTo = m_end;
        if (kind == ReportKind::Maker)
            g.ReportMaker = TrimBlank(Combo1->currentText());
        if (kind == ReportKind::Buyer)
            g.ReportBuyer = m_buyers->name();
        if (!IndexProc())
            return;
        OpenScreen(ReportFormName(kind));
        return;
    }
    case 10:
        OpenScreen(Forms::Frm010_Qel);
        return;
    case 11:
        // The charts of the period, and of the maker and purchaser the user chose, if any.
        if (ReportChk(ReportKind::Period) != 0)
            return;
        g.PeriodFrom = m_start;
        g.PeriodTo = m_end;
        g.ReportMaker = m_makerChosen ? TrimBlank(Combo1->currentText()) : QString();
        g.ReportBuyer = m_buyerChosen ? m_buyers->name() : QString();
        g.ReportBuyerReading = m_buyerChosen ? m_buyers->reading() : QString();
        if (!IndexProc())
            return;
        OpenScreen(Forms::Frm550_Qel);
        return;
    default:
        return;
    }
}
