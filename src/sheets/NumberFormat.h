#pragma once

#include <QString>

// A cell value as a number format code shows it: the General format, grouped and fixed
// decimals with literal text around them, and dates with Western and era tokens.
QString FormatCellNumber(double value, const QString& formatCode);

// Whether the code shows a number as a date.
bool IsDateFormat(const QString& formatCode);
