#pragma once

#include <string>

// Cell references in the A1 style of the sheet parts. Rows and columns count from 1.

inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxSheetColumns = 16384;

// Reads "B12"; false when the text is not exactly a column and a row within the sheet's limits.
bool ParseCellRef(const char* ref, int& row, int& column);

void AppendColumnName(std::string& out, int column);
std::string CellName(int row, int column);
