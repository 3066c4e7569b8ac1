#include "RegisterSalesScreens.h"

#include "core/FormNames.h"

#include "Frm080_Qel.h"
#include "Frm090_Qel.h"

#include "customers/CustomerStore.h"
#include "ui/Navigator.h"

void RegisterSalesScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm080_Qel, [] { return new Frm080_Qel; });
    navigator.registerScreen(Forms::Frm090_Qel, [] { return new Frm090_Qel; });
    // The sales entry and the report menu list every customer by reading.
    navigator.addMenuWarmUp([] { CustomerStore().readings(); });
}
