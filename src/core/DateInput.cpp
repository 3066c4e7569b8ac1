#include "DateInput.h"

#include "TextRoutines.h"

#include <QRegularExpression>

namespace {

constexpr int kFirstBirthYear = 1868;
// Day numbers of a spreadsheet count from 30 December 1899; five digits cover 1927 to 2173.
const QDate kSheetDayZero(1899, 12, 30);

struct Parts
{
    int era = -1; // the era's first year, when the text begins with one
    QList<int> numbers;
    QStringList digits;
};

// The numbers of a date text after an optional era, or nothing when other characters than
// separators stand between them.
std::optional<Parts> Split(const QString& text)
{
    QString rest = TrimBlanks(ToHalfAscii(text));
    Parts parts;
    static const struct
    {
        const char* name;
        const char* initial;
        int year;
    } eras[] = {{"明治", "M", 1868},
                {"大正", "T", 1912},
                {"昭和", "S", 1926},
                {"平成", "H", 1989},
                {"令和", "R", 2019}};
    for (const auto& e : eras) {
        const QString name = QString::fromUtf8(e.name);
        if (rest.startsWith(name) || rest.startsWith(QLatin1String(e.initial), Qt::CaseInsensitive)) {
            parts.era = e.year;
            rest = TrimBlanks(rest.mid(rest.startsWith(name) ? name.size() : 1));
            if (rest.startsWith(QChar(0x5143))) // 元年
                rest.replace(0, 1, QStringLiteral("1"));
            break;
        }
    }
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{1,8})(?:\\s*[/.\\-年月]\\s*(\\d{1,2}))?(?:\\s*[/.\\-月]\\s*(\\d{1,2}))?\\s*日?$"));
    const QRegularExpressionMatch m = form.match(rest);
    if (!m.hasMatch())
        return std::nullopt;
    for (int i = 1; i <= 3; ++i) {
        if (m.capturedLength(i) > 0) {
            parts.digits << m.captured(i);
            parts.numbers << m.captured(i).toInt();
        }
    }
    return parts;
}

} // namespace

QDate DateInput(const QString& text)
{
    const std::optional<Parts> p = Split(text);
    if (!p)
        return {};
    if (p->era < 0 && p->numbers.size() == 1 && p->digits.front().size() == 8)
        return QDate::fromString(p->digits.front(), QStringLiteral("yyyyMMdd"));
    if (p->numbers.size() != 3)
        return {};
    if (p->era < 0 && p->digits.front().size() != 4)
        return {};
    const int year = p->era < 0 ? p->numbers.at(0) : p->era + p->numbers.at(0) - 1;
    return QDate(year, p->numbers.at(1), p->numbers.at(2));
}

QString DateInputText(const QString& yyyymmdd)
{
    const QDate date = QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd"));
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : yyyymmdd;
}

std::optional<Birthday> BirthdayOf(int year, int month, int day, const QDate& today)
{
    if (year != 0 && (year < kFirstBirthYear || year > today.year()))
        return std::nullopt;
    // 2000 was a leap year: without a year, 29 February is a day.
    if (!QDate(year != 0 ? year : 2000, month, day).isValid())
        return std::nullopt;
    return Birthday{year, month, day};
}

std::optional<Birthday> ParseBirthday(const QString& text, const QDate& today)
{
    if (IsAllBlank(text))
        return Birthday{};
    const std::optional<Parts> p = Split(text);
    if (!p)
        return std::nullopt;
    if (p->era < 0 && p->numbers.size() == 1 && p->digits.front().size() == 5) {
        const QDate date = kSheetDayZero.addDays(p->numbers.front());
        return BirthdayOf(date.year(), date.month(), date.day(), today);
    }
    if (p->era < 0 && p->numbers.size() == 2)
        return BirthdayOf(0, p->numbers.at(0), p->numbers.at(1), today);
    const QDate date = DateInput(text);
    if (!date.isValid())
        return std::nullopt;
    return BirthdayOf(date.year(), date.month(), date.day(), today);
}

QString BirthdayText(const Birthday& b)
{
    if (!b.known())
        return {};
    const QString monthDay =
        QStringLiteral("%1/%2").arg(b.month, 2, 10, QLatin1Char('0')).arg(b.day, 2, 10, QLatin1Char('0'));
    return b.year > 0 ? QStringLiteral("%1/").arg(b.year, 4, 10, QLatin1Char('0')) + monthDay : monthDay;
}
