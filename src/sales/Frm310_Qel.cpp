#include "Frm310_Qel.h"

#include "SaleDisplay.h"

#include "DateStep.h"

#include "core/Clock.h"
#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "ui/Twips.h"

Frm310_Qel::Frm310_Qel(FormBase* sales, std::function<void()> henkouChk)
    : SaleFieldDialog(Forms::Frm310_Qel, sales, kCorrectionLabels.date, std::move(henkouChk))
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Button, "Cmd", 0, QStringLiteral("<<"), 120, 120, 615, 375},
        {K::Button, "Cmd", 1, QStringLiteral("<"), 795, 120, 615, 375},
        {K::Label, "Lbl_Dat", 0, QString(), 1470, 120, 3735, 375},
        {K::Button, "Cmd", 2, QStringLiteral("■"), 5265, 120, 615, 375},
        {K::Button, "Cmd", 3, QStringLiteral(">"), 5940, 120, 615, 375},
        {K::Button, "Cmd", 4, QStringLiteral(">>"), 6615, 120, 615, 375},
    });
    BuildButtons(4680, 6015, 600);
    SetClientSize(7350, 1215);
    setWindowTitle(QStringLiteral("購入日修正"));
    Lbl_Dat(0)->setAlignment(Qt::AlignCenter);
    SetBordered(Lbl_Dat(0));
    SetBackColor(Lbl_Dat(0), Colors::LightBlue);
}

void Frm310_Qel::PrepareProc()
{
    // The dialog starts at today, not at the shown sale's date.
    m_date = Clock::current().now();
    DateDispProc();
    Cmd(101)->setFocus(Qt::OtherFocusReason);
}

void Frm310_Qel::DateDispProc()
{
    Lbl_Dat(0)->setText(DateWithWeekday(m_date.date()));
}

void Frm310_Qel::Cmd_Click(int index)
{
    if (index >= 0 && index <= 4) {
        m_date = StepDate(m_date, index);
        DateDispProc();
        return;
    }
    SaleFieldDialog::Cmd_Click(index);
}

void Frm310_Qel::ApplyProc()
{
    AppGlobals& g = G();
    const QDate date = m_date.date();
    Shown(kCorrectionLabels.date)->setText(Lbl_Dat(0)->text());
    g.g_Fmr090_Nen = date.toString(QStringLiteral("yyyy"));
    g.g_Fmr090_Nengetu = date.toString(QStringLiteral("yyyyMM"));
    g.g_Fmr090_Nengappi = date.toString(QStringLiteral("yyyyMMdd"));
}
