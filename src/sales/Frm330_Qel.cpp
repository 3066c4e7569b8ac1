#include "Frm330_Qel.h"

#include "SaleDisplay.h"

#include "core/Amount.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "masters/ProductStore.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingSearch.h"

Frm330_Qel::Frm330_Qel(FormBase* sales, std::function<void()> henkouChk)
    : SaleFieldDialog(Forms::Frm330_Qel, sales, kCorrectionLabels.product, std::move(henkouChk))
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Combo, "Combo1", -1, QString(), 120, 120, 5055, 375},
        {K::List, "List1", -1, QString(), 120, 600, 1575, 375},
        {K::List, "List2", -1, QString(), 1800, 600, 1575, 375},
        {K::List, "List3", -1, QString(), 3480, 600, 1575, 375},
    });
    BuildButtons(2640, 3960, 600);
    SetClientSize(5295, 1215);
    setWindowTitle(G().Syouhin + QStringLiteral("名修正"));
    Combo1 = Control<QComboBox>("Combo1");
    List1 = Control<QListWidget>("List1");
    List2 = Control<QListWidget>("List2");
    List3 = Control<QListWidget>("List3");
    Input()->enterMovesTo(Combo1, {Cmd(101)});
}

void Frm330_Qel::PrepareProc()
{
    for (QWidget* companion : {List1, List2, List3})
        HideCompanion(companion);
    ProductListProc();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Frm330_Qel::ProductListProc()
{
    const QString maker = TrimBlank(Shown(kCorrectionLabels.maker)->text());
    std::vector<ProductRow> products;
    Guarded([&] { products = ProductStore().ofMaker(maker); });
    QStringList names, readings, listPrices, sellingPrices;
    for (const ProductRow& product : products) {
        names << product.name;
        readings << product.reading;
        listPrices << QString::number(product.listPrice);
        sellingPrices << QString::number(product.sellingPrice);
    }
    FillCompanions(Combo1, List1, names, readings);
    List2->clear();
    List2->addItems(listPrices);
    List3->clear();
    List3->addItems(sellingPrices);
    Combo1->setEnabled(!products.empty());
    Combo1->setCurrentIndex(products.empty() ? -1 : 0);
}

void Frm330_Qel::ApplyProc()
{
    // No product to choose leaves the sale as it is.
    const int i = Combo1->currentIndex();
    if (i < 0)
        return;
    const Amount listPrice = AmountValue(ItemText(List2, i));
    const Amount sellingPrice = AmountValue(ItemText(List3, i));
    Shown(kCorrectionLabels.product)->setText(Combo1->currentText());
    Shown(kCorrectionLabels.listPrice)->setText(YenText(listPrice));
    Shown(kCorrectionLabels.sellingPrice)->setText(YenText(sellingPrice));
    Amount quantity = AmountValue(Shown(kCorrectionLabels.quantity)->text());
    if (quantity == 0) {
        quantity = 1;
        Shown(kCorrectionLabels.quantity)->setText(QStringLiteral("1"));
    }
    Shown(kCorrectionLabels.total)->setText(TotalText(sellingPrice, quantity));
    G().g_Fmr090_SyouhinKana = ItemText(List1, i);
}
