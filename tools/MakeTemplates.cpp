// Build-time generator of the workbook templates from their designs in data/templates:
//   qel_templates <design.txt> <app folder>
// Each design line is a directive and its tab-separated arguments; '#' starts a comment.
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, '\t'))
        parts.push_back(part);
    return parts;
}

[[noreturn]] void fail(int lineNumber, const std::string& why)
{
    throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + why);
}

int columnIndex(const std::string& letters, int lineNumber)
{
    int column = 0;
    for (char c : letters) {
        if (c < 'A' || c > 'Z')
            fail(lineNumber, "bad column " + letters);
        column = column * 26 + (c - 'A' + 1);
    }
    return column - 1;
}

void cellIndex(const std::string& ref, int& row, int& column, int lineNumber)
{
    std::size_t digits = ref.find_first_of("0123456789");
    if (digits == 0 || digits == std::string::npos)
        fail(lineNumber, "bad cell " + ref);
    column = columnIndex(ref.substr(0, digits), lineNumber);
    row = std::stoi(ref.substr(digits)) - 1;
}

struct Design
{
    std::string output, sheet = "Sheet1", fontName = "ＭＳ ゴシック";
    double fontSize = 10;
    std::vector<std::vector<std::string>> lines;
    std::vector<int> lineNumbers;
};

lxw_format* makeFormat(lxw_workbook* book, const Design& design, const std::vector<std::string>& properties,
                       int lineNumber)
{
    lxw_format* f = workbook_add_format(book);
    format_set_font_name(f, design.fontName.c_str());
    format_set_font_size(f, design.fontSize);
    for (const std::string& p : properties) {
        const std::size_t eq = p.find('=');
        const std::string key = p.substr(0, eq), value = eq == std::string::npos ? "" : p.substr(eq + 1);
        if (key == "bold")
            format_set_bold(f);
        else if (key == "italic")
            format_set_italic(f);
        else if (key == "wrap")
            format_set_text_wrap(f);
        else if (key == "size")
            format_set_font_size(f, std::stod(value));
        else if (key == "num")
            format_set_num_format(f, value.c_str());
        else if (key == "bg")
            format_set_bg_color(f, std::stoi(value.substr(1), nullptr, 16));
        else if (key == "align")
            format_set_align(f, value == "center"  ? LXW_ALIGN_CENTER
                                : value == "right" ? LXW_ALIGN_RIGHT
                                                   : LXW_ALIGN_LEFT);
        else if (key == "valign")
            format_set_align(f, value == "center" ? LXW_ALIGN_VERTICAL_CENTER
                                : value == "top"  ? LXW_ALIGN_VERTICAL_TOP
                                                  : LXW_ALIGN_VERTICAL_BOTTOM);
        else if (key == "border") {
            std::istringstream sides(value);
            std::string side;
            while (std::getline(sides, side, ',')) {
                if (side == "left")
                    format_set_left(f, LXW_BORDER_THIN);
                else if (side == "right")
                    format_set_right(f, LXW_BORDER_THIN);
                else if (side == "top")
                    format_set_top(f, LXW_BORDER_THIN);
                else if (side == "bottom")
                    format_set_bottom(f, LXW_BORDER_THIN);
                else
                    fail(lineNumber, "bad border side " + side);
            }
        } else if (!key.empty())
            fail(lineNumber, "unknown format property " + key);
    }
    return f;
}

void check(lxw_error error, int lineNumber)
{
    if (error != LXW_NO_ERROR)
        fail(lineNumber, lxw_strerror(error));
}

void makeTemplate(const std::string& designPath, const std::string& appDir)
{
    std::ifstream in(designPath);
    if (!in)
        throw std::runtime_error("cannot read " + designPath);
    Design design;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> parts = split(line);
        if (parts[0] == "output")
            design.output = parts.at(1);
        else if (parts[0] == "sheet")
            design.sheet = parts.at(1);
        else if (parts[0] == "font") {
            design.fontName = parts.at(1);
            design.fontSize = std::stod(parts.at(2));
        } else {
            design.lines.push_back(parts);
            design.lineNumbers.push_back(lineNumber);
        }
    }
    if (design.output.empty())
        throw std::runtime_error(designPath + ": no output");

    const std::string target = appDir + "/" + design.output;
    lxw_workbook* book = workbook_new(target.c_str());
    if (!book)
        throw std::runtime_error("cannot create " + target);
    // A fixed creation time keeps the template the same from build to build.
    lxw_doc_properties properties = {};
    properties.created = 1112313600; // 2005-04-01
    workbook_set_properties(book, &properties);
    // The workbook's own font (its first, the Normal style's) is the design's font: the spreadsheet
    // programs count the column widths in its digits. Left as the writer's Calibri, the columns'
    // printed widths would follow whichever font each system substitutes for Calibri.
    lxw_format* normal = STAILQ_FIRST(book->formats);
    format_set_font_name(normal, design.fontName.c_str());
    format_set_font_size(normal, design.fontSize);
    lxw_worksheet* sheet = workbook_add_worksheet(book, design.sheet.c_str());
    std::map<std::string, lxw_format*> formats;
    double headerMargin = 0.3, footerMargin = 0.3;
    std::string header, footer;
    auto formatNamed = [&](const std::string& name, int n) -> lxw_format* {
        if (name.empty() || name == "-")
            return nullptr;
        const auto it = formats.find(name);
        if (it == formats.end())
            fail(n, "unknown format " + name);
        return it->second;
    };

    for (std::size_t i = 0; i < design.lines.size(); ++i) {
        const std::vector<std::string>& p = design.lines[i];
        const int n = design.lineNumbers[i];
        const std::string& kind = p[0];
        auto arg = [&](std::size_t k) -> const std::string& {
            if (k >= p.size())
                fail(n, "missing argument");
            return p[k];
        };
        if (kind == "paper") {
            worksheet_set_paper(sheet, std::stoi(arg(1)));
            if (arg(2) == "landscape")
                worksheet_set_landscape(sheet);
            else
                worksheet_set_portrait(sheet);
        } else if (kind == "margins") {
            worksheet_set_margins(sheet, std::stod(arg(1)), std::stod(arg(2)), std::stod(arg(3)),
                                  std::stod(arg(4)));
            headerMargin = std::stod(arg(5));
            footerMargin = std::stod(arg(6));
        } else if (kind == "scale") {
            worksheet_set_print_scale(sheet, std::stoi(arg(1)));
        } else if (kind == "fit") {
            worksheet_fit_to_pages(sheet, std::stoi(arg(1)), std::stoi(arg(2)));
        } else if (kind == "repeat_rows") {
            check(worksheet_repeat_rows(sheet, std::stoi(arg(1)) - 1, std::stoi(arg(2)) - 1), n);
        } else if (kind == "default_row") {
            worksheet_set_default_row(sheet, std::stod(arg(1)), LXW_FALSE);
        } else if (kind == "header") {
            header = arg(1);
        } else if (kind == "footer") {
            footer = arg(1);
        } else if (kind == "row") {
            check(worksheet_set_row(sheet, std::stoi(arg(1)) - 1, std::stod(arg(2)), nullptr), n);
        } else if (kind == "format") {
            formats[arg(1)] = makeFormat(book, design, std::vector<std::string>(p.begin() + 2, p.end()), n);
        } else if (kind == "column") {
            const int column = columnIndex(arg(1), n);
            check(worksheet_set_column(sheet, column, column, std::stod(arg(2)),
                                       formatNamed(p.size() > 3 ? p[3] : "", n)),
                  n);
        } else if (kind == "cell") {
            int row = 0, column = 0;
            cellIndex(arg(1), row, column, n);
            lxw_format* format = formatNamed(arg(2), n);
            if (p.size() > 3 && !p[3].empty())
                check(worksheet_write_string(sheet, row, column, p[3].c_str(), format), n);
            else
                check(worksheet_write_blank(sheet, row, column, format), n);
        } else {
            fail(n, "unknown directive " + kind);
        }
    }
    // The header and footer take their margins with them, whatever the order of the lines.
    lxw_header_footer_options headerOptions = {}, footerOptions = {};
    headerOptions.margin = headerMargin;
    footerOptions.margin = footerMargin;
    if (!header.empty())
        check(worksheet_set_header_opt(sheet, header.c_str(), &headerOptions), 0);
    if (!footer.empty())
        check(worksheet_set_footer_opt(sheet, footer.c_str(), &footerOptions), 0);
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR)
        throw std::runtime_error("cannot write " + target + ": " + lxw_strerror(closed));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: qel_templates <design.txt> <app folder>\n");
        return 2;
    }
    try {
        makeTemplate(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qel_templates: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
