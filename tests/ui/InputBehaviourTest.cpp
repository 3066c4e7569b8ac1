#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"

#include "support/ScreenTest.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCharFormat>
#include <QWidget>

#include <ostream>

// Failures show the texts, not their bytes.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A stand-in for a customer screen: name, reading, postal code, a list, the hidden parking
// field, city and a button, in that tab order.
class Form : public QWidget
{
  public:
    Form()
    {
        name = field("name", 20, 10);
        reading = field("reading", 40, 40);
        zip = field("zip", 8, 70);
        list = new QComboBox(this);
        list->setObjectName("list");
        list->addItems({"なし", "北海道", "青森県"});
        list->setGeometry(10, 100, 150, 25);
        hidden = field("hidden", 32767, -1000);
        city = field("city", 20, 130);
        button = new QPushButton("button", this);
        button->setObjectName("button");
        button->setGeometry(10, 160, 100, 25);
        resize(400, 200);
        input = new InputBehaviour(this);
    }
    void open()
    {
        show();
        QApplication::setActiveWindow(this);
        ASSERT_TRUE(QTest::qWaitForWindowActive(this));
    }

    QLineEdit* name;
    QLineEdit* reading;
    QLineEdit* zip;
    QComboBox* list;
    QLineEdit* hidden;
    QLineEdit* city;
    QPushButton* button;
    InputBehaviour* input;

  private:
    QLineEdit* field(const char* objectName, int limit, int top)
    {
        auto* f = new QLineEdit(this);
        f->setObjectName(objectName);
        f->setMaxLength(limit);
        f->setGeometry(10, top, 300, 25);
        return f;
    }
};

// Keys that produce these characters directly, without the input method (QTest::keyClicks
// knows only ASCII).
void typeText(QWidget* field, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void sendPreedit(QWidget* field, const QString& preedit)
{
    QInputMethodEvent event(preedit, {});
    QApplication::sendEvent(field, &event);
}

void sendCommit(QWidget* field, const QString& commit, const QString& remainingPreedit = {})
{
    QInputMethodEvent event(remainingPreedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(field, &event);
}

// Romaji typed into the input method, shown as it composes, converted and committed.
void convert(QWidget* field, const QStringList& compositions, const QString& result)
{
    for (const QString& preedit : compositions)
        sendPreedit(field, preedit);
    sendPreedit(field, result);
    sendCommit(field, result);
}

void typeYamada(QWidget* field)
{
    convert(field, {"ｙ", "や", "やｍ", "やま", "やまｄ", "やまだ"}, "山田");
}

void typeTarou(QWidget* field)
{
    convert(field, {"ｔ", "た", "たｒ", "たろ", "たろう"}, "太郎");
}

// The two input methods the events were recorded with (Mozc under each), which draw the
// composition differently.
enum class Im { Ibus, Fcitx5 };

// What each draws under a segment: the one being converted highlighted, the rest underlined.
QTextCharFormat segmentFormat(Im im, bool converting)
{
    QTextCharFormat f;
    f.setUnderlineStyle(im == Im::Ibus && !converting   ? QTextCharFormat::SingleUnderline
                        : im == Im::Ibus || !converting ? QTextCharFormat::DashUnderline
                                                        : QTextCharFormat::NoUnderline);
    if (converting)
        f.setBackground(im == Im::Ibus ? QColor(0xd1, 0xea, 0xff) : QColor(0x30, 0x8c, 0xc6));
    return f;
}

// Replays what an input method sent to a field, as recorded from a real session with Mozc (one
// token a step): "p:けｎ" the composition as typed, "p:[山田]花子" one under conversion with its
// highlighted segment, "=県" a commit, "0" an empty event, "^Space" and "vShift+Left" the release
// and the press of a key that reached the field; "t:ABC" text typed with the input method off and
// "c:太郎" text pasted with Ctrl+V; "_" stands for a blank in a commit ("=_" Space outside a
// composition, which Mozc commits as "　"; "=__" Shift+Space, committed as " "); "f:hidden" the focus
// put on the screen's field or button of that name (what the screen itself does).
void replay(QWidget* field, Im im, const QString& recording)
{
    using A = QInputMethodEvent::Attribute;
    for (const QString& step : recording.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar kind = step.at(0);
        if (step.startsWith(QLatin1String("t:"))) {
            for (QChar c : step.mid(2))
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
            continue;
        }
        if (step.startsWith(QLatin1String("f:"))) {
            field->window()->findChild<QWidget*>(step.mid(2))->setFocus(Qt::OtherFocusReason);
            continue;
        }
        if (step.startsWith(QLatin1String("c:"))) {
            QApplication::clipboard()->setText(step.mid(2));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            continue;
        }
        if (step == QLatin1String("=_") || step == QLatin1String("=__")) {
            QInputMethodEvent event;
            event.setCommitString(step == QLatin1String("=_") ? QStringLiteral("　") : QStringLiteral(" "));
            QApplication::sendEvent(field, &event);
            continue;
        }
        if (kind == QLatin1Char('^') || kind == QLatin1Char('v')) {
            const QString name = step.mid(1);
            const QKeyCombination key = name == QLatin1String("Shift")  ? QKeyCombination(Qt::Key_Shift)
                                        : name == QLatin1String("Ctrl") ? QKeyCombination(Qt::Key_Control)
                                                                        : QKeySequence(name)[0];
            const QString text = name.size() == 1 ? name : name == QLatin1String("Space") ? " " : "";
            QKeyEvent event(kind == QLatin1Char('^') ? QEvent::KeyRelease : QEvent::KeyPress, key.key(),
                            key.keyboardModifiers(), text);
            QApplication::sendEvent(field, &event);
            continue;
        }
        QString preedit = kind == QLatin1Char('p') ? step.mid(2) : QString();
        QList<A> attributes;
        const qsizetype open = preedit.indexOf(QLatin1Char('['));
        const qsizetype close = preedit.indexOf(QLatin1Char(']')) - 1;
        preedit.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const int size = static_cast<int>(preedit.size());
        const int from = static_cast<int>(open < 0 ? size : open);
        const int to = static_cast<int>(open < 0 ? size : close);
        if (from > 0)
            attributes << A(QInputMethodEvent::TextFormat, 0, from, segmentFormat(im, false));
        if (to > from)
            attributes << A(QInputMethodEvent::TextFormat, from, to - from, segmentFormat(im, true));
        if (size > to)
            attributes << A(QInputMethodEvent::TextFormat, to, size - to, segmentFormat(im, false));
        if (size > 0 || (kind == QLatin1Char('0') && im == Im::Fcitx5))
            attributes << A(QInputMethodEvent::Cursor, open < 0 ? size : from, 1,
                            im == Im::Ibus ? QVariant() : QVariant(0));
        QInputMethodEvent event(preedit, attributes);
        if (kind == QLatin1Char('='))
            event.setCommitString(step.mid(1));
        QApplication::sendEvent(field, &event);
    }
}

class InputBehaviourTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        form = new Form;
        form->setAttribute(Qt::WA_DeleteOnClose);
    }
    void TearDown() override
    {
        StopReadingCapture();
        CloseAllScreens();
    }
    Form* form = nullptr;
};

// --- input-method modes ------------------------------------------------------------------

TEST_F(InputBehaviourTest, ModesDecideWhetherTheInputMethodMayAct)
{
    SetImeMode(form->zip, ImeOff);
    SetImeMode(form->name, ImeHiragana);
    SetImeMode(form->reading, ImeHalfKatakana);
    EXPECT_EQ(ImeModeOf(form->zip), 2);
    EXPECT_EQ(ImeModeOf(form->name), 4);
    EXPECT_EQ(ImeModeOf(form->reading), 6);
    EXPECT_EQ(ImeModeOf(form->city), 0);
    EXPECT_FALSE(form->zip->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(form->name->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(form->reading->testAttribute(Qt::WA_InputMethodEnabled));
}

struct KanaCase
{
    const char16_t* typed;
    const char16_t* stored;
};

TEST_F(InputBehaviourTest, ModeSixTurnsTypedKanaIntoHalfWidthKatakana)
{
    const KanaCase cases[] = {
        {u"やまだ", u"ﾔﾏﾀﾞ"},
        {u"がっこう", u"ｶﾞｯｺｳ"},
        {u"ぱぴぷぺぽ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        {u"ゔぁいおりん", u"ｳﾞｧｲｵﾘﾝ"},
        {u"ヴァイオリン", u"ｳﾞｧｲｵﾘﾝ"},
        {u"パーティー", u"ﾊﾟｰﾃｨｰ"},
        {u"ぁぃぅぇぉゃゅょっ", u"ｧｨｩｪｫｬｭｮｯ"},
        {u"ガギグゲゴザジズゼゾダヂヅデド", u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"},
        {u"ﾔﾏﾀﾞ", u"ﾔﾏﾀﾞ"},
        {u"ジョン・スミス", u"ｼﾞｮﾝ･ｽﾐｽ"},
        // Nothing but half-width katakana and blanks: not the kanji or letters an input method may
        // commit, nor digits.
        {u"ﾔﾏﾀﾞ 山田 AB12ｎ", u"ﾔﾏﾀﾞ  "},
    };
    form->open();
    SetImeMode(form->reading, ImeHalfKatakana);
    form->reading->setFocus();
    for (const KanaCase& c : cases) {
        form->reading->clear();
        typeText(form->reading, QString::fromUtf16(c.typed));
        EXPECT_EQ(form->reading->text(), QString::fromUtf16(c.stored))
            << QString::fromUtf16(c.typed).toStdString();
        EXPECT_EQ(form->reading->cursorPosition(), form->reading->text().size());
    }
}

TEST_F(InputBehaviourTest, ModeSixConvertsCommitsAndPastesAndCutsAtTheLimit)
{
    form->open();
    SetImeMode(form->reading, ImeHalfKatakana);
    form->reading->setMaxLength(10);
    form->reading->setFocus();

    sendPreedit(form->reading, "たろう");
    sendCommit(form->reading, "たろう");
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾀﾛｳ"));

    form->reading->clear();
    QApplication::clipboard()->setText(QStringLiteral("がぎぐげござじずぜぞ"));
    QTest::keyClick(form->reading, Qt::Key_V, Qt::ControlModifier);
    // Ten voiced kana make twenty half-width characters; the field keeps its first ten.
    EXPECT_EQ(form->reading->text(), QStringLiteral("ｶﾞｷﾞｸﾞｹﾞｺﾞ"));
    EXPECT_EQ(form->reading->text().size(), 10);
}

TEST_F(InputBehaviourTest, ModeSixKeepsTheCaretBehindWhatWasEnteredAndSignalsOnlyConvertedText)
{
    form->open();
    SetImeMode(form->reading, ImeHalfKatakana);
    form->reading->setFocus();
    QSignalSpy changed(form->reading, &QLineEdit::textChanged);
    typeText(form->reading, QStringLiteral("あい"));
    QTest::keyClick(form->reading, Qt::Key_Home);
    typeText(form->reading, QStringLiteral("が"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("ｶﾞｱｲ"));
    EXPECT_EQ(form->reading->cursorPosition(), 2);
    QStringList seen;
    for (const QList<QVariant>& args : changed)
        seen << args.at(0).toString();
    EXPECT_EQ(seen, QStringList({"ｱ", "ｱｲ", "ｶﾞｱｲ"}));
}

void paste(QLineEdit* field, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

bool acceptsInputMethod(QObject* field)
{
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(field, &query);
    return query.value(Qt::ImEnabled).toBool();
}

TEST_F(InputBehaviourTest, ModeTwoKeepsTheInputMethodOutWhateverTheModesBefore)
{
    form->open();
    SetImeMode(form->zip, ImeOff);
    SetImeMode(form->name, ImeHiragana);
    SetImeMode(form->reading, ImeHalfKatakana);
    for (int round = 0; round < 3; ++round) {
        for (QLineEdit* field : {form->name, form->zip, form->reading, form->zip}) {
            field->setFocus();
            ASSERT_EQ(QGuiApplication::focusObject(), field);
            // What the input-method plugins ask of the focused field.
            EXPECT_EQ(acceptsInputMethod(QGuiApplication::focusObject()), field != form->zip)
                << field->objectName().toStdString();
        }
    }
    SetImeMode(form->zip, ImeHiragana);
    EXPECT_TRUE(acceptsInputMethod(form->zip));
    SetImeMode(form->zip, ImeOff);
    EXPECT_FALSE(acceptsInputMethod(form->zip));
    EXPECT_TRUE(acceptsInputMethod(form->city));
}

TEST_F(InputBehaviourTest, ModeTwoNarrowsFullWidthAsciiAndCountsTheNarrowedText)
{
    form->open();
    SetImeMode(form->zip, ImeOff);
    form->zip->setFocus();
    typeText(form->zip, QStringLiteral("１００－０００１"));
    EXPECT_EQ(form->zip->text(), QStringLiteral("100-0001"));
    // An input method that composes anyway, or delivers a conversion meant for another field,
    // gets nothing in; the keys typed after it still do.
    form->zip->clear();
    sendPreedit(form->zip, QStringLiteral("１２３"));
    sendCommit(form->zip, QStringLiteral("１２３"));
    sendCommit(form->zip, QStringLiteral("マツダ"));
    EXPECT_EQ(form->zip->text(), QString());
    typeText(form->zip, QStringLiteral("１２"));
    EXPECT_EQ(form->zip->text(), QStringLiteral("12"));
    form->zip->clear();
    paste(form->zip, QStringLiteral("ＡＢ　１２３４５６７"));
    EXPECT_EQ(form->zip->text(), QStringLiteral("AB 12345"));
    // Other modes keep full-width letters.
    SetImeMode(form->name, ImeHiragana);
    form->name->setFocus();
    typeText(form->name, QStringLiteral("ＡＢ１"));
    EXPECT_EQ(form->name->text(), QStringLiteral("ＡＢ１"));
}

TEST_F(InputBehaviourTest, SingleLineFieldsTakePrintableTextOnly)
{
    struct Case
    {
        const char16_t* pasted;
        const char16_t* kept;
    };
    const Case cases[] = {
        {u"L1\nL2", u"L1 L2"},
        {u"L1\r\nL2\r\n", u"L1 L2 "},
        {u"a\tb", u"a b"},
        {u"a\u0001b\u007Fc\u001B", u"abc"},
    };
    form->open();
    SetImeMode(form->name, ImeHiragana);
    form->name->setFocus();
    for (const Case& c : cases) {
        form->name->clear();
        paste(form->name, QString::fromUtf16(c.pasted));
        EXPECT_EQ(form->name->text(), QString::fromUtf16(c.kept));
    }
    // Also a field that was given no mode, and text set by the program.
    form->city->setText(QStringLiteral("x\ny\u0002"));
    EXPECT_EQ(form->city->text(), QStringLiteral("x y"));
}

TEST_F(InputBehaviourTest, LimitsCountCharactersAndNeverCutOneInHalf)
{
    const QString nineteen(19, QChar(0x3042));
    struct Case
    {
        QString pasted;
        QString kept;
    };
    const Case cases[] = {
        {nineteen + QStringLiteral("😀x"), nineteen + QStringLiteral("😀")},
        {nineteen + QStringLiteral("か\u3099"), nineteen},
        {QStringLiteral("😀").repeated(25), QStringLiteral("😀").repeated(20)},
    };
    form->open();
    SetImeMode(form->name, ImeHiragana);
    form->name->setFocus();
    EXPECT_EQ(FieldLimit(form->name), 20);
    for (const Case& c : cases) {
        form->name->clear();
        paste(form->name, c.pasted);
        EXPECT_EQ(form->name->text(), c.kept);
    }
    // A full field refuses what is typed before its end, and keeps its own text.
    form->name->setText(QString(20, QLatin1Char('A')));
    QTest::keyClick(form->name, Qt::Key_Home);
    typeText(form->name, QStringLiteral("😀"));
    EXPECT_EQ(form->name->text(), QString(20, QLatin1Char('A')));
    // Text set by the program keeps to the same rule.
    SetFieldLimit(form->city, 20);
    form->city->setText(nineteen + QStringLiteral("😀x"));
    EXPECT_EQ(form->city->text(), nineteen + QStringLiteral("😀"));
    EXPECT_EQ(FieldLimit(form->city), 20);
    SetFieldLimit(form->city, 5);
    EXPECT_EQ(form->city->text(), QString(5, QChar(0x3042)));
    // A limit set after the mode holds from the next focus on.
    form->zip->setFocus();
    form->name->setMaxLength(3);
    form->name->setFocus();
    EXPECT_EQ(FieldLimit(form->name), 3);
    form->name->clear();
    paste(form->name, QStringLiteral("😀😀😀😀"));
    EXPECT_EQ(form->name->text(), QStringLiteral("😀😀😀"));
}

TEST_F(InputBehaviourTest, ModeSixJoinsCombiningVoicedMarksAlsoWhenTheyComeAlone)
{
    form->open();
    SetImeMode(form->reading, ImeHalfKatakana);
    form->reading->setFocus();
    paste(form->reading, QStringLiteral("か\u3099っこう"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("ｶﾞｯｺｳ"));
    form->reading->clear();
    typeText(form->reading, QStringLiteral("は"));
    paste(form->reading, QStringLiteral("\u309A"));
    typeText(form->reading, QStringLiteral("ン"));
    paste(form->reading, QStringLiteral("\u3099"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾊﾟﾝﾞ"));
}

TEST_F(InputBehaviourTest, LeavingModeSixStopsTheConversion)
{
    form->open();
    SetImeMode(form->reading, ImeHalfKatakana);
    SetImeMode(form->reading, ImeHiragana);
    SetImeMode(form->name, ImeHiragana);
    form->reading->setFocus();
    typeText(form->reading, QStringLiteral("やまだ"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("やまだ"));
    form->name->setFocus();
    typeText(form->name, QStringLiteral("かな"));
    EXPECT_EQ(form->name->text(), QStringLiteral("かな"));
}

// --- select-all on focus ------------------------------------------------------------------

TEST_F(InputBehaviourTest, FocusGainSelectsTheWholeTextSoThatTypingReplacesIt)
{
    form->input->selectAllOnFocus({form->name, form->zip});
    form->zip->setText("ABC");
    form->open();
    form->name->setFocus();
    form->zip->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(form->zip->selectedText(), QStringLiteral("ABC"));
    EXPECT_EQ(form->zip->cursorPosition(), 0);
    QTest::keyClicks(form->zip, "X");
    EXPECT_EQ(form->zip->text(), QStringLiteral("X"));
}

TEST_F(InputBehaviourTest, SelectionSurvivesTheClickThatGaveTheFocus)
{
    form->input->selectAllOnFocus(form->zip);
    form->zip->setText("1234567");
    form->open();
    form->name->setFocus();
    const QPoint middle(form->zip->width() / 2, form->zip->height() / 2);
    QTest::mouseClick(form->zip, Qt::LeftButton, {}, middle);
    ASSERT_EQ(QApplication::focusWidget(), form->zip);
    EXPECT_EQ(form->zip->selectedText(), QStringLiteral("1234567"));
    EXPECT_EQ(form->zip->cursorPosition(), 0);

    // Once focused, a click places the caret as usual.
    QTest::mouseClick(form->zip, Qt::LeftButton, {}, QPoint(2, middle.y()));
    EXPECT_FALSE(form->zip->hasSelectedText());
}

TEST_F(InputBehaviourTest, FieldsWithoutTheRuleKeepThePlatformBehaviour)
{
    form->zip->setText("1234567");
    form->open();
    form->name->setFocus();
    QTest::mouseClick(form->zip, Qt::LeftButton, {}, QPoint(2, form->zip->height() / 2));
    ASSERT_EQ(QApplication::focusWidget(), form->zip);
    EXPECT_FALSE(form->zip->hasSelectedText());
}

// --- focus hooks --------------------------------------------------------------------------

TEST_F(InputBehaviourTest, FocusLossOfOneFieldRunsBeforeFocusGainOfTheNext)
{
    QStringList log;
    form->input->onFocusIn(form->name, [&] { log << "in name"; });
    form->input->onFocusOut(form->name, [&] { log << "out name"; });
    form->input->onFocusIn(form->zip, [&] {
        log << QStringLiteral("in zip, focus on %1").arg(QApplication::focusWidget()->objectName());
    });
    form->open();
    form->name->setFocus();
    form->zip->setFocus();
    EXPECT_EQ(log, QStringList({"in name", "out name", "in zip, focus on zip"}));
}

TEST_F(InputBehaviourTest, ParkingThroughTheHiddenFieldRunsBothHooksAgain)
{
    int gains = 0;
    int losses = 0;
    form->input->selectAllOnFocus(form->name);
    form->input->onFocusIn(form->name, [&] { ++gains; });
    form->input->onFocusOut(form->name, [&] { ++losses; });
    form->open();
    form->name->setFocus();
    form->name->setText("山田");
    form->name->setCursorPosition(1);
    form->hidden->setFocus();
    form->name->setFocus();
    EXPECT_EQ(gains, 2);
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(form->name->selectedText(), QStringLiteral("山田"));
}

TEST_F(InputBehaviourTest, APopupOrAnotherWindowIsNoFocusLoss)
{
    int gains = 0;
    int losses = 0;
    form->input->selectAllOnFocus(form->name);
    form->input->onFocusIn(form->name, [&] { ++gains; });
    form->input->onFocusOut(form->name, [&] { ++losses; });
    form->open();
    form->name->setFocus();
    form->name->setText("山田太郎");
    form->name->setCursorPosition(2);

    auto* menu = new QMenu(form);
    menu->addAction("貼り付け");
    menu->popup(form->name->mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(PollUntil([&] { return menu->isVisible(); }, 3000, "the menu shown"));
    menu->close();
    ASSERT_TRUE(PollUntil([&] { return !menu->isVisible(); }, 3000, "the menu closed"));

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(form);
    PollUntil([&] { return QApplication::focusWidget() == form->name; }, 3000, "the focus back in the name");
    EXPECT_EQ(QApplication::focusWidget(), form->name);

    EXPECT_EQ(gains, 1);
    EXPECT_EQ(losses, 0);
    // The caret stays where the user put it: a paste from the context menu goes there.
    EXPECT_FALSE(form->name->hasSelectedText());
    EXPECT_EQ(form->name->cursorPosition(), 2);

    form->zip->setFocus();
    EXPECT_EQ(losses, 1);
}

// --- Enter order --------------------------------------------------------------------------

class EnterOrderTest : public InputBehaviourTest
{
  protected:
    void SetUp() override
    {
        InputBehaviourTest::SetUp();
        Form* f = form;
        f->input->setEnterOrder({
            {f->name, {f->reading}},
            {f->reading, {f->zip}},
            {f->zip, {f->list}},
            {f->list, {f->city}},
            {f->hidden, {f->city}},
            {f->city, {f->button, f->name}},
        });
        form->open();
    }
    QWidget* focusAfterEnter(QWidget* from, Qt::Key key = Qt::Key_Return)
    {
        from->setFocus();
        QTest::keyClick(from, key);
        return QApplication::focusWidget();
    }
};

TEST_F(EnterOrderTest, BothEnterKeysMoveAlongTheTable)
{
    EXPECT_EQ(focusAfterEnter(form->name), form->reading);
    EXPECT_EQ(focusAfterEnter(form->reading, Qt::Key_Enter), form->zip);
    EXPECT_EQ(focusAfterEnter(form->zip), form->list);
    EXPECT_EQ(focusAfterEnter(form->list), form->city);
    EXPECT_EQ(focusAfterEnter(form->list, Qt::Key_Enter), form->city);
    EXPECT_EQ(focusAfterEnter(form->hidden), form->city);
}

TEST_F(EnterOrderTest, AnUnavailableNextFieldFallsBackToTheFollowingOne)
{
    EXPECT_EQ(focusAfterEnter(form->city), form->button);
    form->button->setEnabled(false);
    EXPECT_EQ(focusAfterEnter(form->city), form->name);
    form->button->setEnabled(true);
    form->button->hide();
    EXPECT_EQ(focusAfterEnter(form->city), form->name);
}

TEST_F(EnterOrderTest, TheEnterCharacterNeverReachesTheField)
{
    QSignalSpy returned(form->name, &QLineEdit::returnPressed);
    form->name->setText("山田");
    focusAfterEnter(form->name);
    focusAfterEnter(form->name, Qt::Key_Enter);
    EXPECT_EQ(returned.count(), 0);
    EXPECT_EQ(form->name->text(), QStringLiteral("山田"));
}

TEST_F(EnterOrderTest, ListSelectionIsKeptWhenEnterMovesOn)
{
    form->list->setFocus();
    QTest::keyClick(form->list, Qt::Key_Down);
    ASSERT_EQ(form->list->currentIndex(), 1);
    QTest::keyClick(form->list, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->city);
    EXPECT_EQ(form->list->currentIndex(), 1);
}

TEST_F(EnterOrderTest, OtherKeysKeepTheirMeaning)
{
    form->name->setFocus();
    QTest::keyClick(form->name, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->reading);
    QTest::keyClicks(form->reading, "AB");
    QTest::keyClick(form->reading, Qt::Key_Left);
    EXPECT_EQ(form->reading->cursorPosition(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->reading);
}

TEST_F(EnterOrderTest, ASwallowReplacesTheMove)
{
    form->input->swallowEnter(form->button);
    QSignalSpy clicked(form->button, &QPushButton::clicked);
    EXPECT_EQ(focusAfterEnter(form->button), form->button);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(EnterOrderTest, EnterRunsTheFocusHooksOfBothFields)
{
    QStringList log;
    form->input->onFocusOut(form->name, [&] { log << "out name"; });
    form->input->onFocusIn(form->reading, [&] { log << "in reading"; });
    form->input->selectAllOnFocus(form->reading);
    form->reading->setText("ﾔﾏﾀﾞ");
    focusAfterEnter(form->name);
    EXPECT_EQ(log, QStringList({"out name", "in reading"}));
    EXPECT_EQ(form->reading->selectedText(), QStringLiteral("ﾔﾏﾀﾞ"));
}

// --- reading capture ----------------------------------------------------------------------

TEST_F(InputBehaviourTest, EachCommittedConversionYieldsItsReadingOnceInOrder)
{
    form->open();
    form->name->setFocus();
    StartReadingCapture(form->name);
    typeYamada(form->name);
    EXPECT_EQ(ReadingText(), QStringLiteral("ﾔﾏﾀﾞ"));
    typeTarou(form->name);
    StopReadingCapture();
    EXPECT_EQ(form->name->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(ReadingText(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
}

TEST_F(InputBehaviourTest, AbandonedCompositionYieldsNothing)
{
    form->open();
    form->name->setFocus();
    StartReadingCapture(form->name);
    sendPreedit(form->name, "やまだ");
    sendPreedit(form->name, "山田");
    sendPreedit(form->name, ""); // cancelled
    EXPECT_EQ(ReadingText(), QString());
    // A later commit without a kana composition of its own gets no stale reading.
    sendCommit(form->name, "様");
    StopReadingCapture();
    EXPECT_EQ(ReadingText(), QString());
    EXPECT_EQ(form->name->text(), QStringLiteral("様"));
}

TEST_F(InputBehaviourTest, KanaCommitsAndMixedConversionsGiveTheirReading)
{
    struct Case
    {
        QStringList compositions;
        QString commit;
        QString reading;
    };
    const Case cases[] = {
        {{"す", "すず", "すずき"}, "すずき", "ｽｽﾞｷ"},
        {{"か", "かた", "かたか", "かたかな", "カタカナ"}, "カタカナ", "ｶﾀｶﾅ"},
        {{"や", "やま", "やまだ", "やまださ", "やまださん", "山田さん"}, "山田さん", "ﾔﾏﾀﾞｻﾝ"},
        {{"ぶ", "ぶら", "ぶらん", "ぶらんど", "ぶらんどー", "ブランドー"}, "ブランドー", "ﾌﾞﾗﾝﾄﾞｰ"},
        {{"a", "ab"}, "ab", ""},
    };
    form->open();
    form->name->setFocus();
    for (const Case& c : cases) {
        StartReadingCapture(form->name);
        for (const QString& p : c.compositions)
            sendPreedit(form->name, p);
        sendCommit(form->name, c.commit);
        StopReadingCapture();
        EXPECT_EQ(ReadingText(), c.reading) << c.commit.toStdString();
    }
}

TEST_F(InputBehaviourTest, PartOfACompositionCommittedGivesOnlyItsOwnReading)
{
    form->open();
    form->name->setFocus();
    StartReadingCapture(form->name);
    for (const char* p : {"や", "やま", "やまだ", "やまだた", "やまだたろ", "やまだたろう", "山田たろう"})
        sendPreedit(form->name, p);
    sendCommit(form->name, "山田", "たろう");
    sendPreedit(form->name, "太郎");
    sendCommit(form->name, "太郎");
    StopReadingCapture();
    EXPECT_EQ(form->name->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(ReadingText(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
}

TEST_F(InputBehaviourTest, OnlyTheWatchedFieldBetweenStartAndStopIsCaptured)
{
    form->open();
    form->name->setFocus();
    StartReadingCapture(form->name);
    typeYamada(form->city);
    typeYamada(form->name);
    StopReadingCapture();
    typeTarou(form->name);
    EXPECT_EQ(ReadingText(), QStringLiteral("ﾔﾏﾀﾞ"));
    StartReadingCapture(form->name);
    EXPECT_EQ(ReadingText(), QString());
}

class NameReadingTest : public InputBehaviourTest
{
  protected:
    void SetUp() override
    {
        InputBehaviourTest::SetUp();
        SetImeMode(form->name, ImeHiragana);
        SetImeMode(form->reading, ImeHiragana);
        AttachReadingCapture(*form->input, form->name, form->reading);
        form->input->setEnterOrder({{form->name, {form->reading}}});
        form->open();
        form->zip->setFocus();
    }
    void leaveName() { QTest::keyClick(form->name, Qt::Key_Return); }
};

TEST_F(NameReadingTest, NameTypedThroughTheInputMethodFillsTheReading)
{
    form->name->setFocus();
    typeYamada(form->name);
    leaveName();
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    EXPECT_EQ(ImeModeOf(form->reading), 6);
}

TEST_F(NameReadingTest, TwoConversionsAndTwoVisitsAreAppended)
{
    form->name->setFocus();
    typeYamada(form->name);
    typeTarou(form->name);
    leaveName();
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));

    form->name->setFocus();
    form->name->end(false);
    convert(form->name, {"さ", "さま"}, "様");
    leaveName();
    EXPECT_EQ(form->name->text(), QStringLiteral("山田太郎様"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳｻﾏ"));
}

TEST_F(NameReadingTest, LeavingWithoutACommitChangesNothing)
{
    form->reading->setText("ｽｽﾞｷ");
    form->name->setText("鈴木");
    QSignalSpy changed(form->reading, &QLineEdit::textChanged);
    form->name->setFocus();
    form->name->end(false);
    QTest::keyClicks(form->name, "abc"); // direct input, no reading to capture
    sendPreedit(form->name, "やま");
    sendPreedit(form->name, "");
    leaveName();
    EXPECT_EQ(form->reading->text(), QStringLiteral("ｽｽﾞｷ"));
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(NameReadingTest, EmptiedNameEmptiesTheReadingAtOnceAndARetypedNameStartsAfresh)
{
    form->name->setFocus();
    typeYamada(form->name);
    leaveName();
    ASSERT_EQ(form->reading->text(), QStringLiteral("ﾔﾏﾀﾞ"));

    form->name->setFocus(); // selects the whole name
    QTest::keyClick(form->name, Qt::Key_Delete);
    EXPECT_EQ(form->name->text(), QString());
    EXPECT_EQ(form->reading->text(), QString());
    typeTarou(form->name);
    leaveName();
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾀﾛｳ"));
}

TEST_F(NameReadingTest, ReadingTypedByHandInModeSixIsHalfWidth)
{
    form->name->setFocus();
    leaveName();
    ASSERT_EQ(QApplication::focusWidget(), form->reading);
    typeText(form->reading, QStringLiteral("たなか"));
    EXPECT_EQ(form->reading->text(), QStringLiteral("ﾀﾅｶ"));
}

struct RecordedFlow
{
    const char* typed;
    const char16_t* recording;
    const char16_t* name;
    const char16_t* reading;
    bool needsLook;
    // The fields as the name gains the focus.
    const char16_t* nameBefore = u"";
    const char16_t* readingBefore = u"";
};

// The sessions of the end-to-end test, as ibus and fcitx5 delivered them (the same events but
// for their formats and empty events).
const RecordedFlow kRecordedFlows[] = {
    {"ken Space Return", u"p:ｋ ^k p:け ^e p:けｎ ^n p:[県] ^Space =県 0", u"県", u"ｹﾝ", false},
    {"shun Space Return", u"p:ｓ ^s p:ｓｈ ^h p:しゅ ^u p:しゅｎ ^n p:[旬] ^Space =旬 0", u"旬", u"ｼｭﾝ",
     false},
    // A letter committed as typed has no reading: what is known is kept, and marked.
    {"ken Return, unconverted", u"p:ｋ ^k p:け ^e p:けｎ ^n =けｎ 0", u"けｎ", u"ｹ", true},
    {"yamadahanako Space Ctrl+Down Escape Space Return",
     u"p:や ^a p:やま ^a p:やまだ ^a p:やまだは ^a p:やまだはな ^a p:やまだはなこ ^o p:[山田]花子 ^Space "
     u"vCtrl "
     u"=山田 p:[花子] ^Ctrl ^Down p:はなこ ^Esc p:[花子] ^Space =花子 0",
     u"山田花子", u"ﾔﾏﾀﾞﾊﾅｺ", false},
    {"yamadatarou Space Right Space Return",
     u"p:やまだたろう ^u p:[山田]太郎 ^Space p:山田[太郎] ^Right p:山田[タロウ] ^Space =山田タロウ 0",
     u"山田タロウ", u"ﾔﾏﾀﾞﾀﾛｳ", false},
    {"yamada Space tarou Space Return",
     u"p:やまｄ ^d p:やまだ ^a p:[山田] ^Space =山田 p:ｔ ^t p:た ^a p:たろう ^u p:[太郎] ^Space =太郎 0",
     u"山田太郎", u"ﾔﾏﾀﾞﾀﾛｳ", false},
    // A prediction's reading goes on beyond the kana typed: the dictionary's, marked.
    {"takaha Tab Return", u"p:たか ^a p:たかｈ ^h p:たかは ^a p:[高橋] ^Tab =高橋 0", u"高橋", u"ﾀｶﾊｼ", true},
    {"watana Down Return", u"p:わたｎ ^n p:わたな ^a p:[渡辺] ^Down =渡辺 0", u"渡辺", u"ﾜﾀﾅﾍﾞ", true},
    // The rest of a conversion cut into keeps its part of the reading where that part is told: by
    // the dictionary's readings of what was taken out (事: ｼﾞ), or by a conversion put in its place
    // that reads as that part did.
    {"satou, kenji, Shift+Left over one character, ichi",
     u"p:さとう ^u p:[砂糖] ^Space =砂糖 0 =　 ^Space p:けんじ ^i p:[検事] ^Space =検事 0 vShift vShift+Left "
     u"^Shift ^Left "
     u"p:い ^i p:いち ^i p:[位置] ^Space =位置 0",
     u"砂糖　検位置", u"ｻﾄｳ ｹﾝｲﾁ", false},
    {"ichigaya Space Return, Home, Shift+Right, ichi Space Return",
     u"p:いちがや ^a p:[市ヶ谷] ^Space =市ヶ谷 0 vHome ^Home vShift+Right ^Shift ^Right p:い ^i p:いち ^i "
     u"p:[一] "
     u"^Space =一 0",
     u"一ヶ谷", u"ｲﾁｶﾞﾔ", false},
    {"ichigaya Space Return, Left, Shift+Left, ga Return",
     u"p:いちがや ^a p:[市ヶ谷] ^Space =市ヶ谷 0 vLeft ^Left vShift+Left ^Shift ^Left p:が ^a =が 0",
     u"市が谷", u"ｲﾁｶﾞﾔ", false},
    {"satou, kenji, Shift+Left over the whole conversion, ichi",
     u"p:さとう ^u p:[砂糖] ^Space =砂糖 0 =　 ^Space p:けんじ ^i p:[検事] ^Space =検事 0 vShift vShift+Left "
     u"^Left "
     u"vShift+Left "
     u"^Shift ^Left p:い ^i p:いち ^i p:[位置] ^Space =位置 0",
     u"砂糖　位置", u"ｻﾄｳ ｲﾁ", false},
    // ibus's Qt plugin commits the kana of a cancelled composition when the focus leaves.
    {"satou Space Escape Escape, then the focus leaves",
     u"p:さとう ^u p:[砂糖] ^Space p:さとう ^Esc 0 ^Esc =さとう", u"", u"", false},
    // A conversion to letters keeps the kana it converted as its reading.
    {"enutiitii Space, deeta F7",
     u"p:えぬてぃーてぃ ^i p:えぬてぃーてぃー ^- p:[NTT] ^Space =NTT 0 p:でー ^- p:でーた ^a p:[データ] ^F7 "
     u"=データ 0",
     u"NTTデータ", u"ｴﾇﾃｨｰﾃｨｰﾃﾞｰﾀ", false},
    {"yamada F9 Return, hanako Return",
     u"p:やまだ ^a p:[ｙａｍａｄａ] ^F9 =ｙａｍａｄａ 0 p:はなこ ^o =はなこ 0", u"ｙａｍａｄａはなこ",
     u"ﾔﾏﾀﾞﾊﾅｺ", false},
    {"yamada F10 Return", u"p:やまだ ^a p:[yamada] ^F10 =yamada 0", u"yamada", u"ﾔﾏﾀﾞ", false},
    // Letters typed with Shift in the composition, or with the input method off: no reading from
    // the input method; the dictionary's, marked.
    {"Shift+a Shift+b Shift+c Return, sangyou Space Return",
     u"p:A ^Shift p:AB ^Shift p:ABC =ABC 0 p:さんぎょう ^u p:[産業] ^Space =産業 0", u"ABC産業",
     u"ｴｲﾋﾞｰｼｰｻﾝｷﾞｮｳ", true},
    {"ABC with the input method off, sangyou Space Return", u"t:ABC p:さんぎょう ^u p:[産業] ^Space =産業 0",
     u"ABC産業", u"ｴｲﾋﾞｰｼｰｻﾝｷﾞｮｳ", true},
    // Pasted text: the dictionary's reading of it, marked.
    {"yamada Space Return, 太郎 pasted", u"p:やまだ ^a p:[山田] ^Space =山田 0 c:太郎", u"山田太郎",
     u"ﾔﾏﾀﾞﾀﾛｳ", true},
    {"田中 pasted, ichirou Space Return", u"c:田中 p:いちろう ^u p:[一郎] ^Space =一郎 0", u"田中一郎",
     u"ﾀﾅｶｲﾁﾛｳ", true},
    // A reading longer than its field is cut there, and marked.
    {"hokkaidou, ryokakutetsudou, kabushikigaisha, hakodateshisha, eigyoubu, each Space Return",
     u"p:ほっかいどう ^u p:[北海道] ^Space =北海道 0 p:りょかくてつどう ^u p:[旅客鉄道] ^Space =旅客鉄道 0 "
     u"p:かぶしきがいしゃ ^a p:[株式会社] ^Space =株式会社 0 p:はこだてししゃ ^a p:[函館支社] ^Space "
     u"=函館支社 0 "
     u"p:えいぎょうぶ ^u p:[営業部] ^Space =営業部 0",
     u"北海道旅客鉄道株式会社函館支社営業部", u"ﾎｯｶｲﾄﾞｳﾘｮｶｸﾃﾂﾄﾞｳｶﾌﾞｼｷｶﾞｲｼｬﾊｺﾀﾞﾃｼｼｬｴｲｷﾞｮｳ", true},
    // A blank between surname and given name is one half-width blank in the reading.
    {"yamada Space Return, Space, tarou Space Return",
     u"p:やまだ ^a p:[山田] ^Space =山田 0 =_ ^Space p:たろう ^u p:[太郎] ^Space =太郎 0", u"山田　太郎",
     u"ﾔﾏﾀﾞ ﾀﾛｳ", false},
    {"yamada Space Return, Shift+Space, tarou Space Return",
     u"p:やまだ ^a p:[山田] ^Space =山田 0 =__ ^Shift ^Space p:たろう ^u p:[太郎] ^Space =太郎 0",
     u"山田 太郎", u"ﾔﾏﾀﾞ ﾀﾛｳ", false},
    // Re-converting the whole name keeps its reading, whether or not the input method shows it.
    {"yamada Space Return, Shift+Home, Henkan, Return",
     u"p:やまだ ^a p:[山田] ^Space =山田 0 vShift+Home ^Shift ^Home p:[山田] ^Henkan =山田 0", u"山田",
     u"ﾔﾏﾀﾞ", false},
    {"yamada Space Return, Shift+Home, Henkan, Space, Return",
     u"p:やまだ ^a p:[山田] ^Space =山田 0 vShift+Home ^Shift ^Home p:[ヤマダ] ^Henkan p:[山田] ^Space =山田 "
     u"0",
     u"山田", u"ﾔﾏﾀﾞ", false},
    // ヶ typed as kana reads ｹ, as no name does: the dictionary's reading of the word, else ｶﾞ; marked.
    {"kasumi Space Return, xke Return, seki Space Return",
     u"p:か ^a p:かす ^u p:かすみ ^i p:[霞] ^Space =霞 0 p:ｘ ^x p:ｘｋ ^k p:ヶ ^e =ヶ 0 p:せ ^e p:せき ^i "
     u"p:[関] "
     u"^Space =関 0",
     u"霞ヶ関", u"ｶｽﾐｶﾞｾｷ", true},
    {"ichi Space Return, xke Return, tani Space Return",
     u"p:い ^i p:いち ^i p:[一] ^Space =一 0 p:ｘ ^x p:ｘｋ ^k p:ヶ ^e =ヶ 0 p:た ^a p:たに ^i p:[谷] ^Space "
     u"=谷 0",
     u"一ヶ谷", u"ｲﾁｶﾞﾀﾆ", true},
    // A reading typed before the name is the user's: kept, and marked where the name reads otherwise.
    {"reading typed first, yamada Space Return Space hanako Space Return",
     u"p:やまだ ^a p:[山田] ^Space =山田 0 =_ ^Space p:はなこ ^o p:[花子] ^Space =花子 0", u"山田　花子",
     u"ﾔﾏﾀﾞ ﾊﾅｺ", false, u"", u"ﾔﾏﾀﾞ ﾊﾅｺ"},
    {"reading typed first, yamadahanako Space Return", u"p:やまだはなこ ^o p:[山田花子] ^Space =山田花子 0",
     u"山田花子", u"ﾔﾏﾀﾞ", true, u"", u"ﾔﾏﾀﾞ"},
    // Letters typed over the whole name: the old reading goes with it.
    {"Smith typed over the name with the input method off", u"t:Smith", u"Smith", u"", true, u"佐々木　健",
     u"ｻｻｷ ｹﾝ"},
    // A conversion left open by the save is committed again once the screen has put the focus
    // back on the name; it is no part of the next name.
    {"kimura Space, the save, yamadahanako Space Return",
     u"p:きむら ^a p:[木村] ^Space =木村 f:button f:hidden f:name =木村 p:やまだはなこ ^o p:[山田花子] "
     u"^Space "
     u"=山田花子 0",
     u"山田花子", u"ﾔﾏﾀﾞﾊﾅｺ", false},
    // A variation selector chooses a glyph; it is no part of the reading.
    {"辻󠄀本 pasted", u"c:辻󠄀本", u"辻󠄀本", u"ﾂｼﾞﾓﾄ", true},
};

TEST_F(NameReadingTest, RecordedSessionsGiveTheNameAndItsReading)
{
    for (Im im : {Im::Ibus, Im::Fcitx5}) {
        for (const RecordedFlow& flow : kRecordedFlows) {
            form->name->setText(QString::fromUtf16(flow.nameBefore));
            form->reading->setText(QString::fromUtf16(flow.readingBefore));
            form->zip->setFocus();
            form->name->setFocus();
            replay(form->name, im, QString::fromUtf16(flow.recording));
            leaveName();
            const std::string what = std::string(im == Im::Ibus ? "ibus: " : "fcitx5: ") + flow.typed;
            EXPECT_EQ(form->name->text(), QString::fromUtf16(flow.name)) << what;
            EXPECT_EQ(form->reading->text(), QString::fromUtf16(flow.reading)) << what;
            EXPECT_EQ(ReadingMarked(form->reading), flow.needsLook) << what;
        }
    }
}

TEST_F(NameReadingTest, ANameConvertedAgainOnALaterVisitKeepsItsReading)
{
    for (Im im : {Im::Ibus, Im::Fcitx5}) {
        form->name->setText(QStringLiteral("山田"));
        form->reading->setText(QStringLiteral("ﾔﾏﾀﾞ"));
        form->name->setFocus(); // selects the whole name
        // The conversion replaces the selection: the name, and with it the reading, is empty
        // until the commit.
        replay(form->name, im, QStringLiteral("p:[山田] ^Henkan"));
        EXPECT_EQ(form->reading->text(), QString());
        replay(form->name, im, QStringLiteral("=山田 0"));
        leaveName();
        EXPECT_EQ(form->name->text(), QStringLiteral("山田"));
        EXPECT_EQ(form->reading->text(), QStringLiteral("ﾔﾏﾀﾞ"));
        EXPECT_FALSE(ReadingMarked(form->reading));
        form->zip->setFocus();
    }
}

TEST_F(NameReadingTest, AReadingThatNeedsALookIsMarkedUntilTheUserHasBeenInIt)
{
    const QPalette plain = form->reading->palette();
    form->name->setFocus();
    replay(form->name, Im::Ibus, QStringLiteral("p:たかは ^a p:[高橋] ^Tab =高橋 0"));
    leaveName();
    ASSERT_EQ(QApplication::focusWidget(), form->reading);
    EXPECT_TRUE(ReadingMarked(form->reading));
    EXPECT_NE(form->reading->palette().color(QPalette::Base), plain.color(QPalette::Base));
    EXPECT_EQ(form->reading->toolTip(), QStringLiteral("フリガナを確認してください"));
    EXPECT_EQ(form->reading->selectedText(), QStringLiteral("ﾀｶﾊｼ"));
    form->zip->setFocus();
    EXPECT_FALSE(ReadingMarked(form->reading));

    // A conversion put before the name that the field had: its reading cannot go before the
    // reading already there.
    form->name->setFocus();
    form->name->home(false);
    replay(form->name, Im::Fcitx5, QStringLiteral("p:おお ^o p:[大] ^Space =大 0"));
    form->zip->setFocus();
    EXPECT_EQ(form->name->text(), QStringLiteral("大高橋"));
    // In the order of the name once the reading is looked at again.
    EXPECT_EQ(form->reading->text(), QStringLiteral("ｵｵﾀｶﾊｼ"));
    EXPECT_TRUE(ReadingMarked(form->reading));
    // Typing in the reading takes the mark away.
    form->reading->setFocus();
    typeText(form->reading, QStringLiteral("ｼ"));
    EXPECT_FALSE(ReadingMarked(form->reading));
}

// --- the rules on the real screens --------------------------------------------------------

class FieldRulesScreenTest : public ScreenTest
{
};

TEST_F(FieldRulesScreenTest, RegistrationStoresAPastedEmojiWholeAndLineBreaksAsBlanks)
{
    writeIni(QStringLiteral("Todoufuken1=13\r\n"));
    ASSERT_TRUE(openFromMenu(QStringLiteral("Frm020_Qel")));
    const QString nineteen(19, QChar(0x3042));
    txt(0)->setFocus();
    paste(txt(0), nineteen + QStringLiteral("😀x"));
    PressEnter();
    TypeKeys(txt(1), QStringLiteral("あ"));
    PressEnter();
    TypeKeys(txt(2), QStringLiteral("１００－０００１"));
    txt(4)->setFocus();
    paste(txt(4), QStringLiteral("千代田1-1"));
    txt(6)->setFocus();
    TypeKeys(txt(6), QStringLiteral("０３－１２３４－５６７８"));
    txt(10)->setFocus();
    paste(txt(10), QStringLiteral("L1\r\nL2\tX\u0001"));
    Click(cmd(0));
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前")), nineteen + QStringLiteral("😀"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_郵便番号")), QStringLiteral("100-0001"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_電話番号")),
              QStringLiteral("03-1234-5678"));
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_備考")), QStringLiteral("L1 L2 X"));
}

TEST_F(FieldRulesScreenTest, AConversionLeftOpenByAClickReachesTheNameOnly)
{
    writeIni(QStringLiteral("Todoufuken1=13\r\n"));
    ASSERT_TRUE(openFromMenu(QStringLiteral("Frm020_Qel")));
    struct Case
    {
        int field;
        const char* kept;
        // Typed into the field after the click, through the input method where the field has one.
        const char* typed;
        const char* then;
    };
    const Case cases[] = {
        {1, "ﾔﾏﾓﾄ", "あ", "ｱ"},
        {4, "ちよだ", "あ", "あ"},
        {2, "100-0001", "9", "9"},
    };
    for (const Case& c : cases) {
        txt(4)->setText(QStringLiteral("ちよだ"));
        txt(2)->setText(QStringLiteral("100-0001"));
        txt(3)->setFocus();
        txt(0)->setFocus();
        // ibus: the conversion is committed to the name as the click takes the focus away, and
        // once more to the field clicked.
        replay(txt(0), Im::Ibus, QStringLiteral("p:やまも ^o p:やまもと ^o p:[山本] ^Space =山本"));
        QTest::mouseClick(txt(c.field), Qt::LeftButton, {}, QPoint(5, txt(c.field)->height() / 2));
        ASSERT_EQ(focused(), txt(c.field));
        replay(txt(c.field), Im::Ibus, QStringLiteral("0 =山本"));
        EXPECT_EQ(txt(0)->text(), QStringLiteral("山本")) << c.field;
        EXPECT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾓﾄ")) << c.field;
        EXPECT_EQ(txt(c.field)->text(), QString::fromUtf8(c.kept)) << c.field;
        if (ImeModeOf(txt(c.field)) == ImeOff)
            TypeKeys(txt(c.field), QString::fromUtf8(c.typed));
        else
            replay(txt(c.field), Im::Ibus, QStringLiteral("p:%1 =%1 0").arg(QString::fromUtf8(c.typed)));
        EXPECT_EQ(txt(c.field)->text(), QString::fromUtf8(c.then)) << c.field;
    }
}

TEST_F(FieldRulesScreenTest, SalesEntryFindsAReadingPastedWithCombiningMarks)
{
    addCustomer(QStringLiteral("青木"), QStringLiteral("ｱｵｷ"));
    addCustomer(QStringLiteral("学校"), QStringLiteral("ｶﾞｯｺｳ"));
    addCustomer(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ"));
    ASSERT_TRUE(openFromMenu(QStringLiteral("Frm080_Qel")));
    QLineEdit* search = txt(3);
    search->setFocus();
    paste(search, QStringLiteral("か\u3099っこう"));
    EXPECT_EQ(search->text(), QStringLiteral("ｶﾞｯｺｳ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("学校"));

    // The mark alone, after the kana already converted.
    search->clear();
    TypeKeys(search, QStringLiteral("か"));
    paste(search, QStringLiteral("\u3099"));
    EXPECT_EQ(search->text(), QStringLiteral("ｶﾞ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("学校"));
}

} // namespace
