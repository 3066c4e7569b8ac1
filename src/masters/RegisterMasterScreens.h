#pragma once

class Navigator;

// The maker and product screens.
void RegisterMasterScreens(Navigator& navigator);
