#pragma once

#include "exchange/SheetReader.h"

#include <QColor>
#include <QSizeF>

#include <utility>
#include <vector>

class QFontMetricsF;
class QPainter;
class QPrinter;

// Lays out a sheet on paper as the spreadsheet applications print it: the page setup's
// paper, margins and scale (the header and footer bands scaled with the cells), rows of the
// sheet's default height where they declare none, the print titles on every page, pages
// down then across, and the page headers and footers.
class SheetPrintout
{
  public:
    // `fills`: the background colour of each cell format (ReadCellFills), invalid where none.
    explicit SheetPrintout(SheetModel model, std::vector<QColor> fills = {});
    // The workbook on disk, with its fills.
    static SheetPrintout fromFile(const QString& path);

    // Paper, orientation and full-page mode from the sheet's page setup.
    void applyPageSetup(QPrinter& printer) const;

    // For paper of this size in points (the sheet's own paper when empty).
    int pageCount(QSizeF paper = {}) const;
    // The scale the cells are printed at.
    double scale(QSizeF paper = {}) const;
    // From the paper's top edge to the first row, in points, at that scale.
    double cellsTop(double scale) const;
    // Draws one page (from 0) on a device whose origin is the paper's top-left corner.
    void paintPage(QPainter& painter, int page, QSizeF paper = {}) const;
    // Every page, on the printer's paper.
    void print(QPrinter* printer) const;

    const SheetModel& model() const { return m_model; }
    // A column's printed width in points at 100%: its width in digits of the workbook's
    // default font.
    double columnPoints(int column) const;

    // A number's text as a cell of this width (in the metrics' units) shows it: whole, or, when
    // it does not fit, as many "#" as fill the cell, as the spreadsheet programs do.
    static QString fittedNumber(const QString& text, const QFontMetricsF& metrics, double width);

  private:
    struct Layout
    {
        double scale = 1;
        std::vector<std::pair<int, int>> columnGroups, rowPages;
        int pages() const { return int(columnGroups.size() * rowPages.size()); }
    };
    Layout layoutFor(QSizeF paper) const;
    QSizeF sheetPaper() const;
    // A header's or footer's band between the paper's margin and the cells, in sheet points.
    double bandPoints(double margin, double edge) const;

    QColor fillOf(int style) const;

    SheetModel m_model;
    std::vector<QColor> m_fills;
    int m_lastRow = 0, m_lastColumn = 0;
    double m_characterPoints = 7, m_headerLinePoints = 0;
};
