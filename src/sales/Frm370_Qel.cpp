#include "Frm370_Qel.h"

#include "SaleDisplay.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "customers/CustomerStore.h"
#include "ui/InputBehaviour.h"
#include "ui/PurchaserList.h"
#include "ui/Twips.h"

Frm370_Qel::Frm370_Qel(FormBase* sales, std::function<void()> henkouChk)
    : SaleFieldDialog(Forms::Frm370_Qel, sales, kCorrectionLabels.buyer, std::move(henkouChk))
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Text, "Text1", -1, QString(), 120, 120, 5055, 375, "", 40},
        {K::List, "List1", -1, QString(), 120, 600, 5055, 1215},
        {K::List, "List2", -1, QString(), 120, 1920, 5055, 375},
    });
    BuildButtons(2640, 3960, 1920);
    SetClientSize(5295, 2535);
    setWindowTitle(QStringLiteral("購入者修正"));
    Text1 = Control<QLineEdit>("Text1");
    List1 = Control<QListWidget>("List1");
    List2 = Control<QListWidget>("List2");
    SetImeMode(Text1, ImeHalfKatakana);
    m_buyers = std::make_unique<PurchaserList>(*this, Text1, List1, List2);
    Input()->selectAllOnFocus(Text1);
    Input()->setEnterOrder({
        {Text1, {List1, Cmd(101)}},
        {List1, {Cmd(101)}},
    });
}

Frm370_Qel::~Frm370_Qel() = default;

void Frm370_Qel::PrepareProc()
{
    HideCompanion(List2);
    CustomerListProc();
    Text1->setFocus(Qt::OtherFocusReason);
}

void Frm370_Qel::CustomerListProc()
{
    m_buyers->fill([] { return CustomerStore().readings(); },
                   [](const std::vector<std::int32_t>& keys) { return CustomerStore().names(keys); });
}

void Frm370_Qel::ApplyProc()
{
    // No customer to choose leaves the sale as it is.
    if (List1->currentRow() < 0)
        return;
    Shown(kCorrectionLabels.buyer)->setText(m_buyers->name());
    G().g_Fmr090_KokyakuKana = m_buyers->reading();
}
