#include "customers/CustomerScreenTest.h"

#include "core/Cp932.h"
#include "core/Globals.h"
#include "support/CsvReadBack.h"
#include "ui/FlexGrid.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace {

const QString kHeading = QStringLiteral("名前,フリガナ,郵便番号,都道府県,市区町村,建物,電話番号,携帯番号,"
                                        "FAX番号,メールアドレス,備考,誕生日,DM\r\n");

class CustomerListCsvTest : public CustomerScreenTest
{
  protected:
    QString target() const { return documentsPath() + QStringLiteral("/顧客一覧.csv"); }
    QByteArray written() const
    {
        QFile f(target());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // "CSV出力…" answered with the target and the file type; `then` scripts the boxes after it.
    void exportAs(int type, const QString& path, const std::function<void()>& then)
    {
        dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("CSV出力"), path, type);
        then();
        ASSERT_TRUE(cmd(6)->isEnabled());
        Click(cmd(6));
    }
    QString done(int count, const char* encoding) const
    {
        return QStringLiteral("顧客一覧を CSV ファイルに出力しました（%1 件、%2）\n")
                   .arg(count)
                   .arg(encoding) +
               QDir::toNativeSeparators(target());
    }
};

TEST_F(CustomerListCsvTest, TheListIsWrittenInItsOrderAsShiftJisOrUtf8)
{
    const std::int32_t yamada = addCustomer(QStringLiteral("山田 太郎"), QStringLiteral("ﾔﾏﾀﾞ"), 13,
                                            QStringLiteral("03-1111-2222"), QStringLiteral("特価, \"常連\""));
    Customer c = *CustomerStore().row(yamada);
    c.birthday = {1980, 4, 5};
    c.noMail = true;
    CustomerStore().update(c);
    c = *CustomerStore().row(addCustomer(QStringLiteral("青木～髙橋"), QStringLiteral("ｱｵｷ"), 27));
    c.birthday = {0, 12, 31};
    CustomerStore().update(c);
    search();
    const QString expected =
        kHeading +
        QStringLiteral(
            "青木～髙橋,ｱｵｷ,100-0001,大阪府,千代田区,,,,,,,12/31,送る\r\n"
            "山田 太郎,ﾔﾏﾀﾞ,100-0001,東京都,千代田区,,03-1111-2222,,,,\"特価, \"\"常連\"\"\",1980/04/"
            "05,送らない\r\n");

    exportAs(-1, target(), [&] {
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), done(2, "Shift_JIS"));
    });
    // The chooser opens in the documents folder, never in the program's own hidden folder.
    EXPECT_EQ(dialogs->shown().at(0).text, target() + QStringLiteral("\tCSV Shift_JIS (*.csv)"));
    EXPECT_EQ(written(), EncodeCp932(expected));
    EXPECT_EQ(message(), QStringLiteral("2件出力しました"));

    exportAs(1, target(), [&] {
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), done(2, "UTF-8"));
    });
    EXPECT_EQ(written(), QByteArray("\xEF\xBB\xBF") + expected.toUtf8());
}

TEST_F(CustomerListCsvTest, TextThatShiftJisCannotHoldIsNamedAndUtf8Offered)
{
    addCustomer(QStringLiteral("𠮷田"), QStringLiteral("ﾖｼﾀﾞ"), 13, {}, QStringLiteral("花🌸"));
    addCustomer(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ"), 13, {}, QStringLiteral("¥100"));
    search();
    const QString question = QStringLiteral("次の項目には Shift_JIS で書けない文字があります。\n"
                                            "　No.1 の備考「¥100」\n"
                                            "　No.2 の名前「𠮷田」\n"
                                            "　No.2 の備考「花🌸」\n"
                                            "UTF-8（BOM付き）で出力しますか");
    exportAs(0, target(), [&] { dialogs->expectQuestion(question, DialogService::Answer::No); });
    EXPECT_FALSE(QFile::exists(target()));

    exportAs(0, target(), [&] {
        dialogs->expectQuestion(question, DialogService::Answer::Yes);
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), done(2, "UTF-8"));
    });
    EXPECT_TRUE(written().startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(QString::fromUtf8(written()).contains(QStringLiteral("𠮷田,ﾖｼﾀﾞ")));
}

TEST_F(CustomerListCsvTest, AFileThatCannotBeWrittenIsReportedAndAnOldOneKept)
{
    addCustomer(QStringLiteral("山田"), QStringLiteral("ﾔﾏﾀﾞ"));
    search();
    exportAs(0, appPath() + QStringLiteral("/ない/顧客一覧.csv"),
             [&] { dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm040_Qel"), {}); });
    EXPECT_TRUE(dialogs->shown().back().text.startsWith(QStringLiteral("ファイルを保存できません。")));
    EXPECT_TRUE(message().isEmpty());
}

// Every button of the list, "CSV出力…" included, in the row under the list, within its width,
// none over another, each caption whole.
TEST_F(CustomerListCsvTest, TheButtonSitsAmongTheActionsWithinTheList)
{
    addCustomer(QStringLiteral("山田"), QStringLiteral("ﾔﾏﾀﾞ"));
    search();
    const QRect list = grid()->geometry();
    std::vector<QRect> taken;
    for (int i : {0, 1, 2, 5, 6, 3}) {
        const QRect r = cmd(i)->geometry();
        EXPECT_GE(r.left(), list.left()) << i;
        EXPECT_LE(r.right(), list.right()) << i;
        EXPECT_EQ(r.top(), cmd(0)->geometry().top()) << i;
        for (const QRect& other : taken)
            EXPECT_FALSE(r.intersects(other)) << i;
        taken.push_back(r);
        EXPECT_LE(cmd(i)->fontMetrics().horizontalAdvance(cmd(i)->text()), r.width() - 6) << i;
    }
}

// The choosers open where the user last chose a file, also after a new start, and the completion
// box opens the file's folder.
TEST_F(CustomerListCsvTest, ChoosersOpenWhereTheUserLastChoseAndTheBoxOpensTheFolder)
{
    addCustomer(QStringLiteral("山田"), QStringLiteral("ﾔﾏﾀﾞ"));
    search();
    const QString other = documentsPath() + QStringLiteral("/お店");
    ASSERT_TRUE(QDir().mkpath(other));
    const QString typed = other + QStringLiteral("/顧客一覧");
    exportAs(0, typed, [&] { dialogs->expectWritten(QStringLiteral("CSV出力"), {}, true); });
    EXPECT_TRUE(QFile::exists(typed + QStringLiteral(".csv")));
    EXPECT_EQ(dialogs->openedFolders, std::vector<QString>{other});
    EXPECT_TRUE(dialogs->shown().back().text.endsWith(QStringLiteral("\n") + typed + QStringLiteral(".csv")));

    // A new start: the import's chooser opens there too; once the folder is gone, in the documents.
    G().ChooserFolder.clear();
    CloseAllScreens();
    openFromMenu(QStringLiteral("Frm020_Qel"));
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm025_Qel")));
    dialogs->expectFile(ShownBox::Kind::OpenFile, {}, {});
    Click(cmd(0));
    EXPECT_EQ(dialogs->shown().back().text, other);
    ASSERT_TRUE(QDir(other).removeRecursively());
    G().ChooserFolder.clear();
    dialogs->expectFile(ShownBox::Kind::OpenFile, {}, {});
    Click(cmd(0));
    EXPECT_EQ(dialogs->shown().back().text, documentsPath());

    // A desktop that cannot open the folder: the user is told.
    CloseAllScreens();
    search();
    dialogs->folderOpens = false;
    exportAs(0, target(), [&] {
        dialogs->expectWritten(QStringLiteral("CSV出力"), {}, true);
        dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("CSV出力"),
                        QStringLiteral("フォルダを開けませんでした。\nフォルダ: ") + documentsPath());
    });
}

TEST_F(CustomerListCsvTest, LibreOfficeReadsBothEncodingsBackToTheSameCells)
{
    ASSERT_TRUE(LibreOfficeInstalled()) << "scripts/setup installs LibreOffice Calc";
    addCustomer(QStringLiteral("髙橋 \"花子\""), QStringLiteral("ﾀｶﾊｼ ﾊﾅｺ"), 1,
                QStringLiteral("011-111-2222"), QStringLiteral("一行目, 続き～"));
    addCustomer(QStringLiteral("O'Neil"), QStringLiteral("ｵﾆｰﾙ"), 13, QStringLiteral("0311112222"));
    search();
    const std::vector<QStringList> cells = {
        kHeading.trimmed().split(QLatin1Char(',')),
        {"O'Neil", "ｵﾆｰﾙ", "100-0001", "東京都", "千代田区", "", "0311112222", "", "", "", "", "", "送る"},
        {"髙橋 \"花子\"", "ﾀｶﾊｼ ﾊﾅｺ", "100-0001", "北海道", "千代田区", "", "011-111-2222", "", "", "",
         "一行目, 続き～", "", "送る"},
    };
    for (const auto& [type, encoding] : {std::pair{0, 64}, std::pair{1, 76}}) {
        SCOPED_TRACE(encoding);
        exportAs(type, target(),
                 [&] { dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {}); });
        EXPECT_EQ(LibreOfficeCells(target(), encoding, 13), cells);
    }
}

} // namespace
