#pragma once

class MainScreen;
class QLabel;
class QPushButton;

// The backup run as both maintenance screens show it: the hourglass and the button disabled
// while it runs, the three status texts each with its half-second pause, the completion text and
// the box with the backup file's path. A failure is shown in a warning box and leaves the screen
// usable. Returns whether the backup was made.
bool ShowBackupRun(MainScreen* screen, QLabel* status, QPushButton* button);
