#include "exchange/Csv.h"
#include "core/Cp932.h"
#include "core/QelError.h"

#include <gtest/gtest.h>

namespace {

// Fields joined with "|", records with "/", each record after its line number and ":".
std::string Parsed(const QByteArray& data, char separator = ',')
{
    QByteArrayList records;
    for (const CsvRecord& r : ParseCsv(data, separator)) {
        QByteArrayList fields(r.fields.begin(), r.fields.end());
        records << QByteArray::number(r.line) + ':' + fields.join('|');
    }
    return records.join('/').toStdString();
}

TEST(CsvTest, RecordsSplitAsSpreadsheetsWriteThem)
{
    struct Case
    {
        QByteArray data;
        char separator;
        const char* records;
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", ',', "1:a|b/2:c|d"},
        {"a,b\nc", ',', "1:a|b/2:c"},
        {"a,b\rc,d", ',', "1:a|b/2:c|d"},
        {"\"a,b\",\"say \"\"hi\"\"\"\n", ',', "1:a,b|say \"hi\""},
        {"\"two\r\nlines\",x\ny\n", ',', "1:two\r\nlines|x/3:y"},
        {"a,,\n", ',', "1:a||"},
        {"5\"3,x\n", ',', "1:5\"3|x"},
        {"a\tb,c\n", '\t', "1:a|b,c"},
        {"\x8e\x52\x93\x63,\x95\x5c\n", ',',
         "1:\x8e\x52\x93\x63|\x95\x5c"}, // 山田,表: the second byte 0x5C is no escape
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parsed(c.data, c.separator), c.records) << c.data.toStdString();
    EXPECT_EQ(GuessSeparator("a\tb\tc,d\n"), '\t');
    EXPECT_EQ(GuessSeparator("\"a\tb\tc\",d\n"), ',');
}

TEST(CsvTest, AnUnclosedQuoteNamesTheLineItOpensOn)
{
    try {
        ParseCsv("a,b\nc,\"d\ne\nf\n", ',');
        FAIL() << "no error";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("2 行目で始まる"))) << e.message().toStdString();
    }
}

TEST(CsvTest, WrittenTextQuotesOnlyWhereNeededAndEndsLinesWithCrLf)
{
    EXPECT_EQ(CsvText({{"a", "b c", "d,e"}, {"\"q\"", "x\ny", ""}}),
              QStringLiteral("a,b c,\"d,e\"\r\n\"\"\"q\"\"\",\"x\ny\",\r\n"));
}

// What a spreadsheet would run as a formula gets the apostrophe that marks text; the numeric
// columns keep their signs; reading back takes the mark away again.
TEST(CsvTest, FormulaSignsInTextColumnsAreWrittenAsText)
{
    struct Case
    {
        const char* field;
        const char* written;
    };
    const Case cases[] = {
        {"=1+1", "'=1+1"},   {"+81 3", "'+81 3"}, {"-1", "'-1"},  {"@SUM(A1)", "'@SUM(A1)"}, {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""}, {"'abc", "''abc"},   {"a=b", "a=b"}, {"=a,b", "\"'=a,b\""},     {"", ""},
        {"ｱ-1", "ｱ-1"},
    };
    for (const Case& c : cases) {
        const QString field = QString::fromUtf8(c.field);
        EXPECT_EQ(CsvText({{field, QStringLiteral("-1200")}}, {1}),
                  QString::fromUtf8(c.written) + QStringLiteral(",-1200\r\n"))
            << c.field;
        const std::vector<CsvRecord> back = ParseCsv(CsvText({{field}}).toUtf8(), ',');
        EXPECT_EQ(CsvFieldText(QString::fromUtf8(back.at(0).fields.at(0))), field) << c.field;
    }
}

TEST(CsvTest, Cp932HoldsItsOwnCharactersOnly)
{
    struct Case
    {
        const char* text;
        bool held;
    };
    const Case cases[] = {
        {"山田 ﾀﾛｳ abc", true}, {"髙橋", true}, {"～〜−‖", true}, {"①Ⅱ㈱", true},
        {"𠮷", false},          {"🌸", false},   {"¥", false},     {"é", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cp932Holds(QString::fromUtf8(c.text)), c.held) << c.text;
    const std::vector<CsvUnheld> unheld = Cp932Unheld({{"名前", "備考"}, {"山田", "花🌸"}, {"𠮷", "x"}});
    ASSERT_EQ(unheld.size(), 2u);
    EXPECT_EQ(unheld[0].row, 1);
    EXPECT_EQ(unheld[0].column, 1);
    EXPECT_EQ(unheld[1].row, 2);
    EXPECT_EQ(unheld[1].column, 0);
}

} // namespace
