#include "addressprint/AddressLayout.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString kName20 = QStringLiteral("山田山田山田山田山田山田山田山田山田山田");
const QString kPrefecture = QStringLiteral("神奈川県");
const QString kAddress20 = QStringLiteral("横浜市保土ケ谷区上星川三丁目一番地二十三");
const QString kBuilding20 = QStringLiteral("グランドメゾン上星川第二ビルディング八〇");

QRectF Printable(QSizeF paper)
{
    return QRectF(QPointF(kPrintableMargin, kPrintableMargin),
                  paper - QSizeF(2 * kPrintableMargin, 2 * kPrintableMargin));
}

// No two texts of the page over each other, and every one inside the printable area.
void ExpectClear(const AddressPage& page)
{
    const QRectF printable = Printable(page.paper);
    for (size_t i = 0; i < page.texts.size(); ++i) {
        const PlacedText& a = page.texts[i];
        EXPECT_TRUE(printable.contains(a.box)) << a.text.toStdString();
        for (size_t j = i + 1; j < page.texts.size(); ++j) {
            const QRectF overlap = a.box.intersected(page.texts[j].box);
            EXPECT_LT(overlap.width() * overlap.height(), 1e-6)
                << a.text.toStdString() << " / " << page.texts[j].text.toStdString();
        }
    }
}

QString Joined(const AddressPage& page)
{
    QString all;
    for (const PlacedText& t : page.texts)
        all += t.text;
    return all;
}

TEST(AddressLayout, PostalCodesOfSevenDigitsWithOrWithoutHyphenInAnyWidth)
{
    const struct
    {
        const char* typed;
        const char* digits; // empty: not seven digits
    } cases[] = {
        {"100-0001", "1000001"},
        {"1000001", "1000001"},
        {"１００－０００１", "1000001"},
        {" 100-0001 ", "1000001"},
        {"100-000", ""},
        {"1000-001", ""},
        {"10000011", ""},
        {"", ""},
        {"12-3456", ""},
        {"abc-defg", ""},
    };
    for (const auto& c : cases) {
        const auto digits = PostalDigits(QString::fromUtf8(c.typed));
        EXPECT_EQ(digits.value_or(QString()), QString::fromUtf8(c.digits)) << c.typed;
    }
}

TEST(AddressLayout, HonorificFollowsTheNameUnlessOverridden)
{
    const struct
    {
        const char* name;
        HonorificRule rule;
        const char* honorific;
    } cases[] = {
        {"山田太郎", HonorificRule::Auto, "様"},       {"株式会社山田", HonorificRule::Auto, "御中"},
        {"山田商店(株)", HonorificRule::Auto, "御中"}, {"山田商店（有）", HonorificRule::Auto, "御中"},
        {"㈱山田", HonorificRule::Auto, "御中"},       {"合同会社ヤマダ", HonorificRule::Auto, "御中"},
        {"有限会社山田", HonorificRule::Sama, "様"},   {"山田太郎", HonorificRule::Onchu, "御中"},
        {"株山田", HonorificRule::Auto, "様"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HonorificFor(QString::fromUtf8(c.name), c.rule), QString::fromUtf8(c.honorific)) << c.name;
}

TEST(AddressLayout, VerticalTextTurnsDigitsDashesAndSmallKanaAsVerticalWritingDoes)
{
    const struct
    {
        const char* text;
        Numerals numerals;
        const char* glyphs;
        const char* turns; // n upright, r turned, c corner
    } cases[] = {
        {"1-20", Numerals::Kanji, "一︱二〇", "nnnn"},
        {"1-20", Numerals::FullWidth, "１︱２０", "nnnn"},
        {"１２－３", Numerals::Kanji, "一二︱三", "nnnn"},
        {"ビール", Numerals::Kanji, "ビール", "nrn"},
        {"キャッツ", Numerals::Kanji, "キャッツ", "nccn"},
        {"ABビル", Numerals::Kanji, "ＡＢビル", "nnnn"},
        {"（株）A 〜", Numerals::Kanji, "︵株︶Ａ　〜", "nnnnnr"},
        {"㈱", Numerals::Kanji, "︵株︶", "nnn"},
        {"27丁目10番", Numerals::KanjiCounting, "二十七丁目十番", "nnnnnnn"},
        {"105-3205", Numerals::KanjiCounting, "百五︱三二〇五", "nnnnnnn"},
        {"ビル2F", Numerals::Kanji, "ビル二階", "nnnn"},
        {"ビルB1F", Numerals::KanjiCounting, "ビル地下一階", "nnnnnn"},
        {"ビル2F", Numerals::FullWidth, "ビル２Ｆ", "nnnn"},
        {"A101", Numerals::Kanji, "Ａ１０１", "nnnn"},
    };
    for (const auto& c : cases) {
        QString glyphs, turns;
        for (const VerticalGlyph& g : VerticalGlyphs(QString::fromUtf8(c.text), c.numerals)) {
            glyphs += g.text;
            turns += g.turn == Turn::Rotated ? u'r' : g.turn == Turn::Corner ? u'c' : u'n';
        }
        EXPECT_EQ(glyphs, QString::fromUtf8(c.glyphs)) << c.text;
        EXPECT_EQ(turns, QString::fromUtf8(c.turns)) << c.text;
    }
}

TEST(AddressLayout, APostcardPutsTheDigitsInTheBoxesAndFitsEntriesAtTheirLimits)
{
    AddressOptions options;
    options.printSender = true;
    options.sender = {kName20, QStringLiteral("150-0002"), kPrefecture + kAddress20, kBuilding20,
                      QStringLiteral("03-1234-5678")};
    const AddressLayout layout(
        {{kName20, QStringLiteral("２４０－００４５"), kPrefecture, kAddress20, kBuilding20}}, options);
    ASSERT_EQ(layout.pageCount(), 1);
    const AddressPage page = layout.page(0);
    EXPECT_EQ(page.paper, QSizeF(100, 148));
    ExpectClear(page);

    ASSERT_EQ(page.postalBoxes.size(), 7u);
    EXPECT_NEAR(page.postalBoxes.back().right(), 92.0, 1e-9);
    EXPECT_NEAR(page.postalBoxes.front().left(), 44.3, 1e-9);
    EXPECT_NEAR(page.postalBoxes[3].left() - page.postalBoxes[2].right(), 1.9, 1e-9);
    QString digits;
    for (const PlacedText& t : page.texts) {
        if (!t.postalDigit)
            continue;
        const QRectF& box = page.postalBoxes.at(size_t(digits.size()));
        EXPECT_NEAR(t.box.center().x(), box.center().x(), 1e-9);
        EXPECT_NEAR(t.box.center().y(), box.center().y(), 1e-9);
        EXPECT_TRUE(box.contains(t.box));
        digits += t.text;
    }
    EXPECT_EQ(digits, QStringLiteral("2400045"));

    // Every character printed, nothing cut: the sender's texts and the recipient's.
    const QString all = Joined(page);
    EXPECT_EQ(all.count(QStringLiteral("山")), 20);
    EXPECT_EQ(all.count(QStringLiteral("ビ")), 2);
    EXPECT_TRUE(all.contains(QStringLiteral("〒150-0002")));
    EXPECT_TRUE(all.endsWith(QStringLiteral("〒150-0002")));
    EXPECT_TRUE(all.contains(QStringLiteral("様")));
}

TEST(AddressLayout, AShortNameStandsInOneLargeColumnAndALongOneInTwo)
{
    const AddressLayout layout({{QStringLiteral("佐藤花子"), {}, QStringLiteral("東京都"), {}, {}},
                                {kName20, {}, QStringLiteral("東京都"), {}, {}}},
                               {});
    auto nameColumns = [](const AddressPage& page, double& size) {
        QList<double> xs;
        for (const PlacedText& t : page.texts) {
            if (t.vertical && t.box.center().x() < 70) {
                if (!xs.contains(t.box.center().x()))
                    xs << t.box.center().x();
                size = t.size;
            }
        }
        return xs.size();
    };
    double shortSize = 0, longSize = 0;
    EXPECT_EQ(nameColumns(layout.page(0), shortSize), 1);
    EXPECT_EQ(nameColumns(layout.page(1), longSize), 2);
    EXPECT_GE(shortSize, 9.0);
    EXPECT_GE(longSize, 6.0);
}

TEST(AddressLayout, APostalCodeThatIsNotSevenDigitsIsPrintedAsTypedBesideTheBoxes)
{
    for (const QString& typed :
         {QStringLiteral("12-345"), QStringLiteral("1000-0001"), QStringLiteral("〒1")}) {
        const AddressPage page =
            AddressLayout({{QStringLiteral("山田"), typed, QStringLiteral("東京都"), {}, {}}}, {}).page(0);
        int inBoxes = 0;
        QString beside;
        for (const PlacedText& t : page.texts) {
            inBoxes += t.postalDigit;
            if (t.box.bottom() < 22) {
                beside = t.text;
                EXPECT_LT(t.box.right(), page.postalBoxes.front().left()) << typed.toStdString();
            }
        }
        EXPECT_EQ(inBoxes, 0);
        EXPECT_TRUE(beside.endsWith(typed.normalized(QString::NormalizationForm_KC))) << beside.toStdString();
        ExpectClear(page);
    }
}

TEST(AddressLayout, ASmallKanaOfVerticalTextSitsInTheUpperRightCorner)
{
    const AddressPage page = AddressLayout({{QStringLiteral("キャロル"), {}, {}, {}, {}}}, {}).page(0);
    ASSERT_GE(page.texts.size(), 2u);
    const PlacedText& small = page.texts[1];
    EXPECT_EQ(small.text, QStringLiteral("ャ"));
    EXPECT_GT(small.inkShift.x(), 0);
    EXPECT_LT(small.inkShift.y(), 0);
    EXPECT_EQ(page.texts[0].inkShift, QPointF());
}

TEST(AddressLayout, LabelsFillTheSheetFromTheStartPositionWithinEachLabel)
{
    for (const LabelSheet& sheet : LabelPresets()) {
        EXPECT_EQ(sheet.problem(), QString()) << sheet.name.toStdString();
        AddressOptions options;
        options.kind = AddressOptions::Kind::Labels;
        options.sheet = sheet;
        options.startPosition = sheet.count() - 1;
        std::vector<Addressee> people;
        for (int i = 0; i < 3; ++i)
            people.push_back(
                {kName20, QStringLiteral("100-000%1").arg(i), kPrefecture, kAddress20, kBuilding20});
        people[1].name = QStringLiteral("株式会社ヤマダ");
        const AddressLayout layout(people, options);
        ASSERT_EQ(layout.pageCount(), 2) << sheet.name.toStdString();
        const AddressPage first = layout.page(0), second = layout.page(1);
        ExpectClear(first);
        ExpectClear(second);
        // The last two labels of the first sheet, then the first of the second.
        auto labelOf = [&](const PlacedText& t) {
            for (int i = 0; i < sheet.count(); ++i)
                if (sheet.label(i).contains(t.box))
                    return i;
            return -1;
        };
        QSet<int> used;
        for (const PlacedText& t : first.texts)
            used << labelOf(t);
        EXPECT_EQ(used, QSet<int>({sheet.count() - 2, sheet.count() - 1})) << sheet.name.toStdString();
        for (const PlacedText& t : second.texts)
            EXPECT_EQ(labelOf(t), 0);
        EXPECT_TRUE(Joined(first).contains(QStringLiteral("御中")));
        EXPECT_TRUE(Joined(second).contains(QStringLiteral("〒100-0002")));
        EXPECT_EQ(Joined(second).count(QStringLiteral("山")), 10);
    }
}

TEST(AddressLayout, ACustomSheetMustFitOnA4)
{
    const struct
    {
        LabelSheet sheet;
        bool fits;
    } cases[] = {
        {{{}, 2, 5, 90, 50, 10, 10, 95, 55}, true},
        {{{}, 3, 5, 70, 50, 10, 10, 70, 55}, false}, // 220 mm wide
        {{{}, 2, 6, 90, 50, 10, 10, 95, 50}, false}, // 310 mm tall
        {{{}, 2, 5, 20, 50, 10, 10, 95, 55}, false}, // too narrow to read
        {{{}, 2, 5, 90, 50, 10, 10, 80, 55}, false}, // labels over each other
        {{{}, 0, 5, 90, 50, 10, 10, 95, 55}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.sheet.problem().isEmpty(), c.fits) << c.sheet.columns << "x" << c.sheet.rows;
}

TEST(AddressLayout, TheNoteCountsWhatIsMissing)
{
    const std::vector<Addressee> people = {
        {QStringLiteral("a"),
         QStringLiteral("100-0001"),
         QStringLiteral("東京都"),
         QStringLiteral("港区"),
         {}},
        {QStringLiteral("b"), {}, QStringLiteral("東京都"), {}, {}},
        {QStringLiteral("c"), QStringLiteral("12-345"), {}, {}, QStringLiteral("ビル")},
        {QStringLiteral("d"), QStringLiteral("1234"), {}, QStringLiteral("港区"), {}},
    };
    EXPECT_EQ(AddressNotes(people),
              QStringList({QStringLiteral("住所のない顧客 1 件"), QStringLiteral("郵便番号のない顧客 1 件"),
                           QStringLiteral("郵便番号が７桁でない顧客 2 件（枠の外に入力どおり印刷します）")}));
    EXPECT_TRUE(AddressNotes({people[0]}).isEmpty());
}

} // namespace
