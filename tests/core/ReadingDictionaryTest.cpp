#include "core/ReadingDictionary.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <iostream>

namespace {

struct Case
{
    const char16_t* text;
    const char16_t* reading;
};

// clang-format off
TEST(ReadingDictionary, ReadsNamesAsTheReadingFieldsHoldThem)
{
    ASSERT_TRUE(DictionaryAvailable()) << "the IPA dictionary of MeCab (mecab-ipadic-utf8) is not installed";
    const Case cases[] = {
        {u"山田太郎", u"ﾔﾏﾀﾞﾀﾛｳ"},
        // A blank of either width between words, or several, is one half-width blank; none at the ends.
        {u"森　直子", u"ﾓﾘ ﾅｵｺ"},
        {u"森 直子", u"ﾓﾘ ﾅｵｺ"},
        {u"　森 　直子　", u"ﾓﾘ ﾅｵｺ"},
        // The reading, not the pronunciation: ｺﾝﾄﾞｳ, not ｺﾝﾄﾞｰ.
        {u"近藤　裕子", u"ｺﾝﾄﾞｳ ﾕｳｺ"},
        // Read as names, not as the words they also are.
        {u"鈴木陽子", u"ｽｽﾞｷﾖｳｺ"},
        {u"佐々木　彩", u"ｻｻｷ ｱﾔ"},
        // ... but a place is not split into a surname and a given name.
        {u"東京商事", u"ﾄｳｷｮｳｼｮｳｼﾞ"},
        {u"北海道旅客鉄道株式会社函館支社営業部", u"ﾎｯｶｲﾄﾞｳﾘｮｶｸﾃﾂﾄﾞｳｶﾌﾞｼｷｶﾞｲｼｬﾊｺﾀﾞﾃｼｼｬｴｲｷﾞｮｳﾌﾞ"},
        // Kana keep their sound; symbols keep their form.
        {u"やまだ　はなこ", u"ﾔﾏﾀﾞ ﾊﾅｺ"},
        {u"ゲンキ堂", u"ｹﾞﾝｷﾄﾞｳ"},
        {u"山田・太郎", u"ﾔﾏﾀﾞ･ﾀﾛｳ"},
        // Letters, figures and half-width katakana of either width, as the dictionary knows them.
        {u"ABC産業", u"ｴｲﾋﾞｰｼｰｻﾝｷﾞｮｳ"},
        {u"NTTデータ", u"ｴﾇﾃｨｰﾃｨｰﾃﾞｰﾀ"},
        {u"山田　Ｊｒ", u"ﾔﾏﾀﾞ ｼﾞｭﾆｱ"},
        {u"ﾔﾏﾀﾞ ﾊﾅｺ", u"ﾔﾏﾀﾞ ﾊﾅｺ"},
        // Half-width katakana and blanks only: variation selectors and signs are no part of a reading.
        {u"辻\U000E0100本", u"ﾂｼﾞﾓﾄ"},
        {u"葛\U000E0100城　花子\uFE00", u"ｶﾂﾗｷﾞ ﾊﾅｺ"},
        {u"（株）山田", u"ｶﾌﾞﾔﾏﾀﾞ"},
        // ヶ as the dictionary knows it in a word, and never as its surface ｹ.
        {u"霞ヶ関", u"ｶｽﾐｶﾞｾｷ"},
        {u"一ヶ谷", u""},
        // A letter or figures read one by one are no reading: nothing rather than a part.
        {u"けｎ", u""},
        {u"第3営業部", u""},
        {u"ｙａｍａｄａ", u""},
        {u"Smith", u""},
        {u"", u""},
        {u"　 ", u""},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(DictionaryReading(text).toStdString(), QString::fromUtf16(c.reading).toStdString()) << text.toStdString();
    }
}
// clang-format on

TEST(ReadingDictionary, GivesEveryReadingOfAWord)
{
    ASSERT_TRUE(DictionaryAvailable());
    const QStringList city = DictionaryWordReadings(QStringLiteral("市"));
    EXPECT_TRUE(city.contains(QStringLiteral("ｼ")) && city.contains(QStringLiteral("ｲﾁ")))
        << city.join(',').toStdString();
    EXPECT_EQ(DictionaryWordReadings(QStringLiteral("市ヶ")), QStringList());
}

struct Measured
{
    int total = 0;
    int equal = 0;
    QStringList misses;
};

// How often the dictionary's reading equals the reading of a list "name<TAB>reading".
Measured measure(const QString& path)
{
    Measured m;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QStringList columns = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (columns.size() < 2 || columns.at(0).startsWith(QLatin1Char('#')))
            continue;
        ++m.total;
        const QString reading = DictionaryReading(columns.at(0));
        if (reading == columns.at(1))
            ++m.equal;
        else
            m.misses << QStringLiteral("%1 %2≠%3").arg(columns.at(0), reading, columns.at(1));
    }
    return m;
}

TEST(ReadingDictionary, GivesTheTrueReadingOfMostNames)
{
    ASSERT_TRUE(DictionaryAvailable());
    struct List
    {
        const char* path;
        int atLeast;
        double share;
    };
    const List lists[] = {
        // 290 common surnames and given names; measured 275 (94.8 %).
        {QEL_SOURCE_DIR "/tests/core/data/names.tsv", 200, 0.93},
        // The customers of the sample data; measured 46 of 48 (95.8 %).
        {QEL_SOURCE_DIR "/tools/data/sample_customers.tsv", 40, 0.90},
    };
    for (const List& list : lists) {
        const Measured m = measure(QString::fromUtf8(list.path));
        std::cout << list.path << ": " << m.equal << " of " << m.total << " readings equal ("
                  << 100.0 * m.equal / std::max(m.total, 1)
                  << " %); others: " << m.misses.join(", ").toStdString() << '\n';
        EXPECT_GE(m.total, list.atLeast) << list.path;
        EXPECT_GE(m.equal, list.share * m.total) << list.path;
    }
}

} // namespace
