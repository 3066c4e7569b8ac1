#pragma once

#include <QString>

#include <cstdint>

// Reads one key of a private-profile file: section and key names ignore case, the value is the
// text after "=", at most 255 bytes in CP932, leading blanks removed. The file is CP932, or UTF-8
// (with a byte-order mark, or valid and not plain ASCII), or UTF-16 with its byte-order mark.
// Returns whether a non-empty value was found; `value` is empty otherwise.
bool GetIniString(const QString& path, const QString& section, const QString& key, QString& value);

// The integer rule of the settings: the leading numeric part of the text as a decimal number,
// rounded to the nearest integer with ties to even. A text without a number gives 0, and so does
// a number outside the 16-bit range.
std::int16_t IniInteger(const QString& text);
