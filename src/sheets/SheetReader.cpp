#include "SheetReader.h"

#include "NumberFormat.h"
#include "SheetError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>
#include <zip.h>

#include <cstring>
#include <memory>

namespace {

[[noreturn]] void unreadable(const QString& path, const QString& why)
{
    throw SheetError(SheetError::Application, QStringLiteral("ブックを読めません。 ") +
                                                  QDir::toNativeSeparators(path) + QStringLiteral(" ") + why);
}

struct Archive
{
    zip_t* zip = nullptr;
    ~Archive()
    {
        if (zip)
            zip_discard(zip);
    }

    bool read(const std::string& name, std::string& data) const
    {
        zip_stat_t st;
        if (zip_stat(zip, name.c_str(), 0, &st) != 0)
            return false;
        data.assign(st.size, '\0');
        zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
        const zip_int64_t got = file ? zip_fread(file, data.data(), st.size) : -1;
        if (file)
            zip_fclose(file);
        return got == zip_int64_t(st.size);
    }
};

// "_xHHHH_" stands for the character HHHH.
QString unescapeX(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x') &&
            text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// The visible text of a string item: its runs, without the phonetic readings.
QString stringItem(pugi::xml_node si)
{
    QString text;
    if (pugi::xml_node t = si.child("t"))
        text += QString::fromUtf8(t.text().get());
    for (pugi::xml_node r : si.children("r"))
        text += QString::fromUtf8(r.child("t").text().get());
    return unescapeX(text);
}

void cellRef(const char* ref, int& row, int& column)
{
    row = 0;
    column = 0;
    for (; *ref >= 'A' && *ref <= 'Z'; ++ref)
        column = column * 26 + (*ref - 'A' + 1);
    for (; *ref >= '0' && *ref <= '9'; ++ref)
        row = row * 10 + (*ref - '0');
}

QString builtInFormat(int id)
{
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 14:
        return QStringLiteral("yyyy/m/d");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("General");
    }
}

void parse(pugi::xml_document& doc, const std::string& data, const QString& path, const char* part)
{
    if (!doc.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single))
        unreadable(path, QString::fromLatin1(part));
}

} // namespace

const SheetCell* SheetModel::cell(int row, int column) const
{
    const auto r = rows.find(row);
    if (r == rows.end())
        return nullptr;
    const auto c = r->second.find(column);
    return c == r->second.end() ? nullptr : &c->second;
}

const SheetFormat& SheetModel::format(int style) const
{
    static const SheetFormat none;
    return style >= 0 && std::size_t(style) < formats.size() ? formats[style]
           : formats.empty()                                 ? none
                                                             : formats.front();
}

const SheetFont& SheetModel::font(int style) const
{
    static const SheetFont none;
    const int id = format(style).font;
    return id >= 0 && std::size_t(id) < fonts.size() ? fonts[id] : none;
}

const SheetBorder& SheetModel::border(int style) const
{
    static const SheetBorder none;
    const int id = format(style).border;
    return id >= 0 && std::size_t(id) < borders.size() ? borders[id] : none;
}

double SheetModel::columnWidth(int column) const
{
    for (const ColumnWidth& c : columns) {
        if (column >= c.min && column <= c.max)
            return c.hidden ? 0 : c.width;
    }
    return defaultColumnWidth;
}

int SheetModel::columnStyle(int column) const
{
    for (const ColumnWidth& c : columns) {
        if (column >= c.min && column <= c.max)
            return c.style;
    }
    return 0;
}

double SheetModel::rowHeight(int row) const
{
    const auto it = rowHeights.find(row);
    return it == rowHeights.end() ? defaultRowHeight : it->second;
}

QString SheetModel::displayText(const SheetCell& c) const
{
    if (!c.isNumber)
        return c.text;
    return FormatCellNumber(c.number, format(c.style).numberFormat);
}

int SheetModel::lastRow() const
{
    return rows.empty() ? 0 : rows.rbegin()->first;
}

int SheetModel::lastColumn() const
{
    int last = 0;
    for (const auto& [r, cells] : rows) {
        if (!cells.empty())
            last = std::max(last, cells.rbegin()->first);
    }
    return last;
}

SheetModel ReadWorkbook(const QString& path)
{
    SheetModel model;
    model.fileName = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile())
        throw SheetError(SheetError::FileNotFound,
                         QStringLiteral("ファイルが見つかりません。 ") + QDir::toNativeSeparators(path));
    Archive archive;
    int error = 0;
    archive.zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive.zip)
        unreadable(path, QStringLiteral("(zip)"));

    std::string data;
    pugi::xml_document workbook, rels;
    if (!archive.read("xl/workbook.xml", data))
        unreadable(path, QStringLiteral("xl/workbook.xml"));
    parse(workbook, data, path, "xl/workbook.xml");
    pugi::xml_node sheet = workbook.document_element().child("sheets").child("sheet");
    model.sheetName = QString::fromUtf8(sheet.attribute("name").value());
    std::string relId;
    for (pugi::xml_attribute a : sheet.attributes()) {
        const std::string_view name = a.name();
        if (name.size() >= 3 && name.substr(name.size() - 3) == ":id")
            relId = a.value();
    }
    std::string sheetPart;
    if (archive.read("xl/_rels/workbook.xml.rels", data)) {
        parse(rels, data, path, "xl/_rels/workbook.xml.rels");
        for (pugi::xml_node rel : rels.document_element().children("Relationship")) {
            if (relId == rel.attribute("Id").value()) {
                const std::string target = rel.attribute("Target").value();
                sheetPart = !target.empty() && target[0] == '/' ? target.substr(1) : "xl/" + target;
            }
        }
    }
    if (sheetPart.empty())
        unreadable(path, QStringLiteral("(ワークシートがありません)"));

    for (pugi::xml_node dn : workbook.document_element().child("definedNames").children("definedName")) {
        if (std::strcmp(dn.attribute("name").value(), "_xlnm.Print_Titles") != 0 ||
            dn.attribute("localSheetId").as_int(-1) != 0)
            continue;
        const QString formula = QString::fromUtf8(dn.text().get());
        for (const QString& part : formula.split(QLatin1Char(','))) {
            const QString range = part.mid(part.lastIndexOf(QLatin1Char('!')) + 1).remove(QLatin1Char('$'));
            const QStringList ends = range.split(QLatin1Char(':'));
            bool ok1 = false, ok2 = false;
            const int first = ends.value(0).toInt(&ok1), last = ends.value(1).toInt(&ok2);
            if (ok1 && ok2) {
                model.titleFirstRow = first;
                model.titleLastRow = last;
            }
        }
    }

    std::vector<QString> strings;
    if (archive.read("xl/sharedStrings.xml", data)) {
        pugi::xml_document doc;
        parse(doc, data, path, "xl/sharedStrings.xml");
        for (pugi::xml_node si : doc.document_element().children("si"))
            strings.push_back(stringItem(si));
    }

    if (archive.read("xl/styles.xml", data)) {
        pugi::xml_document doc;
        parse(doc, data, path, "xl/styles.xml");
        pugi::xml_node root = doc.document_element();
        std::map<int, QString> codes;
        for (pugi::xml_node f : root.child("numFmts").children("numFmt"))
            codes[f.attribute("numFmtId").as_int()] = QString::fromUtf8(f.attribute("formatCode").value());
        for (pugi::xml_node f : root.child("fonts").children("font")) {
            SheetFont font;
            font.name = QString::fromUtf8(f.child("name").attribute("val").value());
            font.size = f.child("sz").attribute("val").as_double(11);
            font.bold = f.child("b") && f.child("b").attribute("val").as_bool(true);
            font.italic = f.child("i") && f.child("i").attribute("val").as_bool(true);
            model.fonts.push_back(font);
        }
        for (pugi::xml_node b : root.child("borders").children("border")) {
            auto lined = [&](const char* side) {
                const char* style = b.child(side).attribute("style").value();
                return *style && std::strcmp(style, "none") != 0;
            };
            model.borders.push_back({lined("left"), lined("right"), lined("top"), lined("bottom")});
        }
        for (pugi::xml_node xf : root.child("cellXfs").children("xf")) {
            SheetFormat format;
            format.font = xf.attribute("fontId").as_int(0);
            format.border = xf.attribute("borderId").as_int(0);
            const int id = xf.attribute("numFmtId").as_int(0);
            format.numberFormat = codes.count(id) ? codes[id] : builtInFormat(id);
            pugi::xml_node alignment = xf.child("alignment");
            format.horizontal = QString::fromUtf8(alignment.attribute("horizontal").value());
            format.vertical = QString::fromUtf8(alignment.attribute("vertical").value());
            format.wrap = alignment.attribute("wrapText").as_bool(false);
            model.formats.push_back(format);
        }
    }

    if (!archive.read(sheetPart, data))
        unreadable(path, QString::fromStdString(sheetPart));
    pugi::xml_document doc;
    parse(doc, data, path, sheetPart.c_str());
    data.clear();
    data.shrink_to_fit();
    pugi::xml_node ws = doc.document_element();
    model.dimension = QString::fromUtf8(ws.child("dimension").attribute("ref").value());
    pugi::xml_node view = ws.child("sheetViews").child("sheetView");
    model.topLeftCell = QString::fromUtf8(view.attribute("topLeftCell").value());
    model.activeCell = QString::fromUtf8(view.child("selection").attribute("activeCell").value());
    pugi::xml_node formatPr = ws.child("sheetFormatPr");
    model.defaultRowHeight = formatPr.attribute("defaultRowHeight").as_double(15);
    if (pugi::xml_attribute w = formatPr.attribute("defaultColWidth"))
        model.defaultColumnWidth = w.as_double();
    for (pugi::xml_node c : ws.child("cols").children("col")) {
        model.columns.push_back({c.attribute("min").as_int(), c.attribute("max").as_int(),
                                 c.attribute("width").as_double(model.defaultColumnWidth),
                                 c.attribute("hidden").as_bool(false), c.attribute("style").as_int(0)});
    }
    int lastRow = 0;
    for (pugi::xml_node rowNode : ws.child("sheetData").children("row")) {
        const int r = rowNode.attribute("r").as_int(lastRow + 1);
        lastRow = r;
        if (pugi::xml_attribute ht = rowNode.attribute("ht"))
            model.rowHeights[r] = ht.as_double();
        if (rowNode.attribute("hidden").as_bool(false))
            model.rowHeights[r] = 0;
        auto& cells = model.rows[r];
        int lastColumn = 0;
        for (pugi::xml_node c : rowNode.children("c")) {
            int row = r, column = lastColumn + 1;
            if (pugi::xml_attribute ref = c.attribute("r"))
                cellRef(ref.value(), row, column);
            lastColumn = column;
            SheetCell cell;
            cell.style = c.attribute("s").as_int(0);
            const std::string_view type = c.attribute("t").value();
            if (type == "s") {
                const int index = c.child("v").text().as_int(-1);
                cell.text = index >= 0 && std::size_t(index) < strings.size() ? strings[index] : QString();
            } else if (type == "inlineStr") {
                cell.text = stringItem(c.child("is"));
            } else if (type == "str" || type == "e") {
                cell.text = QString::fromUtf8(c.child("v").text().get());
            } else if (type == "b") {
                cell.text = c.child("v").text().as_bool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (c.child("v")) {
                cell.isNumber = true;
                cell.number = c.child("v").text().as_double();
            }
            cells[column] = cell;
        }
        if (cells.empty())
            model.rows.erase(r);
    }
    model.oddHeader = QString::fromUtf8(ws.child("headerFooter").child("oddHeader").text().get());
    model.oddFooter = QString::fromUtf8(ws.child("headerFooter").child("oddFooter").text().get());
    pugi::xml_node margins = ws.child("pageMargins");
    SheetPage& page = model.page;
    page.left = margins.attribute("left").as_double(page.left);
    page.right = margins.attribute("right").as_double(page.right);
    page.top = margins.attribute("top").as_double(page.top);
    page.bottom = margins.attribute("bottom").as_double(page.bottom);
    page.header = margins.attribute("header").as_double(page.header);
    page.footer = margins.attribute("footer").as_double(page.footer);
    pugi::xml_node setup = ws.child("pageSetup");
    page.paperSize = setup.attribute("paperSize").as_int(9);
    page.landscape = std::strcmp(setup.attribute("orientation").value(), "landscape") == 0;
    page.scale = setup.attribute("scale").as_int(100);
    page.fitToWidth = setup.attribute("fitToWidth").as_int(1);
    page.fitToHeight = setup.attribute("fitToHeight").as_int(1);
    page.fitToPage = ws.child("sheetPr").child("pageSetUpPr").attribute("fitToPage").as_bool(false);
    return model;
}

HeaderText HeaderSectionsOf(const QString& header, int page, int pages, const QString& sheetName,
                            const QString& fileName)
{
    QString sections[3];
    int section = 1;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QChar c = header.at(i);
        if (c != QLatin1Char('&') || i + 1 >= header.size()) {
            sections[section] += c;
            continue;
        }
        const QChar code = header.at(++i);
        switch (code.toUpper().unicode()) {
        case 'L':
            section = 0;
            break;
        case 'C':
            section = 1;
            break;
        case 'R':
            section = 2;
            break;
        case '&':
            sections[section] += QLatin1Char('&');
            break;
        case 'P':
            sections[section] += QString::number(page);
            break;
        case 'N':
            sections[section] += QString::number(pages);
            break;
        case 'A':
            sections[section] += sheetName;
            break;
        case 'F':
            sections[section] += fileName;
            break;
        case 'D':
            sections[section] += QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
            break;
        case 'T':
            sections[section] += QTime::currentTime().toString(QStringLiteral("HH:mm"));
            break;
        case '"': {
            const qsizetype end = header.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? header.size() : end;
            break;
        }
        default:
            if (code.isDigit()) {
                while (i + 1 < header.size() && header.at(i + 1).isDigit())
                    ++i;
            }
            break;
        }
    }
    return {sections[0], sections[1], sections[2]};
}
