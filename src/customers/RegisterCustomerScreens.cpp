#include "RegisterCustomerScreens.h"

#include "Frm020_Qel.h"
#include "Frm030_Qel.h"
#include "Frm040_Qel.h"
#include "Frm050_Qel.h"

#include "ui/Navigator.h"

void RegisterCustomerScreens(Navigator& navigator)
{
    navigator.registerScreen(QStringLiteral("Frm020_Qel"), [] { return new Frm020_Qel; });
    navigator.registerScreen(QStringLiteral("Frm030_Qel"), [] { return new Frm030_Qel; });
    navigator.registerScreen(QStringLiteral("Frm040_Qel"), [] { return new Frm040_Qel; });
    navigator.registerScreen(QStringLiteral("Frm050_Qel"), [] { return new Frm050_Qel; });
}
