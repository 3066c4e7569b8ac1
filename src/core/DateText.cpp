#include "DateText.h"

#include "Globals.h"

#include <array>

namespace {

const std::array<Era, 5>& eras()
{
    static const std::array<Era, 5> table = {{
        {QStringLiteral("明治"), QStringLiteral("M"), QDate(1868, 1, 1)},
        {QStringLiteral("大正"), QStringLiteral("T"), QDate(1912, 7, 30)},
        {QStringLiteral("昭和"), QStringLiteral("S"), QDate(1926, 12, 25)},
        {QStringLiteral("平成"), QStringLiteral("H"), QDate(1989, 1, 8)},
        {QStringLiteral("令和"), QStringLiteral("R"), QDate(2019, 5, 1)},
    }};
    return table;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

const Era* EraOf(const QDate& date)
{
    const Era* found = nullptr;
    for (const Era& era : eras()) {
        if (date >= era.first)
            found = &era;
    }
    return found;
}

QString WeekdayKanji(const QDate& date)
{
    static const QString names = QStringLiteral("月火水木金土日");
    const int dow = date.dayOfWeek(); // 1 = Monday
    return dow >= 1 && dow <= 7 ? QString(names.at(dow - 1)) : QString();
}

QString FormatDate(const QDate& date, const QString& pattern)
{
    const Era* era = EraOf(date);
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QStringView rest = QStringView(pattern).mid(i);
        if (rest.startsWith(u"yyyy")) {
            out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            i += 4;
        } else if (rest.startsWith(u"ggg")) {
            if (era)
                out += era->name;
            i += 3;
        } else if (rest.startsWith(u"ee")) {
            out += era ? twoDigits(date.year() - era->first.year() + 1)
                       : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            i += 2;
        } else if (rest.startsWith(u"g")) {
            if (era)
                out += era->initial;
            i += 1;
        } else if (rest.startsWith(u"mm")) {
            out += twoDigits(date.month());
            i += 2;
        } else if (rest.startsWith(u"dd")) {
            out += twoDigits(date.day());
            i += 2;
        } else if (rest.startsWith(u"AAA")) {
            out += WeekdayKanji(date);
            i += 3;
        } else {
            out += pattern.at(i);
            i += 1;
        }
    }
    return out;
}

bool EraMode()
{
    return G().Nengou == QStringLiteral("和暦");
}

QString DateWithWeekday(const QDate& date)
{
    return FormatDate(date, EraMode() ? QStringLiteral("gggee年mm月dd日（AAA）")
                                      : QStringLiteral("yyyy年mm月dd日（AAA）"));
}

QString YearMonthText(const QDate& date)
{
    return FormatDate(date, EraMode() ? QStringLiteral("gggee年mm月") : QStringLiteral("yyyy年mm月"));
}

QString ShortDate(const QDate& date)
{
    return FormatDate(date, EraMode() ? QStringLiteral("g.ee/mm/dd") : QStringLiteral("yyyy/mm/dd"));
}

QString StampDisplay(const QString& year, const QString& month, const QString& day, const QString& hour,
                     const QString& minute, const QString& second)
{
    const QDate date(year.toInt(), month.toInt(), day.toInt());
    const QString datePart =
        date.isValid() ? ShortDate(date) : year + QLatin1Char('/') + month + QLatin1Char('/') + day;
    return datePart + QLatin1Char(' ') + hour + QLatin1Char(':') + minute + QLatin1Char(':') + second;
}
