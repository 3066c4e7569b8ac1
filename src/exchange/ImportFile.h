#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What the import takes from a file at most. Past any of these the file is refused with a QelError
// of the kind TooLarge that says what was too large, before it can take memory: a file of the
// largest size keeps the import to a few hundred megabytes, whatever it holds.
constexpr qint64 kImportMaxBytes =
    32 * 1024 * 1024;                  // the file; a hundred thousand customers fit many times over
constexpr int kImportMaxRows = 100000; // rows that hold something, the headings' included
constexpr int kImportMaxColumns = 256;
constexpr int kImportMaxCellChars = 32767;            // a spreadsheet cell's own limit
constexpr qsizetype kImportMaxTextChars = 64 << 20;   // the text of every cell together
constexpr int kImportMaxSharedStrings = 4000000;      // the texts a workbook lists once
constexpr qsizetype kImportMaxSharedChars = 32 << 20; // and their characters
constexpr qsizetype kImportMaxLineBytes = 1 << 20;    // one record of a CSV file

// How far a long step has come, 0 to 100; it may throw to stop the step.
using ImportProgress = std::function<void(int percent)>;

// A file of customers as read for the import: every row that holds something, in file order.
struct ImportSource
{
    // One row; its cells are kept one after another in one text, so that a row of many empty
    // cells costs little.
    class Line
    {
      public:
        int line = 0;    // where the row starts in the file (1 for the first line)
        QString problem; // an unreadable row: why

        qsizetype size() const { return qsizetype(m_ends.size()); }
        // The cell's text; empty beyond the row's last cell.
        QString cell(qsizetype column) const;
        QStringList cells() const;
        void append(QStringView text);
        // Whether every cell is empty or blanks only.
        bool blank() const;
        qsizetype chars() const { return m_text.size(); }

      private:
        QString m_text;
        std::vector<qint32> m_ends;
    };
    QString kind;   // what was read, for the screen: "CSV（Shift_JIS・カンマ区切り）", ...
    QString notice; // what the reading found worth telling (a byte-order mark that lies, ...)
    std::vector<Line> lines;
};

// Reads a CSV (CP932 or UTF-8 with or without a byte-order mark, UTF-16 with one or, told so,
// without; comma or tab separated) or the first sheet of an .xlsx workbook, streamed. Blank rows
// are left out. A file over maxBytes, a binary file, an empty one, a CSV with an unclosed quote, a
// workbook without a sheet, an old .xls, or a file past one of the limits above is refused with a
// QelError that says why.
ImportSource ReadImportFile(const QString& path, const ImportProgress& progress = {},
                            qint64 maxBytes = kImportMaxBytes);
