#include "Frm610_Qel.h"

#include "BackupProgress.h"

#include "core/Amount.h"
#include "core/ChooserFolder.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "exchange/LedgerConversion.h"
#include "ui/DialogService.h"
#include "ui/Twips.h"

#include <QFileInfo>

#include <optional>

Frm610_Qel::Frm610_Qel() : MainScreen(Forms::Frm610_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("データ バックアップ"), 360, 240, 9255, 435},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral("データ バックアップは定期的に行ってください"), 360, 1260,
         9255, 375},
        {K::Label, "Lbl_Ttl", 1, QString(), 360, 1980, 9255, 375},
        {K::Label, "Lbl_Ttl", 2, QString(), 360, 2700, 9255, 375},
        {K::Label, "Lbl_Ttl", 3, QString(), 360, 3180, 9255, 975},
        {K::Button, "Cmd", 0, QStringLiteral("バックアップ"), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("復元…"), 4080, 6720, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("旧データ取込…"), 360, 5940, 2535, 555},
        {K::Button, "Cmd", 99, QStringLiteral("閉じる"), 7800, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 9255, 375},
    });
    setWindowTitle(QStringLiteral("データバックアップ"));
    StyleRoleLabels();
    // A deep folder path wraps rather than running off the screen.
    Lbl_Ttl(3)->setWordWrap(true);
    Lbl_Ttl(3)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBordered(Lbl_Ttl(3));
}

void Frm610_Qel::LoadProc()
{
    const AppGlobals& g = G();
    Lbl_Ttl(1)->setText(
        g.BackCnt > 0 ? QStringLiteral("過去") + QString::number(g.BackCnt) +
                            QStringLiteral("回分のバックアップデータが保存されます")
                      : QStringLiteral("バックアップデータはすべて保存されます（古いものは削除されません）"));
    Lbl_Ttl(2)->setText(QStringLiteral("データの保存先は下記のフォルダー内です"));
    Lbl_Ttl(3)->setText(ShownPath(AppFile(g.BackDataPath)));
    Lbl_Ttl(11)->clear();
    Cmd(0)->setFocus(Qt::OtherFocusReason);
    ShowScreen();
}

void Frm610_Qel::Cmd_Click(int index)
{
    if (index == 0)
        ShowBackupRun(this, Lbl_Ttl(11), Cmd(0));
    else if (index == 1)
        OpenScreen(Forms::Frm630_Qel);
    else if (index == 2)
        LedgerImportProc();
    else if (index == 99)
        OpenScreen(Forms::Frm010_Qel);
}

void Frm610_Qel::LedgerImportProc()
{
    Lbl_Ttl(11)->clear();
    const QString path = Dialogs().openFile(
        QStringLiteral("旧データ取込"), ChooserFolder(),
        {QStringLiteral("Access のデータベース (*.mdb *.accdb)"), QStringLiteral("すべてのファイル (*)")});
    if (path.isEmpty())
        return;
    RememberChooserFolder(path);
    std::optional<LedgerShape> shape;
    if (!Guarded([&] {
            const JetFile file(path);
            shape = InspectLedger(file);
        }))
        return;
    QString inUse;
    try {
        const DatabaseSummary s = InspectDatabase(Database::currentPath(), false);
        inUse =
            QStringLiteral("顧客 %1 件、売上 %2 件").arg(FormatGrouped(s.customers), FormatGrouped(s.sales));
    } catch (const QelError& e) {
        inUse = QStringLiteral("開けません：") + e.message();
    }
    if (Dialogs().question(QStringLiteral("確認"),
                           QStringLiteral("次の以前の形式の台帳を変換して、使用中のデータと置き換えます\n\n"
                                          "変換する台帳　%1（%2）\n　%3\n"
                                          "使用中のデータ　%4\n　%5\n\n"
                                          "使用中のデータはバックアップしてから置き換えます\n"
                                          "元の台帳のファイルはそのまま残し、バックアップフォルダにも"
                                          "「旧形式_」で始まる名前で保存します\n"
                                          "よろしいですか")
                               .arg(ShownPath(path), JetFormatName(shape->format), LedgerCountsText(*shape),
                                    G().DbFileName, inUse)) != DialogService::Answer::Yes)
        return;

    LedgerConversion result;
    if (!ShowProgressRun(
            this, Lbl_Ttl(11), {Cmd(0), Cmd(1), Cmd(2), Cmd(99)},
            [&](const Announce& announce, const Progress& progress) {
                result = ConvertLedger(path, announce, progress);
            },
            QStringLiteral("　変換完了"), QStringLiteral("変換を中止しました")))
        return;
    Dialogs().information(QStringLiteral("旧データの変換"), ConversionReport(result));
    if (!result.pruneProblem.isEmpty())
        Dialogs().failure(formName(), result.pruneProblem, result.pruneDetail);
}
