#include "core/Globals.h"
#include "customers/RegisterCustomerScreens.h"
#include "db/Database.h"
#include "ui/InputBehaviour.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"
#include "ui/Twips.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include <ostream>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kCloseQuestion = QStringLiteral("未登録です。\n登録せずに画面を閉じますか");

// Keys that produce these characters directly; QTest::keyClicks knows only ASCII.
void typeKeys(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A conversion through the input method: the kana composed, the converted text, the commit.
void convert(QWidget* field, const QString& kana, const QString& result)
{
    for (qsizetype n = 1; n <= kana.size(); ++n) {
        QInputMethodEvent preedit(kana.left(n), {});
        QApplication::sendEvent(field, &preedit);
    }
    QInputMethodEvent converted(result, {});
    QApplication::sendEvent(field, &converted);
    QInputMethodEvent commit;
    commit.setCommitString(result);
    QApplication::sendEvent(field, &commit);
}

class RegistrationTest : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Screens().clear();
        RegisterCoreScreens(Screens());
        RegisterCustomerScreens(Screens());
        writeIni(QStringLiteral("Todoufuken1=13\r\n"));
    }
    void TearDown() override
    {
        Screens().clear();
        AppFixture::TearDown();
    }

    MainScreen* open()
    {
        screen = Screens().open(QStringLiteral("Frm020_Qel"));
        if (screen) {
            QApplication::setActiveWindow(screen);
            EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
        }
        return screen;
    }
    static MainScreen* visibleScreen(const QString& formName)
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == formName && w->isVisible())
                return qobject_cast<MainScreen*>(w);
        }
        return nullptr;
    }

    QLineEdit* field(int index) const
    {
        auto* f = screen->findChild<QLineEdit*>(QStringLiteral("Txt_Inp_%1").arg(index));
        EXPECT_NE(f, nullptr) << index;
        return f;
    }
    QLabel* label(int index) const
    {
        auto* l = screen->findChild<QLabel*>(QStringLiteral("Lbl_Ttl_%1").arg(index));
        EXPECT_NE(l, nullptr) << index;
        return l;
    }
    QPushButton* button(int index) const
    {
        auto* b = screen->findChild<QPushButton*>(QStringLiteral("Cmd_%1").arg(index));
        EXPECT_NE(b, nullptr) << index;
        return b;
    }
    QComboBox* list() const { return screen->findChild<QComboBox*>(QStringLiteral("Combo1")); }
    QString message() const { return label(11)->text(); }
    static QWidget* focused() { return QApplication::focusWidget(); }

    static void click(QAbstractButton* b)
    {
        ASSERT_TRUE(b->isEnabled()) << b->objectName().toStdString();
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Clicks into the field, selects its text (the focus gain does that, unless the field had
    // the focus already) and types, replacing what was there.
    void enter(int index, const QString& text)
    {
        QLineEdit* f = field(index);
        const bool hadFocus = focused() == f;
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(5, f->height() / 2));
        ASSERT_EQ(focused(), f) << index;
        if (hadFocus)
            QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        else
            EXPECT_EQ(f->selectedText(), f->text()) << index;
        if (text.isEmpty())
            QTest::keyClick(f, Qt::Key_Delete);
        else
            typeKeys(f, text);
    }
    void pressEnter(Qt::Key key = Qt::Key_Return) { QTest::keyClick(focused(), key); }
    void chooseListEntry(int position)
    {
        list()->setFocus(Qt::MouseFocusReason);
        list()->setCurrentIndex(position);
    }

    // A customer entered the way a user does: name through the input method, Enter from field
    // to field, the postal code offered to the city field and the address typed over it.
    void fillCustomer()
    {
        enter(0, QString());
        convert(field(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
        convert(field(0), QStringLiteral("たろう"), QStringLiteral("太郎"));
        pressEnter();
        ASSERT_EQ(focused(), field(1));
        ASSERT_EQ(field(1)->text(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
        pressEnter();
        typeKeys(field(2), QStringLiteral("100-0001"));
        pressEnter();
        ASSERT_EQ(focused(), list());
        pressEnter();
        ASSERT_EQ(focused(), field(4));
        convert(field(4), QStringLiteral("とうきょうとちよだくちよだ"),
                QStringLiteral("東京都千代田区千代田"));
        typeKeys(field(4), QStringLiteral("1-1 "));
        pressEnter();
        typeKeys(field(5), QStringLiteral(" 皇居ビル\"A\" 101 "));
        pressEnter();
        typeKeys(field(6), QStringLiteral("03-1234-5678"));
        pressEnter();
        typeKeys(field(7), QStringLiteral("090-1111-2222"));
        pressEnter();
        typeKeys(field(8), QStringLiteral("03-1234-5679"));
        pressEnter();
        typeKeys(field(9), QStringLiteral("o'brien_100%@example.jp"));
        pressEnter();
        typeKeys(field(10), QStringLiteral("*特価* 'O' [#?]"));
    }

    int customerCount() const
    {
        Database db(dbPath());
        return static_cast<int>(db.count(QStringLiteral("Tb_顧客")));
    }
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
    void execute(const QString& sql)
    {
        Database db(dbPath());
        db.execute(sql);
    }

    MainScreen* screen = nullptr;
};

TEST_F(RegistrationTest, LayoutCaptionsLimitsAndModesOfEveryControl)
{
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(screen->size(), QSize(Tw(11715), Tw(8100)));
    EXPECT_EQ(screen->pos(), QPoint(2, 2));
    EXPECT_EQ(label(14)->text(), QStringLiteral("顧客新規登録"));
    EXPECT_EQ(label(14)->geometry().topLeft(), QPoint(Tw(360), Tw(240)));

    const QStringList captions = {"*名前（新規）",   "*ﾌﾘｶﾞﾅ",          "*郵便番号", "*都道府県名",
                                  "*市区町村・番地", " 建物名・号室等", " 電話番号", " 携帯番号",
                                  " FAX 番号",       " メールアドレス", " 備考"};
    QWidget* panel = screen->findChild<QWidget*>(QStringLiteral("Picture1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), TwRect(360, 780, 9255, 5775));
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(label(i)->text(), captions.at(i)) << i;
        EXPECT_EQ(label(i)->parentWidget(), panel) << i;
        EXPECT_EQ(label(i)->geometry().topLeft(), QPoint(Tw(300), Tw(300 + 480 * i))) << i;
    }
    EXPECT_EQ(label(15)->text(), QStringLiteral("〒"));
    EXPECT_EQ(label(15)->geometry().left(), Tw(2880));

    // Field index -> row in the panel, left, width, limit, mode.
    struct FieldSpec
    {
        int index, row, left, width, limit, mode;
    };
    const FieldSpec fields[] = {
        {0, 0, 2820, 6135, 20, 4},   {1, 1, 2820, 6135, 40, 6}, {2, 2, 3300, 1335, 8, 2},
        {4, 4, 2820, 6135, 20, 4},   {5, 5, 2820, 6135, 20, 4}, {6, 6, 2820, 2235, 14, 2},
        {7, 7, 2820, 2235, 14, 2},   {8, 8, 2820, 2235, 14, 2}, {9, 9, 2820, 6135, 40, 2},
        {10, 10, 2820, 6135, 20, 4},
    };
    for (const FieldSpec& f : fields) {
        EXPECT_EQ(field(f.index)->parentWidget(), panel) << f.index;
        EXPECT_EQ(field(f.index)->geometry().topLeft(), QPoint(Tw(f.left), Tw(300 + 480 * f.row))) << f.index;
        EXPECT_EQ(field(f.index)->width(), Tw(f.width)) << f.index;
        EXPECT_EQ(FieldLimit(field(f.index)), f.limit) << f.index;
        EXPECT_EQ(ImeModeOf(field(f.index)), f.mode) << f.index;
        EXPECT_EQ(field(f.index)->text(), QString()) << f.index;
    }
    EXPECT_EQ(list()->geometry().topLeft(), QPoint(Tw(2820), Tw(1740)));
    EXPECT_EQ(list()->width(), Tw(1875));
    EXPECT_FALSE(list()->isEditable());

    // The parking field exists but lies outside the window.
    EXPECT_FALSE(screen->rect().intersects(field(3)->geometry()));

    EXPECT_EQ(button(0)->text(), QStringLiteral("新規登録"));
    EXPECT_EQ(button(1)->text(), QStringLiteral("画面クリア"));
    EXPECT_EQ(button(2)->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(button(0)->geometry().topLeft(), QPoint(Tw(360), Tw(6720)));
    EXPECT_EQ(button(1)->geometry().topLeft(), QPoint(Tw(2280), Tw(6720)));
    EXPECT_EQ(button(2)->geometry().topLeft(), QPoint(Tw(7800), Tw(6720)));

    EXPECT_EQ(label(11)->geometry().topLeft(), QPoint(Tw(360), Tw(7440)));
    EXPECT_EQ(label(11)->palette().color(QPalette::Window), Colors::LightRed);
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(label(12)->text(), QStringLiteral("登録完了"));
    EXPECT_EQ(label(12)->geometry(), TwRect(5220, 3660, 3675, 555));
    EXPECT_EQ(label(13)->geometry(), TwRect(5160, 3180, 3795, 1335));
    EXPECT_EQ(label(12)->palette().color(QPalette::Window), Colors::LightCyan);
    EXPECT_FALSE(label(12)->isVisible());
    EXPECT_FALSE(label(13)->isVisible());
}

TEST_F(RegistrationTest, PrefectureListPositionIsThePrefectureNumberAndStartsAtTheSetting)
{
    open();
    ASSERT_EQ(list()->count(), 48);
    EXPECT_EQ(list()->itemText(0), QStringLiteral("（未設定）"));
    EXPECT_EQ(list()->itemText(1), QStringLiteral("北海道"));
    EXPECT_EQ(list()->itemText(13), QStringLiteral("東京都"));
    EXPECT_EQ(list()->itemText(47), QStringLiteral("沖縄県"));
    EXPECT_EQ(list()->currentIndex(), 13);
    EXPECT_EQ(focused(), field(0));
}

TEST_F(RegistrationTest, MenuOpensTheScreenAndCloseGoesBackToTheMenu)
{
    Screens().open(QStringLiteral("Frm010_Qel"));
    MainScreen* menu = visibleScreen(QStringLiteral("Frm010_Qel"));
    ASSERT_NE(menu, nullptr);
    click(menu->findChild<QPushButton*>(QStringLiteral("Cmd_0")));
    screen = visibleScreen(QStringLiteral("Frm020_Qel"));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm010_Qel"));
    QApplication::setActiveWindow(screen);

    click(button(2));
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm020_Qel"));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
}

TEST_F(RegistrationTest, WithEverythingEmptyTheNameIsAskedForFirst)
{
    open();
    enter(6, QStringLiteral("03"));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください"));
    EXPECT_EQ(focused(), field(0));
    EXPECT_TRUE(field(0)->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(customerCount(), 0);
    EXPECT_TRUE(waits->waits.empty());

    // The name field's focus gain ran again: its reading capture is on.
    convert(field(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
    pressEnter();
    EXPECT_EQ(field(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
}

TEST_F(RegistrationTest, EachRequiredFieldIsCheckedInOrderWithItsMessageAndFocus)
{
    open();
    enter(0, QStringLiteral("   "));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください")) << "blanks only";
    EXPECT_EQ(focused(), field(0));
    EXPECT_EQ(field(0)->selectedText(), QStringLiteral("   "));

    enter(0, QStringLiteral("　　"));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("名前を入力してください")) << "full-width blanks only";

    enter(0, QStringLiteral("山田"));
    enter(1, QStringLiteral(" "));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("フリガナを入力してください"));
    EXPECT_EQ(focused(), field(1));
    EXPECT_EQ(field(1)->selectedText(), QStringLiteral(" "));

    enter(1, QStringLiteral("ﾔﾏﾀﾞ"));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("郵便番号を入力してください"));
    EXPECT_EQ(focused(), field(2));

    enter(2, QStringLiteral("100-0001"));
    chooseListEntry(0);
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("都道府県を設定してください"));
    EXPECT_EQ(focused(), field(2));
    EXPECT_EQ(field(2)->selectedText(), QStringLiteral("100-0001"));
    pressEnter();
    EXPECT_EQ(focused(), list());

    list()->setCurrentIndex(27);
    enter(4, QStringLiteral("  "));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("市区町村・番地を入力してください"));
    EXPECT_EQ(focused(), field(4));
    EXPECT_EQ(customerCount(), 0);

    enter(4, QStringLiteral("神戸市"));
    click(button(0));
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(customerCount(), 1);
}

TEST_F(RegistrationTest, ASavedCustomerIsStoredExactlyWithTheNoticeShownAndTheEntriesKept)
{
    open();
    fillCustomer();
    ASSERT_EQ(field(4)->text(), QStringLiteral("千代田区千代田1-1 "));
    ASSERT_EQ(list()->currentIndex(), 13);

    bool noticeShown = false;
    bool buttonsDisabled = false;
    bool closeEnabled = false;
    int rowsDuring = -1;
    waits->during = [&] {
        noticeShown = label(12)->isVisible() && label(13)->isVisible();
        buttonsDisabled = !button(0)->isEnabled() && !button(1)->isEnabled();
        closeEnabled = button(2)->isEnabled();
        rowsDuring = customerCount();
    };
    click(button(0));
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_TRUE(closeEnabled);
    EXPECT_EQ(rowsDuring, 1);
    EXPECT_FALSE(label(12)->isVisible());
    EXPECT_FALSE(label(13)->isVisible());
    EXPECT_TRUE(button(0)->isEnabled());
    EXPECT_TRUE(button(1)->isEnabled());
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
    EXPECT_EQ(field(0)->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(field(5)->text(), QStringLiteral(" 皇居ビル\"A\" 101 "));
    EXPECT_EQ(list()->currentIndex(), 13);
    EXPECT_EQ(focused(), field(0));
    EXPECT_EQ(field(0)->selectedText(), QStringLiteral("山田太郎"));

    // Nothing unsaved: the screen closes without a question.
    click(button(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, SavingAgainGivesTheNextKey)
{
    open();
    fillCustomer();
    click(button(0));
    enter(0, QStringLiteral("山田花子"));
    click(button(0));
    EXPECT_EQ(customerCount(), 2);
    EXPECT_EQ(storedRow(1).at(1), QStringLiteral("山田太郎"));
    EXPECT_EQ(storedRow(2).at(1), QStringLiteral("山田花子"));
    EXPECT_EQ(storedRow(2).at(5), QStringLiteral("千代田区千代田1-1"));

    execute(QStringLiteral("update Tb_顧客 set Fi_キー = 5 where Fi_キー = 2"));
    click(button(0));
    EXPECT_EQ(storedRow(6).at(1), QStringLiteral("山田花子"));
}

TEST_F(RegistrationTest, PastedTextLongerThanTheLimitIsCutAtTheLimit)
{
    open();
    QApplication::clipboard()->setText(QStringLiteral("一二三四五六七八九十一二三四五六七八九十超過分"));
    enter(0, QString());
    QTest::keyClick(field(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field(0)->text(), QStringLiteral("一二三四五六七八九十一二三四五六七八九十"));
    QApplication::clipboard()->setText(QStringLiteral("1000-00011"));
    enter(2, QString());
    QTest::keyClick(field(2), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field(2)->text(), QStringLiteral("1000-000"));
    // Pasted kana in the reading field become half-width and are cut after the conversion.
    QApplication::clipboard()->setText(QString(30, QChar(0x304C))); // が x 30
    enter(1, QString());
    QTest::keyClick(field(1), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field(1)->text(), QStringLiteral("ｶﾞ").repeated(20));

    enter(4, QStringLiteral("千代田区"));
    click(button(0));
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
    enter(4, QStringLiteral("神戸市"));
    click(button(1));
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(field(i)->text(), QString()) << i;
    EXPECT_EQ(list()->currentIndex(), 13);
    EXPECT_EQ(focused(), field(0));
    EXPECT_EQ(message(), QString());

    // The postal code of before is still offered to the empty city field.
    QTest::mouseClick(field(4), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(field(4)->text(), QStringLiteral("１００－０００１"));
    click(button(1));

    // Passing through the list without changing it is no edit either; the close asks nothing.
    pressEnter();
    pressEnter();
    pressEnter();
    ASSERT_EQ(focused(), list());
    pressEnter();
    ASSERT_EQ(focused(), field(4));
    EXPECT_EQ(field(4)->text(), QString()) << "the postal code left empty on the way";
    click(button(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, ClosingWithUnsavedEntriesAsksFirst)
{
    open();
    enter(10, QStringLiteral("memo"));
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::No);
    click(button(2));
    ASSERT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), screen);
    EXPECT_EQ(field(10)->text(), QStringLiteral("memo"));

    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
    click(button(2));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm020_Qel")), nullptr);
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm020_Qel"));
}

TEST_F(RegistrationTest, AChangedPrefectureAloneCountsAsAnEdit)
{
    open();
    chooseListEntry(27);
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::No);
    click(button(2));
    EXPECT_EQ(dialogs->shown().size(), 1u);
}

TEST_F(RegistrationTest, TheCloseBoxIsRefused)
{
    open();
    EXPECT_FALSE(screen->close());
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(RegistrationTest, PostalCodeIsOfferedInFullWidthToAnEmptyCityFieldOnly)
{
    open();
    enter(2, QStringLiteral("100-0001"));
    enter(4, QStringLiteral("x"));
    field(4)->clear();
    field(2)->setFocus();
    pressEnter();
    pressEnter();
    ASSERT_EQ(focused(), field(4));
    EXPECT_EQ(field(4)->text(), QStringLiteral("１００－０００１"));
    EXPECT_EQ(field(4)->selectedText(), QStringLiteral("１００－０００１"));

    enter(4, QStringLiteral("港区"));
    enter(2, QStringLiteral("105-0011"));
    pressEnter();
    pressEnter();
    EXPECT_EQ(field(4)->text(), QStringLiteral("港区"));
    EXPECT_EQ(field(4)->selectedText(), QStringLiteral("港区"));

    enter(4, QStringLiteral("   "));
    field(2)->setFocus();
    field(4)->setFocus();
    EXPECT_EQ(field(4)->text(), QStringLiteral("１０５－００１１"));
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
        enter(4, QString());
        convert(field(4), QStringLiteral("じゅうしょ"), c.typed);
        pressEnter();
        EXPECT_EQ(field(4)->text(), c.left) << c.typed.toStdString();
        EXPECT_EQ(list()->currentIndex(), c.position) << c.typed.toStdString();
    }
}

TEST_F(RegistrationTest, EnterMovesThroughTheFieldsInTheirOrder)
{
    open();
    QWidget* order[] = {field(0), field(1), field(2), list(),   field(4),  field(5),
                        field(6), field(7), field(8), field(9), field(10), field(0)};
    field(0)->setFocus();
    for (size_t i = 1; i < std::size(order); ++i) {
        pressEnter(i % 2 ? Qt::Key_Return : Qt::Key_Enter);
        EXPECT_EQ(focused(), order[i]) << i;
    }
    field(3)->setFocus();
    pressEnter();
    EXPECT_EQ(focused(), field(4));
}

TEST_F(RegistrationTest, EmptyingTheNameEmptiesTheReadingAndATypedReadingIsHalfWidth)
{
    open();
    enter(0, QString());
    convert(field(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
    pressEnter();
    ASSERT_EQ(field(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    enter(0, QString());
    EXPECT_EQ(field(1)->text(), QString());

    // Without the input method no reading comes; the user types it, in hiragana.
    typeKeys(field(0), QStringLiteral("ABC"));
    pressEnter();
    EXPECT_EQ(field(1)->text(), QString());
    typeKeys(field(1), QStringLiteral("えーびーしー"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("ｴｰﾋﾞｰｼｰ"));
}

TEST_F(RegistrationTest, ADatabaseFailureDuringTheSaveStoresNothingAndKeepsTheEntries)
{
    open();
    fillCustomer();
    execute(QStringLiteral(
        "create trigger Tr_fail before insert on Tb_顧客 begin select raise(abort, 'disk is full'); end"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"), {});
    click(button(0));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("disk is full")));
    EXPECT_EQ(customerCount(), 0);
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(field(0)->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(field(4)->text(), QStringLiteral("千代田区千代田1-1 "));
    EXPECT_TRUE(button(0)->isEnabled());

    // The entries are still unsaved, and the next try succeeds.
    execute(QStringLiteral("drop trigger Tr_fail"));
    click(button(0));
    EXPECT_EQ(customerCount(), 1);
    EXPECT_EQ(storedRow(1).at(1), QStringLiteral("山田太郎"));
}

TEST_F(RegistrationTest, AMissingDatabaseFileIsReportedAndTheScreenStaysUsable)
{
    QFile::remove(dbPath());
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"), {});
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(
        dialogs->shown().front().text.contains(QStringLiteral("データベースファイルが見つかりません")));
    EXPECT_EQ(list()->count(), 0);
    enter(0, QStringLiteral("山田"));
    enter(1, QStringLiteral("ﾔﾏﾀﾞ"));
    enter(2, QStringLiteral("100"));
    click(button(0));
    EXPECT_EQ(message(), QStringLiteral("都道府県を設定してください"));
    dialogs->expectQuestion(kCloseQuestion, DialogService::Answer::Yes);
    click(button(2));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

TEST_F(RegistrationTest, AnEmptyPrefectureTableIsReported)
{
    execute(QStringLiteral("delete from Tb_都道府県"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"),
                    QStringLiteral("都道府県の一覧（Tb_都道府県）にデータがありません。\n"
                                   "都道府県を選べないため、顧客を登録できません。"));
    open();
    EXPECT_EQ(list()->count(), 0);
    enter(0, QStringLiteral("山田"));
    enter(1, QStringLiteral("ﾔﾏﾀﾞ"));
    enter(2, QStringLiteral("100"));
    enter(4, QStringLiteral("東京都港区"));
    pressEnter();
    EXPECT_EQ(field(4)->text(), QStringLiteral("東京都港区"));
    click(button(0));
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
    ASSERT_EQ(list()->count(), 10);
    EXPECT_EQ(list()->itemText(9), QStringLiteral("栃木県"));
    EXPECT_EQ(list()->currentIndex(), 5);
    enter(0, QStringLiteral("佐藤"));
    enter(1, QStringLiteral("ｻﾄｳ"));
    enter(2, QStringLiteral("320-0000"));
    enter(4, QStringLiteral("栃木県宇都宮市"));
    pressEnter();
    EXPECT_EQ(list()->currentIndex(), 9);
    click(button(0));
    EXPECT_EQ(storedRow(1).at(4), QStringLiteral("9"));
}

TEST_F(RegistrationTest, ADefaultPrefectureOutsideTheListIsReported)
{
    writeIni(QStringLiteral("Todoufuken1=60\r\n"));
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm020_Qel"),
                    QStringLiteral("Qel.Ini の Todoufuken1（60）に当たる都道府県が一覧にありません。\n"
                                   "都道府県は「（未設定）」にしておきます。"));
    open();
    EXPECT_EQ(list()->currentIndex(), 0);
    // Clearing selects the same fallback without asking again.
    click(button(1));
    EXPECT_EQ(list()->currentIndex(), 0);
}

} // namespace
