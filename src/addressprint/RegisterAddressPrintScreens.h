#pragma once

class Navigator;

// The address printing: postcards and labels for the customers found.
void RegisterAddressPrintScreens(Navigator& navigator);
