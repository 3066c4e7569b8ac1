#pragma once

#include <QString>

// A cell value as a number format code shows it: the General format, grouped and fixed
// decimals with literal text around them, and dates with Western and era tokens.
QString FormatCellNumber(double value, const QString& formatCode);

// Whether the code shows a number as a date.
bool IsDateFormat(const QString& formatCode);

// The number formats known by their id without being listed in the workbook. The reader
// shows an id by its code ("General" for one it does not know); the writer refers to a code
// by its id only where that id means the same everywhere (-1 otherwise): 14, the short date,
// follows the reader's locale and is written as a code of its own.
QString BuiltInNumberFormat(int id);
int BuiltInNumberFormatId(const QString& code);
