#pragma once

class Navigator;

// Registers the screens of every subsystem: what the menu can open.
void RegisterAllScreens(Navigator& navigator);
