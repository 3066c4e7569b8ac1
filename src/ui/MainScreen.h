#pragma once

#include "FormBase.h"

// A main screen: the shared client size, placement at 30/30 twips and navigation by form name.
// At most one is open at a time.
class MainScreen : public FormBase
{
    Q_OBJECT

  public:
    explicit MainScreen(const QString& formName, QWidget* parent = nullptr);

    virtual void LoadProc() = 0;

    // Closes and destroys the screen.
    void Unload();

  protected:
    // Sets CallerForm to this form, opens the named screen and unloads this one.
    void OpenScreen(const QString& formName);
    // Places the window 30 twips from the top and the left of the desktop and shows it.
    void ShowScreen();
};
