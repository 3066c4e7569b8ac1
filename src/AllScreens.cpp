#include "AllScreens.h"

#include "addressprint/RegisterAddressPrintScreens.h"
#include "customers/RegisterCustomerScreens.h"
#include "exchange/RegisterExchangeScreens.h"
#include "maintenance/RegisterMaintenanceScreens.h"
#include "masters/RegisterMasterScreens.h"
#include "reports/RegisterReportScreens.h"
#include "sales/RegisterSalesScreens.h"
#include "ui/RegisterScreens.h"

void RegisterAllScreens(Navigator& navigator)
{
    RegisterCoreScreens(navigator);
    RegisterCustomerScreens(navigator);
    RegisterExchangeScreens(navigator);
    RegisterAddressPrintScreens(navigator);
    RegisterMasterScreens(navigator);
    RegisterSalesScreens(navigator);
    RegisterReportScreens(navigator);
    RegisterMaintenanceScreens(navigator);
}
