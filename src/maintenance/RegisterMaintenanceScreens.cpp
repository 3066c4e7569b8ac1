#include "RegisterMaintenanceScreens.h"

#include "core/FormNames.h"

#include "Frm610_Qel.h"
#include "Frm620_Qel.h"
#include "Frm630_Qel.h"

#include "ui/Navigator.h"

void RegisterMaintenanceScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm610_Qel, [] { return new Frm610_Qel; });
    navigator.registerScreen(Forms::Frm620_Qel, [] { return new Frm620_Qel; });
    navigator.registerScreen(Forms::Frm630_Qel, [] { return new Frm630_Qel; });
}
