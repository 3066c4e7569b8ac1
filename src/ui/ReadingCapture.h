#pragma once

#include <QString>

class QLineEdit;

// Captures the readings of what the user commits through the input method into one name
// field, from its focus gain to its focus loss. One capture at a time.
//
// Each committed conversion yields its reading once, in order, as half-width katakana: the
// last all-kana composition before the commit, or the commit itself when it is all kana.
void StartReadingCapture(QLineEdit* field);
void StopReadingCapture();
// The readings captured since the last start; kept after the stop for the caller to read.
QString ReadingText();
