#pragma once

#include <QString>

#include <cstdint>

// The characters "0" to "9" of the text, in order; everything else is dropped.
QString NumOnly(const QString& text);

// Folds half-width kana for reading comparisons: voiced marks dropped, small kana made large.
QString KanaNormalize(const QString& text);

// Removes leading and trailing U+0020 only, as the screens trim their fields.
QString TrimBlank(const QString& text);

// Narrow (half-width) characters to their wide forms: ASCII, the blank, half-width katakana.
QString ToWide(const QString& text);

// Hiragana and full-width katakana (and full-width ASCII) to half-width katakana, voiced marks split.
QString ToHalfKatakana(const QString& text);

// Whether every character is kana (hiragana, katakana of either width) or the prolonged mark.
bool IsKanaOnly(const QString& text);
