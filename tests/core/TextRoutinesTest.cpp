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

// The tables read best as the rows they are.
// clang-format off
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

TEST(TextRoutines, TrimBlanksTakesBlanksOfEitherWidth)
{
    checkAll(TrimBlanks, {{u" 　山田 太郎　 ", u"山田 太郎"}, {u"　 ", u""}, {u"山田", u"山田"}});
    EXPECT_TRUE(IsAllBlank(u"　 "));
    EXPECT_TRUE(IsAllBlank(u""));
    EXPECT_FALSE(IsAllBlank(u" ー "));
    // What each kind of text counts as a blank: a typed field, the configuration file, a file's text.
    const struct
    {
        char16_t c;
        bool typed, profile, any;
    } blanks[] = {{u' ', true, true, true},   {u'　', true, false, true}, {u'\t', false, true, true},
                  {u'\n', false, false, true}, {u'ー', false, false, false}};
    for (const auto& b : blanks) {
        EXPECT_EQ(IsBlankChar(QChar(b.c)), b.typed) << int(b.c);
        EXPECT_EQ(IsBlankChar(QChar(b.c), Blanks::Profile), b.profile) << int(b.c);
        EXPECT_EQ(IsBlankChar(QChar(b.c), Blanks::Any), b.any) << int(b.c);
    }
}

TEST(TextRoutines, ToWideConvertsNarrowCharacters)
{
    checkAll(ToWide, {{u"150-0001", u"１５０－０００１"}, {u"A b", u"Ａ　ｂ"}, {u"ｶﾞｯｺｳ", u"ガッコウ"},
                      {u"ﾊﾟﾝ", u"パン"}, {u"東京", u"東京"}, {u"ｳﾞｧ", u"ヴァ"}, {u"ﾜﾞｦﾞｳﾞ", u"ヷヺヴ"},
                      {u"¢£¥¦¬¯₩", u"￠￡￥￤￢￣￦"}, {u"ﾜｦ", u"ワヲ"}, {u"ｱﾞ", u"ア゛"}});
}

TEST(TextRoutines, ToHalfKatakanaSplitsVoicedMarks)
{
    checkAll(ToHalfKatakana, {{u"やまだ", u"ﾔﾏﾀﾞ"}, {u"ガッコウ", u"ｶﾞｯｺｳ"}, {u"ぱーてぃー", u"ﾊﾟｰﾃｨｰ"},
                              {u"ゔぁ", u"ｳﾞｧ"}, {u"ヴ", u"ｳﾞ"}, {u"ょ", u"ｮ"}, {u"ｱｲｳ", u"ｱｲｳ"},
                              {u"ＡＢＣ１", u"ABC1"}, {u"山田", u"山田"}, {u"を", u"ｦ"}, {u"ん", u"ﾝ"},
                              {u"か\u3099は\u309A", u"ｶﾞﾊﾟ"}, {u"カ\u3099", u"ｶﾞ"}, {u"\u3099", u"ﾞ"},
                              {u"ﾊ\u309A", u"ﾊﾟ"}, {u"ヷヺ", u"ﾜﾞｦﾞ"}});
}

TEST(TextRoutines, ToHalfAsciiNarrowsWhatInputMethodsWiden)
{
    checkAll(ToHalfAscii, {{u"１００－０００１", u"100-0001"}, {u"ＡＢ　ｃ＠", u"AB c@"}, {u"あア", u"あア"},
                           {u"ｱ￥", u"ｱ￥"}, {u"", u""}, {u"０３−１２３４〜‘’”", u"03-1234~`'\""}});
}

TEST(TextRoutines, SingleLineKeepsPrintableTextOnly)
{
    checkAll(SingleLine, {{u"L1\nL2", u"L1 L2"}, {u"L1\r\nL2", u"L1 L2"}, {u"L1\rL2\n", u"L1 L2 "},
                          {u"a\tb", u"a b"}, {u"a\u0001b\u007Fc\u0085d\u009Fe", u"abc de"},
                          {u"a\u2028b\u2029", u"a b "}, {u"a\xD83D" u"b\xDE00", u"ab"}, {u"😀\u3000あ", u"😀\u3000あ"}});
}

TEST(TextRoutines, CharactersAreCodePointsAndACutKeepsLettersWhole)
{
    const QString nineteen = QString(19, QChar(0x3042));
    const QString family = QStringLiteral("👨\u200D👩\u200D👧");
    EXPECT_EQ(CharCount(nineteen + QStringLiteral("😀x")), 21);
    EXPECT_EQ(LeftChars(nineteen + QStringLiteral("😀x"), 20), nineteen + QStringLiteral("😀"));
    EXPECT_EQ(LeftChars(nineteen + QStringLiteral("x😀"), 20), nineteen + QStringLiteral("x"));
    // A ZWJ sequence is one picture: kept whole or left out, never cut to its first person.
    EXPECT_EQ(LeftChars(nineteen + family + QStringLiteral("z"), 20), nineteen);
    EXPECT_EQ(LeftChars(QStringLiteral("a") + family + QStringLiteral("z"), 6), QStringLiteral("a") + family);
    checkAll([](const QString& text) { return LeftChars(text, 3); },
             {{u"ab😀c", u"ab😀"}, {u"abか\u3099", u"ab"}, {u"aか\u3099b", u"aか\u3099"}, {u"abｶﾞ", u"ab"},
              {u"aｶﾞ", u"aｶﾞ"}, {u"e\u0301\u0302x", u"e\u0301\u0302"}, {u"ab", u"ab"}, {u"ab\u309Bc", u"ab\u309B"},
              {u"ab🇯🇵", u"ab"}, {u"a👍🏽x", u"a👍🏽"}, {u"ﾞﾞﾞﾞ", u""}});
    // A line of ten ends after the picture that its tenth character begins.
    const QString nine(9, QChar(0x3042));
    EXPECT_EQ(CharsEnd(nine + family + QStringLiteral("z"), 10), nine.size() + family.size());
    EXPECT_EQ(CharsEnd(nine + QStringLiteral("かz"), 10), 10);
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

// clang-format on

} // namespace
