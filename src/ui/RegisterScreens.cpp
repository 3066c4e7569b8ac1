#include "RegisterScreens.h"

#include "core/FormNames.h"

#include "Frm010_Qel.h"
#include "Navigator.h"

void RegisterCoreScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm010_Qel, [] { return new Frm010_Qel; });
}
