#pragma once

#include "ImportFile.h"

#include "customers/CustomerStore.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

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
// Each field's column, guessed from the headings and their usual synonyms, Japanese and English;
// each column serves one field at most. A second column of the telephone or the address heading
// goes to the mobile or the building when those have none.
ImportColumns GuessColumns(const QStringList& headings);

// Splits an address at the end of its house number ("1-2-3", "1丁目2番3号", "123番地の4", or a
// number before a blank): the part up to it, and the rest (a building, a room), never inside a
// word. Without a house number the address stays whole.
std::pair<QString, QString> SplitAddress(const QString& address);

enum class ImportStatus { Import, Duplicate, Error, CheckReading, CheckPrefecture };
QString ImportStatusText(ImportStatus status);

struct ImportRow
{
    int line = 0;
    std::array<QString, kImportFields> values; // as shown and stored (cut when cutting is chosen)
    int prefecture = 0;                        // the number found for the prefecture text
    ImportStatus status = ImportStatus::Import;
    QString reason;
    bool ticked = false;            // to be stored
    bool tickable = false;          // an error row, or one without a usable reading, cannot be ticked
    bool prefectureToCheck = false; // supplied, or other than the address says
};

struct ImportCounts
{
    int rows = 0;
    int toStore = 0;
    int duplicates = 0;
    int errors = 0;
    int checkReading = 0;
    int checkPrefecture = 0;
};

// The preview of an import: every row below the headings with its values made ready as the entry
// screens make them, its status and whether it is to be stored. The heading row, columns, the
// cutting of long fields, ticks and edits of single values can be changed; each change evaluates
// the rows again. The changes that read every row again take a progress, which may throw to stop
// them: the preview then stays as it was.
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

    CustomerImport(ImportSource source, Setting setting, const ImportProgress& progress = {});

    const ImportSource& source() const { return m_source; }
    // The row of the headings (an index into the source's lines), guessed as the first of the
    // first rows that holds known headings; the rows above it are not imported.
    int headingRow() const { return m_headingRow; }
    void setHeadingRow(int row, const ImportProgress& progress = {});
    const QStringList& headings() const { return m_headings; }
    const ImportColumns& columns() const { return m_columns; }
    void setColumns(const ImportColumns& columns, const ImportProgress& progress = {});
    // The field that takes the column, -1 for none.
    int fieldOf(int column) const;
    // What the user should know about the file: the reading's notice and the columns of a heading
    // that appears twice and is left unused.
    QStringList notices() const;
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
        QString addressPrefecture; // a prefecture the address began with, other than the file's
    };
    std::vector<Entry> BuildProc(int headingRow, const ImportColumns& columns,
                                 const ImportProgress& progress);
    void EvaluateProc();
    void SuggestReading(Entry& entry);
    const ImportSource::Line& lineOf(std::size_t entry) const;

    ImportSource m_source;
    Setting m_setting;
    int m_headingRow = 0;
    QStringList m_headings;
    ImportColumns m_columns{};
    // The dictionary's readings already asked for, by name.
    QHash<QString, QString> m_readings;
    bool m_cutLong = false;
    std::vector<Entry> m_entries;
    std::vector<ImportRow> m_rows;
    // Identities of the stored customers: name with telephone, name with postal code.
    QHash<QString, QString> m_storedIds;
};

// A field's text made ready for storing as the entry screens make what is typed: one line, blanks
// at the ends removed, narrow digits and letters in the direct-input fields, the reading in
// half-width katakana without variation selectors, no "〒" before a postal code; a birthday as
// "1980/04/15" or "04/15" and a mail wish as "送る" or "送らない" where they can be read (what
// cannot stays as it is, an error).
QString ImportValue(int field, const QString& text);
