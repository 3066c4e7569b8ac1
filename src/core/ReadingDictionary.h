#pragma once

#include <QString>

// The reading of a Japanese text from the dictionary, as half-width katakana the way the
// reading fields store it (words joined; a blank between words of the text kept as one half-width blank).
// Empty when the dictionary is not installed or the text has no reading it can give. The reading
// holds half-width katakana and blanks only, whatever the text holds (variation selectors, signs).
QString DictionaryReading(const QString& text);
// Whether the dictionary could be opened (tests and screens may say so).
bool DictionaryAvailable();
