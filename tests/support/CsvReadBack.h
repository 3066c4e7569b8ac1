#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A CSV file as LibreOffice reads it (every column as text, in the given LibreOffice encoding
// number: 76 UTF-8, 64 Shift_JIS), converted to .xlsx and read back cell by cell. Empty when
// LibreOffice is not installed; the test then skips.
std::vector<QStringList> LibreOfficeCells(const QString& csvPath, int encoding, int columns);
bool LibreOfficeInstalled();
