#include "BackupProgress.h"

#include "BackupRun.h"

#include "core/QelError.h"
#include "core/TextRoutines.h"
#include "ui/BusyRun.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/WaitService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>

#include <optional>

namespace {

constexpr int kPauseMs = 500;
constexpr int kPaintMs = 100;

} // namespace

bool ShowProgressRun(MainScreen* screen, QLabel* status, const std::vector<QWidget*>& held,
                     const std::function<void(const Announce& announce, const Progress& progress)>& work,
                     const QString& done, const QString& stopped)
{
    std::optional<QelError> failure;
    {
        BusyRun busy(held, status);
        QString step;
        int shown = -1;
        QElapsedTimer painted;
        const auto announce = [&](const QString& text) {
            step = text;
            shown = -1;
            status->setText(text);
            Waits().wait(screen, kPauseMs);
            painted.start();
        };
        // A long step paints at each new percent, or a few times a second when it cannot tell.
        const auto progress = [&](int percent) {
            if (percent < 0 ? painted.elapsed() < kPaintMs : percent == shown)
                return;
            if (percent >= 0) {
                shown = percent;
                status->setText(QStringLiteral("%1　%2%").arg(step).arg(percent));
            }
            Repaint(screen);
            painted.start();
        };
        try {
            work(announce, progress);
            status->setText(done);
        } catch (const QelError& e) {
            failure = e;
            status->setText(stopped);
        }
    }
    if (failure)
        Dialogs().failure(screen->boxTitle(), failure->message(), failure->detail());
    return !failure;
}

bool ShowBackupRun(MainScreen* screen, QLabel* status, const std::vector<QWidget*>& held)
{
    BackupResult result;
    if (!ShowProgressRun(
            screen, status, held,
            [&](const Announce& announce, const Progress& progress) {
                result = RunBackup(announce, progress);
            },
            QStringLiteral("　バックアップ完了"), QStringLiteral("バックアップを中止しました")))
        return false;
    Dialogs().information(QStringLiteral("バックアップ完了"),
                          QStringLiteral("ﾌｧｲﾙ名:") + ShownPath(result.backupPath));
    if (!result.pruneProblem.isEmpty())
        Dialogs().failure(screen->boxTitle(), result.pruneProblem, result.pruneDetail);
    return true;
}

bool ShowBackupRun(MainScreen* screen, QLabel* status, QWidget* button)
{
    return ShowBackupRun(screen, status, std::vector<QWidget*>{button});
}
