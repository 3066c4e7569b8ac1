#pragma once

#include "ZipPackage.h"

#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

class QTemporaryFile;

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

// Throws QelError for a cell outside the sheet.
void CheckCell(int row, int column);

// The rows are written out in order as they are finished, so that a long sheet is not held in
// memory: what is written out goes to a temporary file beside the workbook once it grows.
class SheetData
{
  public:
    SheetData();
    ~SheetData();

    // Takes the rows out of the worksheet element, leaving a marker where they go back. The
    // temporary file, when one is needed, is made from spillTemplate (QTemporaryFile's pattern).
    void load(pugi::xml_node worksheet, const QString& spillTemplate);
    // Reads the column ranges again, after the cols element changed.
    void loadColumns();
    const std::vector<ColumnRange>& columns() const { return m_columns; }

    // The cell, made with the row's or the column's format when it is new. Throws QelError
    // for a row already written out.
    DataCell& cellAt(int row, int column);
    // The cells of a column still held, for a change of their format.
    template <class F> void forEachInColumn(int column, F&& f);

    // Rows above this one are complete: they are written out and let go.
    void finishRowsBefore(int row);
    int finishedRows() const { return m_base; }

    // The worksheet part with the rows back in place and its dimension brought up to date.
    // The part's file, if any, lasts until clear().
    PartText serialize(const pugi::xml_document& sheetXml);
    void clear();

  private:
    static constexpr std::size_t kSpillSize = 4 << 20;

    int columnStyle(int column) const;
    void appendRow(int number, const DataRow& row);
    void spill();

    pugi::xml_node m_worksheet;
    QString m_spillTemplate;
    std::vector<DataRow> m_rows; // from row m_base + 1 on
    int m_base = 0;
    std::vector<ColumnRange> m_columns;
    std::string m_spill;
    std::unique_ptr<QTemporaryFile> m_spillFile;
    int m_minRow = 0, m_maxRow = 0, m_minColumn = 0, m_maxColumn = 0;
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
