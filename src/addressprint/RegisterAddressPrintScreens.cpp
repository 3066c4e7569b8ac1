#include "RegisterAddressPrintScreens.h"

#include "core/FormNames.h"

#include "Frm045_Qel.h"

#include "ui/Navigator.h"

void RegisterAddressPrintScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm045_Qel, [] { return new Frm045_Qel; });
}
