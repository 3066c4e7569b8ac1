#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// The ledger a shop kept before Qel: a database file of the Jet engine (Access 97 and later),
// under the same names as ours. It is read through libmdb and never written.

// The Jet formats, told apart by the first bytes of a file.
enum class JetFormat { None, Jet3, Jet4, Ace };

// Reads the file's header; None for a file that is not a Jet database (or cannot be read).
JetFormat JetFormatOf(const QString& path);
// The format as the user knows it: the Access version that writes it.
QString JetFormatName(JetFormat format);

struct JetColumn
{
    QString name;
    int type = 0; // libmdb's column type
};

struct JetTable
{
    QString name;
    std::vector<JetColumn> columns;
    std::int64_t recordedRows = 0; // as the table's definition records it
};

// A Jet file opened for reading. Jet 3 text is decoded as CP932 whatever the environment asks
// for (the shop's Windows wrote it so, and plain Shift_JIS turns ㈱, 髙 and 﨑 into "?"); Jet 4
// and ACE text is decoded from UTF-16 as libmdb does. Throws QelError, in a sentence for the
// user, when the file is missing, is not a Jet file, or its catalog or a table's definition
// cannot be read.
class JetFile
{
  public:
    explicit JetFile(const QString& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const QString& path() const { return m_path; }
    JetFormat format() const { return m_format; }
    // The user's tables in the order of the catalog.
    const std::vector<JetTable>& tables() const { return m_tables; }
    // The table of that name (ASCII letters in either case, as Jet compares names); null when none.
    const JetTable* table(const QString& name) const;

  private:
    friend class JetCursor;
    struct Handle;

    QString m_path;
    JetFormat m_format = JetFormat::None;
    std::unique_ptr<Handle> m_handle;
    std::vector<JetTable> m_tables;
};

// Reads the rows of one table, the named columns in the given order. A Null reads as 0 or as
// the empty text. Throws QelError when the table or a column is missing.
class JetCursor
{
  public:
    JetCursor(JetFile& file, const QString& table, const QStringList& columns);
    ~JetCursor();
    JetCursor(const JetCursor&) = delete;
    JetCursor& operator=(const JetCursor&) = delete;

    // Moves to the next row; false after the last.
    bool next();
    std::int64_t rowsRead() const { return m_rowsRead; }

    int type(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    // The text as UTF-8, valid until the next row; its length in bytes.
    const char* text(int column) const;
    int textLength(int column) const;
    QString string(int column) const;

  private:
    struct Bound;

    JetFile& m_file;
    QString m_name;
    void* m_table = nullptr;
    std::vector<Bound> m_bound;
    std::int64_t m_rowsRead = 0;
};

// The ledger's tables, in the order the conversion takes them.
const QStringList& LedgerTables();
// The reference table, which the conversion takes from this program.
const QString& LedgerPrefectureTable();
// The sales table and its total column, whose sum the conversion checks.
const QString& LedgerSalesTable();
const QString& LedgerSalesTotalColumn();

// A column of a ledger table as our schema declares it.
struct LedgerColumn
{
    enum class Kind { Integer, Real, Text };
    QString name;
    Kind kind = Kind::Text;
};
// The columns our schema gives the table, in its order.
std::vector<LedgerColumn> LedgerColumns(const QString& table);

// What a Jet file holds of a ledger, for the question before the conversion.
struct LedgerShape
{
    JetFormat format = JetFormat::None;
    // The recorded rows of each ledger table, in LedgerTables() order.
    std::vector<std::pair<QString, std::int64_t>> rows;
    // Tables and columns that are not the ledger's, which the conversion leaves behind.
    QStringList ignored;

    std::int64_t rowsOf(const QString& table) const;
};

// Checks that the file holds the ledger: every table of LedgerTables() with every column our
// schema gives it, each of a type that converts. Throws QelError naming everything missing or of
// another type, the file left as it is.
LedgerShape InspectLedger(const JetFile& file);

// The counts for the user: "顧客 12 件、売上 340 件、メーカー 5 件、商品 20 件".
QString LedgerCountsText(const LedgerShape& shape);
