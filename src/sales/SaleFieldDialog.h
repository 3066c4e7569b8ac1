#pragma once

#include "ui/FieldDialog.h"

#include <functional>

// A field dialog of the sales correction: it edits the label `label` of that screen (and its
// public strings), opens under that label, and runs the screen's change check as it closes.
class SaleFieldDialog : public FieldDialog
{
    Q_OBJECT

  public:
    SaleFieldDialog(const QString& formName, FormBase* sales, int label, std::function<void()> henkouChk);

    // Prepares the dialog, places it under its label and shows it modally until a button closes it.
    void LoadProc();

  protected:
    // The member's own preparation before it is shown.
    virtual void PrepareProc() {}
    // A label of the sales correction.
    QLabel* Shown(int index) const;
    void SetClientSize(int widthTw, int heightTw);
    // Moves the hidden companion lists out of sight.
    static void HideCompanion(QWidget* companion);

  private:
    FormBase* m_sales;
    int m_label;
};

// The three amount dialogs: one box whose digits, capped at eight, replace the edited amount;
// a value of 0 keeps it. The selling-price and quantity dialogs recompute the total.
class AmountFieldDialog : public SaleFieldDialog
{
    Q_OBJECT

  public:
    AmountFieldDialog(const QString& formName, FormBase* sales, int label, bool yen, bool recomputeTotal,
                      std::function<void()> henkouChk);

  protected:
    void PrepareProc() override;
    void ApplyProc() override;

  private:
    void Text1_GotFocus();
    void Text1_LostFocus();
    QString Shows(long long value) const;

    QLineEdit* Text1 = nullptr;
    int m_label;
    bool m_yen;
    bool m_recomputeTotal;
};
