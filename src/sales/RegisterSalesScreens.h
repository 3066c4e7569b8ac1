#pragma once

class Navigator;

// The screens of the sales subsystem.
void RegisterSalesScreens(Navigator& navigator);
