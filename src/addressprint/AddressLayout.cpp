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

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsKanjiNumeral(QChar c)
{
    return QStringLiteral("〇一二三四五六七八九十百千").contains(c);
}

bool IsNumeral(QChar c)
{
    return IsDigit(c) || IsKanjiNumeral(c);
}

bool IsLatin(QChar c)
{
    return c.unicode() < 0x80 && c.isLetter();
}

// Hyphens, and the prolonged sound mark that addresses are often typed with in their place.
bool IsNumberDash(QChar c)
{
    return IsHyphen(c) || c == QChar(0x30FC);
}

enum class Script { Kanji, Katakana, Latin, Other };

Script ScriptOf(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0xF900 && u <= 0xFAFF) ||
        u == 0x3005 || c.isSurrogate())
        return Script::Kanji;
    if ((u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC)
        return Script::Katakana;
    if (IsLatin(c))
        return Script::Latin;
    return Script::Other;
}

// A house number starting at `at`: its length (0 when none starts there) and whether it reads as
// a house number of its own ("3-20-4", "1丁目2番3号", "三丁目一番地二十三", "3205", "2F") rather
// than as part of a name ("北1条", "第2").
struct NumberRun
{
    qsizetype length = 0;
    bool house = false;
};

NumberRun NumberAt(const QString& t, qsizetype at)
{
    static const QStringList parts = {QStringLiteral("丁目"), QStringLiteral("番地"), QStringLiteral("番"),
                                      QStringLiteral("号室"), QStringLiteral("号"),   QStringLiteral("階"),
                                      QStringLiteral("の"),   QStringLiteral("之")};
    const qsizetype n = t.size();
    auto numeralsFrom = [&](qsizetype i) {
        while (i < n && IsNumeral(t.at(i)))
            ++i;
        return i;
    };
    if (!IsDigit(t.at(at))) {
        // Kanji numerals start a number only before a house number's part: 三丁目, 一番地, 二番一号,
        // never in 一番町 or 三田.
        const qsizetype j = numeralsFrom(at);
        const bool part = t.mid(j, 2) == QStringLiteral("丁目") || t.mid(j, 2) == QStringLiteral("番地") ||
                          (t.mid(j, 1) == QStringLiteral("番") &&
                           (j + 1 == n || IsNumeral(t.at(j + 1)) || IsNumberDash(t.at(j + 1))));
        if (j == at || !part)
            return {};
    }
    bool marked = false;
    qsizetype i = at;
    while (true) {
        i = numeralsFrom(i);
        if (i + 1 < n && IsNumberDash(t.at(i)) && IsNumeral(t.at(i + 1))) {
            ++i;
            marked = true;
            continue;
        }
        qsizetype partLength = 0;
        for (const QString& part : parts) {
            if (t.mid(i, part.size()) == part) {
                partLength = part.size();
                break;
            }
        }
        const bool joining = partLength == 1 && (t.at(i) == QChar(u'の') || t.at(i) == QChar(u'之'));
        if (partLength > 0 && (!joining || (i + 1 < n && IsNumeral(t.at(i + 1))))) {
            i += partLength;
            marked = true;
            if (i < n && IsNumeral(t.at(i)))
                continue;
            break;
        }
        if (i < n && (t.at(i) == QLatin1Char('F') || t.at(i) == QLatin1Char('f')) &&
            !(i + 1 < n && IsLatin(t.at(i + 1)))) {
            ++i;
            marked = true;
        }
        break;
    }
    return {i - at, marked || i == n || t.at(i).isSpace()};
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

// Breaks a horizontal text into lines of at most `ems`; a unit (a word of an address, the
// honorific with its blank) is never parted, and a blank where a line breaks is dropped. A unit
// wider than a line stands on a line of its own, wider than `ems`.
QStringList WrapEms(const QStringList& units, double ems)
{
    QStringList lines;
    QString line;
    const auto end = [&] {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        if (!line.isEmpty())
            lines << line;
        line.clear();
    };
    for (const QString& unit : units) {
        if (!line.isEmpty() && EmWidth(line + unit) > ems + 1e-9 && !unit.trimmed().isEmpty())
            end();
        if (!line.isEmpty() || unit != QStringLiteral(" "))
            line += unit;
    }
    end();
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
};

int Room(const Paragraph& p, double size, double length)
{
    return std::max(1, int(std::floor(length / size + 1e-9)) - p.indent);
}

// The cells of each column as [first, end) when columns hold at most `limit` cells and start only
// where a word does: a word longer than `limit` has a column to itself up to `room`, and only a
// word longer than `room` is cut.
std::vector<std::pair<int, int>> Pack(const std::vector<VerticalGlyph>& cells, int limit, int room)
{
    std::vector<std::pair<int, int>> ranges;
    const int n = int(cells.size());
    int at = 0;
    while (at < n) {
        // A column after the first does not start with a blank.
        if (!ranges.empty() && cells[size_t(at)].text == QStringLiteral("　")) {
            ++at;
            continue;
        }
        int end = std::min(n, at + limit);
        while (end < n && end > at && !cells[size_t(end)].wordStart)
            --end;
        if (end == at) {
            end = at + 1;
            while (end < n && end < at + room && !cells[size_t(end)].wordStart)
                ++end;
        }
        ranges.emplace_back(at, end);
        at = end;
    }
    return ranges;
}

// How many columns the paragraph takes at a size; more than it has cells when a word cannot
// stand whole in one column, so that a smaller size is chosen.
int ColumnsNeeded(const Paragraph& p, double size, double length)
{
    const int room = Room(p, size, length);
    const auto ranges = Pack(p.cells, room, room);
    for (const auto& [first, end] : ranges) {
        if (end < int(p.cells.size()) && !p.cells[size_t(end)].wordStart)
            return int(p.cells.size()) + 1;
    }
    return int(ranges.size());
}

// The columns of a paragraph at a size: each column the cells it holds, as even as the words allow,
// the first ones the longer.
std::vector<std::vector<VerticalGlyph>> Columns(const Paragraph& p, double size, double length,
                                                int columns = 0)
{
    std::vector<std::vector<VerticalGlyph>> result;
    const int n = int(p.cells.size());
    if (n == 0)
        return result;
    const int room = Room(p, size, length);
    const int count = std::max(columns, int(Pack(p.cells, room, room).size()));
    std::vector<std::pair<int, int>> ranges;
    for (int limit = (n + count - 1) / count; limit <= room; ++limit) {
        ranges = Pack(p.cells, limit, room);
        if (int(ranges.size()) <= count)
            break;
    }
    for (const auto& [first, end] : ranges)
        result.emplace_back(p.cells.begin() + first, p.cells.begin() + end);
    return result;
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

Paragraph VerticalParagraph(const QString& text, Numerals numerals, Wording wording, int indent = 0)
{
    Paragraph p;
    p.cells = VerticalGlyphs(text.trimmed(), numerals, wording);
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

QStringList AddressWords(const QString& text, Wording wording)
{
    if (wording == Wording::Name)
        return Characters(text);
    static const QString prefectureEnds = QStringLiteral("都道府県");
    static const QString placeEnds = QStringLiteral("市区町村郡");
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            words << word;
        word.clear();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            flush();
            words << QString(c);
            ++i;
            continue;
        }
        const bool numberMayStart =
            i == 0 || !(IsLatin(text.at(i - 1)) || IsNumeral(text.at(i - 1)) || IsNumberDash(text.at(i - 1)));
        if (IsNumeral(c) && numberMayStart) {
            if (const NumberRun run = NumberAt(text, i); run.length > 0) {
                // A house number is a word of its own; a number inside a name stays in it.
                if (run.house)
                    flush();
                word += text.mid(i, run.length);
                i += run.length;
                if (run.house)
                    flush();
                continue;
            }
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < n ? 2 : 1;
        word += text.mid(i, length);
        i += length;
        if (i >= n)
            break;
        const QChar next = text.at(i);
        if (wording == Wording::Address) {
            // After the prefecture at the start, and after a city or ward (not inside 四日市市).
            const bool prefecture =
                words.isEmpty() && (word.size() == 3 || word.size() == 4) && prefectureEnds.contains(c);
            const bool place =
                (c == QChar(u'市') || c == QChar(u'区')) && word.size() >= 2 && !placeEnds.contains(next);
            if (prefecture || place)
                flush();
        } else {
            // A building's name breaks where the script changes between runs of two or more:
            // グランドメゾン|上星川|ビルディング, never in 保土ケ谷.
            const Script before = ScriptOf(c), after = ScriptOf(next);
            if (before != after && before != Script::Other && after != Script::Other) {
                qsizetype back = word.size(), ahead = i;
                while (back > 0 && ScriptOf(word.at(back - 1)) == before)
                    --back;
                while (ahead < n && ScriptOf(text.at(ahead)) == after)
                    ++ahead;
                if (word.size() - back >= 2 && ahead - i >= 2)
                    flush();
            }
        }
    }
    flush();
    return words;
}

std::vector<VerticalGlyph> VerticalGlyphs(const QString& text, Numerals numerals, Wording wording)
{
    static const QString kanji = QStringLiteral("〇一二三四五六七八九");
    static const QString brackets = QStringLiteral("（）「」『』【】〔〕〈〉《》｛｝、。，");
    static const QString vertical = QStringLiteral("︵︶﹁﹂﹃﹄︻︼︹︺︿﹀︽︾︷︸︑︒︐");
    static const QString turned = QStringLiteral("ー〜～…‥＝:;：；=~");
    std::vector<VerticalGlyph> cells;
    const QString folded = Folded(text);
    // Where each word starts, by the position of its first character.
    std::vector<bool> starts(size_t(folded.size()) + 1, false);
    qsizetype position = 0;
    for (const QString& word : AddressWords(folded, wording)) {
        starts[size_t(position)] = true;
        position += word.size();
    }
    const auto push = [&](QString glyph, qsizetype from, Turn turn = Turn::None) {
        cells.push_back({std::move(glyph), turn, starts[size_t(from)]});
    };
    const auto positional = [&](const QString& digits, qsizetype from) {
        for (qsizetype k = 0; k < digits.size(); ++k)
            push(kanji.at(digits.at(k).digitValue()), k == 0 ? from : folded.size());
    };
    const qsizetype n = folded.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = folded.at(i);
        if (IsDigit(c)) {
            qsizetype j = i;
            while (j < n && IsDigit(folded.at(j)))
                ++j;
            const QString digits = folded.mid(i, j - i);
            const bool floor = j < n &&
                               (folded.at(j) == QLatin1Char('F') || folded.at(j) == QLatin1Char('f')) &&
                               !(j + 1 < n && IsLatin(folded.at(j + 1)));
            const bool basement =
                floor && i > 0 &&
                (folded.at(i - 1) == QLatin1Char('B') || folded.at(i - 1) == QLatin1Char('b')) &&
                !(i > 1 && IsLatin(folded.at(i - 2)));
            const bool lettered = (i > 0 && IsLatin(folded.at(i - 1))) || (j < n && IsLatin(folded.at(j)));
            if (numerals != Numerals::FullWidth && (floor || !lettered)) {
                qsizetype from = i;
                if (basement) {
                    // The B already set becomes 地下.
                    cells.pop_back();
                    from = i - 1;
                    push(QStringLiteral("地"), from);
                    push(QStringLiteral("下"), n);
                    from = n;
                }
                const int value = digits.toInt();
                if (numerals == Numerals::KanjiCounting && digits.size() <= 3 &&
                    (digits.size() == 1 || digits.at(0) != QLatin1Char('0'))) {
                    // Counted as it is read: 十, 二十七, 百五; room and lot numbers of four digits
                    // and more are read digit by digit.
                    QString counted;
                    const int hundreds = value / 100, tens = value / 10 % 10, ones = value % 10;
                    if (hundreds > 0)
                        counted +=
                            (hundreds > 1 ? QString(kanji.at(hundreds)) : QString()) + QStringLiteral("百");
                    if (tens > 0)
                        counted += (tens > 1 ? QString(kanji.at(tens)) : QString()) + QStringLiteral("十");
                    if (ones > 0 || value == 0)
                        counted += kanji.at(ones);
                    for (qsizetype k = 0; k < counted.size(); ++k)
                        push(counted.at(k), k == 0 ? from : n);
                } else {
                    positional(digits, from);
                }
                if (floor) {
                    push(QStringLiteral("階"), n);
                    ++j;
                }
            } else {
                for (qsizetype k = i; k < j; ++k)
                    push(Widened(folded.at(k)), k);
            }
            i = j;
            continue;
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < n ? 2 : 1;
        const QString unit = folded.mid(i, length);
        if (IsHyphen(c)) {
            push(QStringLiteral("︱"), i);
        } else if (turned.contains(c)) {
            push(Widened(c), i, Turn::Rotated);
        } else if (const int b = brackets.indexOf(Widened(c)); b >= 0) {
            push(vertical.at(b), i);
        } else if (IsSmallKana(c)) {
            push(unit, i, Turn::Corner);
        } else if (c.unicode() <= 0x7F) {
            push(Widened(c), i);
        } else {
            push(unit, i);
        }
        i += length;
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
    const std::vector<Paragraph> address = {VerticalParagraph(a.firstLine(), numerals, Wording::Address),
                                            VerticalParagraph(a.address2, numerals, Wording::Building, 2)};
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
    Paragraph named = VerticalParagraph(name, numerals, Wording::Name);
    const auto honorific = VerticalGlyphs(HonorificFor(name, m_options.honorific), numerals);
    if (!named.cells.empty())
        named.cells.push_back({QStringLiteral("　"), Turn::None});
    // The honorific stays whole: a column may start before it, not inside it.
    for (size_t i = 0; i < honorific.size(); ++i)
        named.cells.push_back({honorific[i].text, honorific[i].turn, i == 0});
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
        const std::vector<Paragraph> senderAddress = {
            VerticalParagraph(s.address1, numerals, Wording::Address),
            VerticalParagraph(s.address2, numerals, Wording::Building, 1)};
        const Paragraph senderName = VerticalParagraph(s.name, numerals, Wording::Name);
        const Paragraph phone = VerticalParagraph(
            s.phone.trimmed().isEmpty() ? QString() : QStringLiteral("電話　") + s.phone.trimmed(), numerals,
            Wording::Building);
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
        blocks.push_back({AddressWords(Folded(a.firstLine()), Wording::Address), 4.0, 2.0, 0, false, 0});
    if (!a.address2.trimmed().isEmpty())
        blocks.push_back(
            {AddressWords(Folded(a.address2.trimmed()), Wording::Building), 4.0, 2.0, 1, false, 0});
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
    // label's height; when even the minimums do not fit, all go below them together. A block whose
    // longest word is wider than the label takes a smaller size of its own rather than a break in it.
    auto layoutAt = [&](auto sizeOf) {
        laid.clear();
        total = 0;
        for (const Block& b : blocks) {
            double widest = 0;
            for (const QString& unit : b.units)
                widest = std::max(widest, EmWidth(unit));
            const double size = std::min(sizeOf(b), area.width() / (widest + b.indent));
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
