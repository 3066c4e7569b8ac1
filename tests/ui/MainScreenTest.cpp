#include "ui/MainScreen.h"
#include "ui/InputBehaviour.h"

#include "support/TestSupport.h"

#include "ui/FormBase.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <new>
#include <vector>

namespace {

class SampleScreen : public MainScreen
{
  public:
    SampleScreen() : MainScreen(QStringLiteral("Frm999_Qel"))
    {
        using K = ControlRow::Kind;
        BuildControls({
            {K::Label, "Lbl_Ttl", 14, QStringLiteral("題名"), 360, 240, 9255, 435},
            {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 9255, 375},
            {K::Label, "Lbl_Ttl", 12, QStringLiteral("登録完了"), 5220, 3660, 3675, 555},
            {K::Panel, "Picture1", -1, QString(), 360, 780, 9255, 5775},
            {K::Text, "Txt_Inp", 0, QString(), 2820, 300, 6135, 375, "Picture1"},
            {K::Text, "Txt_Inp", 3, QString(), 2820, -1000, 600, 375},
            {K::Button, "Cmd", 0, QStringLiteral("新規登録"), 360, 6720, 1815, 555},
        });
        Lbl_Ttl(12)->hide();
        input = new InputBehaviour(this);
        input->onFocusIn(Txt_Inp(0), [this] { ++focusGains; });
    }
    void LoadProc() override { ShowScreen(); }
    void flash() { FlashNotice({Lbl_Ttl(12)}, {Cmd(0)}); }
    void flashWithField() { FlashNotice({Lbl_Ttl(12)}, {Cmd(0), Txt_Inp(0)}); }
    void park() { ParkFocus(Txt_Inp(3), Txt_Inp(0)); }
    template <class F> bool run(F f) { return Guarded(f); }
    void Cmd_Click(int) override
    {
        if (onClick)
            onClick();
    }

    std::function<void()> onClick;
    InputBehaviour* input = nullptr;
    int focusGains = 0;
};

class MainScreenTest : public AppFixture
{
  protected:
    SampleScreen* open()
    {
        auto* screen = new SampleScreen;
        screen->LoadProc();
        QApplication::setActiveWindow(screen);
        return screen;
    }
};

TEST_F(MainScreenTest, GeometryInTwipsAndNamesOfTheControlArrays)
{
    SampleScreen* screen = open();
    EXPECT_EQ(screen->size(), QSize(781, 540));
    EXPECT_EQ(screen->pos(), QPoint(2, 2));
    EXPECT_EQ(screen->Lbl_Ttl(14)->geometry(), QRect(24, 16, 617, 29));
    EXPECT_EQ(screen->findChild<QLineEdit*>("Txt_Inp_0"), screen->Txt_Inp(0));
    EXPECT_EQ(screen->Txt_Inp(0)->parentWidget()->objectName(), QStringLiteral("Picture1"));
    EXPECT_LT(screen->Txt_Inp(3)->geometry().top(), 0);
    EXPECT_TRUE(screen->font().families().contains(QStringLiteral("IPAGothic")));
    EXPECT_EQ(screen->font().pointSizeF(), 12.0);
}

// The tests build the program with its checks on: a control asked for by an index that its array
// lacks stops at once instead of handing back nothing.
TEST(ControlArrayCheck, AnIndexWithoutAControlStops)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ControlArray<QWidget> controls;
    EXPECT_DEATH(controls(7), "no control at this index");
}

TEST_F(MainScreenTest, NoticeIsShownAndButtonsDisabledOnlyDuringTheWait)
{
    SampleScreen* screen = open();
    bool shownDuring = false;
    bool disabledDuring = false;
    waits->during = [&] {
        shownDuring = screen->Lbl_Ttl(12)->isVisible();
        disabledDuring = !screen->Cmd(0)->isEnabled();
    };
    screen->flash();
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_TRUE(shownDuring);
    EXPECT_TRUE(disabledDuring);
    EXPECT_FALSE(screen->Lbl_Ttl(12)->isVisible());
    EXPECT_TRUE(screen->Cmd(0)->isEnabled());
}

TEST_F(MainScreenTest, NoticeGivesEachControlBackTheStateItHadBefore)
{
    SampleScreen* screen = open();
    // A disabled save button is a change flag: the notice must not turn it on.
    for (const bool before : {false, true}) {
        screen->Cmd(0)->setEnabled(before);
        screen->Txt_Inp(0)->setEnabled(!before);
        screen->flashWithField();
        EXPECT_EQ(screen->Cmd(0)->isEnabled(), before);
        EXPECT_EQ(screen->Txt_Inp(0)->isEnabled(), !before);
    }
}

TEST_F(MainScreenTest, DatabaseFailureIsShownCaptionedWithTheFormAndTheScreenGoesOn)
{
    SampleScreen* screen = open();
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm999_Qel"),
                    QStringLiteral("データベースの処理ができませんでした。\ndisk I/O error"));
    EXPECT_FALSE(
        screen->run([] { throw QelError(QelError::Kind::Engine, {}, QStringLiteral("disk I/O error")); }));
    EXPECT_TRUE(screen->run([] {}));
    EXPECT_TRUE(screen->isVisible());
}

// A failure that an action lets out (here a failed allocation in a click's handler) reaches the
// one place that runs every event handler: the failure box in Japanese, shown after the event,
// and the screen goes on.
TEST_F(MainScreenTest, AFailureLeavingAnEventHandlerIsShownAndTheScreenGoesOn)
{
    SampleScreen* screen = open();
    int clicks = 0;
    screen->onClick = [&] {
        if (++clicks == 1)
            throw std::bad_alloc();
    };
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm999_Qel"),
                    QelError::sentence(QelError::Kind::OutOfMemory) + QStringLiteral("\nstd::bad_alloc"));
    QTest::mouseClick(screen->Cmd(0), Qt::LeftButton);
    PollUntil([&] { return dialogs->allAnswered(); }, 3000, "the failure box");
    QTest::mouseClick(screen->Cmd(0), Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    screen->Unload();
}

TEST_F(MainScreenTest, ParkingTheFocusRunsTheFocusGainAgain)
{
    SampleScreen* screen = open();
    screen->Txt_Inp(0)->setFocus();
    ASSERT_EQ(screen->focusGains, 1);
    screen->park();
    EXPECT_EQ(screen->focusGains, 2);
    EXPECT_EQ(QApplication::focusWidget(), screen->Txt_Inp(0));
}

TEST_F(MainScreenTest, EnterOnAFocusedButtonPressesIt)
{
    SampleScreen* screen = open();
    int presses = 0;
    QObject::connect(screen->Cmd(0), &QPushButton::clicked, [&] { ++presses; });
    screen->Cmd(0)->setFocus();
    QTest::keyClick(screen->Cmd(0), Qt::Key_Return);
    QTest::keyClick(screen->Cmd(0), Qt::Key_Enter);
    EXPECT_EQ(presses, 2);
}

TEST_F(MainScreenTest, CloseBoxIsRefusedButUnloadCloses)
{
    QPointer<SampleScreen> screen = open();
    EXPECT_FALSE(screen->close());
    EXPECT_TRUE(screen->isVisible());
    screen->Unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
}

TEST(DialogTexts, AFailureShowsTheEngineTextSmallerBelowTheSentence)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    DialogService().failure(QStringLiteral("Frm080_Qel"), QStringLiteral("使用中です。\n閉じてください。"),
                            QStringLiteral("database <is> locked"));
    EXPECT_EQ(
        shown,
        QStringLiteral("使用中です。<br>閉じてください。<br><br><small>database &lt;is&gt; locked</small>"));
}

// A real box: the screens' font; what it shows is what the user copies (no marks between the
// characters of a path), and it is wide enough that a path's line is not broken.
TEST(DialogTexts, APathIsShownAndCopiedAsItIsOnOneLine)
{
    const QString line = QStringLiteral("/home/tanaka/ドキュメント/お店の書類/顧客一覧（2026年12月）.csv");
    const QString text =
        QStringLiteral(
            "顧客一覧を CSV ファイルに出力しました（12,345 件、Shift_JIS）。表計算ソフトで開けます\n") +
        line;
    for (const bool failure : {false, true}) {
        SCOPED_TRACE(failure ? "failure" : "information");
        QFont font;
        QString copied;
        int pathLines = 0, width = 0;
        bool whole = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            font = label->font();
            width = label->contentsRect().width();
            // Nothing cut: the label is as tall as its text needs at its width.
            whole = (label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                       : label->sizeHint().width() <= label->width()) &&
                    box->rect().contains(label->geometry());
            QTextDocument shown;
            if (label->textFormat() == Qt::RichText)
                shown.setHtml(label->text());
            else
                shown.setPlainText(label->text());
            label->setSelection(0, shown.characterCount() - 1);
            copied = label->selectedText();
            QTextLayout layout(line, font);
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
                l.setLineWidth(label->contentsRect().width());
                ++pathLines;
            }
            layout.endLayout();
            box->accept();
        });
        if (failure)
            DialogService().failure(QStringLiteral("Frm630_Qel"), text, QStringLiteral("disk full"));
        else
            DialogService().information(QStringLiteral("復元完了"), text);
        EXPECT_EQ(font.families(), ScreenFont().families());
        EXPECT_EQ(font.pointSizeF(), ScreenFont().pointSizeF());
        EXPECT_TRUE(copied.contains(line)) << copied.toStdString();
        EXPECT_EQ(pathLines, 1) << width;
        EXPECT_TRUE(whole);
    }
}

TEST(DialogTexts, StandardButtonsReadInJapanese)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    EXPECT_EQ(translator.translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(translator.translate("QPlatformTheme", "&No"), QStringLiteral("いいえ(&N)"));
}

} // namespace
