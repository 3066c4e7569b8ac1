#include "Frm040_Qel.h"

#include "CustomerStore.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "exchange/CsvExport.h"
#include "sheets/CustomerListSheet.h"
#include "sheets/preview/WorkbookRun.h"
#include "ui/BusyRun.h"
#include "ui/FlexGrid.h"
#include "ui/Navigator.h"
#include "ui/Twips.h"
#include "ui/WaitService.h"

#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace {

const QString kSearch = Forms::Frm030_Qel;
const QString kAsk = QStringLiteral("確認");

} // namespace

Frm040_Qel::Frm040_Qel() : MainScreen(Forms::Frm040_Qel)
{
    using K = ControlRow::Kind;
    // The grid comes first so that it is first in the tab order and has the focus at opening.
    BuildControls({
        {K::Grid, "MSHFlexGrid1", -1, QString(), 360, 780, 9615, 5775},
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("顧客一覧"), 360, 240, 9615, 435},
        {K::Button, "Cmd", 0, QStringLiteral("詳細表示"), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("一覧・印刷"), 2280, 6720, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("削除"), 4200, 6720, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 8160, 6720, 1815, 555},
        {K::Button, "Cmd", 5, QStringLiteral("宛名印刷…"), 6075, 6720, 1020, 555},
        {K::Button, "Cmd", 6, QStringLiteral("CSV出力…"), 7155, 6720, 945, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 9615, 375},
        {K::Label, "Lbl_Ttl", 12, QStringLiteral("削除完了"), 3330, 3180, 3675, 555},
        {K::Combo, "Combo1", -1, QString(), 360, 0, 1875, 375},
    });
    setWindowTitle(QStringLiteral("顧客一覧"));
    // The two outputs share the room between 削除 and 閉じる, within the list's width, in a
    // smaller type.
    for (int i : {5, 6})
        Cmd(i)->setFont(ScreenFont(9));
    MSHFlexGrid1 = Control<FlexGrid>("MSHFlexGrid1");
    Combo1 = Control<QComboBox>("Combo1");
    StyleRoleLabels({.noticeBack = Colors::LightCyan});
    Combo1->setFocusPolicy(Qt::NoFocus);

    MSHFlexGrid1->setSelectionColumns(1, 4);
    connect(MSHFlexGrid1, &FlexGrid::gridDoubleClicked, this, &Frm040_Qel::MSHFlexGrid1_DblClick);
}

void Frm040_Qel::LoadProc()
{
    GridInitProc();
    Combo1->move(Combo1->x(), Tw(-2000));
    ShowScreen();
    MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
}

void Frm040_Qel::GridInitProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setRows(1);
    grid->setCols(5);
    const int widths[] = {800, 0, 4000, 2200, 2200};
    for (int c = 0; c < 5; ++c)
        grid->setColWidth(c, widths[c]);
    grid->clear();
    grid->setColAlignment(0, Qt::AlignRight | Qt::AlignBottom);
    for (int c = 1; c < 5; ++c)
        grid->setColAlignment(c, Qt::AlignLeft | Qt::AlignBottom);
    const QString headings[] = {QString(), QString(), QStringLiteral("名前"), QStringLiteral("電話番号"),
                                QStringLiteral("携帯番号")};
    for (int c = 1; c < 5; ++c) {
        grid->setCellAlignment(0, c, Qt::AlignHCenter | Qt::AlignBottom);
        grid->setTextMatrix(0, c, headings[c]);
    }
    ListProc();

    const int last = grid->rows() - 1;
    int top = 1;
    int row = 1;
    if (G().CallerForm != kSearch) {
        top = std::clamp(G().ListTopRow, 1, last);
        row = std::clamp(G().ListRow, 1, last);
    }
    grid->setRedraw(true);
    grid->setTopRow(top);
    grid->setRow(row);
    grid->setCol(1);
}

void Frm040_Qel::ListProc()
{
    std::vector<CustomerListEntry> rows;
    // A database that cannot be read shows the empty list; the warning says why. The prefecture
    // names only serve the workbook.
    Guarded([&] {
        const CustomerStore store;
        m_condition = store.condition().value_or(SearchCondition());
        rows = store.list(m_condition);
        if (Combo1->count() == 0)
            Combo1->addItems(store.prefectures().names);
    });
    FlexGrid* grid = MSHFlexGrid1;
    const bool any = !rows.empty();
    Cmd(0)->setEnabled(any);
    Cmd(1)->setEnabled(any);
    Cmd(2)->setEnabled(any);
    Cmd(5)->setEnabled(any);
    Cmd(6)->setEnabled(any);
    if (!any) {
        grid->setRows(2);
        return;
    }
    grid->setRows(static_cast<int>(rows.size()) + 1);
    int i = 0;
    for (const CustomerListEntry& c : rows) {
        ++i;
        grid->setTextMatrix(i, 0, QString::number(i));
        grid->setTextMatrix(i, 1, QString::number(c.key));
        grid->setTextMatrix(i, 2, TrimBlank(c.name));
        grid->setTextMatrix(i, 3, TrimBlank(c.phone));
        grid->setTextMatrix(i, 4, TrimBlank(c.mobile));
    }
}

void Frm040_Qel::RememberPositionProc()
{
    G().ListTopRow = MSHFlexGrid1->topRow();
    G().ListRow = MSHFlexGrid1->row();
}

void Frm040_Qel::MSHFlexGrid1_DblClick()
{
    if (Cmd(0)->isEnabled())
        Cmd_Click(0);
}

void Frm040_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0: {
        G().CustKey = MSHFlexGrid1->textMatrix(MSHFlexGrid1->row(), 1).toInt();
        RememberPositionProc();
        // The detail comes back here by its own name; CallerForm stays as it is.
        if (Screens().open(Forms::Frm050_Qel))
            Unload();
        break;
    }
    case 1:
        PrintProc();
        break;
    case 2: {
        RememberPositionProc();
        const DeleteResult result = DeleteProc();
        // A deletion the database refused leaves the list as it was; the warning said why.
        if (result == DeleteResult::Failed) {
            MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
            break;
        }
        if (result == DeleteResult::Deleted)
            FlashNotice({Lbl_Ttl(12)}, {});
        G().CallerForm = formName();
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    }
    case 3:
        OpenScreen(kSearch);
        break;
    case 5:
        // The address printing comes back here at the same place, as the detail does.
        RememberPositionProc();
        if (Screens().open(Forms::Frm045_Qel))
            Unload();
        break;
    case 6:
        CsvOutProc();
        break;
    default:
        break;
    }
}

Frm040_Qel::DeleteResult Frm040_Qel::DeleteProc()
{
    const int row = MSHFlexGrid1->row();
    const QString question = QStringLiteral("No.") + MSHFlexGrid1->textMatrix(row, 0) + QStringLiteral(" ") +
                             MSHFlexGrid1->textMatrix(row, 2) +
                             QStringLiteral(" さんの\n情報を削除してもよろしいですか");
    if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
        return DeleteResult::Declined;
    const std::int32_t key = MSHFlexGrid1->textMatrix(row, 1).toInt();
    bool deleted = false;
    if (!Guarded([&] { deleted = CustomerStore().remove(key); }))
        return DeleteResult::Failed;
    // A customer deleted meanwhile elsewhere is gone all the same: the list is refilled.
    return deleted ? DeleteResult::Deleted : DeleteResult::Declined;
}

void Frm040_Qel::PrintProc()
{
    // No button may act while the workbook is written: leaving or deleting mid-write would pull
    // the list from under the writer. Clicks made meanwhile are dropped, not replayed after.
    Cmd(3)->setFocus(Qt::OtherFocusReason);
    std::int64_t written = 0;
    {
        BusyRun busy({Cmd(0), Cmd(1), Cmd(2), Cmd(3), Cmd(5), Cmd(6), MSHFlexGrid1}, Lbl_Ttl(11));
        busy.say(QStringLiteral("しばらくお待ちください"));
        written = WorkbookProc();
    }
    Cmd(3)->setFocus(Qt::OtherFocusReason);
    if (written > 0)
        WorkbookRun::show(this, QStringLiteral("顧客一覧"), WorkbookTarget(CustomerListSheet::kFileName));
}

std::int64_t Frm040_Qel::WorkbookProc()
{
    WorkbookRun run(formName(), Lbl_Ttl(11));
    std::vector<Customer> customers;
    if (!Guarded([&] { customers = CustomerStore().customers(m_condition); })) {
        run.say(QString());
        return 0;
    }
    std::vector<CustomerListRow> rows;
    rows.reserve(customers.size());
    for (const Customer& c : customers) {
        CustomerListRow r;
        r.reading = c.reading;
        r.postalCode = c.postalCode;
        r.mobile = c.mobile;
        r.name = c.name;
        r.prefecture =
            c.prefecture >= 0 && c.prefecture < Combo1->count() ? Combo1->itemText(c.prefecture) : QString();
        r.city = c.city;
        r.phone = c.phone;
        r.remarks = c.remarks;
        r.mail = c.mail;
        r.building = c.building;
        r.fax = c.fax;
        rows.push_back(std::move(r));
    }
    CustomerListSheet sheet;
    return run.write(sheet, SheetRows<CustomerListRow>(rows));
}

void Frm040_Qel::CsvOutProc()
{
    std::vector<Customer> customers;
    if (!Guarded([&] { customers = CustomerStore().customers(m_condition); }))
        return;
    if (customers.empty()) {
        Lbl_Ttl(11)->setText(QStringLiteral("出力する情報はありません"));
        return;
    }
    std::vector<QStringList> rows;
    rows.reserve(customers.size() + 1);
    rows.push_back({QStringLiteral("名前"), QStringLiteral("フリガナ"), QStringLiteral("郵便番号"),
                    QStringLiteral("都道府県"), QStringLiteral("市区町村"), QStringLiteral("建物"),
                    QStringLiteral("電話番号"), QStringLiteral("携帯番号"), QStringLiteral("FAX番号"),
                    QStringLiteral("メールアドレス"), QStringLiteral("備考"), QStringLiteral("誕生日"),
                    QStringLiteral("DM")});
    for (const Customer& c : customers) {
        const QString prefecture =
            c.prefecture > 0 && c.prefecture < Combo1->count() ? Combo1->itemText(c.prefecture) : QString();
        rows.push_back({c.name, c.reading, c.postalCode, prefecture, c.city, c.building, c.phone, c.mobile,
                        c.fax, c.mail, c.remarks, BirthdayText(c.birthday),
                        c.noMail ? QStringLiteral("送らない") : QStringLiteral("送る")});
    }
    Lbl_Ttl(11)->clear();
    if (!ExportCsv(this, QStringLiteral("顧客一覧"), QStringLiteral("顧客一覧.csv"), rows).isEmpty())
        Lbl_Ttl(11)->setText(QStringLiteral("%1件出力しました").arg(customers.size()));
}
