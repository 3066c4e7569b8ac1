#pragma once

#include <QString>
#include <QStringList>

// The reading of a Japanese text from the dictionary, as half-width katakana the way the
// reading fields store it (words joined; a blank between words of the text kept as one half-width blank).
// Empty when the dictionary is not installed or the text has no reading it can give. The reading
// holds half-width katakana and blanks only, whatever the text holds (variation selectors, signs).
QString DictionaryReading(const QString& text);
// Every reading the dictionary has for the text as one word (市: ｼ and ｲﾁ), as half-width katakana;
// empty when it has no such word.
QStringList DictionaryWordReadings(const QString& word);
// Whether the dictionary could be opened (tests and screens may say so).
bool DictionaryAvailable();
