#include "core/Globals.h"
#include "customers/RegisterCustomerScreens.h"
#include "db/Database.h"
#include "ui/InputBehaviour.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"
#include "ui/ReadingCapture.h"
#include "ui/RegisterScreens.h"
#include "ui/Twips.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include <functional>

#include <ostream>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kCloseQuestion = QStringLiteral("未登録です。\n登録せずに画面を閉じますか");

class RegistrationTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        boxesSelectOnFocus = true;
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Todoufuken1=13\r\n"));
    }

    QWidget* open() { return openFromMenu(QStringLiteral("Frm020_Qel")); }
    void chooseListEntry(int position)
    {
        combo()->setFocus(Qt::MouseFocusReason);
        combo()->setCurrentIndex(position);
    }

    // A customer entered the way a user does: name through the input method, Enter from field
    // to field, the postal code offered to the city field and the address typed over it.
    void fillCustomer()
    {
        enter(txt(0), QString());
        ImeConvert(txt(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
        ImeConvert(txt(0), QStringLiteral("たろう"), QStringLiteral("太郎"));
        PressEnter();
        ASSERT_EQ(focused(), txt(1));
        ASSERT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
        PressEnter();
        TypeKeys(txt(2), QStringLiteral("100-0001"));
        PressEnter();
        ASSERT_EQ(focused(), combo());
        PressEnter();
        ASSERT_EQ(focused(), txt(4));
        ImeConvert(txt(4), QStringLiteral("とうきょうとちよだくちよだ"),
                   QStringLiteral("東京都千代田区千代田"));
        TypeKeys(txt(4), QStringLiteral("1-1 "));
        PressEnter();
        TypeKeys(txt(5), QStringLiteral(" 皇居ビル\"A\" 101 "));
        PressEnter();
        TypeKeys(txt(6), QStringLiteral("03-1234-5678"));
        PressEnter();
        TypeKeys(txt(7), QStringLiteral("090-1111-2222"));
        PressEnter();
        TypeKeys(txt(8), QStringLiteral("03-1234-5679"));
        PressEnter();
        TypeKeys(txt(9), QStringLiteral("o'brien_100%@example.jp"));
        PressEnter();
        TypeKeys(txt(10), QStringLiteral("*特価* 'O' [#?]"));
    }

    int customerCount() const { return static_cast<int>(rowCount(QStringLiteral("Tb_顧客"))); }
    QStringList storedRow(int key) const
    {
        Database db(dbPath());
        Query q(db, QStringLiteral("select * from Tb_顧客 where Fi_キー = ?"), {key});
        if (!q.next())
            return {};
        QStringList values;
        for (int c = 0; c < 18; ++c)
            values << q.text(c);
        return values;
    }
};

TEST_F(RegistrationTest, LayoutCaptionsLimitsAndModesOfEveryControl)
{
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(screen()->size(), QSize(Tw(11715), Tw(8100)));
    EXPECT_EQ(screen()->pos(), QPoint(2, 2));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("顧客新規登録"));
    EXPECT_EQ(ttl(14)->geometry().topLeft(), QPoint(Tw(360), Tw(240)));

    const QStringList captions = {"*名前（新規）",   "*ﾌﾘｶﾞﾅ",          "*郵便番号", "*都道府県名",
                                  "*市区町村・番地", " 建物名・号室等", " 電話番号", " 携帯番号",
                                  " FAX 番号",       " メールアドレス", " 備考"};
    QWidget* panel = screen()->findChild<QWidget*>(QStringLiteral("Picture1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), TwRect(360, 780, 9255, 5775));
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(ttl(i)->text(), captions.at(i)) << i;
        EXPECT_EQ(ttl(i)->parentWidget(), panel) << i;
        EXPECT_EQ(ttl(i)->geometry().topLeft(), QPoint(Tw(300), Tw(300 + 480 * i))) << i;
    }
    EXPECT_EQ(ttl(15)->text(), QStringLiteral("〒"));
    EXPECT_EQ(ttl(15)->geometry().left(), Tw(2880));

    // Field index -> row in the panel, left, width, limit, mode.
    struct FieldRow
    {
        int index, row, left, width, limit, mode;
    };
    const FieldRow fields[] = {
        {0, 0, 2820, 6135, 20, 4},   {1, 1, 2820, 6135, 40, 6}, {2, 2, 3300, 1335, 8, 2},
        {4, 4, 2820, 6135, 20, 4},   {5, 5, 2820, 6135, 20, 4}, {6, 6, 2820, 2235, 14, 2},
        {7, 7, 2820, 2235, 14, 2},   {8, 8, 2820, 2235, 14, 2}, {9, 9, 2820, 6135, 40, 2},
        {10, 10, 2820, 6135, 20, 4},
    };
    for (const FieldRow& f : fields) {
        EXPECT_EQ(txt(f.index)->parentWidget(), panel) << f.index;
        EXPECT_EQ(txt(f.index)->geometry().topLeft(), QPoint(Tw(f.left), Tw(300 + 480 * f.row))) << f.index;
        EXPECT_EQ(txt(f.index)->width(), Tw(f.width)) << f.index;
        EXPECT_EQ(FieldLimit(txt(f.index)), f.limit) << f.index;
        EXPECT_EQ(ImeModeOf(txt(f.index)), f.mode) << f.index;
        EXPECT_EQ(txt(f.index)->text(), QString()) << f.index;
    }
    EXPECT_EQ(combo()->geometry().topLeft(), QPoint(Tw(2820), Tw(1740)));
    EXPECT_EQ(combo()->width(), Tw(1875));
    EXPECT_FALSE(combo()->isEditable());

    // The parking field exists but lies outside the window.
    EXPECT_FALSE(screen()->rect().intersects(txt(3)->geometry()));

    EXPECT_EQ(cmd(0)->text(), QStringLiteral("新規登録"));
    EXPECT_EQ(cmd(1)->text(), QStringLiteral("画面クリア"));
    EXPECT_EQ(cmd(2)->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(cmd(0)->geometry().topLeft(), QPoint(Tw(360), Tw(6720)));
    EXPECT_EQ(cmd(1)->geometry().topLeft(), QPoint(Tw(2280), Tw(6720)));
    EXPECT_EQ(cmd(2)->geometry().topLeft(), QPoint(Tw(7800), Tw(6720)));

    EXPECT_EQ(ttl(11)->geometry().topLeft(), QPoint(Tw(360), Tw(7440)));
    EXPECT_EQ(ttl(11)->palette().color(QPalette::Window), Colors::LightRed);
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(ttl(12)->text(), QStringLiteral("登録完了"));
    EXPECT_EQ(ttl(12)->geometry(), TwRect(5220, 3660, 3675, 555));
    EXPECT_EQ(ttl(13)->geometry(), TwRect(5160, 3180, 3795, 1335));
    EXPECT_EQ(ttl(12)->palette().color(QPalette::Window), Colors::LightCyan);
    EXPECT_FALSE(ttl(12)->isVisible());
    EXPECT_FALSE(ttl(13)->isVisible());
}

TEST_F(RegistrationTest, PrefectureListPositionIsThePrefectureNumberAndStartsAtTheSetting)
{
    open();
    ASSERT_EQ(combo()->count(), 48);
    EXPECT_EQ(combo()->itemText(0), QStringLiteral("（未設定）"));
    EXPECT_EQ(combo()->itemText(1), QStringLiteral("北海道"));
    EXPECT_EQ(combo()->itemText(13), QStringLiteral("東京都"));
    EXPECT_EQ(combo()->itemText(47), QStringLiteral("沖縄県"));
    EXPECT_EQ(combo()->currentIndex(), 13);
    EXPECT_EQ(focused(), txt(0));
}

TEST_F(RegistrationTest, MenuOpensTheScreenAndCloseGoesBackToTheMenu)
{
    Screens().open(QStringLiteral("Frm010_Qel"));
    QWidget* menu = visibleScreen(QStringLiteral("Frm010_Qel"));
    ASSERT_NE(menu, nullptr);
    Click(menu->findChild<QPushButton*>(QStringLiteral("Cmd_0")));
    useScreen(visibleScreen(QStringLiteral("Frm020_Qel")));
    ASSERT_NE(screen(), nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm010_Qel"));
    QApplication::setActiveWindow(screen());

    Click(cmd(2));
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm020_Qel"));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
}

TEST_F(RegistrationTest, WithEverythingEmptyTheNameIsAskedForFirst)
{
    open();
    enter(txt(6), QStringLiteral("03"));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください"));
    EXPECT_EQ(focused(), txt(0));
    EXPECT_TRUE(txt(0)->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(customerCount(), 0);
    EXPECT_TRUE(waits->waits.empty());

    // The name field's focus gain ran again: its reading capture is on.
    ImeConvert(txt(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
    PressEnter();
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
}

TEST_F(RegistrationTest, EachRequiredFieldIsCheckedInOrderWithItsMessageAndFocus)
{
    open();
    enter(txt(0), QStringLiteral("   "));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください")) << "blanks only";
    EXPECT_EQ(focused(), txt(0));
    EXPECT_EQ(txt(0)->selectedText(), QStringLiteral("   "));

    enter(txt(0), QStringLiteral("　　"));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください")) << "full-width blanks only";

    enter(txt(0), QStringLiteral("山田"));
    enter(txt(1), QStringLiteral(" "));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("フリガナを入力してください"));
    EXPECT_EQ(focused(), txt(1));
    EXPECT_EQ(txt(1)->selectedText(), QStringLiteral(" "));

    enter(txt(1), QStringLiteral("ﾔﾏﾀﾞ"));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("郵便番号を入力してください"));
    EXPECT_EQ(focused(), txt(2));

    enter(txt(2), QStringLiteral("100-0001"));
    chooseListEntry(0);
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("都道府県を設定してください"));
    EXPECT_EQ(focused(), txt(2));
    EXPECT_EQ(txt(2)->selectedText(), QStringLiteral("100-0001"));
    PressEnter();
    EXPECT_EQ(focused(), combo());

    combo()->setCurrentIndex(27);
    enter(txt(4), QStringLiteral("  "));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("市区町村・番地を入力してください"));
    EXPECT_EQ(focused(), txt(4));
    EXPECT_EQ(customerCount(), 0);

    enter(txt(4), QStringLiteral("神戸市"));
    Click(cmd(0));
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(customerCount(), 1);
}

TEST_F(RegistrationTest, ASavedCustomerIsStoredExactlyWithTheNoticeShownAndTheEntriesKept)
{
    open();
    fillCustomer();
    ASSERT_EQ(txt(4)->text(), QStringLiteral("千代田区千代田1-1 "));
    ASSERT_EQ(combo()->currentIndex(), 13);

    bool noticeShown = false;
    bool buttonsDisabled = false;
    bool closeEnabled = false;
    int rowsDuring = -1;
    waits->during = [&] {
        noticeShown = ttl(12)->isVisible() && ttl(13)->isVisible();
        buttonsDisabled = !cmd(0)->isEnabled() && !cmd(1)->isEnabled();
        closeEnabled = cmd(2)->isEnabled();
        rowsDuring = customerCount();
    };
    Click(cmd(0));
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_TRUE(closeEnabled);
    EXPECT_EQ(rowsDuring, 1);
    EXPECT_FALSE(ttl(12)->isVisible());
    EXPECT_FALSE(ttl(13)->isVisible());
    EXPECT_TRUE(cmd(0)->isEnabled());
    EXPECT_TRUE(cmd(1)->isEnabled());
    EXPECT_EQ(message(), QString());

    const QStringList expected = {"1",
                                  "山田太郎",
                                  "ﾔﾏﾀﾞﾀﾛｳ",
                                  "100-0001",
                                  "13",
                                  "千代田区千代田1-1",
                                  "皇居ビル\"A\" 101",
                                  "03-1234-5678",
                                  "090-1111-2222",
                                  "03-1234-5679",
                                  "o'brien_100%@example.jp",
                                  "*特価* 'O' [#?]",
                                  "2005",
                                  "03",
                                  "07",
                                  "09",
                                  "05",
                                  "03"};
    EXPECT_EQ(storedRow(1), expected);

    // The entries stay for the next, similar customer; the focus is back on the name, selected.
    EXPECT_EQ(txt(0)->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(txt(5)->text(), QStringLiteral(" 皇居ビル\"A\" 101 "));
    EXPECT_EQ(combo()->currentIndex(), 13);
    EXPECT_EQ(focused(), txt(0));
    EXPECT_EQ(txt(0)->selectedText(), QStringLiteral("山田太郎"));

    // Nothing unsaved: the screen closes without a question.
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, ABirthdayAndAMailWishAreStoredWithTheCustomerAndTheClearButtonEmptiesThem)
{
    open();
    fillCustomer();
    enter(txt(12), QStringLiteral("２"));
    enter(txt(13), QStringLiteral("29"));
    combo(2)->setCurrentIndex(1);
    Click(cmd(0));
    EXPECT_EQ(message(), QString());
    const QString profile =
        QStringLiteral("Fi_キー||'|'||Fi_誕生年||'|'||Fi_誕生月||'|'||Fi_誕生日||'|'||Fi_DM不要");
    EXPECT_EQ(column(QStringLiteral("Tb_顧客補足"), profile), QStringLiteral("1|0|2|29|1"));

    // The next customer, of no birthday and the default wish, keeps no row of them.
    Click(cmd(1));
    for (int i : {11, 12, 13})
        EXPECT_EQ(txt(i)->text(), QString()) << i;
    EXPECT_EQ(combo(2)->currentText(), QStringLiteral("送る"));
    fillCustomer();
    Click(cmd(0));
    EXPECT_EQ(customerCount(), 2);
    EXPECT_EQ(column(QStringLiteral("Tb_顧客補足"), profile), QStringLiteral("1|0|2|29|1"));
}

TEST_F(RegistrationTest, SavingAgainGivesTheNextKey)
{
    open();
    fillCustomer();
    Click(cmd(0));
    enter(txt(0), QStringLiteral("山田花子"));
    Click(cmd(0));
    EXPECT_EQ(customerCount(), 2);
    EXPECT_EQ(storedRow(1).at(1), QStringLiteral("山田太郎"));
    EXPECT_EQ(storedRow(2).at(1), QStringLiteral("山田花子"));
    EXPECT_EQ(storedRow(2).at(5), QStringLiteral("千代田区千代田1-1"));

    execute(QStringLiteral("update Tb_顧客 set Fi_キー = 5 where Fi_キー = 2"));
    Click(cmd(0));
    EXPECT_EQ(storedRow(6).at(1), QStringLiteral("山田花子"));
}

TEST_F(RegistrationTest, PastedTextLongerThanTheLimitIsCutAtTheLimit)
{
    open();
    QApplication::clipboard()->setText(QStringLiteral("一二三四五六七八九十一二三四五六七八九十超過分"));
    enter(txt(0), QString());
    QTest::keyClick(txt(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("一二三四五六七八九十一二三四五六七八九十"));
    QApplication::clipboard()->setText(QStringLiteral("1000-00011"));
    enter(txt(2), QString());
    QTest::keyClick(txt(2), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(txt(2)->text(), QStringLiteral("1000-000"));
    // Pasted kana in the reading field become half-width and are cut after the conversion.
    QApplication::clipboard()->setText(QString(30, QChar(0x304C))); // が x 30
    enter(txt(1), QString());
    QTest::keyClick(txt(1), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ｶﾞ").repeated(20));

    enter(txt(4), QStringLiteral("千代田区"));
    Click(cmd(0));
    const QStringList row = storedRow(1);
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(row.at(1).size(), 20);
    EXPECT_EQ(row.at(2).size(), 40);
    EXPECT_EQ(row.at(3), QStringLiteral("1000-000"));
}

TEST_F(RegistrationTest, ClearEmptiesTheFieldsAndResetsTheListWithoutLeavingAnEdit)
{
    open();
    fillCustomer();
    chooseListEntry(27);
    enter(txt(4), QStringLiteral("神戸市"));
    Click(cmd(1));
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(txt(i)->text(), QString()) << i;
    EXPECT_EQ(combo()->currentIndex(), 13);
    EXPECT_EQ(focused(), txt(0));
    EXPECT_EQ(message(), QString());

    // The postal code of before is still offered to the empty city field.
    QTest::mouseClick(txt(4), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(txt(4)->text(), QStringLiteral("１００－０００１"));
    Click(cmd(1));

    // Passing through the list without changing it is no edit either; the close asks nothing.
    PressEnter();
    PressEnter();
    PressEnter();
    ASSERT_EQ(focused(), combo());
    PressEnter();
    ASSERT_EQ(focused(), txt(4));
    EXPECT_EQ(txt(4)->text(), QString()) << "the postal code left empty on the way";
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, ClosingWithUnsavedEntriesAsksFirst)
{
    open();
    enter(txt(10), QStringLiteral("memo"));
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::No);
    Click(cmd(2));
    ASSERT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), screen());
    EXPECT_EQ(txt(10)->text(), QStringLiteral("memo"));

    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm020_Qel"));
}

TEST_F(RegistrationTest, AChangedPrefectureAloneCountsAsAnEdit)
{
    open();
    chooseListEntry(27);
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_EQ(dialogs->shown().size(), 1u);
}

TEST_F(RegistrationTest, TheCloseBoxIsRefused)
{
    open();
    EXPECT_FALSE(screen()->close());
    EXPECT_TRUE(screen()->isVisible());
}

TEST_F(RegistrationTest, PostalCodeIsOfferedInFullWidthToAnEmptyCityFieldOnly)
{
    open();
    enter(txt(2), QStringLiteral("100-0001"));
    enter(txt(4), QStringLiteral("x"));
    txt(4)->clear();
    txt(2)->setFocus();
    PressEnter();
    PressEnter();
    ASSERT_EQ(focused(), txt(4));
    EXPECT_EQ(txt(4)->text(), QStringLiteral("１００－０００１"));
    EXPECT_EQ(txt(4)->selectedText(), QStringLiteral("１００－０００１"));

    enter(txt(4), QStringLiteral("港区"));
    enter(txt(2), QStringLiteral("105-0011"));
    PressEnter();
    PressEnter();
    EXPECT_EQ(txt(4)->text(), QStringLiteral("港区"));
    EXPECT_EQ(txt(4)->selectedText(), QStringLiteral("港区"));

    enter(txt(4), QStringLiteral("   "));
    txt(2)->setFocus();
    txt(4)->setFocus();
    EXPECT_EQ(txt(4)->text(), QStringLiteral("１０５－００１１"));
}

TEST_F(RegistrationTest, APrefectureAtTheStartOfTheAddressMovesIntoTheList)
{
    struct Case
    {
        QString typed;
        QString left;
        int position;
    };
    const Case cases[] = {
        {"東京都千代田区千代田", "千代田区千代田", 13},
        {"北海道札幌市中央区", "札幌市中央区", 1},
        {"京都府京都市", "京都市", 26},
        {"沖縄県那覇市", "那覇市", 47},
        {"千代田区千代田", "千代田区千代田", 27},
        {"大阪市北区", "大阪市北区", 27},
        {" 東京都港区", " 東京都港区", 27},
    };
    open();
    for (const Case& c : cases) {
        chooseListEntry(27);
        enter(txt(4), QString());
        ImeConvert(txt(4), QStringLiteral("じゅうしょ"), c.typed);
        PressEnter();
        EXPECT_EQ(txt(4)->text(), c.left) << c.typed.toStdString();
        EXPECT_EQ(combo()->currentIndex(), c.position) << c.typed.toStdString();
    }
}

TEST_F(RegistrationTest, EnterMovesThroughTheFieldsInTheirOrder)
{
    open();
    QWidget* order[] = {txt(0), txt(1), txt(2), combo(), txt(4),  txt(5),
                        txt(6), txt(7), txt(8), txt(9),  txt(10), txt(0)};
    txt(0)->setFocus();
    for (size_t i = 1; i < std::size(order); ++i) {
        PressEnter(nullptr, i % 2 == 0);
        EXPECT_EQ(focused(), order[i]) << i;
    }
    txt(3)->setFocus();
    PressEnter();
    EXPECT_EQ(focused(), txt(4));
}

TEST_F(RegistrationTest, EmptyingTheNameEmptiesTheReadingAndATypedReadingIsHalfWidth)
{
    open();
    enter(txt(0), QString());
    ImeConvert(txt(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
    PressEnter();
    ASSERT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    enter(txt(0), QString());
    EXPECT_EQ(txt(1)->text(), QString());

    // Without the input method, and with a name the dictionary does not know, no reading comes;
    // the user types it, in hiragana.
    TypeKeys(txt(0), QStringLiteral("Smith"));
    PressEnter();
    EXPECT_EQ(txt(1)->text(), QString());
    TypeKeys(txt(1), QStringLiteral("えーびーしー"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ｴｰﾋﾞｰｼｰ"));
}

TEST_F(RegistrationTest, WhereTheInputMethodCannotTellTheDictionaryGivesTheReadingStillMarked)
{
    struct Case
    {
        const char* what;
        std::function<void(QLineEdit*)> type;
        const char16_t* name;
        const char16_t* reading;
        bool marked;
    };
    const auto paste = [](QLineEdit* field, const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    };
    const Case cases[] = {
        {"a whole name pasted", [&](QLineEdit* f) { paste(f, QStringLiteral("佐藤　花子")); }, u"佐藤　花子",
         u"ｻﾄｳ ﾊﾅｺ", true},
        {"a surname converted, the given name pasted",
         [&](QLineEdit* f) {
             ImeConvert(f, QStringLiteral("やまだ"), QStringLiteral("山田"));
             paste(f, QStringLiteral("太郎"));
         },
         u"山田太郎", u"ﾔﾏﾀﾞﾀﾛｳ", true},
        // What the input method told is kept, also where the dictionary reads otherwise.
        {"a name converted from its own reading, then 商店 pasted",
         [&](QLineEdit* f) {
             ImeConvert(f, QStringLiteral("まさみち"), QStringLiteral("真理"));
             paste(f, QStringLiteral("商店"));
         },
         u"真理商店", u"ﾏｻﾐﾁｼｮｳﾃﾝ", true},
        {"a name converted whole",
         [&](QLineEdit* f) { ImeConvert(f, QStringLiteral("まさみち"), QStringLiteral("真理")); }, u"真理",
         u"ﾏｻﾐﾁ", false},
        // A word the dictionary does not know either: nothing is made up.
        {"a foreign name pasted", [&](QLineEdit* f) { paste(f, QStringLiteral("Smith")); }, u"Smith", u"",
         true},
    };
    open();
    for (const Case& c : cases) {
        enter(txt(0), QString());
        c.type(txt(0));
        PressEnter();
        ASSERT_EQ(focused(), txt(1));
        EXPECT_EQ(txt(0)->text(), QString::fromUtf16(c.name)) << c.what;
        EXPECT_EQ(txt(1)->text(), QString::fromUtf16(c.reading)) << c.what;
        EXPECT_EQ(ReadingMarked(txt(1)), c.marked) << c.what;
    }

    // The reading the dictionary gave is what is stored, once the user has looked at it.
    enter(txt(0), QString());
    paste(txt(0), QStringLiteral("佐藤　花子"));
    PressEnter();
    PressEnter();
    EXPECT_FALSE(ReadingMarked(txt(1)));
    TypeKeys(txt(2), QStringLiteral("100-0001"));
    enter(txt(4), QStringLiteral("千代田1-1"));
    Click(cmd(0));
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前フリガナ")),
              QStringLiteral("ｻﾄｳ ﾊﾅｺ"));
}

TEST_F(RegistrationTest, ADatabaseFailureDuringTheSaveStoresNothingAndKeepsTheEntries)
{
    open();
    fillCustomer();
    execute(QStringLiteral(
        "create trigger Tr_fail before insert on Tb_顧客 begin select raise(abort, 'disk is full'); end"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm020_Qel"), {});
    Click(cmd(0));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("disk is full")));
    EXPECT_EQ(customerCount(), 0);
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(txt(0)->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(txt(4)->text(), QStringLiteral("千代田区千代田1-1 "));
    EXPECT_TRUE(cmd(0)->isEnabled());

    // The entries are still unsaved, and the next try succeeds.
    execute(QStringLiteral("drop trigger Tr_fail"));
    Click(cmd(0));
    EXPECT_EQ(customerCount(), 1);
    EXPECT_EQ(storedRow(1).at(1), QStringLiteral("山田太郎"));
}

TEST_F(RegistrationTest, AMissingDatabaseFileIsReportedAndTheScreenStaysUsable)
{
    QFile::remove(dbPath());
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm020_Qel"), {});
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(
        dialogs->shown().front().text.contains(QStringLiteral("データベースファイルが見つかりません")));
    EXPECT_EQ(combo()->count(), 0);
    enter(txt(0), QStringLiteral("山田"));
    enter(txt(1), QStringLiteral("ﾔﾏﾀﾞ"));
    enter(txt(2), QStringLiteral("100"));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("都道府県を設定してください"));
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, AnEmptyPrefectureTableIsReported)
{
    execute(QStringLiteral("delete from Tb_都道府県"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"),
                    QStringLiteral("都道府県の一覧（Tb_都道府県）にデータがありません。\n"
                                   "都道府県を選べないため、顧客を登録できません。"));
    open();
    EXPECT_EQ(combo()->count(), 0);
    enter(txt(0), QStringLiteral("山田"));
    enter(txt(1), QStringLiteral("ﾔﾏﾀﾞ"));
    enter(txt(2), QStringLiteral("100"));
    enter(txt(4), QStringLiteral("東京都港区"));
    PressEnter();
    EXPECT_EQ(txt(4)->text(), QStringLiteral("東京都港区"));
    Click(cmd(0));
    EXPECT_EQ(message(), QStringLiteral("都道府県を設定してください"));
    EXPECT_EQ(customerCount(), 0);
}

TEST_F(RegistrationTest, AShortOrBrokenPrefectureTableKeepsPositionEqualToNumber)
{
    // Rows 0 to 9 and 12 to 47: the list stops at the gap, so that no entry sits at the wrong
    // position, and the user is told.
    execute(QStringLiteral("delete from Tb_都道府県 where Fi_番号 in (10, 11)"));
    writeIni(QStringLiteral("Todoufuken1=5\r\n"));
    dialogs->expect(
        ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"),
        QStringLiteral("都道府県の一覧（Tb_都道府県）に番号 0 から 47 までの 48 件がそろっていません"
                       "（使える番号は 0 から 9 まで）。\n一覧にない都道府県は選べません。"));
    open();
    ASSERT_EQ(combo()->count(), 10);
    EXPECT_EQ(combo()->itemText(9), QStringLiteral("栃木県"));
    EXPECT_EQ(combo()->currentIndex(), 5);
    enter(txt(0), QStringLiteral("佐藤"));
    enter(txt(1), QStringLiteral("ｻﾄｳ"));
    enter(txt(2), QStringLiteral("320-0000"));
    enter(txt(4), QStringLiteral("栃木県宇都宮市"));
    PressEnter();
    EXPECT_EQ(combo()->currentIndex(), 9);
    Click(cmd(0));
    EXPECT_EQ(storedRow(1).at(4), QStringLiteral("9"));
}

TEST_F(RegistrationTest, ADefaultPrefectureOutsideTheListIsReported)
{
    writeIni(QStringLiteral("Todoufuken1=60\r\n"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"),
                    QStringLiteral("Qel.Ini の Todoufuken1（60）に当たる都道府県が一覧にありません。\n"
                                   "都道府県は「（未設定）」にしておきます。"));
    open();
    EXPECT_EQ(combo()->currentIndex(), 0);
    // Clearing selects the same fallback without asking again.
    Click(cmd(1));
    EXPECT_EQ(combo()->currentIndex(), 0);
}

} // namespace
