#include "Frm320_Qel.h"

#include "SaleDisplay.h"

#include "core/Amount.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "masters/MakerStore.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingSearch.h"

Frm320_Qel::Frm320_Qel(FormBase* sales, std::function<void()> henkouChk)
    : SaleFieldDialog(Forms::Frm320_Qel, sales, kCorrectionLabels.maker, std::move(henkouChk))
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Combo, "Combo1", -1, QString(), 120, 120, 5055, 375},
        {K::List, "List1", -1, QString(), 120, 600, 5055, 375},
    });
    BuildButtons(2640, 3960, 600);
    SetClientSize(5295, 1215);
    setWindowTitle(G().Maker + QStringLiteral("名修正"));
    Combo1 = Control<QComboBox>("Combo1");
    List1 = Control<QListWidget>("List1");
    Input()->enterMovesTo(Combo1, {Cmd(101)});
}

void Frm320_Qel::PrepareProc()
{
    HideCompanion(List1);
    MakerListProc();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Frm320_Qel::MakerListProc()
{
    NamesWithReadings makers;
    Guarded([&] { makers = NamesOf(MakerStore().all()); });
    FillCompanions(Combo1, List1, makers.names, makers.readings);
    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
}

void Frm320_Qel::ApplyProc()
{
    // No maker to choose leaves the sale as it is.
    const int i = Combo1->currentIndex();
    if (i < 0 || Combo1->currentText() == Shown(kCorrectionLabels.maker)->text())
        return;
    Shown(kCorrectionLabels.maker)->setText(Combo1->currentText());
    Shown(kCorrectionLabels.product)->clear();
    for (int k : {kCorrectionLabels.listPrice, kCorrectionLabels.sellingPrice, kCorrectionLabels.total})
        Shown(k)->setText(YenText(0));
    Shown(kCorrectionLabels.quantity)->setText(QStringLiteral("0"));
    G().g_Fmr090_MakerKana = ItemText(List1, i);
}
