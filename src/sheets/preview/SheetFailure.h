#pragma once

#include "sheets/WorkbookFailure.h"

#include <QString>

#include <exception>

// Shows the warning box of a failed step of a workbook writer, captioned with the writer's
// form name. A page-setup failure lets the writer go on; after any other the application
// ends. Returns whether the writer may go on.
bool ReportSheetFailure(const QString& formName, const QelError& failure);

// The steps of one workbook writer:
//     SheetSteps steps(Forms::Frm040_Qel);
//     if (!steps.run([&] { book.prepare(); book.open(); }))
//         return 0;
// run() returns false once the application is ending; the writer then stops at once and
// its unsaved copy is removed with the Workbook.
class SheetSteps
{
  public:
    explicit SheetSteps(QString formName) : m_formName(std::move(formName)) {}

    template <class Step> bool run(Step&& step)
    {
        if (m_ended)
            return false;
        try {
            step();
            return true;
        } catch (const std::exception& e) {
            const QelError failure = QelError::of(e);
            if (!failed(failure))
                return false;
            for (const QelError& part : failure.more()) {
                if (!failed(part))
                    return false;
            }
            return true;
        }
    }

    bool ended() const { return m_ended; }

  private:
    bool failed(const QelError& failure);

    QString m_formName;
    bool m_ended = false;
};
