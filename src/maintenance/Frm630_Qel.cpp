#include "Frm630_Qel.h"

#include "BackupProgress.h"

#include "core/Amount.h"
#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/Database.h"
#include "ui/FlexGrid.h"
#include "ui/Twips.h"
#include "ui/WaitService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

namespace {

enum Column { kNumber, kTaken, kKind, kSize, kCustomers, kSales, kLatest, kState, kColumns };

// Which database a backup holds, as the list names it.
QString kindText(const QString& origin)
{
    if (origin == kSampleDbFile)
        return QStringLiteral("サンプルデータ");
    if (origin == kOperationalDbFile)
        return QStringLiteral("運用データ");
    return QString();
}

QString takenText(const QDateTime& taken)
{
    return taken.isValid()
               ? ShortDate(taken.date()) + QLatin1Char(' ') + taken.toString(QStringLiteral("HH:mm:ss"))
               : QString();
}

QString sizeText(qint64 bytes)
{
    return FormatGrouped((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

QString latestText(const QString& yyyymmdd)
{
    const QDate date = QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd"));
    return date.isValid() ? ShortDate(date) : QStringLiteral("なし");
}

// The counts of one database as the screen says them.
QString summaryText(const DatabaseSummary& s)
{
    return QStringLiteral("顧客 %1 件　売上 %2 件　最終売上日 %3")
        .arg(FormatGrouped(s.customers), FormatGrouped(s.sales), latestText(s.latestSale));
}

} // namespace

Frm630_Qel::Frm630_Qel() : MainScreen(Forms::Frm630_Qel)
{
    using K = ControlRow::Kind;
    // The grid comes first so that it is first in the tab order and has the focus at opening.
    BuildControls({
        {K::Grid, "MSHFlexGrid1", -1, QString(), 360, 780, 10995, 4815},
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("データ 復元"), 360, 240, 9255, 435},
        {K::Label, "Lbl_Ttl", 1, QString(), 360, 5700, 10995, 855},
        {K::Button, "Cmd", 0, QStringLiteral("復元"), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 99, QStringLiteral("閉じる"), 7800, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 10995, 375},
    });
    setWindowTitle(QStringLiteral("データ復元"));
    MSHFlexGrid1 = Control<FlexGrid>("MSHFlexGrid1");
    Lbl_Ttl(14)->setFont(ScreenFont(18));
    Lbl_Ttl(1)->setWordWrap(true);
    Lbl_Ttl(1)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBordered(Lbl_Ttl(1));
    SetBackColor(Lbl_Ttl(11), Colors::LightRed);

    m_counter = new QTimer(this);
    m_counter->setInterval(0);
    connect(m_counter, &QTimer::timeout, this, &Frm630_Qel::CountNextProc);

    MSHFlexGrid1->setSelectionColumns(1, kColumns - 1);
    connect(MSHFlexGrid1, &FlexGrid::rowColChanged, this, &Frm630_Qel::RowDispProc);
    connect(MSHFlexGrid1, &FlexGrid::enterPressed, this, [this] {
        if (Cmd(0)->isEnabled())
            Cmd(0)->setFocus(Qt::OtherFocusReason);
    });
}

void Frm630_Qel::LoadProc()
{
    Lbl_Ttl(11)->clear();
    GridInitProc();
    ShowScreen();
    MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
}

void Frm630_Qel::Cmd_Click(int index)
{
    if (index == 0)
        RestoreProc();
    else if (index == 99)
        OpenScreen(Forms::Frm610_Qel);
}

void Frm630_Qel::GridInitProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setRows(1);
    grid->setCols(kColumns);
    const int widths[kColumns] = {450, 2450, 1800, 1000, 850, 950, 1350, 1850};
    const QString headings[kColumns] = {QString(),
                                        QStringLiteral("日時"),
                                        QStringLiteral("データ"),
                                        QStringLiteral("サイズ"),
                                        QStringLiteral("顧客数"),
                                        QStringLiteral("売上数"),
                                        QStringLiteral("最終売上日"),
                                        QStringLiteral("状態")};
    grid->clear();
    for (int c = 0; c < kColumns; ++c) {
        grid->setColWidth(c, widths[c]);
        grid->setTextMatrix(0, c, headings[c]);
        grid->setCellAlignment(0, c, Qt::AlignCenter);
    }
    for (int c : {kNumber, kSize, kCustomers, kSales})
        grid->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    ListProc();
    grid->setRedraw(true);
    // The newest backup of the database in use is offered first; the other database's stay listed.
    int chosen = 1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].origin == G().DbFileName) {
            chosen = static_cast<int>(i) + 1;
            break;
        }
    }
    grid->setTopRow(1);
    grid->setRow(chosen);
    grid->setCol(1);
    RowDispProc();
}

void Frm630_Qel::ListProc()
{
    m_counter->stop();
    m_entries.clear();
    // A backup folder that cannot be used shows the empty list; the warning says why.
    Guarded([&] { m_entries = ListBackups(); });
    FlexGrid* grid = MSHFlexGrid1;
    if (m_entries.empty()) {
        grid->setRows(2);
        return;
    }
    grid->setRows(static_cast<int>(m_entries.size()) + 1);
    for (int r = 1; r <= static_cast<int>(m_entries.size()); ++r)
        RowFillProc(r);
    // Counting reads much of each file (a tenth of a second for a million sales): the list shows
    // first, the chosen row is counted at once and the others one by one between the user's events.
    m_counter->start();
}

void Frm630_Qel::RowFillProc(int row)
{
    FlexGrid* grid = MSHFlexGrid1;
    const BackupEntry& e = m_entries[static_cast<size_t>(row - 1)];
    grid->setTextMatrix(row, kNumber, QString::number(row));
    grid->setTextMatrix(row, kTaken, e.taken.isValid() ? takenText(e.taken) : e.name);
    grid->setTextMatrix(row, kKind, kindText(e.origin));
    grid->setTextMatrix(row, kSize, sizeText(e.size));
    const bool shown = e.restorable && e.counted;
    grid->setTextMatrix(row, kCustomers, shown ? FormatGrouped(e.summary.customers) : QString());
    grid->setTextMatrix(row, kSales, shown ? FormatGrouped(e.summary.sales) : QString());
    grid->setTextMatrix(row, kLatest, shown ? latestText(e.summary.latestSale) : QString());
    grid->setTextMatrix(row, kState,
                        !e.restorable        ? QStringLiteral("復元できません：") + e.reason
                        : OfOtherDatabase(e) ? QStringLiteral("復元できません")
                                             : QString());
}

void Frm630_Qel::CountNextProc()
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        BackupEntry& e = m_entries[i];
        if (e.counted || !e.restorable)
            continue;
        CountBackup(e);
        const int row = static_cast<int>(i) + 1;
        RowFillProc(row);
        if (row == MSHFlexGrid1->row())
            RowDispProc();
        return;
    }
    m_counter->stop();
}

BackupEntry* Frm630_Qel::ChosenEntry()
{
    const int r = MSHFlexGrid1->row();
    if (r < 1 || r > static_cast<int>(m_entries.size()))
        return nullptr;
    BackupEntry* e = &m_entries[static_cast<size_t>(r - 1)];
    // The chosen row is counted at once: the screen says what it holds.
    if (!e->counted && e->restorable) {
        CountBackup(*e);
        RowFillProc(r);
    }
    return e;
}

void Frm630_Qel::RowDispProc()
{
    const BackupEntry* e = ChosenEntry();
    Cmd(0)->setEnabled(e && e->restorable);
    if (!e) {
        Lbl_Ttl(1)->setText(QStringLiteral("バックアップファイルがありません"));
        return;
    }
    QString text = QStringLiteral("ﾌｧｲﾙ名:") + e->name;
    if (!e->restorable)
        text += QStringLiteral("\n復元できません：") + e->reason;
    else if (OfOtherDatabase(*e))
        text += QStringLiteral("\n%1のバックアップです。使用中のデータ（%2）には復元できません。")
                    .arg(kindText(e->origin), G().DbFileName);
    else
        text += QLatin1Char('\n') + summaryText(e->summary);
    Lbl_Ttl(1)->setText(text);
}

QString Frm630_Qel::InUseProc()
{
    const QString db = Database::currentPath();
    QString text;
    // Reading a large file whole takes seconds: the screen paints and drops the clicks meanwhile.
    BusyRun busy({Cmd(0), Cmd(99), MSHFlexGrid1}, Lbl_Ttl(11));
    busy.say(QStringLiteral("使用中のデータの確認"));
    const Progress painting = [&busy](int) { busy.paint(); };
    // A transaction cut off by a stopped program is rolled back first, so that the counts are
    // those of committed data; the file is read whole, since a damaged one is what a restore is for.
    try {
        if (QFileInfo::exists(db))
            SettleDatabase(db);
        text = summaryText(InspectDatabase(db, false, true, painting));
    } catch (const QelError& failure) {
        text = QStringLiteral("開けません：") + failure.message();
    }
    try {
        const QString damage = DamageIn(db, painting);
        if (!damage.isEmpty())
            text += QStringLiteral("\n　このファイルは壊れています（%1）。壊れたまま保存してから置き換えます")
                        .arg(damage);
    } catch (const QelError&) {
        // Not readable at all: the line above says so.
    }
    Lbl_Ttl(11)->clear();
    return text;
}

void Frm630_Qel::RestoreProc()
{
    const BackupEntry* e = ChosenEntry();
    if (!e || !e->restorable)
        return;
    const BackupEntry chosen = *e;
    Lbl_Ttl(11)->clear();
    if (OfOtherDatabase(chosen)) {
        Dialogs().warning(QStringLiteral("データ復元"), OtherDatabaseText(chosen.origin));
        return;
    }
    const QString inUse = InUseProc();
    const QString taken = chosen.taken.isValid() ? DateWithWeekday(chosen.taken.date()) + QLatin1Char(' ') +
                                                       chosen.taken.toString(QStringLiteral("HH:mm:ss"))
                                                 : chosen.name;
    if (Dialogs().question(QStringLiteral("確認"),
                           QStringLiteral("次のバックアップデータを復元します\n\n"
                                          "復元するデータ　%1\n　%2\n"
                                          "使用中のデータ　%3\n　%4\n\n"
                                          "使用中のデータはバックアップしてから置き換えます\n"
                                          "よろしいですか")
                               .arg(taken, summaryText(chosen.summary), G().DbFileName, inUse)) !=
        DialogService::Answer::Yes)
        return;

    // The list is counted no further while the restore runs: it is read again afterwards.
    m_counter->stop();
    RestoreResult result;
    const bool restored = ShowProgressRun(
        this, Lbl_Ttl(11), {Cmd(0), Cmd(99), MSHFlexGrid1},
        [&](const Announce& announce, const Progress& progress) {
            result = RunRestore(chosen, announce, progress);
        },
        QStringLiteral("　復元完了"), QStringLiteral("復元を中止しました"));
    if (restored) {
        QString text = QStringLiteral("復元しました\nﾌｧｲﾙ名:") + ShownPath(chosen.path);
        if (!result.replacedBackup.isEmpty())
            text += QStringLiteral("\n\n復元前のデータは次のファイルに保存しました\nﾌｧｲﾙ名:") +
                    ShownPath(result.replacedBackup);
        Dialogs().information(QStringLiteral("復元完了"), text);
        if (!result.pruneProblem.isEmpty())
            Dialogs().failure(formName(), result.pruneProblem, result.pruneDetail);
    }
    // The folder has changed (a new backup), or the list was out of date: it is read again.
    GridInitProc();
    MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
}
