#include "RegisterCustomerScreens.h"

#include "core/FormNames.h"

#include "Frm020_Qel.h"
#include "Frm030_Qel.h"
#include "Frm040_Qel.h"
#include "Frm050_Qel.h"
#include "Frm055_Qel.h"

#include "ui/Navigator.h"

void RegisterCustomerScreens(Navigator& navigator)
{
    navigator.registerScreen(Forms::Frm020_Qel, [] { return new Frm020_Qel; });
    navigator.registerScreen(Forms::Frm030_Qel, [] { return new Frm030_Qel; });
    navigator.registerScreen(Forms::Frm040_Qel, [] { return new Frm040_Qel; });
    navigator.registerScreen(Forms::Frm050_Qel, [] { return new Frm050_Qel; });
    navigator.registerScreen(Forms::Frm055_Qel, [] { return new Frm055_Qel; });
}
