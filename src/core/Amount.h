#pragma once

#include <QString>

#include <cstdint>

// Money and quantities are whole numbers held in 64 bits, never floating point.
using Amount = std::int64_t;

inline constexpr Amount kAmountCap = 99'999'999; // eight digits
inline const QString kYen = QStringLiteral("¥");

// The value of a shown amount: its digits (NumOnly) as a number; no digits gives 0.
// More digits than 64 bits hold saturate at the largest value.
Amount AmountValue(const QString& text);

// "##,###,##0" and "###,###,##0": thousands grouped with commas, at least one digit.
QString FormatGrouped(Amount value);

// A price or total as the screens show it: the yen sign and the grouped digits.
QString YenText(Amount value);

// The amount an amount box holds (a price, a quantity): the digits of its trimmed text, leading
// zeros not counted; more than eight digits stand for 99,999,999. No digits gives 0.
Amount BoxAmount(const QString& text);

// The logarithm to base 10 as the total's digit estimate takes it: ln x / ln 10.
double Log10(double x);
// The digit estimate of an amount: log10 rounded to the nearest integer (a half to the even
// one); a value that is not positive counts as 1.
int DigitEstimate(Amount value);
// The selling-price total of a line, or none ("Over") when the digit estimates of price and
// quantity add up to more than eight. Exact in 64 bits.
std::optional<Amount> EstimatedTotal(Amount sellingPrice, Amount quantity);
// The total as its box or label shows it: the yen text of the total, or "Over".
QString TotalText(Amount sellingPrice, Amount quantity);
