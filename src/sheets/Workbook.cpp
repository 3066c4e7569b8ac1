#include "Workbook.h"

#include "SheetError.h"
#include "XmlParts.h"

#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <vector>

namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
// Excel refuses longer sheet names and header strings.
constexpr qsizetype kMaxSheetName = 31;
constexpr qsizetype kMaxHeader = 255;

[[noreturn]] void appError(const QString& detail = {})
{
    throw SheetError(SheetError::Application,
                     QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。") + detail);
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

const char* const kWorksheetOrder[] = {"sheetPr",
                                       "dimension",
                                       "sheetViews",
                                       "sheetFormatPr",
                                       "cols",
                                       "sheetData",
                                       "sheetCalcPr",
                                       "sheetProtection",
                                       "protectedRanges",
                                       "scenarios",
                                       "autoFilter",
                                       "sortState",
                                       "dataConsolidate",
                                       "customSheetViews",
                                       "mergeCells",
                                       "phoneticPr",
                                       "conditionalFormatting",
                                       "dataValidations",
                                       "hyperlinks",
                                       "printOptions",
                                       "pageMargins",
                                       "pageSetup",
                                       "headerFooter",
                                       "rowBreaks",
                                       "colBreaks",
                                       "customProperties",
                                       "cellWatches",
                                       "ignoredErrors",
                                       "smartTags",
                                       "drawing",
                                       "legacyDrawing",
                                       "legacyDrawingHF",
                                       "picture",
                                       "oleObjects",
                                       "controls",
                                       "webPublishItems",
                                       "tableParts",
                                       "extLst"};
const char* const kStylesOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                    "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                    "tableStyles",  "colors",  "extLst"};
const char* const kBorderOrder[] = {"left", "right", "top", "bottom", "diagonal", "vertical", "horizontal"};
const char* const kHeaderFooterOrder[] = {"oddHeader",  "oddFooter",   "evenHeader",
                                          "evenFooter", "firstHeader", "firstFooter"};

enum Side : unsigned { Left = 1, Right = 2, Top = 4, Bottom = 8 };

struct Cell
{
    enum Kind : unsigned char { Blank, Number, Text, TextPreserved, Raw };
    int column = 0;
    int style = 0;
    Kind kind = Blank;
    std::string body; // number digits, escaped text, or for Raw everything after the style
};

struct Row
{
    std::string attributes; // as written, without r and spans
    int style = -1;         // the row's own format, when it has one
    std::vector<Cell> cells;
};

struct ColumnRange
{
    int min, max;
    pugi::xml_node node;
};

// The cell formats of styles.xml, extended on demand with the borders and number formats
// the writers ask for.
class Styles
{
  public:
    void load(pugi::xml_node root)
    {
        m_root = root;
        m_numFmts = root.child("numFmts");
        m_borders = XmlChildInOrder(root, "borders", kStylesOrder);
        m_cellXfs = XmlChildInOrder(root, "cellXfs", kStylesOrder);
        for (pugi::xml_node f : m_numFmts.children("numFmt")) {
            const int id = f.attribute("numFmtId").as_int();
            m_formatIds.emplace(QString::fromUtf8(f.attribute("formatCode").value()), id);
            m_nextFormatId = std::max(m_nextFormatId, id + 1);
        }
        for (pugi::xml_node b : m_borders.children("border")) {
            m_borderKeys.emplace(XmlText(b), int(m_borderNodes.size()));
            m_borderNodes.push_back(b);
        }
        for (pugi::xml_node xf : m_cellXfs.children("xf"))
            m_xfs.push_back(xf);
        if (m_xfs.empty()) {
            pugi::xml_node xf = m_cellXfs.append_child("xf");
            for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
                xf.append_attribute(a) = 0;
            m_xfs.push_back(xf);
            m_changed = true;
        }
    }

    bool changed() const { return m_changed; }

    int numFmtOf(int xf) const { return node(xf).attribute("numFmtId").as_int(0); }

    int withNumFmt(int xf, const QString& code)
    {
        const int id = formatId(code);
        const auto key = std::make_pair(xf, id);
        if (auto it = m_fmtCache.find(key); it != m_fmtCache.end())
            return it->second;
        int result = xf;
        if (numFmtOf(xf) != id) {
            pugi::xml_node copy = m_cellXfs.append_copy(node(xf));
            setAttribute(copy, "numFmtId", id);
            setAttribute(copy, "applyNumberFormat", 1);
            result = add(copy);
        }
        m_fmtCache.emplace(key, result);
        return result;
    }

    int withBorders(int xf, unsigned sides)
    {
        const auto key = std::make_pair(xf, sides);
        if (auto it = m_borderCache.find(key); it != m_borderCache.end())
            return it->second;
        const int oldBorder = node(xf).attribute("borderId").as_int(0);
        pugi::xml_node border = m_borders.append_copy(borderNode(oldBorder));
        const std::pair<Side, const char*> names[] = {
            {Left, "left"}, {Right, "right"}, {Top, "top"}, {Bottom, "bottom"}};
        for (const char* name : {"left", "right", "top", "bottom", "diagonal"})
            XmlChildInOrder(border, name, kBorderOrder);
        for (const auto& [side, name] : names) {
            if (!(sides & side))
                continue;
            pugi::xml_node edge = border.child(name);
            setAttribute(edge, "style", "thin");
            if (!edge.child("color"))
                edge.append_child("color").append_attribute("indexed") = 64;
        }
        int borderId;
        const std::string text = XmlText(border);
        if (auto it = m_borderKeys.find(text); it != m_borderKeys.end()) {
            m_borders.remove_child(border);
            borderId = it->second;
        } else {
            borderId = int(m_borderNodes.size());
            m_borderNodes.push_back(border);
            m_borderKeys.emplace(text, borderId);
        }
        int result = xf;
        if (borderId != oldBorder) {
            pugi::xml_node copy = m_cellXfs.append_copy(node(xf));
            setAttribute(copy, "borderId", borderId);
            setAttribute(copy, "applyBorder", 1);
            result = add(copy);
        }
        m_borderCache.emplace(key, result);
        m_changed = true;
        return result;
    }

    void updateCounts()
    {
        if (m_numFmts)
            setAttribute(m_numFmts, "count", int(m_formatIds.size()));
        setAttribute(m_borders, "count", int(m_borderNodes.size()));
        setAttribute(m_cellXfs, "count", int(m_xfs.size()));
    }

  private:
    pugi::xml_node node(int xf) const { return m_xfs.at(std::clamp<std::size_t>(xf, 0, m_xfs.size() - 1)); }

    pugi::xml_node borderNode(int id)
    {
        if (id >= 0 && std::size_t(id) < m_borderNodes.size())
            return m_borderNodes[id];
        if (m_borderNodes.empty()) {
            pugi::xml_node empty = m_borders.append_child("border");
            m_borderKeys.emplace(XmlText(empty), 0);
            m_borderNodes.push_back(empty);
        }
        return m_borderNodes.front();
    }

    int add(pugi::xml_node xf)
    {
        m_xfs.push_back(xf);
        m_changed = true;
        return int(m_xfs.size()) - 1;
    }

    int formatId(const QString& code)
    {
        static const std::map<QString, int> builtIn = {
            {QStringLiteral("General"), 0}, {QStringLiteral("0"), 1},        {QStringLiteral("0.00"), 2},
            {QStringLiteral("#,##0"), 3},   {QStringLiteral("#,##0.00"), 4}, {QStringLiteral("@"), 49}};
        if (auto it = builtIn.find(code); it != builtIn.end())
            return it->second;
        if (auto it = m_formatIds.find(code); it != m_formatIds.end())
            return it->second;
        if (!m_numFmts)
            m_numFmts = XmlChildInOrder(m_root, "numFmts", kStylesOrder);
        pugi::xml_node f = m_numFmts.append_child("numFmt");
        const int id = m_nextFormatId++;
        f.append_attribute("numFmtId") = id;
        f.append_attribute("formatCode") = code.toUtf8().constData();
        m_formatIds.emplace(code, id);
        m_changed = true;
        return id;
    }

    template <class V> static void setAttribute(pugi::xml_node n, const char* name, V value)
    {
        pugi::xml_attribute a = n.attribute(name);
        if (!a)
            a = n.append_attribute(name);
        a = value;
    }

    pugi::xml_node m_root, m_numFmts, m_borders, m_cellXfs;
    std::vector<pugi::xml_node> m_xfs, m_borderNodes;
    std::map<QString, int> m_formatIds;
    std::map<std::string, int> m_borderKeys;
    std::map<std::pair<int, int>, int> m_fmtCache;
    std::map<std::pair<int, unsigned>, int> m_borderCache;
    int m_nextFormatId = 164;
    bool m_changed = false;
};

// The three sections of a page header, each with the formatting codes that lead it.
struct HeaderSections
{
    QString codes[3];
    QString text[3];
};

HeaderSections ParseHeader(const QString& header)
{
    HeaderSections out;
    int section = 1; // text before any section code is centred
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QChar c = header.at(i);
        if (c == QLatin1Char('&') && i + 1 < header.size()) {
            const QChar code = header.at(i + 1).toUpper();
            if (code == QLatin1Char('L') || code == QLatin1Char('C') || code == QLatin1Char('R')) {
                section = code == QLatin1Char('L') ? 0 : code == QLatin1Char('C') ? 1 : 2;
                ++i;
                continue;
            }
            // Font and size codes before any text belong to the section's look.
            qsizetype end = i + 1;
            if (header.at(end) == QLatin1Char('"')) {
                end = header.indexOf(QLatin1Char('"'), end + 1);
                end = end < 0 ? header.size() : end + 1;
            } else {
                while (end < header.size() && header.at(end).isDigit())
                    ++end;
                if (end == i + 1)
                    end = i + 2;
            }
            const QString piece = header.mid(i, end - i);
            if (out.text[section].isEmpty() && piece != QLatin1String("&&"))
                out.codes[section] += piece;
            else
                out.text[section] += piece;
            i = end - 1;
            continue;
        }
        out.text[section] += c;
    }
    return out;
}

QString ComposeHeader(const HeaderSections& h)
{
    static const char* const marks[] = {"&L", "&C", "&R"};
    QString out;
    for (int s = 0; s < 3; ++s) {
        if (h.text[s].isEmpty() && h.codes[s].isEmpty())
            continue;
        out += QLatin1String(marks[s]) + h.codes[s];
        // A size code runs on into digits that follow it.
        if (!h.codes[s].isEmpty() && h.codes[s].back().isDigit() && !h.text[s].isEmpty() &&
            h.text[s].front().isDigit())
            out += QLatin1Char(' ');
        out += h.text[s];
    }
    return out;
}

// A sheet name that the spreadsheet applications accept.
QString ValidSheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    name.truncate(kMaxSheetName);
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name;
}

QString QuotedSheetName(const QString& name)
{
    return QLatin1Char('\'') + QString(name).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Replaces references to the old sheet name in a defined name's formula.
QString RenameInFormula(const QString& formula, const QString& oldName, const QString& newName)
{
    QStringList parts = formula.split(QLatin1Char(','));
    for (QString& part : parts) {
        for (const QString& prefix :
             {QuotedSheetName(oldName) + QLatin1Char('!'), oldName + QLatin1Char('!')}) {
            if (part.startsWith(prefix)) {
                part = QuotedSheetName(newName) + QLatin1Char('!') + part.mid(prefix.size());
                break;
            }
        }
    }
    return parts.join(QLatin1Char(','));
}

void AppendNumber(std::string& out, long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

bool ParseCellRef(const char* ref, int& row, int& column)
{
    column = 0;
    row = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z')
        column = column * 26 + (*p++ - 'A' + 1);
    while (*p >= '0' && *p <= '9')
        row = row * 10 + (*p++ - '0');
    return *p == '\0' && row > 0 && column > 0;
}

class ZipFile
{
  public:
    ~ZipFile() { discard(); }

    void open(const QString& path)
    {
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), 0, &error);
        if (!m_zip) {
            zip_error_t z;
            zip_error_init_with_code(&z, error);
            const QString text = QString::fromLocal8Bit(zip_error_strerror(&z));
            zip_error_fini(&z);
            appError(QStringLiteral(" テンプレートを開けません: ") + text);
        }
    }

    bool has(const std::string& name) const { return zip_name_locate(m_zip, name.c_str(), 0) >= 0; }

    std::string read(const std::string& name) const
    {
        const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
        zip_stat_t st;
        if (index < 0 || zip_stat_index(m_zip, index, 0, &st) != 0)
            appError(QStringLiteral(" テンプレートに ") + QString::fromStdString(name) +
                     QStringLiteral(" がありません。"));
        std::string data(st.size, '\0');
        zip_file_t* file = zip_fopen_index(m_zip, index, 0);
        const zip_int64_t got = file ? zip_fread(file, data.data(), st.size) : -1;
        if (file)
            zip_fclose(file);
        if (got != zip_int64_t(st.size))
            appError(QStringLiteral(" テンプレートの ") + QString::fromStdString(name) +
                     QStringLiteral(" を読めません。"));
        return data;
    }

    // The data must stay alive until close().
    void replace(const std::string& name, const std::string& data)
    {
        zip_source_t* source = zip_source_buffer(m_zip, data.data(), data.size(), 0);
        const zip_int64_t added =
            source ? zip_file_add(m_zip, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (added < 0) {
            if (source)
                zip_source_free(source);
            appError(QStringLiteral(" ") + QString::fromLocal8Bit(zip_strerror(m_zip)));
        }
        // The maximum level that libzip picks by itself costs several times the time for a few percent.
        zip_set_file_compression(m_zip, added, ZIP_CM_DEFAULT, 6);
    }

    void close(const QString& path)
    {
        if (zip_close(m_zip) != 0) {
            const QString text = QString::fromLocal8Bit(zip_strerror(m_zip));
            discard();
            throw SheetError(SheetError::PermissionDenied, QStringLiteral("書き込みできません。 ") +
                                                               native(path) + QStringLiteral(" (") + text +
                                                               QLatin1Char(')'));
        }
        m_zip = nullptr;
    }

    void discard()
    {
        if (m_zip)
            zip_discard(m_zip);
        m_zip = nullptr;
    }

  private:
    zip_t* m_zip = nullptr;
};

} // namespace

struct Workbook::Impl
{
    QString templatePath, targetPath, copyPath;
    bool prepared = false, opened = false, saved = false;

    ZipFile zip;
    std::string sheetPart, workbookPart = "xl/workbook.xml", stylesPart = "xl/styles.xml";
    pugi::xml_document workbookXml, stylesXml, sheetXml, appXml;
    bool workbookChanged = false, appChanged = false;
    Styles styles;
    pugi::xml_node sheet;
    std::vector<Row> rows;
    std::vector<ColumnRange> columns;
    std::vector<std::string> buffers; // alive until the archive is closed

    void parse(pugi::xml_document& doc, const std::string& part)
    {
        const std::string data = zip.read(part);
        const auto result =
            doc.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
        if (!result)
            appError(QStringLiteral(" ") + QString::fromStdString(part) + QStringLiteral(": ") +
                     QString::fromUtf8(result.description()));
    }

    void requireOpen() const
    {
        if (!opened || saved)
            appError(QStringLiteral(" (ブックが開かれていません)"));
    }

    static void checkCell(int row, int column)
    {
        if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
            appError(QStringLiteral(" (セル %1, %2)").arg(row).arg(column));
    }

    void loadColumns()
    {
        columns.clear();
        for (pugi::xml_node c : sheet.child("cols").children("col"))
            columns.push_back({c.attribute("min").as_int(), c.attribute("max").as_int(), c});
    }

    int columnStyle(int column) const
    {
        for (const ColumnRange& c : columns) {
            if (column >= c.min && column <= c.max)
                return c.node.attribute("style").as_int(0);
        }
        return 0;
    }

    Cell& cellAt(int row, int column)
    {
        checkCell(row, column);
        if (rows.size() < std::size_t(row))
            rows.resize(row);
        Row& r = rows[row - 1];
        auto& cells = r.cells;
        if (cells.empty() || cells.back().column < column) {
            cells.push_back({column, r.style >= 0 ? r.style : columnStyle(column), Cell::Blank, {}});
            return cells.back();
        }
        auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                   [](const Cell& c, int col) { return c.column < col; });
        if (it == cells.end() || it->column != column)
            it = cells.insert(it, {column, r.style >= 0 ? r.style : columnStyle(column), Cell::Blank, {}});
        return *it;
    }

    void loadSheetData()
    {
        pugi::xml_node data = XmlChildInOrder(sheet, "sheetData", kWorksheetOrder);
        int lastRow = 0;
        for (pugi::xml_node rowNode : data.children("row")) {
            const int rowNumber = rowNode.attribute("r").as_int(lastRow + 1);
            checkCell(rowNumber, 1);
            lastRow = rowNumber;
            if (rows.size() < std::size_t(rowNumber))
                rows.resize(rowNumber);
            Row& row = rows[rowNumber - 1];
            for (pugi::xml_attribute a : rowNode.attributes()) {
                const std::string_view name = a.name();
                if (name == "r" || name == "spans")
                    continue;
                row.attributes += ' ';
                row.attributes += a.name();
                row.attributes += "=\"";
                XmlAppendEscaped(row.attributes, QString::fromUtf8(a.value()), true);
                row.attributes += '"';
            }
            if (rowNode.attribute("customFormat").as_bool())
                row.style = rowNode.attribute("s").as_int(0);
            int lastColumn = 0;
            for (pugi::xml_node c : rowNode.children("c")) {
                int r = rowNumber, column = lastColumn + 1;
                if (pugi::xml_attribute ref = c.attribute("r"))
                    ParseCellRef(ref.value(), r, column);
                if (r != rowNumber)
                    appError(QStringLiteral(" (テンプレートのセル番地)"));
                lastColumn = column;
                Cell& cell = cellAt(rowNumber, column);
                cell.style = c.attribute("s").as_int(0);
                cell.kind = Cell::Raw;
                std::string body;
                for (pugi::xml_attribute a : c.attributes()) {
                    const std::string_view name = a.name();
                    if (name == "r" || name == "s")
                        continue;
                    body += ' ';
                    body += a.name();
                    body += "=\"";
                    XmlAppendEscaped(body, QString::fromUtf8(a.value()), true);
                    body += '"';
                }
                if (c.first_child()) {
                    body += '>';
                    for (pugi::xml_node child : c.children())
                        body += XmlText(child);
                    body += "</c>";
                } else {
                    body += "/>";
                }
                cell.body = std::move(body);
            }
        }
        data.remove_children();
        data.append_child(pugi::node_comment).set_value("QEL-SHEETDATA");
    }

    std::string serializeSheet()
    {
        int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
        std::size_t cellCount = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].cells.empty())
                continue;
            const int r = int(i) + 1;
            if (!minRow)
                minRow = r;
            maxRow = r;
            const int first = rows[i].cells.front().column, last = rows[i].cells.back().column;
            minCol = minCol ? std::min(minCol, first) : first;
            maxCol = std::max(maxCol, last);
            cellCount += rows[i].cells.size();
        }
        pugi::xml_node dimension = XmlChildInOrder(sheet, "dimension", kWorksheetOrder);
        dimension.remove_attributes();
        const std::string ref = minRow ? XmlCellRef(minRow, minCol) + (minRow == maxRow && minCol == maxCol
                                                                           ? std::string()
                                                                           : ':' + XmlCellRef(maxRow, maxCol))
                                       : std::string("A1");
        dimension.append_attribute("ref") = ref.c_str();

        const std::string frame = XmlText(sheetXml);
        const std::string marker = "<!--QEL-SHEETDATA-->";
        const std::size_t at = frame.find(marker);
        std::string out;
        out.reserve(frame.size() + cellCount * 64 + rows.size() * 24 + 64);
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
        out.append(frame, 0, at);
        std::string cellRef;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            if (row.cells.empty() && row.attributes.empty())
                continue;
            const std::string rowNumber = std::to_string(i + 1);
            out += "<row r=\"";
            out += rowNumber;
            out += '"';
            out += row.attributes;
            if (row.cells.empty()) {
                out += "/>";
                continue;
            }
            out += '>';
            for (const Cell& cell : row.cells) {
                out += "<c r=\"";
                XmlAppendColumn(out, cell.column);
                out += rowNumber;
                out += '"';
                if (cell.style) {
                    out += " s=\"";
                    AppendNumber(out, cell.style);
                    out += '"';
                }
                switch (cell.kind) {
                case Cell::Blank:
                    out += "/>";
                    break;
                case Cell::Number:
                    out += "><v>";
                    out += cell.body;
                    out += "</v></c>";
                    break;
                case Cell::Text:
                    out += " t=\"inlineStr\"><is><t>";
                    out += cell.body;
                    out += "</t></is></c>";
                    break;
                case Cell::TextPreserved:
                    out += " t=\"inlineStr\"><is><t xml:space=\"preserve\">";
                    out += cell.body;
                    out += "</t></is></c>";
                    break;
                case Cell::Raw:
                    out += cell.body;
                    break;
                }
            }
            out += "</row>";
        }
        out.append(frame, at + marker.size(), std::string::npos);
        return out;
    }

    void setHeaderSection(int section, const QString& text, const char* property)
    {
        requireOpen();
        pugi::xml_node hf = XmlChildInOrder(sheet, "headerFooter", kWorksheetOrder);
        std::vector<pugi::xml_node> headers;
        for (const char* name : {"oddHeader", "evenHeader", "firstHeader"}) {
            if (pugi::xml_node h = hf.child(name))
                headers.push_back(h);
        }
        if (headers.empty())
            headers.push_back(XmlChildInOrder(hf, "oddHeader", kHeaderFooterOrder));
        std::vector<QString> composed;
        for (pugi::xml_node h : headers) {
            HeaderSections sections = ParseHeader(QString::fromUtf8(h.text().get()));
            sections.text[section] = QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
            composed.push_back(ComposeHeader(sections));
            if (composed.back().size() > kMaxHeader) {
                throw SheetError(
                    SheetError::Application,
                    QStringLiteral("PageSetup クラスの %1 プロパティを設定できません。ヘッダーが長すぎます。")
                        .arg(QLatin1String(property)));
            }
        }
        for (std::size_t i = 0; i < headers.size(); ++i) {
            headers[i].remove_children();
            headers[i].append_child(pugi::node_pcdata).set_value(composed[i].toUtf8().constData());
        }
    }
};

Workbook::Workbook(QString templatePath, QString targetPath) : d(std::make_unique<Impl>())
{
    d->templatePath = std::move(templatePath);
    d->targetPath = std::move(targetPath);
}

Workbook::~Workbook()
{
    d->zip.discard();
    if (!d->saved && !d->copyPath.isEmpty())
        QFile::remove(d->copyPath);
}

const QString& Workbook::targetPath() const
{
    return d->targetPath;
}

void Workbook::prepare()
{
    if (d->prepared)
        appError();
    const QFileInfo source(d->templatePath);
    if (!source.isFile())
        throw SheetError(SheetError::FileNotFound,
                         QStringLiteral("ファイルが見つかりません。 ") + native(d->templatePath));

    const QFileInfo target(d->targetPath);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw SheetError(SheetError::PathNotFound,
                         QStringLiteral("パスが見つかりません。 ") + native(folder));
    if (target.exists() || target.isSymLink()) {
        if (target.isDir() || !QFile::remove(d->targetPath))
            throw SheetError(SheetError::PermissionDenied,
                             QStringLiteral("書き込みできません。 ") + native(d->targetPath));
    }

    QFile from(d->templatePath);
    if (!from.open(QIODevice::ReadOnly))
        throw SheetError(SheetError::FileNotFound,
                         QStringLiteral("ファイルが見つかりません。 ") + native(d->templatePath));
    const QByteArray bytes = from.readAll();
    QTemporaryFile copy(folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    copy.setAutoRemove(false);
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        if (!copy.fileName().isEmpty())
            QFile::remove(copy.fileName());
        throw SheetError(SheetError::PermissionDenied,
                         QStringLiteral("書き込みできません。 ") + native(folder));
    }
    d->copyPath = copy.fileName();
    copy.close();
    // A temporary file is private to its owner; the workbook is an ordinary file.
    QFile::setPermissions(d->copyPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    d->prepared = true;
}

void Workbook::open()
{
    if (!d->prepared || d->opened)
        appError();
    d->zip.open(d->copyPath);
    d->parse(d->workbookXml, d->workbookPart);
    pugi::xml_node firstSheet = d->workbookXml.document_element().child("sheets").child("sheet");
    std::string relId;
    for (pugi::xml_attribute a : firstSheet.attributes()) {
        const std::string_view name = a.name();
        if (name == "r:id" || (name.size() > 3 && name.substr(name.size() - 3) == ":id"))
            relId = a.value();
    }
    if (relId.empty())
        appError(QStringLiteral(" (ワークシートがありません)"));
    pugi::xml_document rels;
    d->parse(rels, "xl/_rels/workbook.xml.rels");
    for (pugi::xml_node rel : rels.document_element().children("Relationship")) {
        if (relId == rel.attribute("Id").value()) {
            const std::string target = rel.attribute("Target").value();
            d->sheetPart = !target.empty() && target[0] == '/' ? target.substr(1) : "xl/" + target;
        }
    }
    if (d->sheetPart.empty())
        appError(QStringLiteral(" (ワークシートがありません)"));

    d->parse(d->sheetXml, d->sheetPart);
    d->sheet = d->sheetXml.document_element();
    d->parse(d->stylesXml, d->stylesPart);
    d->styles.load(d->stylesXml.document_element());
    if (d->zip.has("docProps/app.xml"))
        d->parse(d->appXml, "docProps/app.xml");
    d->loadColumns();
    d->loadSheetData();
    d->opened = true;
}

void Workbook::setText(int row, int column, const QString& text)
{
    d->requireOpen();
    Cell& cell = d->cellAt(row, column);
    cell.body.clear();
    // An empty value empties the cell, as the spreadsheet applications do.
    if (text.isEmpty()) {
        cell.kind = Cell::Blank;
        return;
    }
    const bool preserve = XmlAppendCellText(cell.body, text);
    cell.kind = preserve ? Cell::TextPreserved : Cell::Text;
}

void Workbook::setNumber(int row, int column, std::int64_t value)
{
    d->requireOpen();
    Cell& cell = d->cellAt(row, column);
    cell.body.clear();
    AppendNumber(cell.body, value);
    cell.kind = Cell::Number;
}

void Workbook::setDate(int row, int column, const QDate& date)
{
    d->requireOpen();
    // The serials of the spreadsheet applications agree from 1900-03-01 on.
    if (!date.isValid() || date < QDate(1900, 3, 1)) {
        setText(row, column, date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString());
        return;
    }
    Cell& cell = d->cellAt(row, column);
    cell.body.clear();
    AppendNumber(cell.body, QDate(1899, 12, 30).daysTo(date));
    cell.kind = Cell::Number;
    if (d->styles.numFmtOf(cell.style) == 0)
        cell.style = d->styles.withNumFmt(cell.style, QString::fromUtf16(kWesternDateFormat));
}

void Workbook::setColumnFormat(int column, const QString& formatCode)
{
    d->requireOpen();
    Impl::checkCell(1, column);
    pugi::xml_node cols = XmlChildInOrder(d->sheet, "cols", kWorksheetOrder);
    pugi::xml_node own;
    for (const ColumnRange& range : d->columns) {
        if (column < range.min || column > range.max)
            continue;
        own = range.node;
        if (range.min < column) {
            pugi::xml_node before = cols.insert_copy_before(range.node, range.node);
            before.attribute("max") = column - 1;
        }
        if (range.max > column) {
            pugi::xml_node after = cols.insert_copy_after(range.node, range.node);
            after.attribute("min") = column + 1;
        }
        own.attribute("min") = column;
        own.attribute("max") = column;
        break;
    }
    if (!own) {
        pugi::xml_node next;
        for (const ColumnRange& range : d->columns) {
            if (range.min > column) {
                next = range.node;
                break;
            }
        }
        own = next ? cols.insert_child_before("col", next) : cols.append_child("col");
        own.append_attribute("min") = column;
        own.append_attribute("max") = column;
        const double width = d->sheet.child("sheetFormatPr").attribute("defaultColWidth").as_double(9.140625);
        own.append_attribute("width") = width;
    }
    const int style = d->styles.withNumFmt(own.attribute("style").as_int(0), formatCode);
    if (!own.attribute("style"))
        own.append_attribute("style");
    own.attribute("style") = style;
    d->loadColumns();
    for (Row& row : d->rows) {
        auto it = std::lower_bound(row.cells.begin(), row.cells.end(), column,
                                   [](const Cell& c, int col) { return c.column < col; });
        if (it != row.cells.end() && it->column == column)
            it->style = d->styles.withNumFmt(it->style, formatCode);
    }
}

void Workbook::setLeftHeader(const QString& text)
{
    d->setHeaderSection(0, text, "LeftHeader");
}

void Workbook::setCenterHeader(const QString& text)
{
    d->setHeaderSection(1, text, "CenterHeader");
}

void Workbook::setRightHeader(const QString& text)
{
    d->setHeaderSection(2, text, "RightHeader");
}

void Workbook::setSheetName(const QString& wanted)
{
    d->requireOpen();
    const QString name = ValidSheetName(wanted);
    if (name.isEmpty())
        appError(QStringLiteral(" (シート名)"));
    pugi::xml_node sheets = d->workbookXml.document_element().child("sheets");
    pugi::xml_node first = sheets.child("sheet");
    const QString oldName = QString::fromUtf8(first.attribute("name").value());
    if (oldName == name)
        return;
    for (pugi::xml_node other = first.next_sibling("sheet"); other; other = other.next_sibling("sheet")) {
        if (QString::fromUtf8(other.attribute("name").value()).compare(name, Qt::CaseInsensitive) == 0)
            appError(QStringLiteral(" (シート名 %1 は既にあります)").arg(name));
    }
    first.attribute("name") = name.toUtf8().constData();
    for (pugi::xml_node dn :
         d->workbookXml.document_element().child("definedNames").children("definedName")) {
        const QString formula = QString::fromUtf8(dn.text().get());
        const QString renamed = RenameInFormula(formula, oldName, name);
        if (renamed != formula)
            dn.text() = renamed.toUtf8().constData();
    }
    d->workbookChanged = true;

    // The document properties list the sheets and their named ranges by name as well.
    if (pugi::xml_node parts = d->appXml.document_element().child("TitlesOfParts")) {
        for (const pugi::xpath_node& found : parts.select_nodes(".//*[local-name()='lpstr']")) {
            pugi::xml_node s = found.node();
            const QString value = QString::fromUtf8(s.text().get());
            if (value == oldName)
                s.text() = name.toUtf8().constData();
            else if (value.startsWith(oldName + QLatin1Char('!')))
                s.text() = (name + value.mid(oldName.size())).toUtf8().constData();
        }
        d->appChanged = true;
    }
}

void Workbook::drawBorders(int row1, int column1, int row2, int column2)
{
    d->requireOpen();
    Impl::checkCell(row1, column1);
    Impl::checkCell(row2, column2);
    if (row1 > row2)
        std::swap(row1, row2);
    if (column1 > column2)
        std::swap(column1, column2);
    for (int r = row1; r <= row2; ++r) {
        // Left and right edges, and the inside verticals from both of their sides.
        for (int c = column1; c <= column2; ++c) {
            unsigned sides = Left | Right;
            if (r == row2)
                sides |= Bottom;
            Cell& cell = d->cellAt(r, c);
            cell.style = d->styles.withBorders(cell.style, sides);
        }
    }
}

void Workbook::scrollToTop()
{
    d->requireOpen();
    pugi::xml_node views = XmlChildInOrder(d->sheet, "sheetViews", kWorksheetOrder);
    pugi::xml_node view = views.child("sheetView");
    if (!view) {
        view = views.append_child("sheetView");
        view.append_attribute("workbookViewId") = 0;
    }
    if (!view.attribute("tabSelected"))
        view.prepend_attribute("tabSelected");
    view.attribute("tabSelected") = 1;
    if (!view.attribute("topLeftCell"))
        view.append_attribute("topLeftCell");
    view.attribute("topLeftCell") = "A1";
    std::string paneName;
    if (pugi::xml_node pane = view.child("pane")) {
        const int xSplit = pane.attribute("xSplit").as_int(0), ySplit = pane.attribute("ySplit").as_int(0);
        if (pane.attribute("topLeftCell"))
            pane.attribute("topLeftCell") = XmlCellRef(ySplit + 1, xSplit + 1).c_str();
        paneName = pane.attribute("activePane").value();
    }
    while (pugi::xml_node s = view.child("selection"))
        view.remove_child(s);
    pugi::xml_node selection = view.append_child("selection");
    if (!paneName.empty())
        selection.append_attribute("pane") = paneName.c_str();
    selection.append_attribute("activeCell") = "A1";
    selection.append_attribute("sqref") = "A1";
    if (pugi::xml_node wbView = d->workbookXml.document_element().child("bookViews").child("workbookView")) {
        if (wbView.attribute("activeTab").as_int(0) != 0) {
            wbView.attribute("activeTab") = 0;
            d->workbookChanged = true;
        }
    }
}

void Workbook::save()
{
    d->requireOpen();
    d->buffers.clear();
    d->buffers.reserve(4);
    d->buffers.push_back(d->serializeSheet());
    d->zip.replace(d->sheetPart, d->buffers.back());
    if (d->styles.changed()) {
        d->styles.updateCounts();
        d->buffers.push_back(XmlDocumentText(d->stylesXml));
        d->zip.replace(d->stylesPart, d->buffers.back());
    }
    if (d->workbookChanged) {
        d->buffers.push_back(XmlDocumentText(d->workbookXml));
        d->zip.replace(d->workbookPart, d->buffers.back());
    }
    if (d->appChanged) {
        d->buffers.push_back(XmlDocumentText(d->appXml));
        d->zip.replace("docProps/app.xml", d->buffers.back());
    }
    d->zip.close(d->targetPath);
    d->buffers.clear();
    d->rows.clear();

    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(d->copyPath).constData()),
                            std::filesystem::path(QFile::encodeName(d->targetPath).constData()), error);
    if (error)
        throw SheetError(SheetError::PermissionDenied,
                         QStringLiteral("書き込みできません。 ") + native(d->targetPath));
    d->saved = true;
}

QString WorkbookTarget(const QString& fileName)
{
    return AppFile(G().DataPath) + QLatin1Char('/') + fileName;
}
