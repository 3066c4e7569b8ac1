#pragma once

#include <QString>

class InputBehaviour;
class QLineEdit;

// Captures the readings of what the user commits through the input method into one name
// field, from its focus gain to its focus loss. One capture at a time.
//
// Each committed conversion yields its reading once, in order, as half-width katakana: the
// last all-kana composition before the commit, or the commit itself when it is all kana.
// A composition abandoned without a commit yields nothing.
void StartReadingCapture(QLineEdit* field);
void StopReadingCapture();
// The readings captured since the last start; kept after the stop for the caller to read.
QString ReadingText();

// Stops the capture, puts the reading field in mode 6 and appends what was captured to it: what
// leaving a name field does.
void AppendCapturedReading(QLineEdit* reading);

// The whole protocol of a name field and its reading field, through the name field's focus
// hooks: on focus gain the text is selected and the capture starts; on focus loss it stops,
// the reading field is put in mode 6 and the captured reading is appended to it. With
// `emptyNameEmptiesReading`, a change that leaves the name empty empties the reading at once.
void AttachReadingCapture(InputBehaviour& input, QLineEdit* name, QLineEdit* reading,
                          bool emptyNameEmptiesReading = true);
