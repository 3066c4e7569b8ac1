#include "RegisterScreens.h"

#include "Frm010_Qel.h"
#include "Navigator.h"

void RegisterCoreScreens(Navigator& navigator)
{
    navigator.registerScreen(QStringLiteral("Frm010_Qel"), [] { return new Frm010_Qel; });
}
