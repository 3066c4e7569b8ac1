#include "RegisterExchangeScreens.h"

#include "core/FormNames.h"

#include "Frm025_Qel.h"

#include "ui/Navigator.h"

void RegisterExchangeScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm025_Qel, [] { return new Frm025_Qel; });
}
