#pragma once

#include <QString>

// The desktop entry of an installed program that opens the file's type, as the desktop's opener
// finds it: an application entry of the applications folders below XDG_DATA_HOME and
// XDG_DATA_DIRS (the first one of an id counts) that lists the type and whose program is there.
// Empty when there is none.
QString ProgramFor(const QString& path);

// Hands the workbook to the desktop's spreadsheet program. When none is installed or none can be
// started, a warning box captioned `caption` says so and where the workbook lies.
void OpenInSpreadsheet(const QString& caption, const QString& path);
