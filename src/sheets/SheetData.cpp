#include "SheetData.h"

#include "CellRef.h"
#include "SheetError.h"
#include "XmlParts.h"

#include <QString>

#include <algorithm>

void CheckCell(int row, int column)
{
    if (row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxSheetColumns)
        ThrowApplicationError(QStringLiteral(" (セル %1, %2)").arg(row).arg(column));
}

void SheetData::loadColumns()
{
    m_columns.clear();
    for (pugi::xml_node c : m_worksheet.child("cols").children("col"))
        m_columns.push_back({c.attribute("min").as_int(), c.attribute("max").as_int(), c});
}

int SheetData::columnStyle(int column) const
{
    for (const ColumnRange& c : m_columns) {
        if (column >= c.min && column <= c.max)
            return c.node.attribute("style").as_int(0);
    }
    return 0;
}

DataCell& SheetData::cellAt(int row, int column)
{
    CheckCell(row, column);
    if (m_rows.size() < std::size_t(row))
        m_rows.resize(row);
    DataRow& r = m_rows[row - 1];
    auto& cells = r.cells;
    if (cells.empty() || cells.back().column < column) {
        cells.push_back({column, r.style >= 0 ? r.style : columnStyle(column), DataCell::Blank, {}});
        return cells.back();
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const DataCell& c, int col) { return c.column < col; });
    if (it == cells.end() || it->column != column)
        it = cells.insert(it, {column, r.style >= 0 ? r.style : columnStyle(column), DataCell::Blank, {}});
    return *it;
}

void SheetData::load(pugi::xml_node worksheet)

{
    m_worksheet = worksheet;
    m_rows.clear();
    loadColumns();
    pugi::xml_node data = XmlChildInOrder(m_worksheet, "sheetData", WorksheetOrder());
    int lastRow = 0;
    for (pugi::xml_node rowNode : data.children("row")) {
        const int rowNumber = rowNode.attribute("r").as_int(lastRow + 1);
        CheckCell(rowNumber, 1);
        lastRow = rowNumber;
        if (m_rows.size() < std::size_t(rowNumber))
            m_rows.resize(rowNumber);
        DataRow& row = m_rows[rowNumber - 1];
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
                ThrowApplicationError(QStringLiteral(" (テンプレートのセル番地)"));
            lastColumn = column;
            DataCell& cell = cellAt(rowNumber, column);
            cell.style = c.attribute("s").as_int(0);
            cell.kind = DataCell::Raw;
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

std::string SheetData::serialize(const pugi::xml_document& doc)
{
    int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    std::size_t cellCount = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].cells.empty())
            continue;
        const int r = int(i) + 1;
        if (!minRow)
            minRow = r;
        maxRow = r;
        const int first = m_rows[i].cells.front().column, last = m_rows[i].cells.back().column;
        minCol = minCol ? std::min(minCol, first) : first;
        maxCol = std::max(maxCol, last);
        cellCount += m_rows[i].cells.size();
    }
    pugi::xml_node dimension = XmlChildInOrder(m_worksheet, "dimension", WorksheetOrder());
    dimension.remove_attributes();
    const std::string ref =
        minRow ? CellName(minRow, minCol) +
                     (minRow == maxRow && minCol == maxCol ? std::string() : ':' + CellName(maxRow, maxCol))
               : std::string("A1");
    dimension.append_attribute("ref") = ref.c_str();

    const std::string frame = XmlText(doc);
    const std::string marker = "<!--QEL-SHEETDATA-->";
    const std::size_t at = frame.find(marker);
    std::string out;
    out.reserve(frame.size() + cellCount * 64 + m_rows.size() * 24 + 64);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    out.append(frame, 0, at);
    std::string cellRef;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const DataRow& row = m_rows[i];
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
        for (const DataCell& cell : row.cells) {
            out += "<c r=\"";
            AppendColumnName(out, cell.column);
            out += rowNumber;
            out += '"';
            if (cell.style) {
                out += " s=\"";
                XmlAppendNumber(out, cell.style);
                out += '"';
            }
            switch (cell.kind) {
            case DataCell::Blank:
                out += "/>";
                break;
            case DataCell::Number:
                out += "><v>";
                out += cell.body;
                out += "</v></c>";
                break;
            case DataCell::Text:
                out += " t=\"inlineStr\"><is><t>";
                out += cell.body;
                out += "</t></is></c>";
                break;
            case DataCell::TextPreserved:
                out += " t=\"inlineStr\"><is><t xml:space=\"preserve\">";
                out += cell.body;
                out += "</t></is></c>";
                break;
            case DataCell::Raw:
                out += cell.body;
                break;
            }
        }
        out += "</row>";
    }
    out.append(frame, at + marker.size(), std::string::npos);
    return out;
}

void SheetData::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
}
