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

// The rows as the file's text. A field of a text column that a spreadsheet program would take for
// a formula (it begins with =, +, -, @, a tab or a carriage return) gets an apostrophe in front,
// the mark by which spreadsheets keep what follows as text; so does one that begins with an
// apostrophe, so that CsvFieldText can always take one away. Numeric columns are written as they
// are (a negative amount stays a number).
QString CsvText(const std::vector<QStringList>& rows, const QList<int>& numericColumns = {});
// A field read back from a file: the apostrophe that CsvText put in front of a field taken away.
QString CsvFieldText(const QString& field);

// A field that CP932 cannot hold: its row (0 = the heading row) and column.
struct CsvUnheld
{
    qsizetype row;
    qsizetype column;
};
std::vector<CsvUnheld> Cp932Unheld(const std::vector<QStringList>& rows);

// Writes the rows through the program's one way of saving (FileSave), so that a failed write
// leaves an existing file as it was; `existing` says whether a file of the name may be replaced.
// Text that a spreadsheet would take for a formula is written as text (see CsvText); the numeric
// columns are written as they are. Returns the path written. Throws QelError, also when CP932 is
// asked for and cannot hold a field (the caller checks with Cp932Unheld first).
QString WriteCsvFile(const QString& path, const std::vector<QStringList>& rows, CsvEncoding encoding,
                     FileSave::Existing existing, const QList<int>& numericColumns = {});

// One record of a file read back: the line it starts on (1 for the first) and its fields as the
// file's bytes, quotes removed.
struct CsvRecord
{
    int line = 0;
    std::vector<QByteArray> fields;
};

// The separator of the first line: a tab when it holds more tabs than commas outside quotes.
char GuessSeparator(const QByteArray& data);

// The most a record read back may hold; past it the reading stops with a QelError of the kind
// TooLarge that names the line.
struct CsvLimits
{
    qsizetype recordBytes = 1 << 20;
    qsizetype fields = 256;
};

// Splits bytes of an ASCII-compatible encoding (UTF-8 or CP932, whose second bytes are never a
// quote, separator or line end) into records, one at a time, so that a reader never holds more
// than one record beside the bytes. A quote opens a quoted field only at the start of a field;
// elsewhere it is an ordinary character. Line ends CR LF, LF or CR.
class CsvReader
{
  public:
    CsvReader(const QByteArray& data, char separator, CsvLimits limits = {});
    // The next record; false at the end. Throws QelError: Malformed when a quoted field is not
    // closed (naming the line where it opened), TooLarge past a limit.
    bool next(CsvRecord& record);
    // How many of the bytes have been read.
    qsizetype position() const { return m_pos; }

  private:
    const QByteArray& m_data;
    char m_separator;
    CsvLimits m_limits;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// Every record at once, without limits.
std::vector<CsvRecord> ParseCsv(const QByteArray& data, char separator);
