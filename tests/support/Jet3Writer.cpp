#include "Jet3Writer.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include <iconv.h>

namespace jet3 {
namespace {

constexpr int kPage = 2048;
constexpr int kDataHeader = 10; // type, 1, free space, table page, row count
constexpr int kMaxRowsPerPage = 255;
constexpr int kCatalogPage = 2;
constexpr int kMapRecord = 128;
// Pages one map page of a long table covers: its bytes after the 4-byte header, a bit each.
constexpr int kPagesPerMapPage = (kPage - 4) * 8;

using Bytes = std::vector<unsigned char>;

void put16(unsigned char* at, unsigned value)
{
    at[0] = value & 0xff;
    at[1] = (value >> 8) & 0xff;
}

void put32(unsigned char* at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = (value >> (8 * i)) & 0xff;
}

// The header page hides its settings behind a fixed RC4 key; the same stream hides and shows.
void rc4(const unsigned char* key, int keyLength, unsigned char* data, int length)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

// CP932 through one iconv descriptor for the whole file: a million rows cannot open one each.
class Cp932
{
  public:
    Cp932() : m_cd(iconv_open("CP932", "UTF-8")) {}
    ~Cp932()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Cp932(const Cp932&) = delete;
    Cp932& operator=(const Cp932&) = delete;

    bool encode(const QString& text, QByteArray& out)
    {
        const QByteArray utf8 = text.toUtf8();
        out.resize(utf8.size() * 2 + 4);
        char* in = const_cast<char*>(utf8.constData());
        size_t inLeft = static_cast<size_t>(utf8.size());
        char* dst = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1))
            return false;
        out.resize(dst - out.data());
        return true;
    }

  private:
    iconv_t m_cd;
};

int fixedSize(Type type)
{
    switch (type) {
    case Type::Byte:
        return 1;
    case Type::Integer:
        return 2;
    case Type::Long:
        return 4;
    case Type::Double:
    case Type::DateTime:
        return 8;
    case Type::Text:
        return 0;
    }
    return 0;
}

// Where each column lives in a row: fixed columns by byte offset, variable ones by number.
struct Layout
{
    std::vector<int> fixedOffset; // -1 for a variable column
    std::vector<int> varIndex;    // -1 for a fixed column
    int fixedBytes = 0;
    int varColumns = 0;
};

Layout layoutOf(const std::vector<Column>& columns)
{
    Layout l;
    for (const Column& c : columns) {
        const int size = fixedSize(c.type);
        l.fixedOffset.push_back(size ? l.fixedBytes : -1);
        l.varIndex.push_back(size ? -1 : l.varColumns);
        if (size)
            l.fixedBytes += size;
        else
            ++l.varColumns;
    }
    return l;
}

class Writer
{
  public:
    QString write(const QString& path, const std::vector<Table>& tables);

  private:
    QString encodeRow(const Table& table, const Layout& layout, const QVariantList& values, Bytes& row);
    bool addRow(const Bytes& row, quint32 tablePage, std::vector<quint32>& pages);
    bool flushPage(quint32 tablePage, std::vector<quint32>& pages);
    bool writePage(quint32 number, const unsigned char* bytes);
    Bytes usageMap(const std::vector<quint32>& pages);
    QString tableDefinition(const Table& table, quint32 rows, quint32 usedMap, quint32 freeMap, bool system,
                            Bytes& page);

    QFile m_file;
    Cp932 m_cp932;
    quint32 m_nextPage = 0;
    // The data page being filled.
    std::vector<Bytes> m_rows;
    int m_used = kDataHeader;
    // Records of the page-map page (page 1): each table's map of its pages and of its free pages.
    std::vector<Bytes> m_mapRecords;
};

bool Writer::writePage(quint32 number, const unsigned char* bytes)
{
    return m_file.seek(static_cast<qint64>(number) * kPage) &&
           m_file.write(reinterpret_cast<const char*>(bytes), kPage) == kPage;
}

// Rows run from the end of the page towards its start; the offsets of their starts follow the
// header in row order.
bool Writer::flushPage(quint32 tablePage, std::vector<quint32>& pages)
{
    if (m_rows.empty())
        return true;
    unsigned char page[kPage] = {};
    page[0] = 0x01;
    page[1] = 0x01;
    put32(page + 4, tablePage);
    put16(page + 8, static_cast<unsigned>(m_rows.size()));
    int end = kPage;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Bytes& row = m_rows[i];
        end -= static_cast<int>(row.size());
        std::memcpy(page + end, row.data(), row.size());
        put16(page + kDataHeader + 2 * i, static_cast<unsigned>(end));
    }
    put16(page + 2, static_cast<unsigned>(end - kDataHeader - 2 * static_cast<int>(m_rows.size())));
    const quint32 number = m_nextPage++;
    pages.push_back(number);
    m_rows.clear();
    m_used = kDataHeader;
    return writePage(number, page);
}

bool Writer::addRow(const Bytes& row, quint32 tablePage, std::vector<quint32>& pages)
{
    const int need = static_cast<int>(row.size()) + 2;
    if (m_used + need > kPage || m_rows.size() >= kMaxRowsPerPage) {
        if (!flushPage(tablePage, pages))
            return false;
    }
    m_rows.push_back(row);
    m_used += need;
    return true;
}

// A row: the column count, the fixed columns, the variable ones, then from the end backwards
// the not-null bits, the count of variable columns, the jumps over each 256-byte boundary and
// the one-byte offsets of the variable columns with the end of their data.
QString Writer::encodeRow(const Table& table, const Layout& layout, const QVariantList& values, Bytes& row)
{
    const int columns = static_cast<int>(table.columns.size());
    if (values.size() != columns)
        return QStringLiteral("%1: %2 values for %3 columns").arg(table.name).arg(values.size()).arg(columns);
    row.assign(1 + static_cast<size_t>(layout.fixedBytes), 0);
    row[0] = static_cast<unsigned char>(columns);
    const int maskBytes = (columns + 7) / 8;
    Bytes mask(static_cast<size_t>(maskBytes), 0);
    std::vector<int> varStart(static_cast<size_t>(layout.varColumns) + 1, 0);
    std::vector<QByteArray> varData(static_cast<size_t>(layout.varColumns));
    for (int i = 0; i < columns; ++i) {
        const Column& c = table.columns[static_cast<size_t>(i)];
        const QVariant& v = values.at(i);
        if (!v.isValid())
            continue;
        mask[static_cast<size_t>(i / 8)] |= static_cast<unsigned char>(1 << (i % 8));
        unsigned char* at = row.data() + 1 + layout.fixedOffset[static_cast<size_t>(i)];
        switch (c.type) {
        case Type::Byte:
            *at = static_cast<unsigned char>(v.toInt());
            break;
        case Type::Integer:
            put16(at, static_cast<unsigned>(static_cast<quint16>(v.toInt())));
            break;
        case Type::Long:
            put32(at, static_cast<quint32>(v.toLongLong()));
            break;
        case Type::Double:
        case Type::DateTime: {
            const double d = v.toDouble();
            std::memcpy(at, &d, 8); // little-endian machine, little-endian file
            break;
        }
        case Type::Text: {
            QByteArray bytes;
            if (v.typeId() == QMetaType::QByteArray)
                bytes = v.toByteArray();
            else if (!m_cp932.encode(v.toString(), bytes))
                return QStringLiteral("%1.%2: not in CP932: %3").arg(table.name, c.name, v.toString());
            if (bytes.size() > c.size)
                return QStringLiteral("%1.%2: %3 bytes for %4")
                    .arg(table.name, c.name)
                    .arg(bytes.size())
                    .arg(c.size);
            varData[static_cast<size_t>(layout.varIndex[static_cast<size_t>(i)])] = bytes;
            break;
        }
        }
    }
    for (int v = 0; v < layout.varColumns; ++v) {
        varStart[static_cast<size_t>(v)] = static_cast<int>(row.size());
        const QByteArray& bytes = varData[static_cast<size_t>(v)];
        row.insert(row.end(), bytes.begin(), bytes.end());
    }
    const int eod = static_cast<int>(row.size());
    varStart[static_cast<size_t>(layout.varColumns)] = eod;
    // One jump per boundary the offsets cross; a reader counts the jumps from the row's length,
    // so a row one byte past a boundary carries one unused jump as well.
    const int jumps = eod / 256;
    const int tail = (layout.varColumns + 1) + 1 + maskBytes;
    int written = jumps;
    if ((eod + tail + jumps - 1) / 256 != jumps)
        written = jumps + 1;
    if ((eod + tail + written - 1) / 256 != written)
        return QStringLiteral("%1: a row of %2 bytes cannot be laid out").arg(table.name).arg(eod);
    for (int v = layout.varColumns; v >= 0; --v)
        row.push_back(static_cast<unsigned char>(varStart[static_cast<size_t>(v)] & 0xff));
    if (written > jumps)
        row.push_back(0xff);
    for (int j = jumps - 1; j >= 0; --j) {
        int first = 0;
        while (varStart[static_cast<size_t>(first)] < 256 * (j + 1))
            ++first;
        row.push_back(static_cast<unsigned char>(first));
    }
    row.push_back(static_cast<unsigned char>(layout.varColumns));
    row.insert(row.end(), mask.begin(), mask.end());
    if (row.size() + 2 > static_cast<size_t>(kPage - kDataHeader))
        return QStringLiteral("%1: a row of %2 bytes does not fit a page").arg(table.name).arg(row.size());
    return {};
}

// The map of a table's pages: the pages by bit from a first page when they lie close together,
// else one map page per stretch of pages, named by number in the record.
Bytes Writer::usageMap(const std::vector<quint32>& pages)
{
    const quint32 first = pages.empty() ? 0 : pages.front();
    const bool near = pages.empty() || pages.back() - first < (kMapRecord - 5) * 8;
    if (near) {
        Bytes map(kMapRecord, 0);
        put32(map.data() + 1, first);
        for (const quint32 p : pages)
            map[5 + (p - first) / 8] |= static_cast<unsigned char>(1 << ((p - first) % 8));
        return map;
    }
    std::map<quint32, Bytes> mapPages;
    for (const quint32 p : pages) {
        Bytes& bits = mapPages[p / kPagesPerMapPage];
        if (bits.empty()) {
            bits.assign(kPage, 0);
            bits[0] = 0x05;
            bits[1] = 0x01;
        }
        const quint32 bit = p % kPagesPerMapPage;
        bits[4 + bit / 8] |= static_cast<unsigned char>(1 << (bit % 8));
    }
    Bytes map(1 + 4 * (static_cast<size_t>(mapPages.rbegin()->first) + 1), 0);
    map[0] = 0x01;
    for (const auto& [index, bits] : mapPages) {
        const quint32 number = m_nextPage++;
        writePage(number, bits.data());
        put32(map.data() + 1 + 4 * index, number);
    }
    return map;
}

QString Writer::tableDefinition(const Table& table, quint32 rows, quint32 usedMap, quint32 freeMap,
                                bool system, Bytes& page)
{
    const Layout layout = layoutOf(table.columns);
    page.assign(kPage, 0);
    page[0] = 0x02;
    page[1] = 0x01;
    page[2] = 'V';
    page[3] = 'C';
    put32(page.data() + 12, rows);
    page[20] = system ? 0x53 : 0x4e;
    const unsigned columns = static_cast<unsigned>(table.columns.size());
    put16(page.data() + 21, columns);
    put16(page.data() + 23, static_cast<unsigned>(layout.varColumns));
    put16(page.data() + 25, columns);
    put32(page.data() + 35, usedMap);
    put32(page.data() + 39, freeMap);
    size_t at = 43;
    for (unsigned i = 0; i < columns; ++i) {
        const Column& c = table.columns[i];
        unsigned char* e = page.data() + at;
        const bool fixed = fixedSize(c.type) > 0;
        e[0] = static_cast<unsigned char>(c.type);
        put16(e + 1, i);
        put16(e + 3, fixed ? 0 : static_cast<unsigned>(layout.varIndex[i]));
        put16(e + 5, i);
        if (!fixed) {
            put16(e + 7, 0x0411); // Japanese sort order
            put16(e + 9, 932);    // the text's code page
        }
        e[13] = static_cast<unsigned char>((fixed ? 0x01 : 0x00) | 0x02);
        put16(e + 14, fixed ? static_cast<unsigned>(layout.fixedOffset[i]) : 0);
        put16(e + 16, static_cast<unsigned>(fixed ? fixedSize(c.type) : c.size));
        at += 18;
    }
    for (const Column& c : table.columns) {
        QByteArray name;
        if (!m_cp932.encode(c.name, name) || name.size() > 64)
            return QStringLiteral("%1: column name %2").arg(table.name, c.name);
        page[at++] = static_cast<unsigned char>(name.size());
        std::memcpy(page.data() + at, name.constData(), static_cast<size_t>(name.size()));
        at += static_cast<size_t>(name.size());
    }
    page[at++] = 0xff;
    page[at++] = 0xff;
    if (at > kPage)
        return QStringLiteral("%1: the definition does not fit a page").arg(table.name);
    put32(page.data() + 8, static_cast<quint32>(at - 8));
    return {};
}

QString Writer::write(const QString& path, const std::vector<Table>& tables)
{
    QFile::remove(path);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite))
        return m_file.errorString();

    // The catalog: a row per table, named by the page of its definition.
    const quint32 firstDefinition = kCatalogPage + 1;
    std::vector<QVariantList> catalogRows;
    catalogRows.push_back(
        {kCatalogPage, 0, QStringLiteral("MSysObjects"), 1, static_cast<qint32>(0x80000002), {}});
    for (size_t t = 0; t < tables.size(); ++t)
        catalogRows.push_back({static_cast<qint64>(firstDefinition + t), 0, tables[t].name, 1, 0, {}});
    const Table catalog = Rows(QStringLiteral("MSysObjects"),
                               {{QStringLiteral("Id"), Type::Long},
                                {QStringLiteral("ParentId"), Type::Long},
                                {QStringLiteral("Name"), Type::Text, 255},
                                {QStringLiteral("Type"), Type::Integer},
                                {QStringLiteral("Flags"), Type::Long},
                                {QStringLiteral("LvProp"), Type::Text, 0}},
                               catalogRows);
    // LvProp holds long binary values; every row here leaves it Null.
    std::vector<Table> all{catalog};
    all.insert(all.end(), tables.begin(), tables.end());

    m_nextPage = firstDefinition + static_cast<quint32>(tables.size());
    std::vector<std::vector<quint32>> pages(all.size());
    std::vector<quint32> counts(all.size(), 0);
    Bytes row;
    QVariantList values;
    for (size_t t = 0; t < all.size(); ++t) {
        const Table& table = all[t];
        const Layout layout = layoutOf(table.columns);
        const quint32 definition = t == 0 ? kCatalogPage : firstDefinition + static_cast<quint32>(t - 1);
        for (qint64 r = 0; r < table.rows; ++r) {
            values.clear();
            table.fill(r, values);
            if (const QString error = encodeRow(table, layout, values, row); !error.isEmpty())
                return error;
            if (!addRow(row, definition, pages[t]))
                return m_file.errorString();
        }
        if (!flushPage(definition, pages[t]))
            return m_file.errorString();
        counts[t] = static_cast<quint32>(table.rows);
    }

    // Page 1 holds every table's two maps as rows: its pages, and its pages with free space
    // (none: a reader has no use for them).
    std::vector<Bytes> maps;
    for (size_t t = 0; t < all.size(); ++t) {
        maps.push_back(usageMap(pages[t]));
        maps.push_back(Bytes(5, 0)); // a map with no pages
    }
    unsigned char mapPage[kPage] = {};
    mapPage[0] = 0x01;
    mapPage[1] = 0x01;
    put16(mapPage + 8, static_cast<unsigned>(maps.size()));
    int end = kPage;
    for (size_t i = 0; i < maps.size(); ++i) {
        end -= static_cast<int>(maps[i].size());
        if (end < kDataHeader + 2 * static_cast<int>(maps.size()))
            return QStringLiteral("the page maps do not fit their page");
        std::memcpy(mapPage + end, maps[i].data(), maps[i].size());
        put16(mapPage + kDataHeader + 2 * i, static_cast<unsigned>(end));
    }
    put16(mapPage + 2, static_cast<unsigned>(end - kDataHeader - 2 * static_cast<int>(maps.size())));
    if (!writePage(1, mapPage))
        return m_file.errorString();

    Bytes definition;
    for (size_t t = 0; t < all.size(); ++t) {
        const quint32 used = (1u << 8) | static_cast<quint32>(2 * t);
        const quint32 free = (1u << 8) | static_cast<quint32>(2 * t + 1);
        if (const QString error = tableDefinition(all[t], counts[t], used, free, t == 0, definition);
            !error.isEmpty())
            return error;
        if (!writePage(t == 0 ? kCatalogPage : firstDefinition + static_cast<quint32>(t - 1),
                       definition.data()))
            return m_file.errorString();
    }

    // The header page: the format, then the settings a reader unmasks with the fixed key:
    // Japanese sorting, code page 932, no encryption key, no password.
    unsigned char header[kPage] = {};
    header[1] = 0x01;
    std::memcpy(header + 4, "Standard Jet DB", 15);
    header[0x14] = 0x00;
    put16(header + 0x3a, 0x0411);
    put16(header + 0x3c, 932);
    const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    rc4(key, 4, header + 0x18, 126);
    if (!writePage(0, header))
        return m_file.errorString();
    m_file.close();
    return m_file.error() == QFileDevice::NoError ? QString() : m_file.errorString();
}

} // namespace

Table Rows(const QString& name, std::vector<Column> columns, std::vector<QVariantList> rows)
{
    Table table;
    table.name = name;
    table.columns = std::move(columns);
    table.rows = static_cast<qint64>(rows.size());
    auto shared = std::make_shared<std::vector<QVariantList>>(std::move(rows));
    table.fill = [shared](qint64 row, QVariantList& values) {
        values = shared->at(static_cast<size_t>(row));
    };
    return table;
}

QString Write(const QString& path, const std::vector<Table>& tables)
{
    Writer writer;
    return writer.write(path, tables);
}

} // namespace jet3
