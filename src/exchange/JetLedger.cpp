#include "JetLedger.h"

#include "core/Amount.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/EngineError.h"
#include "db/Schema.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstring>
#include <map>

#include <iconv.h>
#include <mdbtools.h>

namespace {

// Room for a converted text: a memo of up to this many bytes, a text column many times over.
constexpr std::size_t kBindSize = 1 << 16;

// `fileLine` names the file (FileLine).
QString damaged(const QString& fileLine, const QString& what)
{
    return QStringLiteral(
               "ファイルが壊れているか、途中で切れているため、読めません（%1）。ファイルは元のままです。\n%2")
        .arg(what, fileLine);
}

bool sameName(const QString& a, const QString& b)
{
    // Jet compares names without the case of their letters.
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString typeName(int type)
{
    switch (type) {
    case MDB_BOOL:
        return QStringLiteral("Yes/No 型");
    case MDB_BYTE:
        return QStringLiteral("バイト型");
    case MDB_INT:
        return QStringLiteral("整数型");
    case MDB_LONGINT:
        return QStringLiteral("長整数型");
    case MDB_MONEY:
        return QStringLiteral("通貨型");
    case MDB_FLOAT:
        return QStringLiteral("単精度浮動小数点型");
    case MDB_DOUBLE:
        return QStringLiteral("倍精度浮動小数点型");
    case MDB_DATETIME:
        return QStringLiteral("日付/時刻型");
    case MDB_TEXT:
        return QStringLiteral("テキスト型");
    case MDB_MEMO:
        return QStringLiteral("メモ型");
    case MDB_OLE:
        return QStringLiteral("OLE オブジェクト型");
    default:
        return QStringLiteral("型 %1").arg(type);
    }
}

QString kindName(LedgerColumn::Kind kind)
{
    switch (kind) {
    case LedgerColumn::Kind::Integer:
        return QStringLiteral("整数型か長整数型");
    case LedgerColumn::Kind::Real:
        return QStringLiteral("数値の型");
    case LedgerColumn::Kind::Text:
        return QStringLiteral("テキスト型");
    }
    return {};
}

// Which of the file's types convert into our column without losing anything.
bool converts(LedgerColumn::Kind kind, int type)
{
    switch (kind) {
    case LedgerColumn::Kind::Integer:
        return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT;
    case LedgerColumn::Kind::Real:
        return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_FLOAT ||
               type == MDB_DOUBLE || type == MDB_MONEY;
    case LedgerColumn::Kind::Text:
        return type == MDB_TEXT || type == MDB_MEMO;
    }
    return false;
}

} // namespace

JetFormat JetFormatOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return JetFormat::None;
    const QByteArray head = file.read(0x15);
    if (head.size() < 0x15 || !head.startsWith(QByteArray("\x00\x01\x00\x00", 4)))
        return JetFormat::None;
    const QByteArray id = head.mid(4, 16);
    if (id == QByteArray("Standard Jet DB\0", 16))
        return head.at(0x14) == 0 ? JetFormat::Jet3 : JetFormat::Jet4;
    if (id == QByteArray("Standard ACE DB\0", 16))
        return JetFormat::Ace;
    return JetFormat::None;
}

// No-break spaces keep a format's name on one line of a box.
QString JetFormatName(JetFormat format)
{
    switch (format) {
    case JetFormat::Jet3:
        return QStringLiteral("Access\u00A097\u00A0形式");
    case JetFormat::Jet4:
        return QStringLiteral("Access\u00A02000\u00A0形式");
    case JetFormat::Ace:
        return QStringLiteral("Access\u00A02007\u00A0以降の形式");
    case JetFormat::None:
        break;
    }
    return QStringLiteral("Access 形式ではありません");
}

struct JetFile::Handle
{
    MdbHandle* mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

JetFile::JetFile(const QString& path) : m_path(path), m_handle(std::make_unique<Handle>())
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("ファイルが見つかりません。\n%1").arg(FileLine(path)));
    m_format = JetFormatOf(path);
    if (m_format == JetFormat::None)
        throw QelError(QelError::Kind::NotALedger,
                       QStringLiteral("以前の形式（Access）のデータベースファイルではありません。\n%1")
                           .arg(FileLine(path)));
    // Whole pages only: a copy cut off by a full disk or a stopped transfer ends inside one.
    const qint64 page = m_format == JetFormat::Jet3 ? 2048 : 4096;
    if (info.size() < 3 * page || info.size() % page != 0)
        throw QelError(QelError::Kind::Damaged,
                       damaged(FileLine(path), QStringLiteral("%1 バイト").arg(info.size())));

    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb)
        throw QelError(QelError::Kind::Damaged, damaged(FileLine(path), QStringLiteral("先頭のページ")));
    m_handle->mdb = mdb;
    // The text conversion is set up again: CP932 for Jet 3, whatever MDB_JET3_CHARSET or the
    // file's code page would give, and UTF-8 out whatever MDBICONV says.
    mdb_iconv_close(mdb);
    mdb->iconv_in = iconv_open("UTF-8", m_format == JetFormat::Jet3 ? "CP932" : "UCS-2LE");
    mdb->iconv_out = iconv_open(m_format == JetFormat::Jet3 ? "CP932" : "UCS-2LE", "UTF-8");
    if (mdb->iconv_in == reinterpret_cast<iconv_t>(-1) || mdb->iconv_out == reinterpret_cast<iconv_t>(-1))
        throw QelError(QelError::Kind::Unexpected,
                       QStringLiteral("文字コードの変換（CP932）を用意できません。"));
    mdb_set_bind_size(mdb, kBindSize);

    GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE);
    if (!catalog)
        throw QelError(QelError::Kind::Damaged, damaged(FileLine(path), QStringLiteral("表の一覧")));
    for (guint i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (!mdb_is_user_table(entry))
            continue;
        JetTable table;
        table.name = QString::fromUtf8(entry->object_name);
        MdbTableDef* def = mdb_read_table(entry);
        if (!def)
            throw QelError(QelError::Kind::Damaged,
                           damaged(FileLine(path), QStringLiteral("表「%1」の定義").arg(table.name)));
        if (!mdb_read_columns(def)) {
            mdb_free_tabledef(def);
            throw QelError(QelError::Kind::Damaged,
                           damaged(FileLine(path), QStringLiteral("表「%1」の列").arg(table.name)));
        }
        table.recordedRows = def->num_rows;
        for (guint c = 0; c < def->num_cols; ++c) {
            const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, c));
            table.columns.push_back({QString::fromUtf8(column->name), column->col_type});
        }
        mdb_free_tabledef(def);
        m_tables.push_back(std::move(table));
    }
}

JetFile::~JetFile() = default;

const JetTable* JetFile::table(const QString& name) const
{
    for (const JetTable& table : m_tables) {
        if (sameName(table.name, name))
            return &table;
    }
    return nullptr;
}

struct JetCursor::Bound
{
    MdbColumn* column = nullptr;
    std::vector<char> buffer; // the converted text of a text column
    int length = 0;
};

JetCursor::JetCursor(JetFile& file, const QString& table, const QStringList& columns)
    : m_file(file), m_name(table)
{
    MdbHandle* mdb = file.m_handle->mdb;
    MdbCatalogEntry* entry = nullptr;
    for (guint i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (mdb_is_user_table(e) && sameName(QString::fromUtf8(e->object_name), table)) {
            entry = e;
            break;
        }
    }
    if (!entry)
        throw QelError(QelError::Kind::NotALedger,
                       QStringLiteral("表「%1」がありません。\n%2").arg(table, FileLine(file.path())));
    MdbTableDef* def = mdb_read_table(entry);
    if (!def || !mdb_read_columns(def)) {
        if (def)
            mdb_free_tabledef(def);
        throw QelError(QelError::Kind::Damaged,
                       damaged(FileLine(file.path()), QStringLiteral("表「%1」の定義").arg(table)));
    }
    m_table = def;
    // The bound buffers must not move: room for all of them first.
    m_bound.reserve(static_cast<size_t>(columns.size()));
    for (const QString& name : columns) {
        int number = -1;
        for (guint c = 0; c < def->num_cols; ++c) {
            const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, c));
            if (sameName(QString::fromUtf8(column->name), name)) {
                number = static_cast<int>(c);
                break;
            }
        }
        if (number < 0)
            throw QelError(QelError::Kind::NotALedger, QStringLiteral("表「%1」に列「%2」がありません。\n%3")
                                                           .arg(table, name, FileLine(file.path())));
        Bound& bound = m_bound.emplace_back();
        bound.column = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, static_cast<guint>(number)));
        // Numbers are read from the row as stored; only text goes through libmdb's conversion.
        if (bound.column->col_type == MDB_TEXT || bound.column->col_type == MDB_MEMO) {
            bound.buffer.assign(kBindSize, '\0');
            mdb_bind_column(def, number + 1, bound.buffer.data(), &bound.length);
        }
    }
    mdb_rewind_table(def);
}

JetCursor::~JetCursor()
{
    if (m_table)
        mdb_free_tabledef(static_cast<MdbTableDef*>(m_table));
}

bool JetCursor::next()
{
    if (!mdb_fetch_row(static_cast<MdbTableDef*>(m_table)))
        return false;
    ++m_rowsRead;
    for (const Bound& bound : m_bound) {
        // A memo longer than the room for it would arrive cut short.
        if (!bound.buffer.empty() && static_cast<std::size_t>(bound.length) >= kBindSize - 1)
            throw QelError(
                QelError::Kind::NotALedger,
                QStringLiteral("表「%1」の列「%2」に長すぎる値があります。ファイルは元のままです。\n%3")
                    .arg(m_name, QString::fromUtf8(bound.column->name), FileLine(m_file.path())));
    }
    return true;
}

int JetCursor::type(int column) const
{
    return m_bound[static_cast<size_t>(column)].column->col_type;
}

std::int64_t JetCursor::integer(int column) const
{
    const MdbColumn* c = m_bound[static_cast<size_t>(column)].column;
    if (c->cur_value_len <= 0)
        return 0;
    unsigned char* row = m_file.m_handle->mdb->pg_buf;
    switch (c->col_type) {
    case MDB_BYTE:
        return row[c->cur_value_start];
    case MDB_INT:
        return static_cast<std::int16_t>(mdb_get_int16(row, c->cur_value_start));
    case MDB_LONGINT:
        return static_cast<std::int32_t>(mdb_get_int32(row, c->cur_value_start));
    default:
        return std::llround(real(column));
    }
}

double JetCursor::real(int column) const
{
    const MdbColumn* c = m_bound[static_cast<size_t>(column)].column;
    if (c->cur_value_len <= 0)
        return 0;
    unsigned char* row = m_file.m_handle->mdb->pg_buf;
    switch (c->col_type) {
    case MDB_FLOAT:
        return mdb_get_single(row, c->cur_value_start);
    case MDB_DOUBLE:
        return mdb_get_double(row, c->cur_value_start);
    case MDB_MONEY: {
        // Ten-thousandths in 64 bits, little-endian.
        std::uint64_t raw = 0;
        for (int i = 7; i >= 0; --i)
            raw = (raw << 8) | row[c->cur_value_start + i];
        return static_cast<double>(static_cast<std::int64_t>(raw)) / 10000.0;
    }
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return static_cast<double>(integer(column));
    default:
        return 0;
    }
}

const char* JetCursor::text(int column) const
{
    const Bound& bound = m_bound[static_cast<size_t>(column)];
    return bound.buffer.empty() ? "" : bound.buffer.data();
}

int JetCursor::textLength(int column) const
{
    const Bound& bound = m_bound[static_cast<size_t>(column)];
    return bound.buffer.empty() ? 0 : bound.length;
}

QString JetCursor::string(int column) const
{
    return QString::fromUtf8(text(column), textLength(column));
}

const QStringList& LedgerTables()
{
    static const QStringList tables = {QStringLiteral("Tb_顧客"),     QStringLiteral("Tb_都道府県"),
                                       QStringLiteral("Tb_メーカー"), QStringLiteral("Tb_商品"),
                                       QStringLiteral("Tb_売上"),     QStringLiteral("Tb_検索条件")};
    return tables;
}

const QString& LedgerPrefectureTable()
{
    return LedgerTables().at(1);
}

const QString& LedgerSalesTable()
{
    return LedgerTables().at(4);
}

const QString& LedgerSalesTotalColumn()
{
    static const QString column = QStringLiteral("Fi_売価合計");
    return column;
}

std::vector<LedgerColumn> LedgerColumns(const QString& table)
{
    static const std::map<QString, std::vector<LedgerColumn>> schema = [] {
        std::map<QString, std::vector<LedgerColumn>> tables;
        for (const auto& [table, columns] : SchemaTables()) {
            for (const SchemaColumn& c : columns) {
                const LedgerColumn::Kind kind = c.type == QLatin1String("integer")
                                                    ? LedgerColumn::Kind::Integer
                                                : c.type == QLatin1String("real") ? LedgerColumn::Kind::Real
                                                                                  : LedgerColumn::Kind::Text;
                tables[table].push_back({c.name, kind});
            }
        }
        return tables;
    }();
    const auto found = schema.find(table);
    return found == schema.end() ? std::vector<LedgerColumn>() : found->second;
}

std::int64_t LedgerShape::rowsOf(const QString& table) const
{
    for (const auto& [name, count] : rows) {
        if (name == table)
            return count;
    }
    return 0;
}

LedgerShape InspectLedger(const JetFile& file)
{
    LedgerShape shape;
    shape.format = file.format();
    QStringList problems;
    for (const QString& name : LedgerTables()) {
        const JetTable* table = file.table(name);
        if (!table) {
            problems << QStringLiteral("・表「%1」がありません").arg(name);
            continue;
        }
        shape.rows.emplace_back(name, table->recordedRows);
        const std::vector<LedgerColumn> wanted = LedgerColumns(name);
        for (const LedgerColumn& column : wanted) {
            const JetColumn* found = nullptr;
            for (const JetColumn& c : table->columns) {
                if (sameName(c.name, column.name))
                    found = &c;
            }
            if (!found)
                problems << QStringLiteral("・表「%1」に列「%2」がありません").arg(name, column.name);
            else if (!converts(column.kind, found->type))
                problems << QStringLiteral("・表「%1」の列「%2」が%3です（%4であるはずです）")
                                .arg(name, column.name, typeName(found->type), kindName(column.kind));
        }
        for (const JetColumn& c : table->columns) {
            bool ours = false;
            for (const LedgerColumn& column : wanted)
                ours = ours || sameName(c.name, column.name);
            if (!ours)
                shape.ignored << QStringLiteral("表「%1」の列「%2」").arg(table->name, c.name);
        }
    }
    for (const JetTable& table : file.tables()) {
        bool ours = false;
        for (const QString& name : LedgerTables())
            ours = ours || sameName(table.name, name);
        if (!ours)
            shape.ignored << QStringLiteral("表「%1」").arg(table.name);
    }
    if (!problems.isEmpty())
        throw QelError(QelError::Kind::NotALedger,
                       QStringLiteral("このファイルはこのプログラムの台帳ではないため、変換できません。"
                                      "ファイルは元のままです。\n%1\n%2")
                           .arg(problems.join(QLatin1Char('\n')), FileLine(file.path())));
    return shape;
}

QString LedgerCountsText(const LedgerShape& shape)
{
    const AppGlobals& g = G();
    const QString maker = g.Maker.isEmpty() ? QStringLiteral("メーカー") : g.Maker;
    const QString product = g.Syouhin.isEmpty() ? QStringLiteral("商品") : g.Syouhin;
    // No-break spaces: a box wraps the line after a "、", never inside "顧客 300 件".
    return QStringLiteral(
               "顧客\u00A0%1\u00A0件、売上\u00A0%2\u00A0件、%3\u00A0%4\u00A0件、%5\u00A0%6\u00A0件")
        .arg(FormatGrouped(shape.rowsOf(LedgerTables().at(0))),
             FormatGrouped(shape.rowsOf(LedgerSalesTable())), maker,
             FormatGrouped(shape.rowsOf(LedgerTables().at(2))), product,
             FormatGrouped(shape.rowsOf(LedgerTables().at(3))));
}
