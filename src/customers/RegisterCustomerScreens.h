#pragma once

class Navigator;

// The customer screens: registration, search, list and detail.
void RegisterCustomerScreens(Navigator& navigator);
