#pragma once

#include "sheets/PageHeader.h"

#include <QString>

#include <map>
#include <vector>

// A written workbook read back from disk: what its first sheet shows and how it prints.
// The print preview draws it; tests look at it.

struct SheetFont
{
    QString name;
    double size = 11;
    bool bold = false;
    bool italic = false;
};

struct SheetBorder
{
    bool left = false, right = false, top = false, bottom = false;
};

struct SheetFormat
{
    int font = 0;
    int border = 0;
    QString numberFormat; // the format code; "General" when none
    QString horizontal;   // as in the file: "", "left", "center", "right", ...
    QString vertical;     // "" means bottom
    bool wrap = false;
};

struct SheetCell
{
    QString text;
    double number = 0;
    bool isNumber = false;
    int style = 0;
};

struct SheetPage
{
    int paperSize = 9; // the OOXML paper codes: 9 = A4
    bool landscape = false;
    int scale = 100;
    bool fitToPage = false;
    int fitToWidth = 1, fitToHeight = 1;
    // In inches, as the file keeps them.
    double left = 0.7, right = 0.7, top = 0.75, bottom = 0.75, header = 0.3, footer = 0.3;
};

struct SheetModel
{
    QString fileName;
    QString sheetName;
    std::map<int, std::map<int, SheetCell>> rows; // row -> column -> cell
    struct ColumnWidth
    {
        int min, max;
        double width;
        bool hidden;
        int style;
    };
    std::vector<ColumnWidth> columns;
    double defaultColumnWidth = 8.43;
    std::map<int, double> rowHeights; // points
    double defaultRowHeight = 15;
    std::vector<SheetFont> fonts;
    std::vector<SheetBorder> borders;
    std::vector<SheetFormat> formats;
    QString oddHeader, oddFooter;
    int titleFirstRow = 0, titleLastRow = 0; // print titles; 0 when none
    SheetPage page;
    QString topLeftCell, activeCell;
    QString dimension;

    const SheetCell* cell(int row, int column) const;
    const SheetFormat& format(int style) const;
    const SheetFont& font(int style) const;
    const SheetBorder& border(int style) const;
    double columnWidth(int column) const; // in characters; 0 when hidden
    int columnStyle(int column) const;
    double rowHeight(int row) const; // in points
    // The cell's value as the sheet shows it.
    QString displayText(const SheetCell& cell) const;
    int lastRow() const;
    int lastColumn() const;
};

// Throws QelError: NotFound, NotAWorkbook, NoSheet or TooLarge.
SheetModel ReadWorkbook(const QString& path);

// A workbook's text with its "_xHHHH_" escapes turned back into the characters they stand for.
QString UnescapeX(const QString& text);
