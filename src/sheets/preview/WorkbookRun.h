#pragma once

#include "SheetFailure.h"

#include "core/QelError.h"
#include "sheets/SheetRows.h"

#include <QString>

#include <cstdint>
#include <optional>

class QLabel;
class QWidget;

// One workbook written as every screen writes one, its steps reported in the screen's status line
// and its failures in the boxes captioned with the form's name. Inside the screen's BusyRun:
//     WorkbookRun run(formName(), Lbl_Ttl(11));
//     CustomerListSheet sheet;
//     written = run.write(sheet, rows);
// and after it, when written > 0:
//     WorkbookRun::show(this, QStringLiteral("顧客一覧"), sheet.targetPath());
// Sheet is a TemplateSheet with static tooManyMessage(n), open(n), writePageSetup() and
// writeRows(SheetRows<Row>, SheetProgress).
class WorkbookRun
{
  public:
    WorkbookRun(QString formName, QLabel* status);

    // No rows: "出力する情報はありません". Too many for one sheet: the refusal box before any file
    // is touched. Else open, page setup, rows (with "i件/n件を処理中"), scroll to the top and
    // save, each a step of SheetSteps, then "n件出力しました". A QelError of the row source ends
    // the rows and shows the failure box; nothing is saved. Returns the rows written, 0 when no
    // file was saved.
    template <class Sheet, class Row> std::int64_t write(Sheet& sheet, SheetRows<Row> rows)
    {
        const std::int64_t n = rows.total();
        if (!mayWrite(n, Sheet::tooManyMessage(n)))
            return 0;
        std::optional<QelError> readFailure;
        SheetRows<Row> guarded(n, [&]() -> const Row* {
            try {
                return rows.next();
            } catch (const QelError& e) {
                readFailure = e;
                return nullptr;
            }
        });
        SheetSteps steps(m_formName);
        std::int64_t written = 0;
        if (!steps.run([&] { sheet.open(n); }) || !steps.run([&] { sheet.writePageSetup(); }) ||
            !steps.run([&] { written = sheet.writeRows(guarded, progress()); }))
            return 0;
        if (readFailure) {
            readFailed(*readFailure);
            return 0;
        }
        if (!steps.run([&] { sheet.scrollToTop(); }) || !steps.run([&] { sheet.save(); }))
            return 0;
        say(QStringLiteral("%1件出力しました").arg(written));
        return written;
    }

    // The box "帳票ファイルを作成しました" saying that `what` was written to `path`, then the print
    // preview through the dialog service.
    static void show(QWidget* screen, const QString& what, const QString& path);

    // The status line, painted at once.
    void say(const QString& text);

  private:
    bool mayWrite(std::int64_t rows, const QString& refusal);
    SheetProgress progress();
    void readFailed(const QelError& e);

    QString m_formName;
    QLabel* m_status;
};
