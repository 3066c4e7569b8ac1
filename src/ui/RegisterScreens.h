#pragma once

class Navigator;

// The screens of the application core (the main menu).
void RegisterCoreScreens(Navigator& navigator);
