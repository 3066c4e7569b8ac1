#pragma once

class Navigator;

// The report menu and the three report screens.
void RegisterReportScreens(Navigator& navigator);
