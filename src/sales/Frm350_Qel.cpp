#include "Frm350_Qel.h"

#include "core/FormNames.h"

#include "SaleDisplay.h"

Frm350_Qel::Frm350_Qel(FormBase* sales, std::function<void()> henkouChk)
    : AmountFieldDialog(Forms::Frm350_Qel, sales, kCorrectionLabels.sellingPrice, true, true,
                        std::move(henkouChk))
{
    setWindowTitle(QStringLiteral("売価修正"));
}
