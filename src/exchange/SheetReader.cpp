#include "SheetReader.h"

#include "core/TextRoutines.h"

#include "ZipReader.h"

#include "sheets/CellRef.h"
#include "sheets/NumberFormat.h"
#include "sheets/ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <cstring>
#include <memory>

namespace {

// The visible text of a string item: its runs, without the phonetic readings.
QString stringItem(pugi::xml_node si)
{
    QString text;
    if (pugi::xml_node t = si.child("t"))
        text += QString::fromUtf8(t.text().get());
    for (pugi::xml_node r : si.children("r"))
        text += QString::fromUtf8(r.child("t").text().get());
    return UnescapeX(text);
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
        throw QelError(QelError::Kind::NotFound,
                       QelError::sentence(QelError::Kind::NotFound) + QLatin1Char('\n') + ShownPath(path));
    ZipReader archive;
    archive.open(path);

    pugi::xml_document workbook, rels;
    archive.parse("xl/workbook.xml", workbook);
    model.sheetName = QString::fromUtf8(
        workbook.document_element().child("sheets").child("sheet").attribute("name").value());
    std::string sheetPart;
    if (archive.has("xl/_rels/workbook.xml.rels")) {
        archive.parse("xl/_rels/workbook.xml.rels", rels);
        sheetPart = FirstSheetPart(workbook, rels);
    }
    if (sheetPart.empty())
        throw QelError(QelError::Kind::NoSheet,
                       QelError::sentence(QelError::Kind::NoSheet) + QLatin1Char('\n') + ShownPath(path));

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
    if (archive.has("xl/sharedStrings.xml")) {
        pugi::xml_document doc;
        archive.parse("xl/sharedStrings.xml", doc);
        for (pugi::xml_node si : doc.document_element().children("si"))
            strings.push_back(stringItem(si));
    }

    if (archive.has("xl/styles.xml")) {
        pugi::xml_document doc;
        archive.parse("xl/styles.xml", doc);
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
            format.numberFormat = codes.count(id) ? codes[id] : BuiltInNumberFormat(id);
            pugi::xml_node alignment = xf.child("alignment");
            format.horizontal = QString::fromUtf8(alignment.attribute("horizontal").value());
            format.vertical = QString::fromUtf8(alignment.attribute("vertical").value());
            format.wrap = alignment.attribute("wrapText").as_bool(false);
            model.formats.push_back(format);
        }
    }

    pugi::xml_document doc;
    archive.parse(sheetPart, doc);
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
            if (pugi::xml_attribute ref = c.attribute("r"); ref && !ParseCellRef(ref.value(), row, column))
                throw QelError(QelError::Kind::Malformed,
                               QelError::sentence(QelError::Kind::Malformed) + QLatin1Char('\n') +
                                   ShownPath(path),
                               QStringLiteral("cell reference: ") + QString::fromUtf8(ref.value()).left(20));
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

QString UnescapeX(const QString& text)
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
