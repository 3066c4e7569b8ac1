#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A CSV file as LibreOffice reads it (every column as text, or as its default options read it, in
// the given LibreOffice encoding number: 76 UTF-8, 64 Shift_JIS), converted to .xlsx and read back
// cell by cell as shown. Empty when LibreOffice is not installed.
std::vector<QStringList> LibreOfficeCells(const QString& csvPath, int encoding, int columns,
                                          bool asText = true);
bool LibreOfficeInstalled();
