#pragma once

class Navigator;

// The screens of the data maintenance subsystem.
void RegisterMaintenanceScreens(Navigator& navigator);
