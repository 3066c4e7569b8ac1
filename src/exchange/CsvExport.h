#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class FormBase;

// Writes rows (the first is the heading row) to a CSV file as a screen's "CSV出力…" does: the save
// dialog in the folder last used (ChooserFolder) with the suggested name and the encoding as the
// file type (Shift_JIS first), UTF-8 offered when Shift_JIS cannot hold a field (the rows and
// fields named), the file written, and the completion box naming the subject and the file, with
// its folder a click away. A failure is shown in the form's failure box. Text that a spreadsheet
// would take for a formula is written as text (see CsvText); the numeric columns are written as
// they are. Returns the path written, empty when nothing was.
QString ExportCsv(FormBase* screen, const QString& subject, const QString& fileName,
                  const std::vector<QStringList>& rows, const QList<int>& numericColumns = {});
