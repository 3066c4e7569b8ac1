#pragma once

#include "core/Amount.h"

#include <QString>

#include <optional>

// The logarithm to base 10 as the total's digit estimate takes it: ln x / ln 10.
double Log10(double x);

// The digit estimate of an amount: log10 rounded to the nearest integer (a half to the even
// one); a value that is not positive counts as 1.
int DigitEstimate(Amount value);

// The selling-price total of a line, or none ("Over") when the digit estimates of price and
// quantity add up to more than eight. Exact in 64 bits.
std::optional<Amount> EstimatedTotal(Amount sellingPrice, Amount quantity);

// The digits of an amount box as the computation uses them: more than eight digits become
// "99999999".
QString CappedDigits(const QString& text);
