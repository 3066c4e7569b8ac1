#include "RegisterMasterScreens.h"

#include "core/FormNames.h"

#include "Frm060_Qel.h"
#include "Frm070_Qel.h"

#include "ui/Navigator.h"

void RegisterMasterScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm060_Qel, [] { return new Frm060_Qel; });
    navigator.registerScreen(Forms::Frm070_Qel, [] { return new Frm070_Qel; });
}
