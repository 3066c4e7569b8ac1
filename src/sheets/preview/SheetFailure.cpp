#include "SheetFailure.h"

#include "core/AppExit.h"
#include "ui/DialogService.h"

bool ReportSheetFailure(const QString& formName, int number, const QString& description)
{
    Dialogs().warning(formName, SheetFailureText(number, description));
    if (FailureKindOf(description) == SheetFailureKind::PageSetup)
        return true;
    AppExit::current().endApplication();
    return false;
}

bool SheetSteps::failed(int number, const QString& description)
{
    const bool goOn = ReportSheetFailure(m_formName, number, description);
    m_ended = !goOn;
    return goOn;
}
