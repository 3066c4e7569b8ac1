#include "RegisterCustomerScreens.h"

#include "Frm020_Qel.h"

#include "ui/Navigator.h"

void RegisterCustomerScreens(Navigator& navigator)
{
    navigator.registerScreen(QStringLiteral("Frm020_Qel"), [] { return new Frm020_Qel; });
}
