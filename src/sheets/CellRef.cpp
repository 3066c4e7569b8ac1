#include "CellRef.h"

bool ParseCellRef(const char* ref, int& row, int& column)
{
    column = 0;
    row = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z' && column <= kMaxSheetColumns)
        column = column * 26 + (*p++ - 'A' + 1);
    while (*p >= '0' && *p <= '9' && row <= kMaxSheetRows)
        row = row * 10 + (*p++ - '0');
    return *p == '\0' && row > 0 && column > 0 && row <= kMaxSheetRows && column <= kMaxSheetColumns;
}

void AppendColumnName(std::string& out, int column)
{
    char letters[4];
    int n = 0;
    while (column > 0 && n < 4) {
        const int digit = (column - 1) % 26;
        letters[n++] = char('A' + digit);
        column = (column - 1) / 26;
    }
    while (n > 0)
        out += letters[--n];
}

std::string CellName(int row, int column)
{
    std::string out;
    AppendColumnName(out, column);
    out += std::to_string(row);
    return out;
}
