#include "Styles.h"

#include "NumberFormat.h"
#include "XmlParts.h"

#include <algorithm>

namespace {

const char* const kStylesOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                    "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                    "tableStyles",  "colors",  "extLst"};
const char* const kBorderOrder[] = {"left", "right", "top", "bottom", "diagonal", "vertical", "horizontal"};

template <class V> void setAttribute(pugi::xml_node n, const char* name, V value)
{
    pugi::xml_attribute a = n.attribute(name);
    if (!a)
        a = n.append_attribute(name);
    a = value;
}

} // namespace

void Styles::load(pugi::xml_node root)
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

int Styles::numFmtOf(int xf) const
{
    return node(xf).attribute("numFmtId").as_int(0);
}

int Styles::withNumFmt(int xf, const QString& code)
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

int Styles::withBorders(int xf, unsigned sides)
{
    const auto key = std::make_pair(xf, sides);
    if (auto it = m_borderCache.find(key); it != m_borderCache.end())
        return it->second;
    const int oldBorder = node(xf).attribute("borderId").as_int(0);
    pugi::xml_node border = m_borders.append_copy(borderNode(oldBorder));
    const std::pair<BorderSide, const char*> names[] = {
        {LeftSide, "left"}, {RightSide, "right"}, {TopSide, "top"}, {BottomSide, "bottom"}};
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

void Styles::updateCounts()
{
    if (m_numFmts)
        setAttribute(m_numFmts, "count", int(m_formatIds.size()));
    setAttribute(m_borders, "count", int(m_borderNodes.size()));
    setAttribute(m_cellXfs, "count", int(m_xfs.size()));
}

pugi::xml_node Styles::node(int xf) const
{
    return m_xfs.at(std::clamp<std::size_t>(xf, 0, m_xfs.size() - 1));
}

pugi::xml_node Styles::borderNode(int id)
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

int Styles::add(pugi::xml_node xf)
{
    m_xfs.push_back(xf);
    m_changed = true;
    return int(m_xfs.size()) - 1;
}

int Styles::formatId(const QString& code)
{
    if (const int id = BuiltInNumberFormatId(code); id >= 0)
        return id;
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
