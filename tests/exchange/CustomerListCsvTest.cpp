#include "customers/CustomerScreenTest.h"

#include "core/Cp932.h"
#include "support/CsvReadBack.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <functional>

namespace {

const QString kHeading = QStringLiteral(
    "名前,フリガナ,郵便番号,都道府県,市区町村,建物,電話番号,携帯番号,FAX番号,メールアドレス,備考\r\n");

class CustomerListCsvTest : public CustomerScreenTest
{
  protected:
    void SetUp() override
    {
        CustomerScreenTest::SetUp();
        QDir(appPath()).mkdir(QStringLiteral("Data"));
    }
    QString target() const { return appPath() + QStringLiteral("/Data/顧客一覧.csv"); }
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
    addCustomer(QStringLiteral("山田 太郎"), QStringLiteral("ﾔﾏﾀﾞ"), 13, QStringLiteral("03-1111-2222"),
                QStringLiteral("特価, \"常連\""));
    addCustomer(QStringLiteral("青木～髙橋"), QStringLiteral("ｱｵｷ"), 27);
    search();
    const QString expected =
        kHeading +
        QStringLiteral("青木～髙橋,ｱｵｷ,100-0001,大阪府,千代田区,,,,,,\r\n"
                       "山田 太郎,ﾔﾏﾀﾞ,100-0001,東京都,千代田区,,03-1111-2222,,,,\"特価, \"\"常連\"\"\"\r\n");

    exportAs(-1, target(), [&] {
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), done(2, "Shift_JIS"));
    });
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
    EXPECT_TRUE(dialogs->shown().back().text.startsWith(QStringLiteral("ファイルを作れません。")));
    EXPECT_TRUE(message().isEmpty());
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
        {"O'Neil", "ｵﾆｰﾙ", "100-0001", "東京都", "千代田区", "", "0311112222", "", "", "", ""},
        {"髙橋 \"花子\"", "ﾀｶﾊｼ ﾊﾅｺ", "100-0001", "北海道", "千代田区", "", "011-111-2222", "", "", "",
         "一行目, 続き～"},
    };
    for (const auto& [type, encoding] : {std::pair{0, 64}, std::pair{1, 76}}) {
        SCOPED_TRACE(encoding);
        exportAs(type, target(),
                 [&] { dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {}); });
        EXPECT_EQ(LibreOfficeCells(target(), encoding, 11), cells);
    }
}

} // namespace
