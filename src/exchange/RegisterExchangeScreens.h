#pragma once

class Navigator;

// The screens that bring files in: the customer import.
void RegisterExchangeScreens(Navigator& navigator);
