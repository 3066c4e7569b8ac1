#include "AllScreens.h"

#include "customers/RegisterCustomerScreens.h"
#include "maintenance/RegisterMaintenanceScreens.h"
#include "masters/RegisterMasterScreens.h"
#include "sales/RegisterSalesScreens.h"
#include "ui/RegisterScreens.h"

void RegisterAllScreens(Navigator& navigator)
{
    RegisterCoreScreens(navigator);
    RegisterCustomerScreens(navigator);
    RegisterMasterScreens(navigator);
    RegisterSalesScreens(navigator);
    RegisterMaintenanceScreens(navigator);
}
