#include "sales/Frm090_Qel.h"

#include "core/Globals.h"
#include "db/Database.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <map>

#include <SQLiteCpp/Database.h>

namespace {

// A sale as the test stores it; the defaults are the sale most tests start from.
struct StoredSale
{
    int key = 1;
    QString date = QStringLiteral("20050518");
    QString maker = QStringLiteral("グッチョ");
    QString makerReading = QStringLiteral("ｸﾞｯﾁｮ");
    QString product = QStringLiteral("財布");
    QString productReading = QStringLiteral("ｻｲﾌ");
    qlonglong listPrice = 15000;
    qlonglong sellingPrice = 12000;
    qlonglong quantity = 3;
    qlonglong total = 36000;
    QString buyer = QStringLiteral("山田 太郎");
    QString buyerReading = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
    QString remarks = QStringLiteral("贈答用");
};

using Labels = std::map<int, QString>;
constexpr int kShownLabels[] = {0, 1, 2, 3, 4, 5, 6, 7, 10};

class SalesCorrectionTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Maker=ブランド\r\nSyouhin=商品\r\n"));
        addMaker(QStringLiteral("グッチョ"), QStringLiteral("ｸﾞｯﾁｮ"));
        addMaker(QStringLiteral("ルイ"), QStringLiteral("ﾙｲ"));
        addProduct(QStringLiteral("グッチョ"), QStringLiteral("財布"), QStringLiteral("ｻｲﾌ"), 15000, 12000);
        addProduct(QStringLiteral("グッチョ"), QStringLiteral("鞄"), QStringLiteral("ｶﾊﾞﾝ"), 30000, 25000);
        addProduct(QStringLiteral("グッチョ"), QStringLiteral("高級品"), QStringLiteral("ｺｳｷｭｳﾋﾝ"), 99999999,
                   99999999);
        addProduct(QStringLiteral("ルイ"), QStringLiteral("手帳"), QStringLiteral("ﾃﾁｮｳ"), 20000, 12345);
        addProduct(QStringLiteral("ルイ"), QStringLiteral("時計"), QStringLiteral("ﾄｹｲ"), 150000, 100000);
        addCustomer(QStringLiteral("山田 太郎"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
        addCustomer(QStringLiteral("青木 花子"), QStringLiteral("ｱｵｷ ﾊﾅｺ"));
    }

    void store(const StoredSale& s)
    {
        Database db(dbPath());
        RowValues()
            .set(QStringLiteral("Fi_キー"), s.key)
            .set(QStringLiteral("Fi_購入年"), s.date.left(4))
            .set(QStringLiteral("Fi_購入年月"), s.date.left(6))
            .set(QStringLiteral("Fi_購入年月日"), s.date)
            .set(QStringLiteral("Fi_メーカー"), s.maker)
            .set(QStringLiteral("Fi_メーカーフリガナ"), s.makerReading)
            .set(QStringLiteral("Fi_商品"), s.product)
            .set(QStringLiteral("Fi_商品フリガナ"), s.productReading)
            .set(QStringLiteral("Fi_定価"), s.listPrice)
            .set(QStringLiteral("Fi_売価"), s.sellingPrice)
            .set(QStringLiteral("Fi_数量"), s.quantity)
            .set(QStringLiteral("Fi_売価合計"), s.total)
            .set(QStringLiteral("Fi_購入者"), s.buyer)
            .set(QStringLiteral("Fi_購入者フリガナ"), s.buyerReading)
            .set(QStringLiteral("Fi_備考"), s.remarks)
            .stamp(Stamp::at(QDateTime(QDate(2005, 5, 18), QTime(9, 5, 3))))
            .insertInto(db, QStringLiteral("Tb_売上"));
    }
    // Sales 1..n, sale k of maker "メーカーk" at k yen.
    void storeMany(int n)
    {
        execute(QStringLiteral(
                    "with recursive n(k) as (select 1 union all select k + 1 from n where k < ?) "
                    "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                    "Fi_商品, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者) select k, '2005', "
                    "'200505', '20050518', 'メーカー' || k, '商品', k, k, 1, k, '客' from n"),
                {n});
    }

    Frm090_Qel* open()
    {
        CloseAllScreens();
        return qobject_cast<Frm090_Qel*>(openFromMenu(QStringLiteral("Frm090_Qel")));
    }
    QPushButton* syu(int i) const { return child<QPushButton>(QStringLiteral("Syu_%1").arg(i)); }
    QScrollBar* scroll() const { return child<QScrollBar>(QStringLiteral("VScroll1")); }
    Labels shown() const
    {
        Labels labels;
        for (int i = 0; i <= 10; ++i)
            labels[i] = dat(i)->text();
        return labels;
    }
    static QStringList publicStrings()
    {
        const AppGlobals& g = G();
        return {g.g_Fmr090_Nen,       g.g_Fmr090_Nengetu,     g.g_Fmr090_Nengappi,
                g.g_Fmr090_MakerKana, g.g_Fmr090_SyouhinKana, g.g_Fmr090_KokyakuKana};
    }
    QString stored(const char* field, int key) const
    {
        return column(QStringLiteral("Tb_売上"), QString::fromUtf8(field),
                      QStringLiteral("Fi_キー = %1").arg(key));
    }

    // Opens the field dialog of the Syu button and acts in it as a user would; the dialog must
    // be modal and must be closed by one of its buttons.
    void runDialog(int index, const std::function<void(QWidget*)>& inside)
    {
        QPointer<QWidget> dialog;
        QTimer::singleShot(0, [&] {
            dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            QApplication::setActiveWindow(dialog);
            inside(dialog);
            // A failed expectation must not leave the modal loop waiting.
            if (dialog && dialog->isVisible())
                dialog->findChild<QPushButton*>(QStringLiteral("Cmd_102"))->click();
        });
        Click(syu(index));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The window manager gives the correction the keyboard back.
        QApplication::setActiveWindow(screen());
        EXPECT_TRUE(dialog.isNull()) << "the dialog unloads after its button";
    }
    // Changes a field through its dialog: the date by its step buttons (one digit per button
    // index), a maker or product by choosing it, the others by typing and Enter; then "修正"
    // (apply) or "ｷｬﾝｾﾙ".
    void change(int index, const QString& value, bool apply = true)
    {
        runDialog(index, [&](QWidget* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("Combo1"));
            auto* text = d->findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* ok = d->findChild<QPushButton*>(QStringLiteral("Cmd_101"));
            if (index == 0) {
                for (QChar c : value)
                    Click(d->findChild<QPushButton*>(QStringLiteral("Cmd_") + c));
            } else if (combo) {
                combo->setCurrentIndex(combo->findText(value));
            } else {
                enter(text, value);
                PressEnter(text);
                if (index == 6) {
                    EXPECT_EQ(focused(), d->findChild<QListWidget*>(QStringLiteral("List1")));
                    PressEnter();
                }
                EXPECT_EQ(focused(), ok) << "Enter moves to 修正";
            }
            Click(apply ? ok : d->findChild<QPushButton*>(QStringLiteral("Cmd_102")));
        });
    }
};

TEST_F(SalesCorrectionTest, MenuOpensItAndAnEmptyTableShowsZeroOfZeroOnPinkWithOnlyCloseEnabled)
{
    openFromMenu(QStringLiteral("Frm010_Qel"));
    Click(cmd(5));
    ASSERT_TRUE(follow(QStringLiteral("Frm090_Qel")));
    EXPECT_EQ(ttl(1)->text(), QStringLiteral(" ブランド名"));
    EXPECT_EQ(ttl(2)->text(), QStringLiteral(" 商品名"));
    EXPECT_EQ(dat(8)->text(), QStringLiteral("0/0"));
    EXPECT_EQ(dat(8)->palette().color(QPalette::Window), QColor(255, 192, 192));
    EXPECT_FALSE(scroll()->isEnabled());
    for (int i : {101, 102, 104})
        EXPECT_FALSE(cmd(i)->isEnabled()) << i;
    for (int i = 0; i <= 7; ++i)
        EXPECT_FALSE(syu(i)->isEnabled()) << i;
    Click(cmd(103));
    EXPECT_TRUE(follow(QStringLiteral("Frm010_Qel")));
}

TEST_F(SalesCorrectionTest, HighestKeyFirstWithTheLargeChangeRoundedHalfToEven)
{
    const struct
    {
        int count;
        int largeChange;
    } cases[] = {{1, 1}, {25, 1}, {30, 2}, {50, 2}, {70, 4}, {90, 4}, {100, 5}, {100000, 5000}};
    for (const auto& c : cases) {
        execute(QStringLiteral("delete from Tb_売上"));
        storeMany(c.count);
        open();
        EXPECT_EQ(scroll()->pageStep(), c.largeChange) << c.count;
        EXPECT_EQ(scroll()->value(), c.count);
        EXPECT_EQ(dat(8)->text(), QStringLiteral("%1/%1").arg(c.count));
        EXPECT_EQ(dat(1)->text(), QStringLiteral("メーカー%1").arg(c.count));
    }
}

TEST_F(SalesCorrectionTest, PagingShowsEveryFieldFormattedInEraOrWesternForm)
{
    StoredSale first;
    first.listPrice = 1234567;
    first.quantity = 1234;
    first.total = 14808000;
    store(first);
    StoredSale second;
    second.key = 7;
    second.maker = QStringLiteral("ルイ");
    store(second);
    const struct
    {
        QString nengou;
        QString date;
        QString stamp;
    } cases[] = {
        {QStringLiteral("和暦"), QStringLiteral("平成17年05月18日（水）"),
         QStringLiteral("最終更新 H.17/05/18 09:05:03")},
        {QStringLiteral("西暦"), QStringLiteral("2005年05月18日（水）"),
         QStringLiteral("最終更新 2005/05/18 09:05:03")},
    };
    for (const auto& c : cases) {
        writeIni(QStringLiteral("Maker=ブランド\r\nSyouhin=商品\r\nNengou=") + c.nengou +
                 QStringLiteral("\r\n"));
        open();
        EXPECT_EQ(dat(1)->text(), QStringLiteral("ルイ"));
        scroll()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        const Labels expected = {{0, c.date},
                                 {1, QStringLiteral("グッチョ")},
                                 {2, QStringLiteral("財布")},
                                 {3, QStringLiteral("¥1,234,567")},
                                 {4, QStringLiteral("¥12,000")},
                                 {5, QStringLiteral("1,234")},
                                 {6, QStringLiteral("¥14,808,000")},
                                 {7, QStringLiteral("山田 太郎")},
                                 {8, QStringLiteral("1/2")},
                                 {9, c.stamp},
                                 {10, QStringLiteral("贈答用")}};
        EXPECT_EQ(shown(), expected) << c.nengou.toStdString();
        EXPECT_EQ(G().SalesDate.date(), QDate(2005, 5, 18));
        EXPECT_EQ(publicStrings(), (QStringList{"2005", "200505", "20050518", "ｸﾞｯﾁｮ", "ｻｲﾌ", "ﾔﾏﾀﾞ ﾀﾛｳ"}));
        EXPECT_FALSE(cmd(101)->isEnabled());
        EXPECT_TRUE(cmd(102)->isEnabled());
    }
}

TEST_F(SalesCorrectionTest, EachDialogChangesExactlyItsLabelsAndStringsAndCancelChangesNothing)
{
    store({});
    const struct
    {
        int syu;
        QString value;
        Labels changed;
        std::map<int, QString> strings; // index into publicStrings()
    } cases[] = {
        // Today is 2005-03-07: "<" twice and ">>" once.
        {0,
         QStringLiteral("114"),
         {{0, QStringLiteral("2005年03月12日（土）")}},
         {{0, "2005"}, {1, "200503"}, {2, "20050312"}}},
        {1,
         QStringLiteral("ルイ"),
         {{1, QStringLiteral("ルイ")}, {2, ""}, {3, "¥0"}, {4, "¥0"}, {5, "0"}, {6, "¥0"}},
         {{3, "ﾙｲ"}}},
        {2,
         QStringLiteral("鞄"),
         {{2, QStringLiteral("鞄")}, {3, "¥30,000"}, {4, "¥25,000"}, {6, "¥75,000"}},
         {{4, "ｶﾊﾞﾝ"}}},
        {3, QStringLiteral("20000"), {{3, "¥20,000"}}, {}},
        {4, QStringLiteral("10000"), {{4, "¥10,000"}, {6, "¥30,000"}}, {}},
        {5, QStringLiteral("5"), {{5, "5"}, {6, "¥60,000"}}, {}},
        {6, QStringLiteral("ｱｵ"), {{7, QStringLiteral("青木 花子")}}, {{5, "ｱｵｷ ﾊﾅｺ"}}},
        {7, QString(), {{10, ""}}, {}},
    };
    for (const auto& c : cases) {
        open();
        const Labels before = shown();
        const QStringList stringsBefore = publicStrings();
        change(c.syu, c.value, false);
        EXPECT_EQ(shown(), before) << "ｷｬﾝｾﾙ " << c.syu;
        EXPECT_EQ(publicStrings(), stringsBefore);
        EXPECT_FALSE(cmd(101)->isEnabled());

        change(c.syu, c.value);
        Labels expected = before;
        for (const auto& [i, text] : c.changed)
            expected[i] = text;
        EXPECT_EQ(shown(), expected) << "修正 " << c.syu;
        QStringList strings = stringsBefore;
        for (const auto& [i, text] : c.strings)
            strings[i] = text;
        EXPECT_EQ(publicStrings(), strings) << c.syu;
        EXPECT_TRUE(cmd(101)->isEnabled());
        EXPECT_TRUE(cmd(104)->isEnabled());
        EXPECT_FALSE(cmd(102)->isEnabled()) << "no deletion while a change is unstored";
        EXPECT_FALSE(scroll()->isEnabled()) << "no paging while a change is unstored";
    }
}

TEST_F(SalesCorrectionTest, MakerProductQuantityChainComputesTheTotalByTheEightDigitRule)
{
    StoredSale sale;
    store(sale);
    const struct
    {
        std::vector<std::pair<int, QString>> steps;
        Labels expected;
        QString message; // of "修正登録"
    } cases[] = {
        {{{1, QStringLiteral("ルイ")}, {2, QStringLiteral("手帳")}}, {{5, "1"}, {6, "¥12,345"}}, QString()},
        {{{1, QStringLiteral("ルイ")}, {2, QStringLiteral("時計")}, {5, QStringLiteral("10000")}},
         {{4, "¥100,000"}, {5, "10,000"}, {6, "Over"}},
         QStringLiteral("売価合計がエラーです")},
        {{{2, QStringLiteral("高級品")}}, {{5, "3"}, {6, "¥299,999,997"}}, QString()},
        {{{4, QStringLiteral("123456789")}}, {{4, "¥99,999,999"}, {6, "¥299,999,997"}}, QString()},
        {{{5, QStringLiteral("0")}}, {{5, "3"}, {6, "¥36,000"}}, QString()},
    };
    for (const auto& c : cases) {
        open();
        for (const auto& [index, value] : c.steps)
            change(index, value);
        for (const auto& [i, text] : c.expected)
            EXPECT_EQ(dat(i)->text(), text) << i;
        if (!c.message.isEmpty()) {
            Click(cmd(101));
            EXPECT_EQ(message(), c.message);
            EXPECT_EQ(focused(), syu(5));
            EXPECT_EQ(stored("cast(Fi_売価合計 as integer)", 1), QStringLiteral("36000"));
        }
    }
}

TEST_F(SalesCorrectionTest, ChecksRunInTheirOrderAndStoreNothing)
{
    const struct
    {
        std::function<void(StoredSale&)> spoil;
        QString message;
        int focus;
    } cases[] = {
        {[](StoredSale& s) { s.date.clear(), s.maker.clear(); }, QStringLiteral("購入日を設定してください"),
         0},
        {[](StoredSale& s) { s.maker.clear(), s.product.clear(); },
         QStringLiteral("ブランド名を設定してください"), 1},
        {[](StoredSale& s) { s.product.clear(), s.listPrice = 0; },
         QStringLiteral("商品名を設定してください"), 2},
        {[](StoredSale& s) { s.listPrice = 0, s.sellingPrice = 0; }, QStringLiteral("定価を入力してください"),
         3},
        {[](StoredSale& s) { s.sellingPrice = 0, s.quantity = 0; }, QStringLiteral("売価を入力してください"),
         4},
        {[](StoredSale& s) { s.quantity = 0, s.total = 0; }, QStringLiteral("数量を入力してください"), 5},
        {[](StoredSale& s) { s.total = 0, s.buyer.clear(); }, QStringLiteral("売価合計がエラーです"), 5},
        {[](StoredSale& s) { s.buyer.clear(); }, QStringLiteral("購入者が未設定です"), 6},
    };
    for (const auto& c : cases) {
        execute(QStringLiteral("delete from Tb_売上"));
        StoredSale sale;
        c.spoil(sale);
        store(sale);
        open();
        change(7, QStringLiteral("変更"));
        Click(cmd(101));
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(focused(), syu(c.focus)) << c.message.toStdString();
        EXPECT_EQ(stored("Fi_備考", 1), QStringLiteral("贈答用"));
        EXPECT_TRUE(cmd(101)->isEnabled());
    }
}

TEST_F(SalesCorrectionTest, StoredChangeReadsBackFieldByFieldUnderTheSameKeyWithAFreshStamp)
{
    StoredSale other;
    other.key = 3;
    store(other);
    StoredSale sale;
    sale.key = 5;
    store(sale);
    open();
    change(0, QStringLiteral("1"));
    change(1, QStringLiteral("ルイ"));
    change(2, QStringLiteral("手帳"));
    change(6, QStringLiteral("ｱｵ"));
    change(7, QStringLiteral("至急"));
    setNow(QDateTime(QDate(2006, 1, 2), QTime(3, 4, 5)));
    bool bannerShown = false;
    waits->during = [&] {
        bannerShown =
            ttl(12)->isVisible() && ttl(12)->text() == QStringLiteral("修正完了") && !cmd(101)->isEnabled();
    };
    Click(cmd(101));
    EXPECT_TRUE(bannerShown);
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    const std::pair<const char*, QString> fields[] = {
        {"Fi_購入年", "2005"},
        {"Fi_購入年月", "200503"},
        {"Fi_購入年月日", "20050306"},
        {"Fi_メーカー", "ルイ"},
        {"Fi_メーカーフリガナ", "ﾙｲ"},
        {"Fi_商品", "手帳"},
        {"Fi_商品フリガナ", "ﾃﾁｮｳ"},
        {"cast(Fi_定価 as integer)", "20000"},
        {"cast(Fi_売価 as integer)", "12345"},
        {"cast(Fi_数量 as integer)", "1"},
        {"cast(Fi_売価合計 as integer)", "12345"},
        {"Fi_購入者", "青木 花子"},
        {"Fi_購入者フリガナ", "ｱｵｷ ﾊﾅｺ"},
        {"Fi_備考", "至急"},
        {"Fi_最終更新年", "2006"},
        {"Fi_最終更新月", "01"},
        {"Fi_最終更新日", "02"},
        {"Fi_最終更新時", "03"},
        {"Fi_最終更新分", "04"},
        {"Fi_最終更新秒", "05"},
    };
    for (const auto& [field, value] : fields)
        EXPECT_EQ(stored(field, 5), value) << field;
    EXPECT_EQ(column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_キー")), QStringLiteral("3,5"));
    EXPECT_EQ(stored("Fi_備考", 3), QStringLiteral("贈答用"));
    EXPECT_EQ(dat(8)->text(), QStringLiteral("2/2"));
    EXPECT_EQ(dat(9)->text(), QStringLiteral("最終更新 2006/01/02 03:04:05"));
    EXPECT_FALSE(cmd(101)->isEnabled());
    EXPECT_TRUE(scroll()->isEnabled());
    EXPECT_EQ(focused(), scroll());
}

TEST_F(SalesCorrectionTest, UndoAfterAMakerChangeThenAnotherChangeStoresTheOriginalMakerAndReading)
{
    store({});
    open();
    const Labels before = shown();
    change(1, QStringLiteral("ルイ"));
    Click(cmd(104));
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(scroll()->isEnabled());
    EXPECT_EQ(focused(), scroll());
    change(7, QStringLiteral("再"));
    Click(cmd(101));
    EXPECT_EQ(stored("Fi_メーカー", 1), QStringLiteral("グッチョ"));
    EXPECT_EQ(stored("Fi_メーカーフリガナ", 1), QStringLiteral("ｸﾞｯﾁｮ"));
    EXPECT_EQ(stored("Fi_商品フリガナ", 1), QStringLiteral("ｻｲﾌ"));
    EXPECT_EQ(stored("Fi_備考", 1), QStringLiteral("再"));
}

TEST_F(SalesCorrectionTest, DeletingAsksThenKeepsThePositionOrMovesToTheNewLast)
{
    const struct
    {
        int count;
        int stepsBack;
        DialogService::Answer answer;
        QString position;
        QString keys;
    } cases[] = {
        {3, 0, DialogService::Answer::No, QStringLiteral("3/3"), QStringLiteral("1,2,3")},
        {3, 0, DialogService::Answer::Yes, QStringLiteral("2/2"), QStringLiteral("1,2")},
        {3, 1, DialogService::Answer::Yes, QStringLiteral("2/2"), QStringLiteral("1,3")},
        {1, 0, DialogService::Answer::Yes, QStringLiteral("0/0"), QString()},
    };
    for (const auto& c : cases) {
        execute(QStringLiteral("delete from Tb_売上"));
        storeMany(c.count);
        open();
        for (int i = 0; i < c.stepsBack; ++i)
            scroll()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        dialogs->expectQuestion(QStringLiteral("表示されている売上情報を削除してもよろしいですか"), c.answer);
        Click(cmd(102));
        EXPECT_EQ(dat(8)->text(), c.position);
        EXPECT_EQ(column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_キー")), c.keys);
        const bool deleted = c.answer == DialogService::Answer::Yes;
        EXPECT_EQ(waits->waits.size(), deleted ? 1u : 0u);
        waits->waits.clear();
        if (c.count > 1)
            EXPECT_EQ(dat(1)->text(),
                      QStringLiteral("メーカー") + c.keys.split(',').at(scroll()->value() - 1));
        else
            EXPECT_TRUE(dat(1)->text().isEmpty() && dat(10)->text().isEmpty() && !cmd(102)->isEnabled());
    }
}

TEST_F(SalesCorrectionTest, CloseAsksOnlyWithAnUnstoredChange)
{
    store({});
    const struct
    {
        bool changed;
        DialogService::Answer answer;
        bool closes;
    } cases[] = {{false, DialogService::Answer::No, true},
                 {true, DialogService::Answer::No, false},
                 {true, DialogService::Answer::Yes, true}};
    for (const auto& c : cases) {
        open();
        if (c.changed) {
            change(7, QStringLiteral("未登録"));
            dialogs->expectQuestion(QStringLiteral("修正登録が行われていません\nそのまま終了しましか"),
                                    c.answer);
        }
        Click(cmd(103));
        EXPECT_EQ(visibleScreen(QStringLiteral("Frm010_Qel")) != nullptr, c.closes);
        EXPECT_EQ(visibleScreen(QStringLiteral("Frm090_Qel")) != nullptr, !c.closes);
        EXPECT_EQ(stored("Fi_備考", 1), QStringLiteral("贈答用"));
    }
}

TEST_F(SalesCorrectionTest, SaleDeletedBehindTheScreenIsSkippedAndNotStoredInto)
{
    storeMany(3);
    open();
    execute(QStringLiteral("delete from Tb_売上 where Fi_キー = 2"));
    scroll()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(dat(8)->text(), QStringLiteral("2/2"));
    EXPECT_EQ(dat(1)->text(), QStringLiteral("メーカー3"));

    execute(QStringLiteral("delete from Tb_売上 where Fi_キー = 3"));
    change(7, QStringLiteral("消えた"));
    Click(cmd(101));
    EXPECT_EQ(message(), QStringLiteral("この売上は既に削除されています。修正は登録されませんでした"));
    EXPECT_EQ(column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_キー")), QStringLiteral("1"));
    EXPECT_EQ(dat(8)->text(), QStringLiteral("1/1"));
    EXPECT_TRUE(waits->waits.empty()) << "no completion notice";
}

TEST_F(SalesCorrectionTest, DatabaseFailureAbandonsTheActionAndKeepsTheShownSale)
{
    enum class Action { Page, Store, Delete };
    for (Action action : {Action::Page, Action::Store, Action::Delete}) {
        execute(QStringLiteral("delete from Tb_売上"));
        storeMany(2);
        open();
        if (action == Action::Store)
            change(7, QStringLiteral("保留"));
        execute(QStringLiteral("alter table Tb_売上 rename to Tb_退避"));
        if (action == Action::Delete)
            dialogs->expectQuestion(QStringLiteral("表示されている売上情報を削除してもよろしいですか"),
                                    DialogService::Answer::Yes);
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm090_Qel"), QString());
        if (action == Action::Page)
            scroll()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            Click(cmd(action == Action::Store ? 101 : 102));
        execute(QStringLiteral("alter table Tb_退避 rename to Tb_売上"));
        EXPECT_EQ(dat(8)->text(), QStringLiteral("2/2"));
        EXPECT_EQ(scroll()->value(), 2);
        EXPECT_EQ(dat(1)->text(), QStringLiteral("メーカー2"));
        EXPECT_EQ(cmd(101)->isEnabled(), action == Action::Store) << "the change stays to be stored";
        if (action == Action::Store) {
            Click(cmd(101));
            EXPECT_EQ(stored("Fi_備考", 2), QStringLiteral("保留"));
        } else {
            scroll()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            EXPECT_EQ(dat(8)->text(), QStringLiteral("1/2"));
        }
        EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 2);
    }
}

// Opened while another program holds the database: the warning, and the message line tells the
// unread sales from an empty table.
TEST_F(SalesCorrectionTest, OpeningOnALockedDatabaseSaysTheSalesCouldNotBeRead)
{
    storeMany(2);
    {
        SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN EXCLUSIVE");
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm090_Qel"), QString());
        open();
        other.exec("ROLLBACK");
    }
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_EQ(message(), QStringLiteral("売上を読み込めませんでした"));
    EXPECT_FALSE(scroll()->isEnabled());
    EXPECT_TRUE(cmd(103)->isEnabled());

    open();
    EXPECT_EQ(dat(8)->text(), QStringLiteral("2/2"));
    EXPECT_EQ(message(), QString());
}

TEST_F(SalesCorrectionTest, NoChoiceInADialogLeavesTheSaleUnchanged)
{
    StoredSale sale;
    sale.maker = QStringLiteral("O'Neil");
    store(sale);
    execute(QStringLiteral("delete from Tb_メーカー"));
    execute(QStringLiteral("delete from Tb_顧客"));
    open();
    const Labels before = shown();
    for (int i : {1, 2, 6}) {
        runDialog(i, [](QWidget* d) { Click(d->findChild<QPushButton*>(QStringLiteral("Cmd_101"))); });
        EXPECT_EQ(shown(), before) << i;
        EXPECT_FALSE(cmd(101)->isEnabled());
    }
    // A maker name with a quote finds its products.
    addProduct(QStringLiteral("O'Neil"), QStringLiteral("Tシャツ"), QStringLiteral("ﾃｨｰｼｬﾂ"), 3000, 2500);
    change(2, QStringLiteral("Tシャツ"));
    EXPECT_EQ(dat(2)->text(), QStringLiteral("Tシャツ"));
    EXPECT_EQ(dat(6)->text(), QStringLiteral("¥7,500"));
}

} // namespace
