#pragma once

#include <QString>

class InputBehaviour;
class QLineEdit;

// Captures the readings of what the user commits through the input method into one name
// field, from its focus gain to its focus loss. One capture at a time.
//
// Each committed conversion yields its reading once, in order, as half-width katakana: the kana
// of the composition it converted (also when converted to letters, NTT or ｙａｍａｄａ; a pending
// romaji n counting as ん), or the commit itself when it is all kana. A conversion committed in
// parts gives each part's reading once; a conversion of text taken out of the name again
// (re-conversion) keeps that text's reading. Blanks between words give one half-width blank
// between their readings. The capture follows the edits of the name: a run of committed text that
// is deleted whole takes its reading with it, a run cut into keeps the part of its reading that the
// dictionary's readings of what was taken out, or a conversion put in its place, tell apart (市ヶ谷
// ｲﾁｶﾞﾔ with 市 corrected to 一: ｲﾁｶﾞﾔ), and the readings come in the order of the text. A ヶ typed
// as kana reads ｶﾞ, not ｹ, and needs a look. A composition abandoned without a commit yields nothing.
void StartReadingCapture(QLineEdit* field);
void StopReadingCapture();
// The readings captured since the last start; kept after the stop for the caller to read.
QString ReadingText();
// Whether the captured reading may be short of the name's: a prediction chosen (its reading
// goes on beyond the kana typed), a conversion over part of a committed run whose reading cannot
// be told apart, a conversion put before the text the field had, text entered without the input
// method (pasted, typed with it off), letters committed as typed and a ヶ typed as kana. What is
// known is kept all the same.
bool ReadingNeedsLook();

// Stops the capture, puts the reading field in mode 6 and appends what was captured to it: what
// leaving a name field does. A reading that needs a look, or one the field cannot hold whole, is
// marked: the field turns yellow with the hint "フリガナを確認してください" until the user has been
// in it or its text changes.
void AppendCapturedReading(QLineEdit* reading);
bool ReadingMarked(const QLineEdit* reading);

// The whole protocol of a name field and its reading field, through the name field's focus
// hooks: on focus gain the text is selected and the capture starts; on focus loss it stops,
// the reading field is put in mode 6 and the captured reading is appended to it. Where the
// reading needs a look, the parts of the name whose reading the input method could not tell
// take the dictionary's reading (DictionaryReading), as does the whole word of a ヶ typed as kana,
// and the field stays marked; readings captured from the input method are kept. A reading typed
// before the name (the name empty as it gained the focus) is the user's: it is kept, never
// joined to the captured one, and marked where that differs. When the name the field had is
// replaced whole (letters typed over it), its reading goes with it: the reading becomes what can
// be known of the new name. With `emptyNameEmptiesReading`, a change that leaves the name empty
// empties the reading at once.
void AttachReadingCapture(InputBehaviour& input, QLineEdit* name, QLineEdit* reading,
                          bool emptyNameEmptiesReading = true);
