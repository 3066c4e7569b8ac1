#include "customers/CustomerWhere.h"
#include "customers/CustomerStore.h"

#include "support/TestSupport.h"

namespace {

class CustomerWhereTest : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        const CustomerStore store;
        store.add({.name = "山田太郎",
                   .reading = "ﾔﾏﾀﾞﾀﾛｳ",
                   .postalCode = "100-0001",
                   .prefecture = 13,
                   .city = "千代田区千代田一丁目一番一号皇居外苑内特別地区",
                   .building = "皇居ビル",
                   .phone = "03-1111-2222",
                   .mobile = "090-1111-2222",
                   .fax = "03-1111-3333",
                   .mail = "Taro@Example.jp",
                   .remarks = "50%引き"});
        store.add({.name = "田中花子",
                   .reading = "ﾀﾅｶﾊﾅｺ",
                   .postalCode = "530-0001",
                   .prefecture = 27,
                   .city = "大阪市北区",
                   .building = "A_B棟",
                   .phone = "06-2222-3333",
                   .mobile = "080-2222-3333",
                   .fax = "06-2222-4444",
                   .mail = "hanako@example.jp",
                   .remarks = "O'Brien \"様\""});
        store.add({.name = "佐藤一郎",
                   .reading = "ｻﾄｳｲﾁﾛｳ",
                   .postalCode = "060-0001",
                   .prefecture = 1,
                   .city = "札幌市中央区",
                   .building = "AXB棟",
                   .phone = "011-333-4444",
                   .mobile = "070-3333-4444",
                   .fax = "011-333-5555",
                   .mail = "ichiro@example.jp",
                   .remarks = "*特価* [#?] \\記号 50円引き"});
        store.add({.name = "鈴木",
                   .reading = "ｽｽﾞｷ",
                   .postalCode = "100-0002",
                   .prefecture = 0,
                   .city = "千代田区",
                   .mail = "SUZUKI@EXAMPLE.JP"});
    }

    static SearchCondition searchOf(const Customer& fields)
    {
        SearchCondition search;
        search.fields = fields;
        return search;
    }
    static QString matched(const Customer& condition)
    {
        QStringList names;
        for (const CustomerListEntry& e : CustomerStore().list(searchOf(condition)))
            names << e.name;
        return names.join(QLatin1Char(','));
    }
};

TEST_F(CustomerWhereTest, EachConditionIsABoundContainmentMatchInFieldOrder)
{
    struct Case
    {
        const char* what;
        Customer condition;
        QString text;  // empty: not checked
        QString names; // in reading order
    };
    const QString like = QStringLiteral(" like ? escape '\\'");
    const Case cases[] = {
        {"nothing: every customer with a prefecture",
         {},
         "Fi_都道府県番号 > 0",
         "佐藤一郎,田中花子,山田太郎"},
        {"blanks only set no condition",
         {.name = "  ", .reading = " ", .city = "   ", .remarks = "  "},
         "Fi_都道府県番号 > 0",
         "佐藤一郎,田中花子,山田太郎"},
        {"reading and prefecture",
         {.reading = "ﾀﾅｶ", .prefecture = 27},
         "Fi_名前フリガナ" + like + " and Fi_都道府県番号 = 27",
         "田中花子"},
        {"a prefecture of another customer", {.reading = "ﾀﾅｶ", .prefecture = 13}, {}, ""},
        {"name, trimmed",
         {.name = " 田 "},
         "Fi_名前" + like + " and Fi_都道府県番号 > 0",
         "田中花子,山田太郎"},
        {"postal code", {.postalCode = "100"}, {}, "山田太郎"},
        {"prefecture alone", {.prefecture = 1}, "Fi_都道府県番号 = 1", "佐藤一郎"},
        {"city", {.city = "区"}, {}, "佐藤一郎,田中花子,山田太郎"},
        {"building: _ is no wildcard", {.building = "A_B"}, {}, "田中花子"},
        {"telephone", {.phone = "03-1111"}, {}, "山田太郎"},
        {"mobile", {.mobile = "3333"}, {}, "佐藤一郎,田中花子"},
        {"fax", {.fax = "5555"}, {}, "佐藤一郎"},
        {"mail: ASCII letters regardless of case", {.mail = "EXAMPLE.JP"}, {}, "佐藤一郎,田中花子,山田太郎"},
        {"mail: lower case finds upper case", {.mail = "taro"}, {}, "山田太郎"},
        {"remarks: % is no wildcard", {.remarks = "50%"}, {}, "山田太郎"},
        {"remarks: '", {.remarks = "'"}, {}, "田中花子"},
        {"remarks: \"", {.remarks = "\""}, {}, "田中花子"},
        {"remarks: *", {.remarks = "*"}, {}, "佐藤一郎"},
        {"remarks: ?", {.remarks = "?"}, {}, "佐藤一郎"},
        {"remarks: #", {.remarks = "#"}, {}, "佐藤一郎"},
        {"remarks: [", {.remarks = "[#?]"}, {}, "佐藤一郎"},
        {"remarks: backslash", {.remarks = "\\記"}, {}, "佐藤一郎"},
        {"remarks: _ alone", {.remarks = "_"}, {}, ""},
        {"quote and percent that would end a spliced statement", {.remarks = "' or '%' = '%"}, {}, ""},
        {"several conditions all hold", {.name = "田", .phone = "06"}, {}, "田中花子"},
        {"several conditions, one fails", {.name = "田", .phone = "011"}, {}, ""},
        {"a value longer than the box",
         {.city = "千代田区千代田一丁目一番一号皇居外苑内特別地区"},
         {},
         "山田太郎"},
        {"every field, in field order",
         {.name = "山田",
          .reading = "ﾔﾏﾀﾞ",
          .postalCode = "100",
          .prefecture = 13,
          .city = "千代田",
          .building = "皇居",
          .phone = "03",
          .mobile = "090",
          .fax = "3333",
          .mail = "taro",
          .remarks = "引き"},
         "Fi_名前フリガナ" + like + " and Fi_名前" + like + " and Fi_郵便番号" + like +
             " and Fi_都道府県番号 = 13 and Fi_市区町村" + like + " and Fi_建物" + like + " and Fi_電話番号" +
             like + " and Fi_携帯番号" + like + " and Fi_ファックス番号" + like + " and Fi_メールアドレス" +
             like + " and Fi_備考" + like,
         "山田太郎"},
    };
    for (const Case& c : cases) {
        const WhereClause where = CustomerWhere(searchOf(c.condition));
        if (!c.text.isEmpty()) {
            EXPECT_EQ(where.text, c.text) << c.what;
        }
        EXPECT_EQ(where.values.size(), where.text.count(QLatin1Char('?'))) << c.what;
        EXPECT_EQ(matched(c.condition), c.names) << c.what;
    }
}

} // namespace
