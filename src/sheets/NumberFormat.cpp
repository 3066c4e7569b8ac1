#include "NumberFormat.h"

#include "core/DateText.h"

#include <QDate>
#include <QStringList>

#include <cmath>

namespace {

// The sections of a code split at ';' outside quotes, with locale and colour tags removed.
QStringList sectionsOf(const QString& code)
{
    QStringList sections(QString{});
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('\\') && i + 1 < code.size()) {
            sections.last() += code.mid(i, 2);
            ++i;
            continue;
        }
        if (!quoted && c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end > i) {
                i = end;
                continue;
            }
        }
        if (!quoted && c == QLatin1Char(';')) {
            sections.append(QString{});
            continue;
        }
        sections.last() += c;
    }
    return sections;
}

// The code with quoted text and escaped characters left out.
QString bareTokens(const QString& section)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
            continue;
        }
        out += c.toLower();
    }
    return out;
}

QString general(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    QString text = QString::number(value, 'g', 10);
    return text;
}

QString formatDate(double serial, const QString& section)
{
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(serial)));
    const Era* era = EraOf(date);
    const int eraYear = era ? date.year() - era->first.year() + 1 : date.year();
    QString out;
    for (qsizetype i = 0; i < section.size();) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            out += section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end + 1;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            out += section.at(i + 1);
            i += 2;
            continue;
        }
        qsizetype run = 1;
        while (i + run < section.size() && section.at(i + run).toLower() == c.toLower())
            ++run;
        switch (c.toLower().unicode()) {
        case 'y':
            out += run >= 3 ? QString::number(date.year())
                            : QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'));
            break;
        case 'm':
            out += run >= 2 ? QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'))
                            : QString::number(date.month());
            break;
        case 'd':
            if (run >= 3)
                out += WeekdayKanji(date);
            else
                out += run == 2 ? QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'))
                                : QString::number(date.day());
            break;
        case 'a':
            out += WeekdayKanji(date);
            break;
        case 'g':
            if (era)
                out += run >= 3 ? era->name : run == 2 ? era->name.left(1) : era->initial;
            break;
        case 'e':
            out += run >= 2 ? QStringLiteral("%1").arg(eraYear, 2, 10, QLatin1Char('0'))
                            : QString::number(eraYear);
            break;
        default:
            out += section.mid(i, run);
            break;
        }
        i += run;
    }
    return out;
}

QString formatPlain(double value, const QString& section)
{
    // Literal text before and after the digit pattern.
    qsizetype first = -1, last = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?'))) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    auto literal = [](const QString& part) {
        QString out;
        for (qsizetype i = 0; i < part.size(); ++i) {
            const QChar c = part.at(i);
            if (c == QLatin1Char('"'))
                continue;
            if ((c == QLatin1Char('\\')) && i + 1 < part.size()) {
                out += part.at(++i);
                continue;
            }
            if ((c == QLatin1Char('_') || c == QLatin1Char('*')) && i + 1 < part.size()) {
                ++i;
                if (c == QLatin1Char('_'))
                    out += QLatin1Char(' ');
                continue;
            }
            out += c;
        }
        return out;
    };
    if (first < 0)
        return literal(section);
    const QString pattern = section.mid(first, last - first + 1);
    const bool grouped = pattern.contains(QLatin1Char(','));
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    const bool percent = section.contains(QLatin1Char('%'));
    const double shown = percent ? value * 100 : value;
    QString digits = QString::number(std::fabs(shown), 'f', decimals);
    if (grouped) {
        qsizetype intEnd = digits.indexOf(QLatin1Char('.'));
        if (intEnd < 0)
            intEnd = digits.size();
        for (qsizetype at = intEnd - 3; at > 0; at -= 3)
            digits.insert(at, QLatin1Char(','));
    }
    return literal(section.left(first)) + digits + literal(section.mid(last + 1));
}

} // namespace

bool IsDateFormat(const QString& formatCode)
{
    const QStringList sections = sectionsOf(formatCode);
    const QString bare = bareTokens(sections.first());
    if (bare == QLatin1String("general"))
        return false;
    for (QChar c : bare) {
        if (QStringLiteral("ymdgeah").contains(c))
            return true;
    }
    return false;
}

QString FormatCellNumber(double value, const QString& formatCode)
{
    if (formatCode.isEmpty() || formatCode.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return general(value);
    const QStringList sections = sectionsOf(formatCode);
    QString section = sections.first();
    bool negative = value < 0;
    if (negative && sections.size() > 1) {
        section = sections.at(1);
        negative = false; // the section carries its own sign
    } else if (value == 0 && sections.size() > 2) {
        section = sections.at(2);
    }
    if (bareTokens(section).trimmed() == QLatin1String("general"))
        return general(value);
    if (IsDateFormat(section))
        return formatDate(value, section);
    const QString text = formatPlain(value, section);
    return negative ? QLatin1Char('-') + text : text;
}

namespace {

struct BuiltIn
{
    int id;
    const char* code;
    bool sameEverywhere;
};

constexpr BuiltIn kBuiltIns[] = {{0, "General", true}, {1, "0", true},          {2, "0.00", true},
                                 {3, "#,##0", true},   {4, "#,##0.00", true},   {9, "0%", true},
                                 {10, "0.00%", true},  {14, "yyyy/m/d", false}, {49, "@", true}};

} // namespace

QString BuiltInNumberFormat(int id)
{
    for (const BuiltIn& b : kBuiltIns) {
        if (b.id == id)
            return QString::fromLatin1(b.code);
    }
    return QStringLiteral("General");
}

int BuiltInNumberFormatId(const QString& code)
{
    for (const BuiltIn& b : kBuiltIns) {
        if (b.sameEverywhere && code == QLatin1String(b.code))
            return b.id;
    }
    return -1;
}
