#pragma once

#include <pugixml.hpp>

#include <string>
#include <vector>

// The cells of the worksheet being written, kept as the text they are written as. The
// template's cells are taken over as they stand; written cells replace them.
struct DataCell
{
    enum Kind : unsigned char { Blank, Number, Text, TextPreserved, Raw };
    int column = 0;
    int style = 0;
    Kind kind = Blank;
    std::string body; // number digits, escaped text, or for Raw everything after the style
};

struct DataRow
{
    std::string attributes; // as written, without r and spans
    int style = -1;         // the row's own format, when it has one
    std::vector<DataCell> cells;
};

struct ColumnRange
{
    int min, max;
    pugi::xml_node node;
};

// Throws SheetError for a cell outside the sheet.
void CheckCell(int row, int column);

class SheetData
{
  public:
    // Takes the rows out of the worksheet element, leaving a marker where they go back.
    void load(pugi::xml_node worksheet);
    // Reads the column ranges again, after the cols element changed.
    void loadColumns();
    const std::vector<ColumnRange>& columns() const { return m_columns; }

    // The cell, made with the row's or the column's format when it is new.
    DataCell& cellAt(int row, int column);
    // The cells of a column that exist, for a change of their format.
    template <class F> void forEachInColumn(int column, F&& f);

    // The worksheet part with the rows back in place and its dimension brought up to date.
    std::string serialize(const pugi::xml_document& sheetXml);
    void clear();

  private:
    int columnStyle(int column) const;

    pugi::xml_node m_worksheet;
    std::vector<DataRow> m_rows;
    std::vector<ColumnRange> m_columns;
};

template <class F> void SheetData::forEachInColumn(int column, F&& f)
{
    for (DataRow& row : m_rows) {
        for (DataCell& cell : row.cells) {
            if (cell.column == column)
                f(cell);
        }
    }
}
