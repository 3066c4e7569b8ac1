#include "core/Amount.h"

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

TEST(BoxAmountTest, DigitsWithoutLeadingZerosCappedAtEight)
{
    const struct
    {
        const char* typed;
        Amount value;
    } cases[] = {
        {"1234567890", 99999999},
        {"123456789", 99999999},
        {"12345678", 12345678},
        {" ¥1,280 ", 1280},
        {"-5", 5},
        {"Over", 0},
        {"", 0},
        {"000000012", 12},
        {"0000000000", 0},
        {"099999999", 99999999},
        {"0123456789", 99999999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoxAmount(QString::fromUtf8(c.typed)), c.value) << c.typed;
}

TEST(TotalTextTest, YenTotalOrOver)
{
    EXPECT_EQ(TotalText(12345, 1), QStringLiteral("¥12,345"));
    EXPECT_EQ(TotalText(99999999, 3), QStringLiteral("¥299,999,997"));
    EXPECT_EQ(TotalText(100000, 10000), QStringLiteral("Over"));
}

} // namespace
