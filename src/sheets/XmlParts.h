#pragma once

#include <QString>

#include <pugixml.hpp>

#include <span>
#include <string>

// Helpers for the XML parts of a workbook.

// Loads a part's bytes as XML, as every reader of parts does (a lone blank between tags kept);
// false with the parser's reason, naming the part, when it is no XML.
bool LoadXmlPart(const std::string& name, const std::string& data, pugi::xml_document& doc, QString& why);

// The order of a worksheet's children, as the schema fixes it.
std::span<const char* const> WorksheetOrder();

// The child of that name, inserted at its place in the schema's order when it is missing.
pugi::xml_node XmlChildInOrder(pugi::xml_node parent, const char* name, std::span<const char* const> order);

// A node or a whole part as raw text; the part with its declaration.
std::string XmlText(pugi::xml_node node);
std::string XmlDocumentText(const pugi::xml_document& doc);

void XmlAppendNumber(std::string& out, long long value);

// Appends the text as UTF-8 XML content (or attribute value): characters that XML cannot
// carry are left out, so that a stray control character cannot spoil the part.
void XmlAppendEscaped(std::string& out, QStringView text, bool attribute);

// Appends the text of a cell as the spreadsheet applications read it back: line breaks as
// LF, at most 32,767 characters. Returns whether the text needs xml:space="preserve".
bool XmlAppendCellText(std::string& out, QStringView text);
