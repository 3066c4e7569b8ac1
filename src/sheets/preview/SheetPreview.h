#pragma once

#include <QString>

class QWidget;

// The print preview of a written workbook as read back from disk. It returns when the user
// closes it; then "前の画面に戻ります". A workbook that cannot be read shows a warning in place
// of the preview, and the message follows all the same.
void PreviewWorkbook(QWidget* parent, const QString& path);
