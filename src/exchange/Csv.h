#pragma once

#include "core/FileSave.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Comma-separated files as spreadsheet and postcard programs read and write them: fields quoted
// where they hold the separator, a quote or a line break, a quote inside doubled, lines ended by
// CR LF.

enum class CsvEncoding { Cp932, Utf8Bom };

// The rows as the file's text.
QString CsvText(const std::vector<QStringList>& rows);

// A field that CP932 cannot hold: its row (0 = the heading row) and column.
struct CsvUnheld
{
    qsizetype row;
    qsizetype column;
};
std::vector<CsvUnheld> Cp932Unheld(const std::vector<QStringList>& rows);

// Writes the rows through the program's one way of saving (FileSave), so that a failed write
// leaves an existing file as it was; `existing` says whether a file of the name may be replaced.
// Returns the path written. Throws QelError, also when CP932 is asked for and cannot hold a field
// (the caller checks with Cp932Unheld first).
QString WriteCsvFile(const QString& path, const std::vector<QStringList>& rows, CsvEncoding encoding,
                     FileSave::Existing existing);

// One record of a file read back: the line it starts on (1 for the first) and its fields as the
// file's bytes, quotes removed.
struct CsvRecord
{
    int line = 0;
    std::vector<QByteArray> fields;
};

// The separator of the first line: a tab when it holds more tabs than commas outside quotes.
char GuessSeparator(const QByteArray& data);

// Splits bytes of an ASCII-compatible encoding (UTF-8 or CP932, whose second bytes are never a
// quote, separator or line end) into records. A quote opens a quoted field only at the start of a
// field; elsewhere it is an ordinary character. Line ends CR LF, LF or CR. Throws QelError when a
// quoted field is not closed, naming the line where it opened.
std::vector<CsvRecord> ParseCsv(const QByteArray& data, char separator);
