#include "RegisterReportScreens.h"

#include "core/FormNames.h"

#include "Frm510_Qel.h"
#include "Frm550_Qel.h"
#include "SalesReportScreen.h"

#include "ui/Navigator.h"

void RegisterReportScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm510_Qel, [] { return new Frm510_Qel; });
    for (ReportKind kind : {ReportKind::Period, ReportKind::Maker, ReportKind::Buyer})
        navigator.registerScreen(ReportFormName(kind), [kind] { return new SalesReportScreen(kind); });
    navigator.registerScreen(Forms::Frm550_Qel, [] { return new Frm550_Qel; });
}
