#include "BackupProgress.h"

#include "BackupRun.h"

#include "db/DbError.h"
#include "ui/BusyRun.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/WaitService.h"

#include <QDir>
#include <QLabel>

#include <optional>

namespace {

constexpr int kPauseMs = 500;

} // namespace

bool ShowProgressRun(MainScreen* screen, QLabel* status, std::initializer_list<QWidget*> held,
                     const std::function<void(const Announce& announce)>& work, const QString& done,
                     const QString& stopped)
{
    std::optional<DbError> failure;
    {
        BusyRun busy(held, status);
        try {
            work([&](const QString& text) {
                status->setText(text);
                Waits().wait(screen, kPauseMs);
            });
            status->setText(done);
        } catch (const DbError& e) {
            failure = e;
            status->setText(stopped);
        }
    }
    if (failure)
        Dialogs().failure(screen->formName(), failure->message(), failure->engineText());
    return !failure;
}

bool ShowBackupRun(MainScreen* screen, QLabel* status, QWidget* button)
{
    BackupResult result;
    if (!ShowProgressRun(
            screen, status, {button}, [&](const Announce& announce) { result = RunBackup(announce); },
            QStringLiteral("　バックアップ完了"), QStringLiteral("バックアップを中止しました")))
        return false;
    Dialogs().information(QStringLiteral("バックアップ完了"),
                          QStringLiteral("ﾌｧｲﾙ名:") + QDir::toNativeSeparators(result.backupPath));
    if (!result.pruneProblem.isEmpty())
        Dialogs().failure(screen->formName(), result.pruneProblem, result.pruneDetail);
    return true;
}
