#include "Frm380_Qel.h"

#include "SaleDisplay.h"

#include "core/FormNames.h"
#include "core/TextRoutines.h"
#include "ui/InputBehaviour.h"

Frm380_Qel::Frm380_Qel(FormBase* sales, std::function<void()> henkouChk)
    : SaleFieldDialog(Forms::Frm380_Qel, sales, kCorrectionLabels.remarks, std::move(henkouChk))
{
    using K = ControlRow::Kind;
    BuildControls({{K::Text, "Text1", -1, QString(), 120, 120, 5055, 375, "", 20}});
    BuildButtons(2640, 3960, 600);
    SetClientSize(5295, 1215);
    setWindowTitle(QStringLiteral("備考修正"));
    Text1 = Control<QLineEdit>("Text1");
    SetImeMode(Text1, ImeHiragana);
    Input()->selectAllOnFocus(Text1);
    Input()->enterMovesTo(Text1, {Cmd(101)});
}

void Frm380_Qel::PrepareProc()
{
    Text1->setFocus(Qt::OtherFocusReason);
}

void Frm380_Qel::ApplyProc()
{
    Shown(kCorrectionLabels.remarks)->setText(TrimBlank(Text1->text()));
}
