#include "ui/FlexGrid.h"

#include "support/ScreenTest.h"

#include <QLineEdit>
#include <QPushButton>

#include <SQLiteCpp/Database.h>

namespace {

class LockedDatabaseTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Maker=ブランド\r\nSyouhin=商品\r\n"));
    }
};

// Another program holds the database while the user saves: the box says in Japanese what
// happened and what to do, the engine's own text below it, and nothing is written.
TEST_F(LockedDatabaseTest, SavingWhileAnotherProgramHoldsTheDatabaseSaysSoInJapanese)
{
    ASSERT_NE(openFromMenu(QStringLiteral("Frm060_Qel")), nullptr);
    enter(txt(0), QStringLiteral("アルファ"));
    enter(txt(1), QStringLiteral("ｱﾙﾌｧ"));

    SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm060_Qel"), {});
    Click(cmd(0));
    other.exec("ROLLBACK");

    ASSERT_EQ(dialogs->shown().size(), 1u);
    const QStringList lines = dialogs->shown().front().text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << dialogs->shown().front().text.toStdString();
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("他のプログラムがデータベースを使用中です。")))
        << lines.at(0).toStdString();
    EXPECT_EQ(lines.at(1), QStringLiteral("database is locked"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_メーカー")), 0);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("アルファ")) << "the typed input is kept";
    EXPECT_TRUE(cmd(0)->isEnabled());
}

} // namespace
