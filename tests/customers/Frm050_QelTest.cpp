#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "ui/FlexGrid.h"
#include "ui/Navigator.h"
#include "ui/ReadingCapture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kCloseQuestion = QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか");

class DetailTest : public CustomerScreenTest
{
  protected:
    // The list of every customer, then the detail of its first row.
    void openFirst()
    {
        search();
        openDetail(1);
    }
    QString stored(const char* field) const
    {
        return column(QStringLiteral("Tb_顧客"), QString::fromUtf8(field),
                      QStringLiteral("Fi_キー = %1").arg(key));
    }
    std::int32_t key = 0;
};

TEST_F(DetailTest, ChangeTrackingDecidesWhetherClosingAsks)
{
    struct Case
    {
        const char* what;
        std::function<void()> act;
        bool asks;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"a character typed and deleted again",
         [this] {
             txt(5)->setFocus();
             TypeKeys(txt(5), QStringLiteral("x"));
             QTest::keyClick(txt(5), Qt::Key_Backspace);
         },
         true},
        {"the prefecture already selected", [this] { combo()->setCurrentIndex(13); }, false},
        {"a birthday typed", [this] { enter(txt(12), QStringLiteral("5")); }, true},
        {"the mail wish", [this] { combo(2)->setCurrentIndex(1); }, true},
        {"another prefecture", [this] { combo()->setCurrentIndex(27); }, true},
        {"画面クリア", [this] { Click(cmd(1)); }, false},
        {"passing through every box with Enter",
         [this] {
             txt(0)->setFocus();
             for (int i = 0; i < 12; ++i)
                 PressEnter();
         },
         false},
    };
    Customer shown;
    shown.name = QStringLiteral(" 山田太郎 ");
    shown.reading = QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ");
    shown.postalCode = QStringLiteral("100-0001");
    shown.prefecture = 13;
    shown.city = QStringLiteral("千代田区");
    key = CustomerStore().add(shown);
    search();
    for (const Case& c : cases) {
        openDetail(1);
        EXPECT_EQ(screen()->windowTitle(), QStringLiteral("顧客新詳細表示"));
        EXPECT_EQ(ttl(14)->text(), QStringLiteral("顧客詳細表示"));
        EXPECT_EQ(txt(0)->text(), QStringLiteral("山田太郎")) << "trimmed";
        EXPECT_FALSE(cmd(0)->isEnabled());
        c.act();
        EXPECT_EQ(cmd(0)->isEnabled(), c.asks || std::string(c.what) == "画面クリア") << c.what;
        if (c.asks) {
            dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::No);
            Click(cmd(2));
            EXPECT_TRUE(follow(QStringLiteral("Frm050_Qel"))) << c.what;
            dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
        }
        const std::size_t boxes = dialogs->shown().size();
        Click(cmd(2));
        EXPECT_TRUE(follow(QStringLiteral("Frm040_Qel"))) << c.what;
        EXPECT_EQ(dialogs->shown().size(), boxes + (c.asks ? 1 : 0)) << c.what;
        EXPECT_EQ(G().CallerForm, QStringLiteral("Frm050_Qel"));
        EXPECT_EQ(stored("Fi_名前"), QStringLiteral(" 山田太郎 ")) << c.what << ": nothing stored";
        EXPECT_EQ(stored("Fi_都道府県番号"), QStringLiteral("13")) << c.what;
    }
}

TEST_F(DetailTest, ASaveEditsTheRowInPlaceWithAFreshStampAndTheSameKey)
{
    addCustomer(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ"));
    key = addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    search();
    openDetail(2);
    setNow(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 9)));
    enter(txt(6), QStringLiteral(" 03-9999-0000 "));
    enter(txt(4), QStringLiteral("大阪府大阪市北区"));
    PressEnter();
    EXPECT_EQ(txt(4)->text(), QStringLiteral("大阪市北区"));
    EXPECT_EQ(combo()->currentIndex(), 27);

    bool noticeShown = false;
    waits->during = [&] {
        noticeShown = ttl(12)->isVisible() && ttl(12)->text() == QStringLiteral("修正完了") &&
                      !cmd(0)->isEnabled() && !cmd(1)->isEnabled();
    };
    Click(cmd(0));
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_FALSE(cmd(0)->isEnabled());
    EXPECT_EQ(focused(), txt(0));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 2);
    EXPECT_EQ(stored("Fi_電話番号"), QStringLiteral("03-9999-0000"));
    EXPECT_EQ(stored("Fi_市区町村"), QStringLiteral("大阪市北区"));
    EXPECT_EQ(stored("Fi_都道府県番号"), QStringLiteral("27"));
    EXPECT_EQ(stored("Fi_最終更新年") + stored("Fi_最終更新月") + stored("Fi_最終更新日") +
                  stored("Fi_最終更新時") + stored("Fi_最終更新分") + stored("Fi_最終更新秒"),
              QStringLiteral("20261208143009"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前")), QStringLiteral("佐藤,山田太郎"));

    // Saved: closing asks nothing, and the list is back at the row.
    Click(cmd(2));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(grid()->textMatrix(2, 3), QStringLiteral("03-9999-0000"));
}

TEST_F(DetailTest, TheBirthdayAndTheMailWishAreKeptAcrossEditsAndGoWithTheCustomer)
{
    key = addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"), 13, {},
                      QStringLiteral("DM不要・電話可"));
    Customer c = *CustomerStore().row(key);
    c.birthday = {1980, 4, 15};
    CustomerStore().update(c);
    openFirst();
    EXPECT_EQ(txt(11)->text() + '/' + txt(12)->text() + '/' + txt(13)->text(), QStringLiteral("1980/4/15"));
    EXPECT_EQ(combo(2)->currentText(), QStringLiteral("送る"));
    // The remarks ask for no mail and the wish does not say so: a hint, no change.
    EXPECT_TRUE(ttl(21)->isVisible());
    EXPECT_EQ(ttl(21)->text(), QStringLiteral("備考にDM不要とあります"));
    EXPECT_FALSE(cmd(0)->isEnabled());

    // Each edit saved; what is kept beside the customer, "" for no row.
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[this] { enter(txt(6), QStringLiteral("03-1111-2222")); }, "1980/4/15|0"},
        {[this] { combo(2)->setCurrentIndex(1); }, "1980/4/15|1"},
        {[this] {
             enter(txt(11), QString());
             enter(txt(12), QStringLiteral("2"));
             enter(txt(13), QStringLiteral("29"));
         },
         "0/2/29|1"},
        {[this] {
             enter(txt(12), QString());
             enter(txt(13), QString());
             combo(2)->setCurrentIndex(0);
         },
         ""},
    };
    for (const auto& [edit, kept] : steps) {
        edit();
        Click(cmd(0));
        EXPECT_EQ(message(), QString()) << kept;
        EXPECT_EQ(column(QStringLiteral("Tb_顧客補足"),
                         QStringLiteral("Fi_誕生年||'/'||Fi_誕生月||'/'||Fi_誕生日||'|'||Fi_DM不要")),
                  QString::fromUtf8(kept));
        EXPECT_EQ(ttl(21)->isVisible(), combo(2)->currentIndex() == 0) << "the hint while the wish says 送る";
    }
    EXPECT_EQ(stored("Fi_備考"), QStringLiteral("DM不要・電話可")) << "the wish never rewrites the remarks";
    EXPECT_EQ(stored("Fi_電話番号"), QStringLiteral("03-1111-2222"));

    // Deleting the customer deletes what is kept beside it.
    combo(2)->setCurrentIndex(1);
    Click(cmd(0));
    Click(cmd(2));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客補足")), 1);
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客補足")), 0);
}

TEST_F(DetailTest, ABirthdayThatIsNoDayIsNamedAndNothingIsStored)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"/4/", 13, "誕生日は月と日を入力してください（年は省略できます）"},
        {"1980//", 12, "誕生日は月と日を入力してください（年は省略できます）"},
        {"/4/1x", 13, "誕生日は数字で入力してください"},
        {"/13/1", 12, "誕生日の月は 1 から 12 で入力してください"},
        {"2001/2/29", 13, "誕生日の日がその月にありません"},
        {"/4/31", 13, "誕生日の日がその月にありません"},
        {"1850/1/1", 11, "誕生日の年は西暦で入力してください（1868 から今年まで）"},
        {"2027/1/1", 11, "誕生日の年は西暦で入力してください（1868 から今年まで）"},
    };
    key = addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    openFirst();
    for (const auto& [typed, focus, text] : cases) {
        for (int i = 0; i < 3; ++i)
            enter(txt(11 + i), QString::fromUtf8(typed).section('/', i, i));
        Click(cmd(0));
        EXPECT_EQ(message(), QString::fromUtf8(text)) << typed;
        EXPECT_EQ(focused(), txt(focus)) << typed;
        EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客補足")), 0);
    }
}

TEST_F(DetailTest, ANamePastedOverTheStoredOneTakesTheDictionaryReadingAndATypedAdditionKeepsTheStoredOne)
{
    key = addCustomer(QStringLiteral("鈴木"), QStringLiteral("ｽｽﾞｷ"));
    openFirst();
    // A paste over the whole name: the stored reading is no longer the name's.
    txt(0)->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("田中一郎"));
    QTest::keyClick(txt(0), Qt::Key_V, Qt::ControlModifier);
    PressEnter();
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ﾀﾅｶｲﾁﾛｳ"));
    EXPECT_TRUE(ReadingMarked(txt(1)));

    // A given name added through the input method: the reading the field had stays, and the
    // blank before the given name is one half-width blank.
    txt(2)->setFocus();
    txt(0)->setText(QStringLiteral("鈴木"));
    txt(1)->setText(QStringLiteral("ｽｽﾞｷ"));
    txt(0)->setFocus();
    txt(0)->end(false);
    ImeCommit(txt(0), QStringLiteral("　"));
    ImeConvert(txt(0), QStringLiteral("いちろう"), QStringLiteral("一郎"));
    PressEnter();
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ｽｽﾞｷ ｲﾁﾛｳ"));
    EXPECT_FALSE(ReadingMarked(txt(1)));
    Click(cmd(0));
    EXPECT_EQ(stored("Fi_名前"), QStringLiteral("鈴木　一郎"));
    EXPECT_EQ(stored("Fi_名前フリガナ"), QStringLiteral("ｽｽﾞｷ ｲﾁﾛｳ"));
}

TEST_F(DetailTest, StoredTextsLongerThanTheirLimitsAreShownAndSavedWhole)
{
    // Written by another tool: a name of 25 characters and remarks of 22, over the limits of 20.
    const QString name = QStringLiteral("株式会社").repeated(6) + QStringLiteral("様");
    const QString remarks = QStringLiteral("備考").repeated(11);
    key = addCustomer(name, QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ"), 13, {}, remarks);
    search();
    openDetail(1);
    EXPECT_EQ(txt(0)->text(), name);
    EXPECT_EQ(txt(10)->text(), remarks);
    enter(txt(6), QStringLiteral("03-1111-2222"));
    Click(cmd(0));
    EXPECT_EQ(stored("Fi_名前"), name);
    EXPECT_EQ(stored("Fi_備考"), remarks);
    EXPECT_EQ(stored("Fi_電話番号"), QStringLiteral("03-1111-2222"));

    // What the user types is held to the limit: the long name takes nothing more, and a name
    // typed afresh is cut at 20.
    txt(0)->setFocus();
    txt(0)->end(false);
    ImeCommit(txt(0), QStringLiteral("御中"));
    EXPECT_EQ(txt(0)->text(), name);
    enter(txt(0), QStringLiteral("山").repeated(25));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("山").repeated(20));
}

TEST_F(DetailTest, ACustomerDeletedBehindTheScreenIsReportedAndTheListComesBack)
{
    key = addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    addCustomer(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ"));
    search();
    // Gone before the detail opens.
    execute(QStringLiteral("delete from Tb_顧客 where Fi_キー = ?"), {key});
    clickRow(2, 2);
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm050_Qel"), {});
    Click(cmd(0));
    EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("見つかりませんでした")));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm050_Qel")), nullptr);
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("佐藤")});

    // Gone while the detail is open: the save says so and goes back.
    openDetail(1);
    enter(txt(10), QStringLiteral("メモ"));
    execute(QStringLiteral("delete from Tb_顧客"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm050_Qel"), {});
    Click(cmd(0));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->rows(), 2);
}

TEST_F(DetailTest, AFailedSaveKeepsTheEntriesAndTheFlag)
{
    key = addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    openFirst();
    enter(txt(10), QStringLiteral("メモ"));
    execute(QStringLiteral(
        "create trigger Tr_fail before update on Tb_顧客 begin select raise(abort, 'disk is full'); end"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm050_Qel"), {});
    Click(cmd(0));
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(txt(10)->text(), QStringLiteral("メモ"));
    EXPECT_TRUE(cmd(0)->isEnabled());
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_TRUE(follow(QStringLiteral("Frm040_Qel")));
}

} // namespace
