#pragma once

class Navigator;

// The customer screens: registration.
void RegisterCustomerScreens(Navigator& navigator);
