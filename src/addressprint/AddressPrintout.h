#pragma once

#include "AddressLayout.h"

#include <QFont>
#include <QHash>

class QPainter;
class QPrinter;

// Draws the pages of an address run as the layout places them, on a printer, the preview's
// printer or a picture: what the preview shows is what prints.
class AddressPrintout
{
  public:
    // `redBoxes`: the postal-code boxes drawn in red, for postcards without printed boxes.
    AddressPrintout(const AddressLayout& layout, bool redBoxes);

    // The run's paper, portrait, with the whole sheet as the page: the layout's millimetres are
    // measured from the paper's edge.
    void setUpPrinter(QPrinter& printer) const;
    // Every page, one after the other.
    void print(QPrinter* printer) const;
    // One page on a painter whose device is `pixelsPerMm` and starts at the paper's corner.
    void paintPage(QPainter& painter, int page, double pixelsPerMm) const;
    // The whole run as a PDF file; false when the file cannot be written.
    bool writePdf(const QString& path, const QString& title) const;

  private:
    const AddressLayout& m_layout;
    bool m_redBoxes;
    // Fonts by kind and pixel size, made once for the run.
    mutable QHash<int, QFont> m_fonts;
    mutable QHash<QString, double> m_advances;
};
