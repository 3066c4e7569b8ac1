#include "Frm340_Qel.h"

#include "SaleDisplay.h"

Frm340_Qel::Frm340_Qel(FormBase* sales, std::function<void()> henkouChk)
    : AmountFieldDialog(QStringLiteral("Frm340_Qel"), sales, kCorrectionLabels.listPrice, true, false,
                        std::move(henkouChk))
{
    setWindowTitle(QStringLiteral("定価修正"));
}
