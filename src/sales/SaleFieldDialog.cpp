#include "SaleFieldDialog.h"

#include "SaleDisplay.h"

#include "core/Amount.h"
#include "core/TextRoutines.h"
#include "ui/InputBehaviour.h"
#include "ui/Twips.h"

SaleFieldDialog::SaleFieldDialog(const QString& formName, FormBase* sales, int label,
                                 std::function<void()> henkouChk)
    : FieldDialog(formName, sales, std::move(henkouChk)), m_sales(sales), m_label(label)
{
}

void SaleFieldDialog::LoadProc()
{
    PrepareProc();
    FormBase* sales = m_sales;
    ShowUnder(Shown(m_label));
    // The correction takes the keyboard back, so that its focus rules apply after the dialog.
    sales->activateWindow();
}

QLabel* SaleFieldDialog::Shown(int index) const
{
    return m_sales->Lbl_Dat(index);
}

void SaleFieldDialog::SetClientSize(int widthTw, int heightTw)
{
    setFixedSize(Tw(widthTw), Tw(heightTw));
}

void SaleFieldDialog::HideCompanion(QWidget* companion)
{
    companion->move(companion->x(), Tw(-2000));
    companion->setFocusPolicy(Qt::NoFocus);
}

AmountFieldDialog::AmountFieldDialog(const QString& formName, FormBase* sales, int label, bool yen,
                                     bool recomputeTotal, std::function<void()> henkouChk)
    : SaleFieldDialog(formName, sales, label, std::move(henkouChk)), m_label(label), m_yen(yen),
      m_recomputeTotal(recomputeTotal)
{
    using K = ControlRow::Kind;
    BuildControls({{K::Text, "Text1", -1, QString(), 120, 120, 2535, 375, "", 11}});
    BuildButtons(120, 1440, 600);
    SetClientSize(2775, 1215);
    Text1 = Control<QLineEdit>("Text1");
    Text1->setAlignment(Qt::AlignRight);
    SetImeMode(Text1, ImeOff);
    Input()->selectAllOnFocus(Text1);
    Input()->onFocusIn(Text1, [this] { Text1_GotFocus(); });
    Input()->onFocusOut(Text1, [this] { Text1_LostFocus(); });
    Input()->enterMovesTo(Text1, {Cmd(101)});
}

void AmountFieldDialog::PrepareProc()
{
    Text1->setFocus(Qt::OtherFocusReason);
}

QString AmountFieldDialog::Shows(long long value) const
{
    return m_yen ? YenText(value) : FormatGrouped(value);
}

void AmountFieldDialog::Text1_GotFocus()
{
    Text1->setAlignment(Qt::AlignLeft);
    Text1->setText(NumOnly(TrimBlank(Text1->text())));
    SelectWhole(Text1);
}

void AmountFieldDialog::Text1_LostFocus()
{
    // The box shows the value "修正" will take: its digits, more than eight standing for 99,999,999.
    Text1->setText(Shows(BoxAmount(Text1->text())));
    Text1->setAlignment(Qt::AlignRight);
}

void AmountFieldDialog::ApplyProc()
{
    const Amount value = BoxAmount(Text1->text());
    if (value != 0)
        Shown(m_label)->setText(Shows(value));
    if (m_recomputeTotal)
        Shown(kCorrectionLabels.total)
            ->setText(TotalText(AmountValue(Shown(kCorrectionLabels.sellingPrice)->text()),
                                AmountValue(Shown(kCorrectionLabels.quantity)->text())));
}
