#include "AddressLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The seven boxes of a postcard: 5.7 × 8.0 mm, 12.0 mm from the top, the last one's right side
// 8.0 mm from the right edge; 1.3 mm between the first three, 1.9 mm after the third, 1.1 mm
// between the last four.
constexpr double kBoxTop = 12.0, kBoxWidth = 5.7, kBoxHeight = 8.0;
constexpr double kBoxLefts[7] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
constexpr double kDigitSize = 5.6;

// The recipient's vertical text runs between these heights; the address at the right, the name
// about the middle, the sender in the lower left.
constexpr double kTextTop = 26.0, kTextBottom = 136.0;
constexpr double kAddressRight = 92.0;
constexpr double kNameCentre = 50.0;
constexpr QRectF kSenderArea{6.0, 58.0, 32.0, 74.0};
constexpr double kSenderPostalTop = 134.0;

constexpr double kColumnPitch = 1.5; // address columns, in ems
constexpr double kNamePitch = 1.25;

// Label texts keep this far from the label's edges.
constexpr double kLabelPadX = 4.0, kLabelPadY = 3.0;
constexpr double kLineHeight = 1.25;

bool IsSmallKana(QChar c)
{
    static const QString small =
        QStringLiteral("ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ");
    return small.contains(c);
}

bool IsHyphen(QChar c)
{
    static const QString hyphens = QStringLiteral("-‐‑‒–—―−－─━");
    return hyphens.contains(c);
}

bool IsNarrow(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0xFF61 && u <= 0xFF9F);
}

QString Widened(QChar c)
{
    const char16_t u = c.unicode();
    if (u == 0x20)
        return QStringLiteral("　");
    if (u > 0x20 && u < 0x7F)
        return QString(QChar(char16_t(u + 0xFEE0)));
    return QString(c);
}

// Half-width katakana and full-width Latin as ordinary text: the compatibility forms folded,
// but full-width blanks kept as blanks.
QString Folded(const QString& text)
{
    return text.normalized(QString::NormalizationForm_KC);
}

QRectF Cell(double cx, double cy, double w, double h)
{
    return QRectF(cx - w / 2, cy - h / 2, w, h);
}

// A horizontal line: its width follows its characters (half-width ones half an em).
PlacedText Run(const QString& text, double left, double top, double size)
{
    PlacedText t;
    t.text = text;
    t.size = size;
    t.box = QRectF(left, top, EmWidth(text) * size, size);
    return t;
}

// Breaks a horizontal text into lines of at most `ems`; a unit (the honorific with its blank)
// is never parted.
QStringList WrapEms(const QStringList& units, double ems)
{
    QStringList lines;
    QString line;
    for (const QString& unit : units) {
        if (!line.isEmpty() && EmWidth(line + unit) > ems + 1e-9) {
            lines << line;
            line.clear();
        }
        line += unit;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QStringList Characters(const QString& text)
{
    QStringList units;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            units << text.mid(i, 2);
            ++i;
        } else {
            units << text.mid(i, 1);
        }
    }
    return units;
}

// One paragraph of vertical text: its cells and how many ems its columns start below the top.
struct Paragraph
{
    std::vector<VerticalGlyph> cells;
    int indent = 0;
    int keepTail = 0; // cells at the end that stay in one column (the honorific)
};

// The columns of a paragraph at a size: each column the cells it holds.
std::vector<std::vector<VerticalGlyph>> Columns(const Paragraph& p, double size, double length,
                                                int columns = 0)
{
    std::vector<std::vector<VerticalGlyph>> result;
    const int n = int(p.cells.size());
    if (n == 0)
        return result;
    const int room = std::max(1, int(std::floor(length / size + 1e-9)) - p.indent);
    const int count = std::max(columns, (n + room - 1) / room);
    // Balanced columns, the first ones the longer.
    int per = (n + count - 1) / count;
    int at = 0;
    while (at < n) {
        int take = std::min(per, n - at);
        // The tail stays whole: break before it rather than inside it.
        const int tailStart = n - p.keepTail;
        if (at + take > tailStart && at + take < n && at < tailStart)
            take = tailStart - at;
        std::vector<VerticalGlyph> column(p.cells.begin() + at, p.cells.begin() + at + take);
        // A column after the first does not start with a blank.
        while (!result.empty() && !column.empty() && column.front().text == QStringLiteral("　"))
            column.erase(column.begin());
        if (!column.empty())
            result.push_back(std::move(column));
        at += take;
    }
    return result;
}

int ColumnsNeeded(const Paragraph& p, double size, double length)
{
    const int n = int(p.cells.size());
    if (n == 0)
        return 0;
    const int room = std::max(1, int(std::floor(length / size + 1e-9)) - p.indent);
    return (n + room - 1) / room;
}

// The largest size from `preferred` down to `minimum` at which the paragraphs take at most
// `columns` columns; the smallest that fits at all when none does, so that nothing is cut.
double FitSize(const std::vector<Paragraph>& paragraphs, double length, double preferred, double minimum,
               int columns)
{
    for (double s = preferred; s >= minimum - 1e-9; s -= 0.05) {
        int total = 0;
        for (const Paragraph& p : paragraphs)
            total += ColumnsNeeded(p, s, length);
        if (total <= columns)
            return s;
    }
    return 0;
}

double FitStaged(const std::vector<Paragraph>& paragraphs, double length, double preferred,
                 std::initializer_list<std::pair<double, int>> stages)
{
    for (const auto& [minimum, extra] : stages) {
        int base = 0;
        for (const Paragraph& p : paragraphs)
            base += p.cells.empty() ? 0 : 1;
        if (const double s = FitSize(paragraphs, length, preferred, minimum, base + extra); s > 0)
            return s;
    }
    return stages.size() ? std::min(preferred, (stages.end() - 1)->first) : preferred;
}

// Places the columns right to left from `right` (the first column's right side), each glyph in
// its cell from `top`, with `tracking` extra between the glyphs. Returns the left of the last.
double PlaceColumns(std::vector<PlacedText>& out, const std::vector<std::vector<VerticalGlyph>>& columns,
                    double size, double right, double top, double pitch, double tracking = 0)
{
    double x = right - size / 2;
    for (const auto& column : columns) {
        double y = top + size / 2;
        for (const VerticalGlyph& g : column) {
            if (g.text != QStringLiteral("　")) {
                PlacedText t;
                t.text = g.text;
                t.size = size;
                t.vertical = true;
                t.turn = g.turn;
                t.box = Cell(x, y, size, size);
                if (g.turn == Turn::Corner)
                    t.inkShift = QPointF(size * 0.125, -size * 0.125);
                out.push_back(t);
            }
            // A blank (between family and given name, before the honorific) takes half a cell.
            y += (g.text == QStringLiteral("　") ? size / 2 : size) + tracking;
        }
        x -= pitch * size;
    }
    return x + pitch * size - size / 2;
}

Paragraph VerticalParagraph(const QString& text, Numerals numerals, int indent = 0)
{
    Paragraph p;
    p.cells = VerticalGlyphs(text.trimmed(), numerals);
    p.indent = indent;
    return p;
}

QString PostalText(const QString& typed)
{
    if (const auto digits = PostalDigits(typed))
        return QStringLiteral("〒") + digits->left(3) + QLatin1Char('-') + digits->mid(3);
    QString text = Folded(typed.trimmed());
    if (text.startsWith(QStringLiteral("〒")))
        text = text.mid(1).trimmed();
    return QStringLiteral("〒") + text;
}

} // namespace

QRectF LabelSheet::label(int index) const
{
    const int c = index % std::max(1, columns);
    const int r = index / std::max(1, columns);
    return QRectF(left + c * pitchX, top + r * pitchY, width, height);
}

QString LabelSheet::problem() const
{
    if (columns < 1 || rows < 1 || columns > 10 || rows > 20)
        return QStringLiteral("列数は 1 から 10、行数は 1 から 20 で入力してください");
    if (width < 30 || height < 15)
        return QStringLiteral("ラベルの大きさは幅 30mm、高さ 15mm 以上で入力してください");
    if (left < 0 || top < 0)
        return QStringLiteral("余白は 0mm 以上で入力してください");
    if ((columns > 1 && pitchX < width) || (rows > 1 && pitchY < height))
        return QStringLiteral("ラベルの間隔（ピッチ）はラベルの大きさ以上で入力してください");
    const QRectF last = label(count() - 1);
    if (last.right() > kA4Size.width() + 1e-6 || last.bottom() > kA4Size.height() + 1e-6)
        return QStringLiteral("ラベルが A4 用紙（210×297mm）からはみ出します。寸法を確かめてください");
    return {};
}

const std::vector<LabelSheet>& LabelPresets()
{
    static const std::vector<LabelSheet> presets = {
        {QStringLiteral("12面（86.4×42.3mm）"), 2, 6, 86.4, 42.3, 18.6, 21.5, 86.4, 42.3},
        {QStringLiteral("18面（63.5×46.6mm）"), 3, 6, 63.5, 46.6, 7.25, 8.7, 66.0, 46.6},
        {QStringLiteral("21面（63.5×38.1mm）"), 3, 7, 63.5, 38.1, 7.25, 15.15, 66.0, 38.1},
        {QStringLiteral("24面（63.5×33.9mm）"), 3, 8, 63.5, 33.9, 7.25, 12.9, 66.0, 33.9},
    };
    return presets;
}

QString HonorificFor(const QString& name, HonorificRule rule)
{
    switch (rule) {
    case HonorificRule::Sama:
        return QStringLiteral("様");
    case HonorificRule::Onchu:
        return QStringLiteral("御中");
    case HonorificRule::Auto:
        break;
    }
    // ㈱ and （株） fold to (株).
    const QString folded = Folded(name);
    for (const char16_t* word : {u"株式会社", u"有限会社", u"合同会社", u"(株)", u"(有)"}) {
        if (folded.contains(QString::fromUtf16(word)))
            return QStringLiteral("御中");
    }
    return QStringLiteral("様");
}

std::optional<QString> PostalDigits(const QString& typed)
{
    QString text = Folded(typed.trimmed());
    if (text.size() == 8 && IsHyphen(text.at(3)))
        text.remove(3, 1);
    if (text.size() != 7)
        return std::nullopt;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return text;
}

std::vector<VerticalGlyph> VerticalGlyphs(const QString& text, Numerals numerals)
{
    static const QString kanji = QStringLiteral("〇一二三四五六七八九");
    static const QString brackets = QStringLiteral("（）「」『』【】〔〕〈〉《》｛｝、。，");
    static const QString vertical = QStringLiteral("︵︶﹁﹂﹃﹄︻︼︹︺︿﹀︽︾︷︸︑︒︐");
    static const QString turned = QStringLiteral("ー〜～…‥＝:;：；=~");
    std::vector<VerticalGlyph> cells;
    const QString folded = Folded(text);
    for (const QString& unit : Characters(folded)) {
        const QChar c = unit.at(0);
        VerticalGlyph g;
        if (c.isDigit() && c.unicode() < 0x80) {
            g.text = numerals == Numerals::Kanji ? QString(kanji.at(c.digitValue())) : Widened(c);
        } else if (IsHyphen(c)) {
            g.text = QStringLiteral("︱");
        } else if (turned.contains(c)) {
            g.text = Widened(c);
            g.turn = Turn::Rotated;
        } else if (const int b = brackets.indexOf(Widened(c)); b >= 0) {
            g.text = vertical.at(b);
        } else if (IsSmallKana(c)) {
            g.text = unit;
            g.turn = Turn::Corner;
        } else if (c.unicode() <= 0x7F) {
            g.text = Widened(c);
        } else {
            g.text = unit;
        }
        cells.push_back(g);
    }
    return cells;
}

double EmWidth(const QString& text)
{
    double ems = 0;
    for (const QString& unit : Characters(text))
        ems += IsNarrow(unit.at(0)) ? 0.5 : 1.0;
    return ems;
}

QStringList AddressNotes(const std::vector<Addressee>& addressees)
{
    int noAddress = 0, noPostal = 0, notSeven = 0;
    for (const Addressee& a : addressees) {
        if (a.address1.trimmed().isEmpty() && a.address2.trimmed().isEmpty())
            ++noAddress;
        if (a.postalCode.trimmed().isEmpty())
            ++noPostal;
        else if (!PostalDigits(a.postalCode))
            ++notSeven;
    }
    QStringList notes;
    if (noAddress)
        notes << QStringLiteral("住所のない顧客 %1 件").arg(noAddress);
    if (noPostal)
        notes << QStringLiteral("郵便番号のない顧客 %1 件").arg(noPostal);
    if (notSeven)
        notes
            << QStringLiteral("郵便番号が７桁でない顧客 %1 件（枠の外に入力どおり印刷します）").arg(notSeven);
    return notes;
}

AddressLayout::AddressLayout(std::vector<Addressee> addressees, AddressOptions options)
    : m_addressees(std::move(addressees)), m_options(std::move(options))
{
    if (m_options.kind == AddressOptions::Kind::Labels)
        m_options.startPosition =
            std::clamp(m_options.startPosition, 1, std::max(1, m_options.sheet.count()));
}

int AddressLayout::pageCount() const
{
    const int n = int(m_addressees.size());
    if (m_options.kind == AddressOptions::Kind::Postcard)
        return n;
    const int perSheet = std::max(1, m_options.sheet.count());
    if (n == 0)
        return 0;
    return (m_options.startPosition - 1 + n + perSheet - 1) / perSheet;
}

QSizeF AddressLayout::paper() const
{
    return m_options.kind == AddressOptions::Kind::Postcard ? kPostcardSize : kA4Size;
}

AddressPage AddressLayout::page(int index) const
{
    if (m_options.kind == AddressOptions::Kind::Postcard)
        return postcard(m_addressees.at(size_t(index)));
    AddressPage page;
    page.paper = kA4Size;
    const int perSheet = std::max(1, m_options.sheet.count());
    for (int slot = 0; slot < perSheet; ++slot) {
        const int i = index * perSheet + slot - (m_options.startPosition - 1);
        if (i >= 0 && i < int(m_addressees.size()))
            placeLabel(page, m_options.sheet.label(slot), m_addressees[size_t(i)]);
    }
    return page;
}

AddressPage AddressLayout::postcard(const Addressee& a) const
{
    AddressPage page;
    page.paper = kPostcardSize;
    auto& out = page.texts;
    for (double left : kBoxLefts)
        page.postalBoxes.emplace_back(left, kBoxTop, kBoxWidth, kBoxHeight);

    // The postal code: its digits in the boxes, or as typed beside them.
    if (const auto digits = PostalDigits(a.postalCode)) {
        for (int i = 0; i < 7; ++i) {
            PlacedText t;
            t.text = digits->at(i);
            t.size = kDigitSize;
            t.postalDigit = true;
            t.box = Cell(kBoxLefts[i] + kBoxWidth / 2, kBoxTop + kBoxHeight / 2, kDigitSize / 2, kDigitSize);
            out.push_back(t);
        }
    } else if (!a.postalCode.trimmed().isEmpty()) {
        const QString text = PostalText(a.postalCode);
        const double room = kBoxLefts[0] - 2.0 - (kPrintableMargin + 2.0);
        const double size = std::min(4.5, room / EmWidth(text));
        out.push_back(
            Run(text, kBoxLefts[0] - 2.0 - EmWidth(text) * size, kBoxTop + (kBoxHeight - size) / 2, size));
    }

    const double length = kTextBottom - kTextTop;
    const Numerals numerals = m_options.numerals;

    // The address at the right: the building's columns start lower.
    const std::vector<Paragraph> address = {VerticalParagraph(a.firstLine(), numerals),
                                            VerticalParagraph(a.address2, numerals, 2)};
    const double addressSize = FitStaged(address, length, 6.0, {{4.0, 0}, {3.5, 1}, {2.5, 4}});
    double right = kAddressRight;
    for (const Paragraph& p : address) {
        const auto columns = Columns(p, addressSize, length);
        if (columns.empty())
            continue;
        PlaceColumns(out, columns, addressSize, right, kTextTop + p.indent * addressSize, kColumnPitch);
        right -= kColumnPitch * addressSize * double(columns.size());
    }

    // The name in the middle, followed by the honorific; one column if it reads well so, else two.
    const QString name = a.name.trimmed();
    Paragraph named = VerticalParagraph(name, numerals);
    const auto honorific = VerticalGlyphs(HonorificFor(name, m_options.honorific), numerals);
    if (!named.cells.empty())
        named.cells.push_back({QStringLiteral("　"), Turn::None});
    named.cells.insert(named.cells.end(), honorific.begin(), honorific.end());
    named.keepTail = int(honorific.size());
    const double nameSize = FitStaged({named}, length, 10.0, {{6.5, 0}, {5.0, 1}, {3.0, 3}});
    const auto nameColumns = Columns(named, nameSize, length);
    size_t longest = 0;
    for (const auto& column : nameColumns)
        longest = std::max(longest, column.size());
    const double pitch = kNamePitch * nameSize;
    const double used = double(longest) * nameSize;
    const double tracking = longest > 1 ? std::min(nameSize * 0.4, (length - used) / double(longest - 1)) : 0;
    const double height = used + tracking * double(longest > 1 ? longest - 1 : 0);
    const double nameRight = kNameCentre + (double(nameColumns.size()) - 1) * pitch / 2 + nameSize / 2;
    PlaceColumns(out, nameColumns, nameSize, nameRight, kTextTop + (length - height) / 2, kNamePitch,
                 tracking);

    if (m_options.printSender) {
        const Sender& s = m_options.sender;
        const double senderLength = kSenderArea.height();
        const std::vector<Paragraph> senderAddress = {VerticalParagraph(s.address1, numerals),
                                                      VerticalParagraph(s.address2, numerals, 1)};
        const Paragraph senderName = VerticalParagraph(s.name, numerals);
        const Paragraph phone = VerticalParagraph(
            s.phone.trimmed().isEmpty() ? QString() : QStringLiteral("電話　") + s.phone.trimmed(), numerals);
        double addrSize = FitStaged(senderAddress, senderLength, 4.0, {{3.0, 0}, {2.5, 2}});
        double nameSz = FitStaged({senderName}, senderLength, 5.5, {{3.5, 0}, {3.0, 1}});
        double phoneSize = FitStaged({phone}, senderLength, 3.5, {{2.5, 0}, {2.5, 1}});
        // The whole block narrower than its area: all sizes lowered together when it is not.
        auto width = [&](double f) {
            double w = 0;
            for (const Paragraph& p : senderAddress)
                w += kColumnPitch * addrSize * f * ColumnsNeeded(p, addrSize * f, senderLength);
            w += kColumnPitch * nameSz * f * ColumnsNeeded(senderName, nameSz * f, senderLength);
            w += kColumnPitch * phoneSize * f * ColumnsNeeded(phone, phoneSize * f, senderLength);
            return w;
        };
        double f = 1.0;
        while (f > 0.3 && width(f) > kSenderArea.width())
            f -= 0.05;
        addrSize *= f;
        nameSz *= f;
        phoneSize *= f;
        double x = kSenderArea.right();
        for (const Paragraph& p : senderAddress) {
            const auto columns = Columns(p, addrSize, senderLength);
            PlaceColumns(out, columns, addrSize, x, kSenderArea.top() + p.indent * addrSize, kColumnPitch);
            x -= kColumnPitch * addrSize * double(columns.size());
        }
        const auto nameCols = Columns(senderName, nameSz, senderLength);
        // The sender's name starts lower than the address, as it is written.
        const double nameTop =
            kSenderArea.top() +
            std::min(2.0 * nameSz, std::max(0.0, senderLength - nameSz * double(senderName.cells.size())));
        PlaceColumns(out, nameCols, nameSz, x, nameTop, kColumnPitch);
        x -= kColumnPitch * nameSz * double(nameCols.size());
        PlaceColumns(out, Columns(phone, phoneSize, senderLength), phoneSize, x, kSenderArea.top(),
                     kColumnPitch);
        if (!s.postalCode.trimmed().isEmpty()) {
            const QString text = PostalText(s.postalCode);
            const double size = std::min(3.5, kSenderArea.width() / EmWidth(text));
            out.push_back(Run(text, kSenderArea.left(), kSenderPostalTop, size));
        }
    }
    return page;
}

void AddressLayout::placeLabel(AddressPage& page, const QRectF& label, const Addressee& a) const
{
    const QRectF printable(kPrintableMargin, kPrintableMargin, kA4Size.width() - 2 * kPrintableMargin,
                           kA4Size.height() - 2 * kPrintableMargin);
    const QRectF area =
        label.adjusted(kLabelPadX, kLabelPadY, -kLabelPadX, -kLabelPadY).intersected(printable);
    if (area.isEmpty())
        return;

    struct Block
    {
        QStringList units;
        double preferred;
        double minimum;
        double indent; // ems
        bool centred;
        double gapBefore; // ems of the block's size
    };
    const QString name = Folded(a.name.trimmed());
    std::vector<Block> blocks;
    if (!a.postalCode.trimmed().isEmpty())
        blocks.push_back({Characters(PostalText(a.postalCode)), 3.5, 2.0, 0, false, 0});
    if (!a.firstLine().isEmpty())
        blocks.push_back({Characters(Folded(a.firstLine())), 4.0, 2.0, 0, false, 0});
    if (!a.address2.trimmed().isEmpty())
        blocks.push_back({Characters(Folded(a.address2.trimmed())), 4.0, 2.0, 1, false, 0});
    QStringList nameUnits = Characters(name);
    nameUnits << QStringLiteral("　") + HonorificFor(a.name, m_options.honorific);
    blocks.push_back({nameUnits, 5.5, 2.5, 0, true, blocks.empty() ? 0 : 0.4});

    // One factor for all sizes, lowered until the blocks fit the label's height.
    struct Laid
    {
        QStringList lines;
        double size;
    };
    std::vector<Laid> laid;
    double total = 0;
    // Every size lowered by one factor, each not below its minimum, until the blocks fit the
    // label's height; when even the minimums do not fit, all go below them together.
    auto layoutAt = [&](auto sizeOf) {
        laid.clear();
        total = 0;
        for (const Block& b : blocks) {
            const double size = sizeOf(b);
            const QStringList lines = WrapEms(b.units, area.width() / size - b.indent);
            total += b.gapBefore * size + double(lines.size()) * size * kLineHeight;
            laid.push_back({lines, size});
        }
        total -= laid.back().size * (kLineHeight - 1);
        return total <= area.height();
    };
    bool fitted = false;
    for (double f = 1.0; f > 0.3 && !fitted; f -= 0.02)
        fitted = layoutAt([f](const Block& b) { return std::max(b.preferred * f, b.minimum); });
    for (double f = 1.0; f > 0.2 && !fitted; f -= 0.02)
        fitted = layoutAt([f](const Block& b) { return b.minimum * f; });
    double y = area.top() + std::max(0.0, (area.height() - total) / 2);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = blocks[i];
        const double size = laid[i].size;
        y += b.gapBefore * size;
        for (const QString& line : laid[i].lines) {
            const double w = EmWidth(line) * size;
            const double left = b.centred ? area.left() + std::max(0.0, (area.width() - w) / 2)
                                          : area.left() + b.indent * size;
            page.texts.push_back(Run(line, left, y, size));
            y += size * kLineHeight;
        }
    }
}
