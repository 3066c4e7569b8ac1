#include "SheetFailure.h"

#include "core/AppExit.h"
#include "ui/DialogService.h"

bool ReportSheetFailure(const QString& formName, const QelError& failure)
{
    Dialogs().warning(formName, WorkbookFailureText(failure));
    if (failure.kind() == QelError::Kind::PageSetup)
        return true;
    AppExit::current().endApplication();
    return false;
}

bool SheetSteps::failed(const QelError& failure)
{
    const bool goOn = ReportSheetFailure(m_formName, failure);
    m_ended = !goOn;
    return goOn;
}
