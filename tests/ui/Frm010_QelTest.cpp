#include "ui/Frm010_Qel.h"
#include "core/Globals.h"
#include "db/Schema.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

// A stand-in main screen that goes back to the menu the way every screen does.
class ReturningScreen : public MainScreen
{
  public:
    ReturningScreen() : MainScreen(QStringLiteral("Frm020_Qel"))
    {
        BuildControls(
            {{ControlRow::Kind::Button, "Cmd", 2, QStringLiteral("閉じる"), 7800, 6720, 1815, 555}});
        connect(Cmd(2), &QPushButton::clicked, this, [this] { OpenScreen(QStringLiteral("Frm010_Qel")); });
    }
    void LoadProc() override { ShowScreen(); }
};

class MenuTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Title=テスト商店\r\nMaker=ブランド\r\nSyouhin=商品\r\n"));
    }
    // The menu alone: the buttons of the other screens stay disabled.
    void registerScreens(Navigator& navigator) override { RegisterCoreScreens(navigator); }
    void makeSample() { CreateDatabaseFile(appPath() + "/" + kSampleDbFile); }

    Frm010_Qel* openMenu()
    {
        Screens().open(QStringLiteral("Frm010_Qel"));
        return currentMenu();
    }
    static Frm010_Qel* currentMenu()
    {
        return qobject_cast<Frm010_Qel*>(visibleScreen(QStringLiteral("Frm010_Qel")));
    }
};

TEST_F(MenuTest, CaptionsComeFromTheSettings)
{
    Frm010_Qel* menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(child<QLabel>(menu, "Lbl_Ttl_14")->text(), QStringLiteral("テスト商店"));
    EXPECT_EQ(child<QLabel>(menu, "Lbl_Ttl_11")->text(), QStringLiteral("Version 1.0"));
    EXPECT_EQ(child<QPushButton>(menu, "Cmd_2")->text(), QStringLiteral("ブランド名一覧"));
    EXPECT_EQ(child<QPushButton>(menu, "Cmd_3")->text(), QStringLiteral("商品名一覧"));
    EXPECT_EQ(child<QPushButton>(menu, "Cmd_99")->text(), QStringLiteral("終了"));
    EXPECT_EQ(menu->pos(), QPoint(2, 2));
    EXPECT_EQ(menu->size(), QSize(781, 540));
    EXPECT_EQ(child<QPushButton>(menu, "Cmd_7")->geometry(), QRect(352, 52, 289, 37));
}

TEST_F(MenuTest, EmptyMakerWordGivesTheBareSuffix)
{
    writeIni(QString());
    EXPECT_EQ(child<QPushButton>(openMenu(), "Cmd_2")->text(), QStringLiteral("名一覧"));
}

TEST_F(MenuTest, SampleFileShowsTheFrameAndIsUsed)
{
    makeSample();
    Frm010_Qel* menu = openMenu();
    EXPECT_TRUE(child<QGroupBox>(menu, "Frame1")->isVisible());
    EXPECT_EQ(G().DbFileName, kSampleDbFile);
    const char* lines[] = {"Label1", "Label2", "Label3_0", "Label3_1", "Label3_2", "Label3_3"};
    int lastTop = -1;
    for (const char* name : lines) {
        const int top = child<QLabel>(menu, name)->geometry().top();
        EXPECT_GT(top, lastTop) << name;
        lastTop = top;
    }
    EXPECT_EQ(child<QLabel>(menu, "Label3_3")->text(), QStringLiteral("ください。"));
}

TEST_F(MenuTest, WithoutSampleTheFrameIsHiddenAndOperationalUsed)
{
    G().DbFileName = kSampleDbFile;
    Frm010_Qel* menu = openMenu();
    EXPECT_FALSE(child<QGroupBox>(menu, "Frame1")->isVisible());
    EXPECT_EQ(G().DbFileName, kOperationalDbFile);
}

TEST_F(MenuTest, CheckBoxArmsAndDisarmsTheDeletion)
{
    makeSample();
    Frm010_Qel* menu = openMenu();
    auto* check = child<QCheckBox>(menu, "Check1");
    auto* remove = child<QPushButton>(menu, "Cmd_9");
    EXPECT_FALSE(remove->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    EXPECT_TRUE(remove->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(MenuTest, DeletionSwitchesToOperationalForGood)
{
    Screens().registerScreen(QStringLiteral("Frm020_Qel"), [] { return new ReturningScreen; });
    makeSample();
    QFile::setPermissions(appPath() + "/" + kSampleDbFile, QFileDevice::ReadOwner);
    Frm010_Qel* menu = openMenu();
    QApplication::setActiveWindow(menu);
    auto* check = child<QCheckBox>(menu, "Check1");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    Click(child<QPushButton>(menu, "Cmd_9"));
    EXPECT_FALSE(QFileInfo::exists(appPath() + "/" + kSampleDbFile));
    EXPECT_FALSE(child<QGroupBox>(menu, "Frame1")->isVisible());
    EXPECT_EQ(G().DbFileName, kOperationalDbFile);
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(menu, "Cmd_0"));

    menu->Unload();
    menu = openMenu();
    EXPECT_FALSE(child<QGroupBox>(menu, "Frame1")->isVisible());
    EXPECT_EQ(G().DbFileName, kOperationalDbFile);
}

TEST_F(MenuTest, FailedDeletionSaysWhyAndKeepsTheSample)
{
    // A folder of the sample's name cannot be removed as a file.
    const QString sample = appPath() + "/" + kSampleDbFile;
    QDir(appPath()).mkdir(kSampleDbFile);
    QFile inside(sample + "/keep");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    Frm010_Qel* menu = openMenu();
    EXPECT_EQ(G().DbFileName, kSampleDbFile);
    auto* check = child<QCheckBox>(menu, "Check1");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    dialogs->expect(ShownBox::Kind::Warning, "Frm010_Qel", {});
    Click(child<QPushButton>(menu, "Cmd_9"));
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("削除できませんでした")));
    EXPECT_TRUE(child<QGroupBox>(menu, "Frame1")->isVisible());
    EXPECT_EQ(G().DbFileName, kSampleDbFile);
}

TEST_F(MenuTest, ButtonsOfScreensNotBuiltYetAreDisabled)
{
    Frm010_Qel* menu = openMenu();
    for (const char* name : {"Cmd_0", "Cmd_1", "Cmd_4", "Cmd_8"})
        EXPECT_FALSE(child<QPushButton>(menu, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(menu, "Cmd_99")->isEnabled());
}

TEST_F(MenuTest, OpeningAScreenUnloadsTheMenuAndClosingComesBack)
{
    Screens().registerScreen(QStringLiteral("Frm020_Qel"), [] { return new ReturningScreen; });
    Frm010_Qel* menu = openMenu();
    Click(child<QPushButton>(menu, "Cmd_0"));
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm010_Qel"));
    EXPECT_EQ(currentMenu(), nullptr);
    QWidget* other = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("Frm020_Qel") && w->isVisible())
            other = w;
    }
    ASSERT_NE(other, nullptr);

    writeIni(QStringLiteral("Title=新しい題名\r\n"));
    Click(child<QPushButton>(other, "Cmd_2"));
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm020_Qel"));
    menu = currentMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(child<QLabel>(menu, "Lbl_Ttl_14")->text(), QStringLiteral("新しい題名"));
}

TEST_F(MenuTest, EndAndCloseBoxCloseTheMenu)
{
    Frm010_Qel* menu = openMenu();
    Click(child<QPushButton>(menu, "Cmd_99"));
    EXPECT_EQ(currentMenu(), nullptr);
    menu = openMenu();
    EXPECT_TRUE(menu->close());
    EXPECT_EQ(currentMenu(), nullptr);
}

TEST_F(MenuTest, OtherScreensRefuseTheCloseBox)
{
    auto* screen = new ReturningScreen;
    screen->LoadProc();
    EXPECT_FALSE(screen->close());
    EXPECT_TRUE(screen->isVisible());
}

} // namespace
