#pragma once

#include "customers/CustomerStore.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// A file of customers read for the import: the headings of its first row and the rows below.
struct ImportSource
{
    struct Line
    {
        int line = 0; // where the row starts in the file (1 for the first line)
        QStringList cells;
        QString problem; // an unreadable row: why
    };
    QString kind; // what was read, for the screen: "CSV（Shift_JIS・カンマ区切り）", ...
    QStringList headings;
    std::vector<Line> lines;
};

// The largest file the import reads: a hundred thousand customers fit many times over.
constexpr qint64 kImportMaxBytes = 32 * 1024 * 1024;

// Reads a CSV (CP932 or UTF-8 with or without a byte-order mark, UTF-16 with one; comma or tab
// separated) or the first sheet of an .xlsx workbook. A file over maxBytes, a binary file, an
// empty one, a CSV with an unclosed quote, a workbook without a sheet or an old .xls is refused
// with a QelError that says why; a larger file is refused after reading no more than maxBytes.
ImportSource ReadImportFile(const QString& path, qint64 maxBytes = kImportMaxBytes);

// The customer fields an import fills, numbered as the entry screens number their rows:
// name, reading, postal code, prefecture, city, building, telephone, mobile, fax, mail, remarks;
// then the birthday and the mail wish.
enum ImportField {
    FieldName,
    FieldReading,
    FieldPostalCode,
    FieldPrefecture,
    FieldCity,
    FieldBuilding,
    FieldPhone,
    FieldMobile,
    FieldFax,
    FieldMail,
    FieldRemarks,
    FieldBirthday,
    FieldDm,
    kImportFields
};
using ImportColumns = std::array<int, kImportFields>; // the file's column of each field, -1: none

QString ImportFieldName(int field);
// The entry limit of the field (characters), 0 for the prefecture.
int ImportFieldLimit(int field);
// Each field's column, guessed from the headings and their usual synonyms; each column serves
// one field at most.
ImportColumns GuessColumns(const QStringList& headings);

enum class ImportStatus { Import, Duplicate, Error, CheckReading };
QString ImportStatusText(ImportStatus status);

struct ImportRow
{
    int line = 0;
    std::array<QString, kImportFields> values; // as shown and stored (cut when cutting is chosen)
    int prefecture = 0;                        // the number found for the prefecture text
    ImportStatus status = ImportStatus::Import;
    QString reason;
    bool ticked = false;   // to be stored
    bool tickable = false; // an error row cannot be ticked
};

struct ImportCounts
{
    int rows = 0;
    int toStore = 0;
    int duplicates = 0;
    int errors = 0;
    int checkReading = 0;
};

// The preview of an import: every row of the file with its values made ready as the entry
// screens make them, its status and whether it is to be stored. Columns, the cutting of long
// fields, ticks and edits of single values can be changed; each change evaluates the rows again.
class CustomerImport
{
  public:
    struct Setting
    {
        QStringList prefectures;      // names by number, as Tb_都道府県 holds them
        int defaultPrefecture = 0;    // for rows without one, as registration preselects it
        std::vector<Customer> stored; // the customers already stored
        std::function<QString(const QString& name)> reading; // a reading suggested for a name
    };

    CustomerImport(ImportSource source, Setting setting);

    const ImportSource& source() const { return m_source; }
    const ImportColumns& columns() const { return m_columns; }
    void setColumns(const ImportColumns& columns);
    bool cutLong() const { return m_cutLong; }
    void setCutLong(bool cut);
    // Ticking a duplicate stores it after all; an error row cannot be ticked.
    void setTicked(int row, bool ticked);
    // A value corrected in the preview, made ready as the file's values are; a corrected reading
    // needs no more checking.
    void setValue(int row, int field, const QString& text);

    const std::vector<ImportRow>& rows() const { return m_rows; }
    ImportCounts counts() const;
    // The rows to store, in file order.
    std::vector<Customer> accepted() const;

  private:
    struct Entry
    {
        std::array<QString, kImportFields> values; // before the limits
        std::optional<bool> tick;                  // the user's choice
        bool readingSuggested = false;
        bool readingConfirmed = false;
    };
    void BuildProc();
    void EvaluateProc();
    void SuggestReading(Entry& entry) const;

    ImportSource m_source;
    Setting m_setting;
    ImportColumns m_columns{};
    bool m_cutLong = false;
    std::vector<Entry> m_entries;
    std::vector<ImportRow> m_rows;
    // Identities of the stored customers: name with telephone, name with postal code.
    QHash<QString, QString> m_storedIds;
};

// A field's text made ready for storing as the entry screens make what is typed: one line, blanks
// at the ends removed, narrow digits and letters in the direct-input fields, the reading in
// half-width katakana, no "〒" before a postal code; a birthday as "1980/04/15" or "04/15" and a
// mail wish as "送る" or "送らない" where they can be read (what cannot stays as it is, an error).
QString ImportValue(int field, const QString& text);
