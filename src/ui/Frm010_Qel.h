#pragma once

#include "MainScreen.h"

// The main menu: opens every main screen and offers the one-way switch from the sample
// database to the operational one.
class Frm010_Qel : public MainScreen
{
    Q_OBJECT

  public:
    Frm010_Qel();
    void LoadProc() override;

    // The index of the menu button that opens the screen, or -1 when no button does.
    static int ButtonOf(const QString& formName);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Cmd_Click(int index) override;
    void Check1_Click();
    bool SampleChk() const;
    bool SampleDelete();

    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    bool m_warmedUp = false;
};
