#include "ReportsFixture.h"

#include "core/Globals.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

class ReportMenuTest : public ReportsFixture
{
  protected:
    QString period() const { return dat(0)->text() + "～" + dat(1)->text(); }
    QString arrows() const
    {
        QString s;
        for (int i : {2, 3, 4, 5})
            s += cmd(i)->isEnabled() ? '1' : '0';
        return s;
    }
};

TEST_F(ReportMenuTest, PeriodButtonsStepMonthsAcrossTheYear)
{
    struct Case
    {
        const char* ini;
        std::vector<int> clicks;
        const char* period;
        const char* arrows;
    };
    const Case cases[] = {
        {"", {}, "指定なし～指定なし", "0000"},
        {"", {0}, "2005年12月～2005年12月", "1111"},
        {"", {1}, "2006年01月～2006年01月", "1111"},
        {"", {0, 3}, "2006年01月～2005年12月", "1111"},
        {"", {1, 4, 4}, "2006年01月～2005年11月", "1111"},
        {"", {0, 5, 5, 2, 2}, "2005年10月～2006年02月", "1111"},
        {"", {0, 6}, "指定なし～指定なし", "0000"},
        {"Nengou=和暦\r\n", {0, 5}, "平成17年12月～平成18年01月", "1111"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.period << " " << c.clicks.size());
        writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n") +
                 QString::fromUtf8(c.ini));
        openMenu();
        for (int i : c.clicks)
            Click(cmd(i));
        EXPECT_EQ(period(), QString::fromUtf8(c.period));
        EXPECT_EQ(arrows(), c.arrows);
        CloseAllScreens();
    }
}

TEST_F(ReportMenuTest, ChecksRefuseTheReportAndPointAtTheControlToCorrect)
{
    struct Case
    {
        const char* emptyTable;
        std::vector<int> clicks;
        int button;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"", {0, 3}, 7, "期間の指定に誤りがあります", "Cmd_0"},
        {"", {1, 4}, 8, "期間の指定に誤りがあります", "Cmd_0"},
        {"Tb_メーカー", {}, 8, "ブランド名を設定してください", "Combo1"},
        {"Tb_顧客", {}, 9, "購入者を設定してください", "Text1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (*c.emptyTable)
            execute(QStringLiteral("delete from ") + QString::fromUtf8(c.emptyTable));
        openMenu();
        for (int i : c.clicks)
            Click(cmd(i));
        Click(cmd(c.button));
        EXPECT_EQ(message(), QString::fromUtf8(c.message));
        EXPECT_TRUE(
            PollUntil([&] { return focused() && focused()->objectName() == c.focus; }, 3000, c.focus));
        EXPECT_NE(visibleScreen(QStringLiteral("Frm510_Qel")), nullptr) << "no report opens";
        CloseAllScreens();
    }
}

TEST_F(ReportMenuTest, EnterMovesThroughThePurchaserSearchToItsButton)
{
    openMenu();
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("売上明細メニュー"));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("売上明細　メニュー"));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("Frame2"))->title(), QStringLiteral("ブランド名別売上明細"));
    EXPECT_EQ(combo()->count(), 4);
    EXPECT_EQ(combo()->currentText(), QStringLiteral("エルメ")) << "makers in reading order";
    auto* text = child<QLineEdit>(QStringLiteral("Text1"));
    chooseBuyer(QStringLiteral("ﾔ"));
    EXPECT_EQ(list()->currentItem()->text(), QStringLiteral("山田 太郎"));
    PressEnter(text);
    EXPECT_EQ(focused(), list());
    EXPECT_EQ(text->text(), QStringLiteral("ﾔ")) << "the Enter itself is discarded";
    PressEnter(list());
    EXPECT_EQ(focused(), cmd(9));
    combo()->setFocus();
    PressEnter(combo());
    EXPECT_EQ(focused(), cmd(8));

    Click(cmd(10));
    EXPECT_TRUE(follow(QStringLiteral("Frm010_Qel")));
}

} // namespace
