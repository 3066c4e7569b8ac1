#pragma once

#include "sheets/SheetError.h"

#include "db/DbError.h"

#include <QString>

#include <exception>

// Shows the warning box of a failed step of a workbook writer, captioned with the writer's
// form name. A page-setup failure lets the writer go on; after any other the application
// ends. Returns whether the writer may go on.
bool ReportSheetFailure(const QString& formName, int number, const QString& description);

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
        } catch (const SheetError& e) {
            return failed(e.number(), e.description());
        } catch (const SheetErrors& e) {
            for (const SheetError& part : e.errors()) {
                if (!failed(part.number(), part.description()))
                    return false;
            }
            return true;
        } catch (const DbError& e) {
            return failed(SheetError::Database, e.userText());
        } catch (const std::exception& e) {
            return failed(SheetError::Application, QString::fromLocal8Bit(e.what()));
        }
    }

    bool ended() const { return m_ended; }

  private:
    bool failed(int number, const QString& description);

    QString m_formName;
    bool m_ended = false;
};
