#include "Frm620_Qel.h"

#include "BackupProgress.h"
#include "sales/SalesStore.h"

#include "core/Clock.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"
#include "ui/Twips.h"
#include "ui/WaitService.h"

Frm620_Qel::Frm620_Qel() : MainScreen(Forms::Frm620_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("売上データ　一括削除"), 360, 240, 9255, 435},
        {K::Frame, "Frame1", -1, QStringLiteral("データ　バックアップ"), 360, 780, 9255, 1335},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral("一括削除を行う前にデータのバックアップを行います"), 240, 540,
         6735, 375, "Frame1"},
        {K::Button, "Cmd", 0, QStringLiteral("バックアップ"), 7200, 450, 1815, 555, "Frame1"},
        {K::Frame, "Frame2", -1, QStringLiteral("売上データ　一括削除"), 360, 2340, 9255, 3615},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral("指定された期間の売上データを削除します"), 240, 480, 8775,
         375, "Frame2"},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral("期　　　　間"), 240, 1380, 1575, 375, "Frame2"},
        {K::Button, "Cmd", 1, QStringLiteral("指定なし"), 1860, 1320, 1215, 495, "Frame2"},
        {K::Label, "Lbl_Dat", 10, QString(), 3120, 1380, 2175, 375, "Frame2"},
        {K::Label, "Lbl_Dat", 12, QStringLiteral("～"), 5340, 1380, 375, 375, "Frame2"},
        {K::Label, "Lbl_Dat", 11, QString(), 5760, 1380, 2175, 375, "Frame2"},
        {K::Button, "Cmd", 2, QStringLiteral("<"), 3120, 1860, 1035, 435, "Frame2"},
        {K::Button, "Cmd", 3, QStringLiteral(">"), 4260, 1860, 1035, 435, "Frame2"},
        {K::Button, "Cmd", 4, QStringLiteral("<"), 5760, 1860, 1035, 435, "Frame2"},
        {K::Button, "Cmd", 5, QStringLiteral(">"), 6900, 1860, 1035, 435, "Frame2"},
        {K::Button, "Cmd", 6, QStringLiteral("指定なし"), 7980, 1320, 1215, 495, "Frame2"},
        {K::Button, "Cmd", 7, QStringLiteral("一括削除"), 7200, 2820, 1815, 555, "Frame2"},
        {K::Button, "Cmd", 8, QStringLiteral("閉じる"), 7800, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 9255, 375},
    });
    setWindowTitle(QStringLiteral("売上データ一括削除"));
    Frame1 = Control<QGroupBox>("Frame1");
    Frame2 = Control<QGroupBox>("Frame2");
    StyleRoleLabels();
    for (int i : {10, 11}) {
        Lbl_Dat(i)->setAlignment(Qt::AlignCenter);
        SetBordered(Lbl_Dat(i));
    }
    Lbl_Dat(12)->setAlignment(Qt::AlignCenter);
    // Its close box ends the application, as the menu's does: nothing else is open behind it.
    setCloseBoxAllowed(true);
}

void Frm620_Qel::LoadProc()
{
    DefaultPeriodProc();
    PeriodDispProc();
    DeleteStateProc(false);
    Lbl_Ttl(11)->clear();
    Cmd(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

void Frm620_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        if (ShowBackupRun(this, Lbl_Ttl(11), Cmd(0))) {
            Lbl_Ttl(11)->clear();
            DeleteStateProc(true);
            Cmd(1)->setFocus(Qt::OtherFocusReason);
        }
        break;
    case 1:
        PeriodStart = kOpenStart;
        PeriodDispProc();
        break;
    case 2:
    case 3:
        StepStartProc(index == 2 ? -1 : 1);
        break;
    case 4:
    case 5:
        StepEndProc(index == 4 ? -1 : 1);
        break;
    case 6:
        PeriodEnd = kOpenEnd;
        PeriodDispProc();
        break;
    case 7:
        BulkDeleteProc();
        break;
    case 8:
        OpenScreen(Forms::Frm010_Qel);
        break;
    }
}

void Frm620_Qel::DefaultPeriodProc()
{
    // Everything up to the last fiscal closing month before the current month.
    const QDate today = Clock::current().now().date();
    const int closing = G().Kessan;
    const int year = closing < today.month() ? today.year() : today.year() - 1;
    PeriodStart = kOpenStart;
    PeriodEnd = MonthOf(QDate(year, closing, 1));
}

void Frm620_Qel::PeriodDispProc()
{
    Lbl_Dat(10)->setText(PeriodBoundText(PeriodStart));
    Lbl_Dat(11)->setText(PeriodBoundText(PeriodEnd));
}

void Frm620_Qel::DeleteStateProc(bool deleting)
{
    for (int i = 1; i <= 7; ++i)
        Cmd(i)->setEnabled(deleting);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Lbl_Ttl(1), Lbl_Ttl(8), Lbl_Dat(10), Lbl_Dat(11), Frame2})
        w->setEnabled(deleting);
    for (QWidget* w : std::initializer_list<QWidget*>{Lbl_Ttl(0), Cmd(0), Frame1})
        w->setEnabled(!deleting);
}

void Frm620_Qel::StepStartProc(int delta)
{
    if (PeriodStart == kOpenStart)
        PeriodStart = PeriodEnd != kOpenEnd ? PeriodEnd : MonthOf(Clock::current().now().date());
    PeriodStart = StepMonth(PeriodStart, delta);
    PeriodDispProc();
}

void Frm620_Qel::StepEndProc(int delta)
{
    if (PeriodEnd == kOpenEnd)
        PeriodEnd = PeriodStart != kOpenStart ? PeriodStart : MonthOf(Clock::current().now().date());
    PeriodEnd = StepMonth(PeriodEnd, delta);
    PeriodDispProc();
}

void Frm620_Qel::BulkDeleteProc()
{
    Lbl_Ttl(11)->clear();
    if (PeriodStart > PeriodEnd) {
        Lbl_Ttl(11)->setText(QStringLiteral("期間の指定に誤りがあります"));
        Cmd(1)->setFocus(Qt::OtherFocusReason);
        return;
    }
    Guarded([this] {
        std::int64_t count = SalesStore().countInPeriod(PeriodStart, PeriodEnd);
        if (count == 0) {
            Dialogs().information(QStringLiteral("該当削除データなし"),
                                  QStringLiteral("該当する削除データは 0 件でした"));
            return;
        }
        for (;;) {
            if (Dialogs().question(
                    QStringLiteral("削除確認"),
                    QStringLiteral("該当する削除データは %1 件です\n削除しますか").arg(count)) !=
                DialogService::Answer::Yes)
                return;
            const std::int64_t found = SalesStore().removePeriod(PeriodStart, PeriodEnd, count);
            if (found == count)
                break;
            // Someone changed the sales meanwhile: nothing was deleted, and the user answers again.
            Lbl_Ttl(11)->setText(QStringLiteral("該当データの件数が変わりました"));
            count = found;
            if (count == 0) {
                Dialogs().information(QStringLiteral("該当削除データなし"),
                                      QStringLiteral("該当する削除データは 0 件でした"));
                return;
            }
        }
        Repaint(this);
        Dialogs().information(QStringLiteral("削除確認"), QStringLiteral("該当の売上データを削除しました"));
    });
}
