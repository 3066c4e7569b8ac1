#pragma once

#include "FormBase.h"

#include <functional>

class QEventLoop;

// A modal single-field dialog: "修正" (Cmd 101) applies the value, "ｷｬﾝｾﾙ" (Cmd 102) closes
// without change, both then run the owner's check and unload the dialog, so every opening
// starts fresh. Placed under the owner's label that it edits; the close box is refused.
class FieldDialog : public FormBase
{
    Q_OBJECT

  public:
    // afterEither runs after either button, before the dialog unloads (the owner's HenkouChk).
    FieldDialog(const QString& formName, QWidget* owner, std::function<void()> afterEither);
    ~FieldDialog() override;

  protected:
    // The frame of the two buttons at these positions (twips), after the member's own controls.
    void BuildButtons(int left101, int left102, int top, int width = 1215, int height = 495);
    // Top = owner's top + label's top + 780, left = owner's left + label's left (twips); then
    // shows the dialog modally and returns when a button has unloaded it.
    void ShowUnder(const QWidget* label);
    // The member's value written into the owner; runs on "修正".
    virtual void ApplyProc() = 0;
    QWidget* owner() const { return m_owner; }

    void Cmd_Click(int index) override;

  private:
    void Finish();

    QWidget* m_owner;
    std::function<void()> m_afterEither;
    QEventLoop* m_loop = nullptr;
};
