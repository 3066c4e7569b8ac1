#pragma once

#include <QString>

#include <pugixml.hpp>

#include <map>
#include <string>
#include <utility>
#include <vector>

enum BorderSide : unsigned { LeftSide = 1, RightSide = 2, TopSide = 4, BottomSide = 8 };

// The cell formats of styles.xml, extended on demand with the borders and number formats
// the writers ask for. Formats are referred to by their index in cellXfs.
class Styles
{
  public:
    void load(pugi::xml_node root);

    bool changed() const { return m_changed; }
    int numFmtOf(int xf) const;

    // The format like xf but with the number format code, or with thin lines on the sides.
    int withNumFmt(int xf, const QString& code);
    int withBorders(int xf, unsigned sides);

    // Before the part is written out.
    void updateCounts();

  private:
    pugi::xml_node node(int xf) const;
    pugi::xml_node borderNode(int id);
    int add(pugi::xml_node xf);
    int formatId(const QString& code);

    pugi::xml_node m_root, m_numFmts, m_borders, m_cellXfs;
    std::vector<pugi::xml_node> m_xfs, m_borderNodes;
    std::map<QString, int> m_formatIds;
    std::map<std::string, int> m_borderKeys;
    std::map<std::pair<int, int>, int> m_fmtCache;
    std::map<std::pair<int, unsigned>, int> m_borderCache;
    int m_nextFormatId = 164;
    bool m_changed = false;
};
