#include "SalesAmounts.h"

#include "core/TextRoutines.h"

#include <cmath>

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

QString CappedDigits(const QString& text)
{
    const QString digits = NumOnly(TrimBlank(text));
    return digits.size() > 8 ? QStringLiteral("99999999") : digits;
}
