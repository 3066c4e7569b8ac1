#include "core/TextRoutines.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char16_t* input;
    const char16_t* expected;
};

QString q(const char16_t* s)
{
    return QString::fromUtf16(s);
}

void checkAll(QString (*routine)(const QString&), std::initializer_list<Case> cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(routine(q(c.input)).toStdString(), q(c.expected).toStdString()) << q(c.input).toStdString();
}

TEST(TextRoutines, NumOnlyKeepsAsciiDigitsOnly)
{
    checkAll(NumOnly, {{u"1,280円", u"1280"},
                       {u"-5", u"5"},
                       {u"１２３", u""},
                       {u"", u""},
                       {u"¥15,000", u"15000"},
                       {u"\\12,000", u"12000"},
                       {u"12.50", u"1250"},
                       {u"abc", u""}});
}

TEST(TextRoutines, KanaNormalizeFoldsHalfWidthKanaOnly)
{
    checkAll(KanaNormalize, {{u"ｼﾞｮｰｼﾞ", u"ｼﾖｰｼ"},
                             {u"ﾊﾟｯｸ", u"ﾊﾂｸ"},
                             {u"", u""},
                             {u"ｶﾞｯｺｳ", u"ｶﾂｺｳ"},
                             {u"ｧｨｩｪｫｬｭｮｯ", u"ｱｲｳｴｵﾔﾕﾖﾂ"},
                             {u"ガッコウ", u"ガッコウ"},
                             {u"ABCｬ1", u"ABCﾔ1"}});
}

TEST(TextRoutines, TrimBlankRemovesOnlyAsciiBlanks)
{
    checkAll(TrimBlank,
             {{u"  山田  ", u"山田"}, {u"　山田　", u"　山田　"}, {u"   ", u""}, {u"a b", u"a b"}});
}

TEST(TextRoutines, ToWideConvertsNarrowCharacters)
{
    checkAll(ToWide, {{u"150-0001", u"１５０－０００１"},
                      {u"A b", u"Ａ　ｂ"},
                      {u"ｶﾞｯｺｳ", u"ガッコウ"},
                      {u"ﾊﾟﾝ", u"パン"},
                      {u"東京", u"東京"},
                      {u"ｳﾞｧ", u"ヴァ"}});
}

TEST(TextRoutines, ToHalfKatakanaSplitsVoicedMarks)
{
    checkAll(ToHalfKatakana, {{u"やまだ", u"ﾔﾏﾀﾞ"},
                              {u"ガッコウ", u"ｶﾞｯｺｳ"},
                              {u"ぱーてぃー", u"ﾊﾟｰﾃｨｰ"},
                              {u"ゔぁ", u"ｳﾞｧ"},
                              {u"ヴ", u"ｳﾞ"},
                              {u"ょ", u"ｮ"},
                              {u"ｱｲｳ", u"ｱｲｳ"},
                              {u"ＡＢＣ１", u"ABC1"},
                              {u"山田", u"山田"},
                              {u"を", u"ｦ"},
                              {u"ん", u"ﾝ"}});
}

TEST(TextRoutines, KanaOnlyRecognisesCompositionReadings)
{
    EXPECT_TRUE(IsKanaOnly(QStringLiteral("やまだ")));
    EXPECT_TRUE(IsKanaOnly(QStringLiteral("ラーメン")));
    EXPECT_TRUE(IsKanaOnly(QStringLiteral("ﾔﾏﾀﾞ")));
    EXPECT_FALSE(IsKanaOnly(QStringLiteral("山田")));
    EXPECT_FALSE(IsKanaOnly(QStringLiteral("やま田")));
    EXPECT_FALSE(IsKanaOnly(QString()));
}

} // namespace
