#include "Frm340_Qel.h"

Frm340_Qel::Frm340_Qel(FormBase* sales, std::function<void()> henkouChk)
    : AmountFieldDialog(QStringLiteral("Frm340_Qel"), sales, 3, true, false, std::move(henkouChk))
{
    setWindowTitle(QStringLiteral("定価修正"));
}
