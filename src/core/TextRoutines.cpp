#include "TextRoutines.h"

#include <QDir>
#include <QHash>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>

namespace {

// Half-width forms of the full-width katakana U+30A1 .. U+30F6, in code order.
// clang-format off
constexpr std::array<const char16_t*, 86> kHalfKatakana = {
    u"ｧ",  u"ｱ",  u"ｨ",  u"ｲ",  u"ｩ",  u"ｳ",  u"ｪ",  u"ｴ", u"ｫ",  u"ｵ",  u"ｶ",  u"ｶﾞ", u"ｷ",  u"ｷﾞ", u"ｸ",
    u"ｸﾞ", u"ｹ",  u"ｹﾞ", u"ｺ",  u"ｺﾞ", u"ｻ",  u"ｻﾞ", u"ｼ", u"ｼﾞ", u"ｽ",  u"ｽﾞ", u"ｾ",  u"ｾﾞ", u"ｿ",  u"ｿﾞ",
    u"ﾀ",  u"ﾀﾞ", u"ﾁ",  u"ﾁﾞ", u"ｯ",  u"ﾂ",  u"ﾂﾞ", u"ﾃ", u"ﾃﾞ", u"ﾄ",  u"ﾄﾞ", u"ﾅ",  u"ﾆ",  u"ﾇ",  u"ﾈ",
    u"ﾉ",  u"ﾊ",  u"ﾊﾞ", u"ﾊﾟ", u"ﾋ",  u"ﾋﾞ", u"ﾋﾟ", u"ﾌ", u"ﾌﾞ", u"ﾌﾟ", u"ﾍ",  u"ﾍﾞ", u"ﾍﾟ", u"ﾎ",  u"ﾎﾞ",
    u"ﾎﾟ", u"ﾏ",  u"ﾐ",  u"ﾑ",  u"ﾒ",  u"ﾓ",  u"ｬ",  u"ﾔ", u"ｭ",  u"ﾕ",  u"ｮ",  u"ﾖ",  u"ﾗ",  u"ﾘ",  u"ﾙ",
    u"ﾚ",  u"ﾛ",  u"ﾜ",  u"ﾜ",  u"ｲ",  u"ｴ",  u"ｦ",  u"ﾝ", u"ｳﾞ", u"ｶ",  u"ｹ",
};
// clang-format on

const QHash<QChar, QChar>& punctuationToHalf()
{
    static const QHash<QChar, QChar> map = {
        {QChar(0x30FC), QChar(0xFF70)}, // ー
        {QChar(0x30FB), QChar(0xFF65)}, // ・
        {QChar(0x3002), QChar(0xFF61)}, // 。
        {QChar(0x300C), QChar(0xFF62)}, // 「
        {QChar(0x300D), QChar(0xFF63)}, // 」
        {QChar(0x3001), QChar(0xFF64)}, // 、
        {QChar(0x309B), QChar(0xFF9E)}, // ゛
        {QChar(0x309C), QChar(0xFF9F)}, // ゜
        {QChar(0x3000), QChar(0x0020)}, // ideographic space
    };
    return map;
}

// Half-width katakana back to full width; a following voiced mark is combined where it can be.
const QHash<QString, QChar>& halfToFullKatakana()
{
    static const QHash<QString, QChar> map = [] {
        QHash<QString, QChar> m;
        // Walk backwards so that the ordinary letters (ア, カ, ワ) win over the rare ones (ヵ, ヮ, ヰ).
        for (int i = static_cast<int>(kHalfKatakana.size()) - 1; i >= 0; --i)
            m.insert(QString::fromUtf16(kHalfKatakana[static_cast<size_t>(i)]), QChar(0x30A1 + i));
        m.insert(QStringLiteral("ｱ"), QChar(0x30A2));
        m.insert(QStringLiteral("ｲ"), QChar(0x30A4));
        m.insert(QStringLiteral("ｴ"), QChar(0x30A8));
        m.insert(QStringLiteral("ｶ"), QChar(0x30AB));
        m.insert(QStringLiteral("ｹ"), QChar(0x30B1));
        m.insert(QStringLiteral("ﾜ"), QChar(0x30EF));
        m.insert(QStringLiteral("ﾜﾞ"), QChar(0x30F7)); // ヷ
        m.insert(QStringLiteral("ｦﾞ"), QChar(0x30FA)); // ヺ
        for (auto it = punctuationToHalf().cbegin(); it != punctuationToHalf().cend(); ++it) {
            if (it.key() != QChar(0x3000))
                m.insert(QString(it.value()), it.key());
        }
        return m;
    }();
    return map;
}

// The narrow signs and half-width symbols that have a wide form of their own.
const QHash<QChar, QChar>& narrowSignsToWide()
{
    static const QHash<QChar, QChar> map = {
        {QChar(0x00A2), QChar(0xFFE0)}, // ¢
        {QChar(0x00A3), QChar(0xFFE1)}, // £
        {QChar(0x00AC), QChar(0xFFE2)}, // ¬
        {QChar(0x00AF), QChar(0xFFE3)}, // ¯
        {QChar(0x00A6), QChar(0xFFE4)}, // ¦
        {QChar(0x00A5), QChar(0xFFE5)}, // ¥
        {QChar(0x20A9), QChar(0xFFE6)}, // ₩
        {QChar(0xFFE8), QChar(0x2502)}, // ￨ │
        {QChar(0xFFE9), QChar(0x2190)}, // ￩ ←
        {QChar(0xFFEA), QChar(0x2191)}, // ￪ ↑
        {QChar(0xFFEB), QChar(0x2192)}, // ￫ →
        {QChar(0xFFEC), QChar(0x2193)}, // ￬ ↓
        {QChar(0xFFED), QChar(0x25A0)}, // ￭ ■
        {QChar(0xFFEE), QChar(0x25CB)}, // ￮ ○
    };
    return map;
}

// The wide forms that Japanese input methods write for some ASCII characters instead of the
// full-width block (Mozc's minus sign for "-", for one).
const QHash<QChar, QChar>& imeWideAscii()
{
    static const QHash<QChar, QChar> map = {
        {QChar(0x2212), QLatin1Char('-')},  // −
        {QChar(0x301C), QLatin1Char('~')},  // 〜
        {QChar(0x2018), QLatin1Char('`')},  // ‘
        {QChar(0x2019), QLatin1Char('\'')}, // ’
        {QChar(0x201D), QLatin1Char('"')},  // ”
    };
    return map;
}

bool isHalfKana(QChar c)
{
    return c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F;
}

bool isLineBreak(char32_t c)
{
    return c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// The code point at `i` and its length in UTF-16 units; a broken surrogate half stands alone.
char32_t codePointAt(QStringView text, qsizetype i, qsizetype& length)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        length = 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    length = 1;
    return c.unicode();
}

// Where the first `count` code points end, in UTF-16 units (the text's end when it is shorter).
qsizetype unitsOf(QStringView text, qsizetype count)
{
    qsizetype i = 0;
    for (qsizetype taken = 0, length = 0; i < text.size() && taken < count; i += length, ++taken)
        codePointAt(text, i, length);
    return i;
}

} // namespace

QString NumOnly(const QString& text)
{
    QString digits;
    digits.reserve(text.size());
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

QString KanaNormalize(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0xFF9E: // ﾞ
        case 0xFF9F: // ﾟ
            break;
        case 0xFF67:
            result += QChar(0xFF71);
            break; // ｧ -> ｱ
        case 0xFF68:
            result += QChar(0xFF72);
            break; // ｨ -> ｲ
        case 0xFF69:
            result += QChar(0xFF73);
            break; // ｩ -> ｳ
        case 0xFF6A:
            result += QChar(0xFF74);
            break; // ｪ -> ｴ
        case 0xFF6B:
            result += QChar(0xFF75);
            break; // ｫ -> ｵ
        case 0xFF6C:
            result += QChar(0xFF94);
            break; // ｬ -> ﾔ
        case 0xFF6D:
            result += QChar(0xFF95);
            break; // ｭ -> ﾕ
        case 0xFF6E:
            result += QChar(0xFF96);
            break; // ｮ -> ﾖ
        case 0xFF6F:
            result += QChar(0xFF82);
            break; // ｯ -> ﾂ
        default:
            result += c;
        }
    }
    return result;
}

QString TrimBlank(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

bool IsBlankChar(QChar c, Blanks blanks)
{
    const bool space = c == QLatin1Char(' ');
    const bool tab = c == QLatin1Char('\t');
    switch (blanks) {
    case Blanks::EitherWidth:
        return space || c == QChar(0x3000);
    case Blanks::Profile:
        return space || tab;
    case Blanks::Any:
        break;
    }
    return space || tab || c == QChar(0x3000) || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool IsAllBlank(QStringView text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return IsBlankChar(c); });
}

QString TrimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && IsBlankChar(text.at(start)))
        ++start;
    while (end > start && IsBlankChar(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

bool IsVariationSelector(char32_t c)
{
    return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

QString WithoutVariationSelectors(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (!IsVariationSelector(QChar::surrogateToUcs4(c, text.at(i + 1))))
                result += text.mid(i, 2);
            ++i;
        } else if (!IsVariationSelector(c.unicode())) {
            result += c;
        }
    }
    return result;
}

QString ReadingCharsOnly(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || (c.unicode() >= 0xFF65 && c.unicode() <= 0xFF9F))
            kept += c;
    }
    return kept;
}

QString ToWide(const QString& text)
{
    QString result;
    result.reserve(text.size());
    const auto& kana = halfToFullKatakana();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' ')) {
            result += QChar(0x3000);
        } else if (c.unicode() >= 0x21 && c.unicode() <= 0x7E) {
            result += QChar(c.unicode() - 0x21 + 0xFF01);
        } else if (const auto sign = narrowSignsToWide().constFind(c);
                   sign != narrowSignsToWide().constEnd()) {
            result += *sign;
        } else if (isHalfKana(c)) {
            if (i + 1 < text.size() &&
                (text.at(i + 1).unicode() == 0xFF9E || text.at(i + 1).unicode() == 0xFF9F)) {
                const auto voiced = kana.constFind(text.mid(i, 2));
                if (voiced != kana.constEnd()) {
                    result += *voiced;
                    ++i;
                    continue;
                }
            }
            const auto plain = kana.constFind(QString(c));
            result += plain != kana.constEnd() ? *plain : c;
        } else {
            result += c;
        }
    }
    return result;
}

QString ToHalfKatakana(const QString& text)
{
    QString result;
    result.reserve(text.size() * 2);
    const auto& punctuation = punctuationToHalf();
    for (QChar c : text) {
        char16_t u = c.unicode();
        if (u >= 0x3041 && u <= 0x3096)
            u = static_cast<char16_t>(u + 0x60); // hiragana -> katakana
        if (u >= 0x30A1 && u <= 0x30F6) {
            result += QString::fromUtf16(kHalfKatakana[u - 0x30A1]);
        } else if (u == 0x30F7) {
            result += QStringLiteral("ﾜﾞ");
        } else if (u == 0x30FA) {
            result += QStringLiteral("ｦﾞ");
        } else if (u >= 0xFF01 && u <= 0xFF5E) {
            result += QChar(u - 0xFF01 + 0x21);
        } else if (u == 0x3099 || u == 0x309A) {
            // A combining mark, composed with its kana or not, takes the form of the half-width marks.
            result += QChar(u == 0x3099 ? 0xFF9E : 0xFF9F);
        } else if (const auto it = punctuation.constFind(QChar(u)); it != punctuation.constEnd()) {
            result += *it;
        } else {
            result += c;
        }
    }
    return result;
}

QString ToHalfAscii(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFF01 + 0x21);
        else if (u == 0x3000)
            c = QLatin1Char(' ');
        else if (const auto it = imeWideAscii().constFind(c); it != imeWideAscii().constEnd())
            c = *it;
    }
    return result;
}

QString SingleLine(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == 0x0D && i + 1 < text.size() && text.at(i + 1).unicode() == 0x0A)
            continue; // CR LF is one break
        if (u == 0x09 || isLineBreak(u)) {
            result += QLatin1Char(' ');
        } else if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                result += c;
                result += text.at(++i);
            }
        } else if (c.isLowSurrogate() || u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            continue;
        } else {
            result += c;
        }
    }
    return result;
}

qsizetype CharCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0, length = 0; i < text.size(); i += length) {
        codePointAt(text, i, length);
        ++count;
    }
    return count;
}

QString LeftChars(const QString& text, qsizetype count)
{
    const qsizetype limit = unitsOf(text, count);
    if (limit == text.size())
        return text;
    // The last boundary between user-perceived characters that the limit reaches.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype at = finder.toNextBoundary(); at != -1 && at <= limit; at = finder.toNextBoundary())
        end = at;
    return text.left(end);
}

qsizetype CharsEnd(QStringView text, qsizetype count)
{
    const qsizetype limit = unitsOf(text, count);
    if (limit == 0 || limit == text.size())
        return limit;
    const QString whole = text.toString();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, whole);
    finder.setPosition(limit);
    return finder.isAtBoundary() ? limit : finder.toNextBoundary();
}

TextChange ChangeBetween(QStringView before, QStringView after)
{
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < common && before.at(head) == after.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    return {head, tail};
}

bool IsKanaOnly(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool kana = (u >= 0x3041 && u <= 0x3096) || (u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC ||
                          u == 0x309B || u == 0x309C || (u >= 0xFF66 && u <= 0xFF9F);
        if (!kana)
            return false;
    }
    return true;
}

QString ShownPath(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString FileLine(const QString& path)
{
    return QStringLiteral("ファイル: ") + ShownPath(path);
}

QString FolderLine(const QString& folder)
{
    return QStringLiteral("フォルダ: ") + ShownPath(folder);
}
