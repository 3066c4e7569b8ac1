#include "Frm340_Qel.h"

#include "core/FormNames.h"

#include "SaleDisplay.h"

Frm340_Qel::Frm340_Qel(FormBase* sales, std::function<void()> henkouChk)
    : AmountFieldDialog(Forms::Frm340_Qel, sales, kCorrectionLabels.listPrice, true, false,
                        std::move(henkouChk))
{
    setWindowTitle(QStringLiteral("定価修正"));
}
