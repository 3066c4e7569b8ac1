#include "CellFills.h"

#include "exchange/ZipReader.h"

#include <pugixml.hpp>

#include <cstring>

namespace {

// The first colours of the legacy indexed palette, the ones a template is likely to name.
QColor indexedColour(int index)
{
    static const QRgb palette[] = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF,
        0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000,
        0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080,
        0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC,
        0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966, 0x003300, 0x333300,
        0x993300, 0x993366, 0x333399, 0x333333};
    if (index < 0 || index >= int(std::size(palette)))
        return {};
    return QColor::fromRgb(palette[index]);
}

QColor colourOf(pugi::xml_node colour)
{
    if (!colour)
        return {};
    if (pugi::xml_attribute rgb = colour.attribute("rgb")) {
        const QString argb = QString::fromLatin1(rgb.value());
        bool ok = false;
        const uint value = argb.right(6).toUInt(&ok, 16);
        return ok ? QColor::fromRgb(value) : QColor();
    }
    if (pugi::xml_attribute indexed = colour.attribute("indexed"))
        return indexedColour(indexed.as_int(-1));
    return {};
}

} // namespace

std::vector<QColor> ReadCellFills(const QString& path)
{
    ZipReader package;
    pugi::xml_document doc;
    try {
        package.open(path);
        package.parse("xl/styles.xml", doc);
    } catch (const QelError&) {
        return {}; // the cells are drawn without fills
    }
    const pugi::xml_node root = doc.document_element();

    std::vector<QColor> fills;
    for (pugi::xml_node fill : root.child("fills").children("fill")) {
        const pugi::xml_node pattern = fill.child("patternFill");
        const char* type = pattern.attribute("patternType").value();
        // Only solid fills are drawn; the gray patterns are rare in templates.
        fills.push_back(std::strcmp(type, "solid") == 0 ? colourOf(pattern.child("fgColor")) : QColor());
    }
    std::vector<QColor> byFormat;
    for (pugi::xml_node xf : root.child("cellXfs").children("xf")) {
        const int id = xf.attribute("fillId").as_int(0);
        byFormat.push_back(id >= 0 && id < int(fills.size()) ? fills[size_t(id)] : QColor());
    }
    return byFormat;
}
