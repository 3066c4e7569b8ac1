#include "SheetData.h"

#include "core/TextRoutines.h"

#include "CellRef.h"
#include "WorkbookFailure.h"
#include "XmlParts.h"

#include <QDir>
#include <QString>
#include <QTemporaryFile>

#include <algorithm>
#include <charconv>

void CheckCell(int row, int column)
{
    if (row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxSheetColumns)
        ThrowApplicationError(QStringLiteral(" (セル %1, %2)").arg(row).arg(column));
}

SheetData::SheetData() = default;
SheetData::~SheetData() = default;

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
    if (row <= m_base)
        ThrowApplicationError(QStringLiteral(" (セル %1, %2 は書き出し済みです)").arg(row).arg(column));
    const std::size_t index = std::size_t(row - 1 - m_base);
    if (m_rows.size() <= index)
        m_rows.resize(index + 1);
    DataRow& r = m_rows[index];
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

void SheetData::load(pugi::xml_node worksheet, const QString& spillTemplate)
{
    m_worksheet = worksheet;
    m_spillTemplate = spillTemplate;
    clear();
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

void SheetData::appendRow(int number, const DataRow& row)
{
    if (row.cells.empty() && row.attributes.empty())
        return;
    std::string& out = m_spill;
    char digits[12];
    const std::string_view rowNumber(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    out += "<row r=\"";
    out += rowNumber;
    out += '"';
    out += row.attributes;
    if (row.cells.empty()) {
        out += "/>";
        return;
    }
    if (!m_minRow)
        m_minRow = number;
    m_maxRow = number;
    m_minColumn = m_minColumn ? std::min(m_minColumn, row.cells.front().column) : row.cells.front().column;
    m_maxColumn = std::max(m_maxColumn, row.cells.back().column);
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

void SheetData::finishRowsBefore(int row)
{
    if (row - 1 <= m_base)
        return;
    const int count = std::min<int>(row - 1 - m_base, int(m_rows.size()));
    for (int k = 0; k < count; ++k)
        appendRow(m_base + 1 + k, m_rows[k]);
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    m_base = row - 1;
    if (m_spill.size() >= kSpillSize)
        spill();
}

void SheetData::spill()
{
    if (!m_spillFile) {
        m_spillFile = std::make_unique<QTemporaryFile>(m_spillTemplate);
        if (!m_spillFile->open())
            throw WorkbookFailure(SheetNumber::PermissionDenied,
                                  QStringLiteral("書き込みできません。 ") + ShownPath(m_spillTemplate));
    }
    if (m_spillFile->write(m_spill.data(), qint64(m_spill.size())) != qint64(m_spill.size()))
        throw WorkbookFailure(SheetNumber::PermissionDenied,
                              QStringLiteral("書き込みできません。 ") + ShownPath(m_spillFile->fileName()) +
                                  QStringLiteral(" (") + m_spillFile->errorString() + QLatin1Char(')'));
    m_spill.clear();
}

PartText SheetData::serialize(const pugi::xml_document& doc)
{
    finishRowsBefore(m_base + int(m_rows.size()) + 1);
    pugi::xml_node dimension = XmlChildInOrder(m_worksheet, "dimension", WorksheetOrder());
    dimension.remove_attributes();
    const std::string ref =
        m_minRow ? CellName(m_minRow, m_minColumn) + (m_minRow == m_maxRow && m_minColumn == m_maxColumn
                                                          ? std::string()
                                                          : ':' + CellName(m_maxRow, m_maxColumn))
                 : std::string("A1");
    dimension.append_attribute("ref") = ref.c_str();

    const std::string frame = XmlText(doc);
    const std::string marker = "<!--QEL-SHEETDATA-->";
    const std::size_t at = frame.find(marker);
    PartText part;
    part.head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    part.head.append(frame, 0, at);
    if (m_spillFile) {
        spill();
        if (!m_spillFile->flush())
            throw WorkbookFailure(SheetNumber::PermissionDenied, QStringLiteral("書き込みできません。 ") +
                                                                     ShownPath(m_spillFile->fileName()));
        part.file = m_spillFile->fileName();
    } else {
        part.head += m_spill;
        m_spill = {};
    }
    part.tail.assign(frame, at + marker.size(), std::string::npos);
    return part;
}

void SheetData::clear()
{
    m_rows = {};
    m_spill = {};
    m_spillFile.reset();
    m_base = 0;
    m_minRow = m_maxRow = m_minColumn = m_maxColumn = 0;
}
