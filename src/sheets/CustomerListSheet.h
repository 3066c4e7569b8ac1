#pragma once

#include "sheets/TemplateSheet.h"

#include <QString>

#include <cstdint>

// One customer as the customer-list workbook shows it: the fields as stored (not trimmed),
// the prefecture already turned into its name by the screen.
struct CustomerListRow
{
    QString reading;
    QString postalCode; // without "〒"
    QString mobile;
    QString name;
    QString prefecture;
    QString city;
    QString phone;
    QString remarks; // whole; the writer splits it
    QString mail;
    QString building;
    QString fax;
};

// The customer-list workbook "顧客一覧.xlsx", made from "顧客一覧オリジナル.xlsx": three rows a
// customer from row 4 on, each block lined, the centre header and the sheet name "顧客一覧".
// A screen writes it through WorkbookRun (sheets/preview), each call one step. Every failure
// throws QelError; open() and writeRows() refuse too many customers as a last guard. Until
// save() the target is not there; the copy is removed if the writer is dropped unsaved.
class CustomerListSheet : public TemplateSheet
{
  public:
    static inline const QString kTemplateFile = QStringLiteral("顧客一覧オリジナル.xlsx");
    static inline const QString kFileName = QStringLiteral("顧客一覧.xlsx");
    static inline const QString kTitle = QStringLiteral("顧客一覧");
    // Rows 1 to 3 are the template's; a sheet has 1,048,576 rows.
    static constexpr std::int64_t kMaxCustomers = (1048576 - 3) / 3;

    // The template in the application folder, the target in the DataPath folder.
    CustomerListSheet();
    CustomerListSheet(QString templatePath, QString targetPath);

    // Why these many customers cannot go into one sheet, for the screen to show before any
    // file is touched; empty when they can. open() refuses them too.
    static QString tooManyMessage(std::int64_t customers);

    // Deletes an existing target and opens a fresh copy of the template; with the number of
    // customers given, refuses too many before touching any file.
    void open(std::int64_t customers = 0);
    // The centre header: the step whose failure (no printer) lets the output go on.
    void writePageSetup();
    // The sheet name, then one block per row at row 3i + 1, reporting progress after blocks.
    // Returns the number of customers written.
    std::int64_t writeRows(SheetRows<CustomerListRow> rows, const SheetProgress& progress = {});
};

// The remark split over the two lines of a block: characters 1-10 and 11-20, counted in code
// points; a surrogate pair is never cut, and a combining mark stays with the character it
// marks (the cut moves after it).
struct RemarkLines
{
    QString first, second;
};
RemarkLines SplitRemarks(const QString& remarks);
