#include "XmlParts.h"

#include "core/TextRoutines.h"

#include <charconv>
#include <cstring>

namespace {

// The most characters a cell holds.
constexpr qsizetype kMaxCellText = 32767;

struct StringWriter : pugi::xml_writer
{
    std::string& out;
    explicit StringWriter(std::string& o) : out(o) {}
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
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

} // namespace

bool LoadXmlPart(const std::string& name, const std::string& data, pugi::xml_document& doc, QString& why)
{
    const auto result =
        doc.load_buffer(data.data(), data.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        why = QString::fromStdString(name) + QStringLiteral(": ") + QString::fromUtf8(result.description());
    return bool(result);
}

std::span<const char* const> WorksheetOrder()
{
    return kWorksheetOrder;
}

pugi::xml_node XmlChildInOrder(pugi::xml_node parent, const char* name, std::span<const char* const> order)
{
    if (pugi::xml_node existing = parent.child(name))
        return existing;
    std::size_t rank = order.size();
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (std::strcmp(order[i], name) == 0)
            rank = i;
    }
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        for (std::size_t i = rank + 1; i < order.size(); ++i) {
            if (std::strcmp(order[i], child.name()) == 0)
                return parent.insert_child_before(name, child);
        }
    }
    return parent.append_child(name);
}

std::string XmlText(pugi::xml_node node)
{
    std::string out;
    StringWriter writer(out);
    node.print(writer, "", pugi::format_raw | pugi::format_no_declaration);
    return out;
}

std::string XmlDocumentText(const pugi::xml_document& doc)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    StringWriter writer(out);
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration);
    return out;
}

void XmlAppendEscaped(std::string& out, QStringView text, bool attribute)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
                ++i;
            } else {
                c = 0xFFFD;
            }
        } else if (QChar::isLowSurrogate(c)) {
            c = 0xFFFD;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        case '"':
            out += attribute ? "&quot;" : "\"";
            continue;
        case '\t':
        case '\n':
            if (attribute)
                out += c == '\t' ? "&#9;" : "&#10;";
            else
                out += char(c);
            continue;
        case '\r':
            // CR LF and a lone CR are both a line break in a cell.
            if (!(i + 1 < n && text[i + 1] == QLatin1Char('\n')))
                out += attribute ? "&#10;" : "\n";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0xFFFE || c == 0xFFFF)
            continue;
        appendUtf8(out, c);
    }
}

bool XmlAppendCellText(std::string& out, QStringView text)
{
    if (text.size() > kMaxCellText) {
        qsizetype keep = kMaxCellText;
        if (text[keep - 1].isHighSurrogate())
            --keep;
        text = text.left(keep);
    }
    // The applications read "_xHHHH_" as an escaped character; a typed one must stay literal.
    qsizetype from = 0;
    for (qsizetype i = 0; i + 6 < text.size(); ++i) {
        if (text[i] == QLatin1Char('_') && text[i + 1] == QLatin1Char('x') && isHex(text[i + 2]) &&
            isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5]) &&
            text[i + 6] == QLatin1Char('_')) {
            XmlAppendEscaped(out, text.mid(from, i - from), false);
            out += "_x005F_";
            from = i + 1;
        }
    }
    XmlAppendEscaped(out, text.mid(from), false);
    if (text.isEmpty())
        return false;
    return IsBlankChar(text.front(), Blanks::Any) || IsBlankChar(text.back(), Blanks::Any);
}

void XmlAppendNumber(std::string& out, long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
