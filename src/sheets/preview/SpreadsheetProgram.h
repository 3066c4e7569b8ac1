#pragma once

#include <QString>

// The desktop entry of the program that opens the file's type, as the desktop chooses it: the
// user's default application for the type (mimeapps.list), else an installed one that takes it.
// Empty when there is none.
QString ProgramFor(const QString& path);

// Hands the workbook to the desktop's spreadsheet program. When none is installed or none can be
// started, a warning box captioned `caption` says so and where the workbook lies.
void OpenInSpreadsheet(const QString& caption, const QString& path);
