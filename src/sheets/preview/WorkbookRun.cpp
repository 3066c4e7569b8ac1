#include "WorkbookRun.h"

#include "SheetPreview.h"

#include "core/TextRoutines.h"
#include "ui/DialogService.h"
#include "ui/WaitService.h"

#include <QDir>
#include <QLabel>

WorkbookRun::WorkbookRun(QString formName, QLabel* status) : m_formName(std::move(formName)), m_status(status)
{
}

void WorkbookRun::say(const QString& text)
{
    m_status->setText(text);
    Repaint(m_status->window());
}

bool WorkbookRun::mayWrite(std::int64_t rows, const QString& refusal)
{
    if (rows == 0) {
        say(QStringLiteral("出力する情報はありません"));
        return false;
    }
    if (!refusal.isEmpty()) {
        m_status->clear();
        Dialogs().exclamation(m_formName, refusal);
        return false;
    }
    return true;
}

SheetProgress WorkbookRun::progress()
{
    return [this](std::int64_t done, std::int64_t total) {
        say(QStringLiteral("%1件/%2件を処理中").arg(done).arg(total));
    };
}

void WorkbookRun::readFailed(const QelError& e)
{
    m_status->clear();
    Dialogs().failure(m_formName, e.message(), e.detail());
}

void WorkbookRun::show(QWidget* screen, const QString& what, const QString& path)
{
    Dialogs().information(QStringLiteral("帳票ファイルを作成しました"),
                          what + QStringLiteral("をファイルに出力しました\n") + ShownPath(path));
    PreviewWorkbook(screen, path);
}
