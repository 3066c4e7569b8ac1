#include "sales/SalesAmounts.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct EstimateCase
{
    Amount value;
    int digits;
};

void PrintTo(const EstimateCase& c, std::ostream* os)
{
    *os << c.value << " -> " << c.digits;
}

class DigitEstimateTest : public ::testing::TestWithParam<EstimateCase>
{
};

TEST_P(DigitEstimateTest, RoundsTheLogarithm)
{
    EXPECT_EQ(DigitEstimate(GetParam().value), GetParam().digits) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Boundaries, DigitEstimateTest,
                         ::testing::Values(EstimateCase{0, 1}, EstimateCase{-5, 1}, EstimateCase{1, 0},
                                           EstimateCase{3, 0}, EstimateCase{4, 1}, EstimateCase{31, 1},
                                           EstimateCase{32, 2}, EstimateCase{3162, 3}, EstimateCase{3163, 4},
                                           EstimateCase{316227, 5}, EstimateCase{316228, 6},
                                           EstimateCase{31622776, 7}, EstimateCase{31622777, 8},
                                           EstimateCase{99999999, 8}));

struct TotalCase
{
    Amount price;
    Amount quantity;
    std::optional<Amount> total;
};

void PrintTo(const TotalCase& c, std::ostream* os)
{
    *os << c.price << " x " << c.quantity << " -> ";
    if (c.total)
        *os << *c.total;
    else
        *os << "Over";
}

class EstimatedTotalTest : public ::testing::TestWithParam<TotalCase>
{
};

TEST_P(EstimatedTotalTest, MultipliesOrSaysOver)
{
    const TotalCase& c = GetParam();
    EXPECT_EQ(EstimatedTotal(c.price, c.quantity), c.total) << c.price << " x " << c.quantity;
}

INSTANTIATE_TEST_SUITE_P(Examples, EstimatedTotalTest,
                         ::testing::Values(TotalCase{12000, 3, 36000}, TotalCase{12000, 0, 0},
                                           TotalCase{0, 0, 0}, TotalCase{99999999, 2, 199999998},
                                           TotalCase{99999999, 3, 299999997},
                                           TotalCase{99999999, 4, std::nullopt},
                                           TotalCase{99999999, 0, std::nullopt},
                                           TotalCase{31622777, 0, std::nullopt}, TotalCase{31622776, 0, 0},
                                           TotalCase{31622776, 3, 94868328}, TotalCase{3162, 31622, 99988764},
                                           TotalCase{9999, 99999, std::nullopt}));

TEST(CappedDigitsTest, KeepsDigitsAndCapsAtEight)
{
    EXPECT_EQ(CappedDigits(QStringLiteral("1234567890")), QStringLiteral("99999999"));
    EXPECT_EQ(CappedDigits(QStringLiteral("123456789")), QStringLiteral("99999999"));
    EXPECT_EQ(CappedDigits(QStringLiteral("12345678")), QStringLiteral("12345678"));
    EXPECT_EQ(CappedDigits(QStringLiteral(" ¥1,280 ")), QStringLiteral("1280"));
    EXPECT_EQ(CappedDigits(QStringLiteral("-5")), QStringLiteral("5"));
    EXPECT_EQ(CappedDigits(QStringLiteral("１２")), QString());
    EXPECT_EQ(CappedDigits(QStringLiteral("Over")), QString());
}

} // namespace
