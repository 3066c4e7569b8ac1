#include "Frm360_Qel.h"

#include "core/FormNames.h"

#include "SaleDisplay.h"

Frm360_Qel::Frm360_Qel(FormBase* sales, std::function<void()> henkouChk)
    : AmountFieldDialog(Forms::Frm360_Qel, sales, kCorrectionLabels.quantity, false, true,
                        std::move(henkouChk))
{
    setWindowTitle(QStringLiteral("数量修正"));
}
