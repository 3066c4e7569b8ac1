#include "MainScreen.h"

#include "Navigator.h"
#include "Twips.h"

#include "core/Globals.h"

MainScreen::MainScreen(const QString& formName, QWidget* parent) : FormBase(formName, parent)
{
    setFixedSize(Tw(kScreenWidthTw), Tw(kScreenHeightTw));
}

void MainScreen::Unload()
{
    closeForm();
}

void MainScreen::OpenScreen(const QString& formName)
{
    G().CallerForm = this->formName();
    if (!Screens().open(formName))
        return;
    Unload();
}

void MainScreen::ShowScreen()
{
    move(Tw(30), Tw(30));
    show();
    activateWindow();
}
