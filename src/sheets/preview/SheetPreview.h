#pragma once

#include <QString>

#include <functional>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

// A print preview of what `paint` draws on the printer, maximized (a large window where no window
// manager maximizes it), shown through the dialog service until the user closes it. `extend`
// may add to the dialog (a toolbar action) before it is shown.
void ShowPrintPreview(QWidget* parent, QPrinter& printer, const QString& title,
                      const std::function<void(QPrinter*)>& paint,
                      const std::function<void(QPrintPreviewDialog&)>& extend = {});

// The print preview of a written workbook as read back from disk. It returns when the user
// closes it; then "前の画面に戻ります". A workbook that cannot be read shows a warning in place
// of the preview, and the message follows all the same.
void PreviewWorkbook(QWidget* parent, const QString& path);
