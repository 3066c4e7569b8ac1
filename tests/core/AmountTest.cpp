#include "core/Amount.h"

#include <gtest/gtest.h>

namespace {

TEST(Amount, GroupedFormatsAndYenSign)
{
    const std::pair<Amount, const char*> cases[] = {{0, "0"},
                                                    {5, "5"},
                                                    {999, "999"},
                                                    {1000, "1,000"},
                                                    {15000, "15,000"},
                                                    {99999999, "99,999,999"},
                                                    {199999998, "199,999,998"},
                                                    {1234567890123, "1,234,567,890,123"},
                                                    {-1234, "-1,234"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatGrouped(value).toStdString(), std::string(expected));
    EXPECT_EQ(YenText(15000), QStringLiteral("¥15,000"));
    EXPECT_EQ(YenText(0), QStringLiteral("¥0"));
}

TEST(Amount, ValueOfAShownAmountIsItsDigits)
{
    EXPECT_EQ(AmountValue(QStringLiteral("¥15,000")), 15000);
    EXPECT_EQ(AmountValue(QStringLiteral("\\12,000")), 12000);
    EXPECT_EQ(AmountValue(QStringLiteral("Over")), 0);
    EXPECT_EQ(AmountValue(QString()), 0);
    EXPECT_EQ(AmountValue(QString(40, QLatin1Char('9'))), std::numeric_limits<Amount>::max());
}

} // namespace
