#pragma once

#include "sheets/SheetReader.h"

#include <QSizeF>

#include <utility>
#include <vector>

class QPainter;
class QPrinter;

// Lays out a sheet on paper as the spreadsheet applications print it: the page setup's
// paper, margins and scale, the print titles on every page, pages down then across, and
// the page headers and footers.
class SheetPrintout
{
  public:
    explicit SheetPrintout(SheetModel model);

    // Paper, orientation and full-page mode from the sheet's page setup.
    void applyPageSetup(QPrinter& printer) const;

    // For paper of this size in points (the sheet's own paper when empty).
    int pageCount(QSizeF paper = {}) const;
    // Draws one page (from 0) on a device whose origin is the paper's top-left corner.
    void paintPage(QPainter& painter, int page, QSizeF paper = {}) const;
    // Every page, on the printer's paper.
    void print(QPrinter* printer) const;

    const SheetModel& model() const { return m_model; }

  private:
    struct Layout
    {
        double scale = 1;
        std::vector<std::pair<int, int>> columnGroups, rowPages;
        int pages() const { return int(columnGroups.size() * rowPages.size()); }
    };
    Layout layoutFor(QSizeF paper) const;
    QSizeF sheetPaper() const;
    double columnPoints(int column) const;

    SheetModel m_model;
    int m_lastRow = 0, m_lastColumn = 0;
};
