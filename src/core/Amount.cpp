#include "Amount.h"

#include "TextRoutines.h"

#include <cmath>
#include <limits>

namespace {

Amount parseDigits(QStringView digits)
{
    Amount value = 0;
    for (QChar c : digits) {
        const int d = c.unicode() - '0';
        if (value > (std::numeric_limits<Amount>::max() - d) / 10)
            return std::numeric_limits<Amount>::max();
        value = value * 10 + d;
    }
    return value;
}

} // namespace

Amount AmountValue(const QString& text)
{
    return parseDigits(NumOnly(text));
}

QString FormatGrouped(Amount value)
{
    const bool negative = value < 0;
    QString digits = QString::number(value);
    if (negative)
        digits.remove(0, 1);
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return negative ? QLatin1Char('-') + out : out;
}

QString YenText(Amount value)
{
    return kYen + FormatGrouped(value);
}

Amount BoxAmount(const QString& text)
{
    const QString digits = NumOnly(TrimBlank(text));
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    if (digits.size() - zeros > 8)
        return kAmountCap;
    return parseDigits(QStringView(digits).mid(zeros));
}

double Log10(double x)
{
    return std::log(x) / std::log(10.0);
}

int DigitEstimate(Amount value)
{
    if (value <= 0)
        return 1;
    // nearbyint rounds in the default mode, to nearest with ties to even.
    return static_cast<int>(std::nearbyint(Log10(static_cast<double>(value))));
}

std::optional<Amount> EstimatedTotal(Amount sellingPrice, Amount quantity)
{
    if (DigitEstimate(sellingPrice) + DigitEstimate(quantity) > 8)
        return std::nullopt;
    return sellingPrice * quantity;
}

QString TotalText(Amount sellingPrice, Amount quantity)
{
    const std::optional<Amount> total = EstimatedTotal(sellingPrice, quantity);
    return total ? YenText(*total) : QStringLiteral("Over");
}
