#include "BackupProgress.h"

#include "BackupRun.h"

#include "db/DbError.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/WaitService.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>

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

bool ShowBackupRun(MainScreen* screen, QLabel* status, QPushButton* button)
{
    BackupResult result;
    QString failure;
    {
        Hourglass hourglass;
        button->setEnabled(false);
        try {
            result = RunBackup([&](const QString& text) {
                status->setText(text);
                Waits().wait(screen, kPauseMs);
            });
            status->setText(QStringLiteral("　バックアップ完了"));
        } catch (const DbError& e) {
            failure = e.userText();
            status->setText(QStringLiteral("バックアップを中止しました"));
        }
        button->setEnabled(true);
    }
    if (!failure.isEmpty()) {
        Dialogs().warning(screen->formName(), failure);
        return false;
    }
    Dialogs().information(QStringLiteral("バックアップ完了"),
                          QStringLiteral("ﾌｧｲﾙ名:") + QDir::toNativeSeparators(result.backupPath));
    if (!result.pruneProblem.isEmpty())
        Dialogs().warning(screen->formName(), result.pruneProblem);
    return true;
}
