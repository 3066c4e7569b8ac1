#pragma once

#include <QColor>
#include <QString>

#include <vector>

// The background colour of each cell format (by its index in the workbook's styles), invalid
// where the format has no solid fill. A workbook that cannot be read has none.
std::vector<QColor> ReadCellFills(const QString& path);
