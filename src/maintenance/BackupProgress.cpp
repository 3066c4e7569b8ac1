#include "BackupProgress.h"

#include "BackupRun.h"

#include "db/DbError.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/WaitService.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

#include <vector>

namespace {

constexpr int kPauseMs = 500;

// The hourglass for as long as the run lasts, whichever way it ends.
class Hourglass
{
  public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

} // namespace

bool ShowProgressRun(MainScreen* screen, QLabel* status, std::initializer_list<QWidget*> held,
                     const std::function<void(const Announce& announce)>& work, const QString& done,
                     const QString& stopped)
{
    std::vector<bool> wasEnabled;
    bool failed = false;
    QString message;
    QString detail;
    {
        Hourglass hourglass;
        for (QWidget* w : held) {
            wasEnabled.push_back(!w->testAttribute(Qt::WA_ForceDisabled));
            w->setEnabled(false);
        }
        try {
            work([&](const QString& text) {
                status->setText(text);
                Waits().wait(screen, kPauseMs);
            });
            status->setText(done);
        } catch (const DbError& e) {
            failed = true;
            message = e.message();
            detail = e.engineText();
            status->setText(stopped);
        }
        // The clicks and keys that queued during the pauses reach the held controls while they are
        // still disabled, and are dropped there.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        auto state = wasEnabled.cbegin();
        for (QWidget* w : held)
            w->setEnabled(*state++);
    }
    if (failed)
        Dialogs().failure(screen->formName(), message, detail);
    return !failed;
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
