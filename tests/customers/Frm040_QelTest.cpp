#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "ui/FlexGrid.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTimer>

#include <SQLiteCpp/Database.h>

#include <functional>

namespace {

const QString kWorkbook = QStringLiteral("Data/顧客一覧.xlsx");

class ListTest : public CustomerScreenTest
{
  protected:
    // The question of deleting the listed row.
    static QString deleteQuestion(int row, const QString& name)
    {
        return QStringLiteral("No.%1 %2 さんの\n情報を削除してもよろしいですか").arg(row).arg(name);
    }
    bool usable(int index) const { return cmd(index)->isEnabled(); }
};

TEST_F(ListTest, ASearchWithoutMatchShowsOneEmptyRowWithOnlyCloseUsable)
{
    addCustomers(2);
    search(QStringLiteral("該当なし"));
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("顧客一覧"));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(grid()->textMatrix(1, 2), QString());
    EXPECT_FALSE(usable(0));
    EXPECT_FALSE(usable(1));
    EXPECT_FALSE(usable(2));
    EXPECT_TRUE(usable(3));
    doubleClickRow(1, 2);
    EXPECT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm050_Qel")), nullptr);
}

TEST_F(ListTest, TheListIsInReadingOrderAndComesBackFromTheDetailAtTheSameRowLoweredIfNeeded)
{
    addCustomers(30);
    search(QStringLiteral("C"));
    ASSERT_EQ(grid()->rows(), 31);
    EXPECT_EQ(grid()->textMatrix(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid()->textMatrix(1, 2), QStringLiteral("C01"));
    EXPECT_EQ(grid()->textMatrix(1, 1), QStringLiteral("30")) << "the hidden key";
    EXPECT_EQ(grid()->colWidth(1), 0);
    EXPECT_EQ(grid()->textMatrix(0, 2), QStringLiteral("名前"));

    // Unchanged: the same row, and the same first visible row.
    doubleClickRow(12, 2);
    ASSERT_TRUE(follow(QStringLiteral("Frm050_Qel")));
    EXPECT_EQ(G().CustKey, 19);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("C12"));
    const int top = G().ListTopRow;
    Click(cmd(2));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->row(), 12);
    EXPECT_EQ(grid()->topRow(), top);
    EXPECT_EQ(focused(), grid());

    // The last customer renamed out of the result: the list is shorter, the row lowered.
    openDetail(30);
    enter(txt(0), QStringLiteral("X30"));
    // A name replaced whole takes its reading along: the new one is typed.
    enter(txt(1), QStringLiteral("ｴｯｸｽ"));
    Click(cmd(0));
    Click(cmd(2));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->rows(), 30);
    EXPECT_EQ(grid()->row(), 29);
    EXPECT_EQ(grid()->textMatrix(29, 2), QStringLiteral("C29"));

    // Back to the search; a new search starts at the top.
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("C"));
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(grid()->row(), 1);
}

TEST_F(ListTest, DeletingAsksAndRefillsAtThePlaceAndDecliningChangesNothing)
{
    addCustomers(3);
    search();
    clickRow(2, 2);
    dialogs->expectQuestion(deleteQuestion(2, QStringLiteral("C02")), DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 3);
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(focused(), grid());

    clickRow(3, 2);
    bool noticeShown = false;
    waits->during = [&] {
        noticeShown = ttl(12)->isVisible() && ttl(12)->text() == QStringLiteral("削除完了");
    };
    dialogs->expectQuestion(deleteQuestion(3, QStringLiteral("C03")), DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_FALSE(ttl(12)->isVisible());
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("C01"), QStringLiteral("C02")}));
    EXPECT_EQ(grid()->row(), 2) << "lowered to the new last row";
    EXPECT_EQ(focused(), grid());
}

// Another program holds the database: one warning, and the list stays as the user left it.
TEST_F(ListTest, ADeletionOnALockedDatabaseWarnsOnceAndKeepsTheList)
{
    addCustomers(3);
    search();
    clickRow(2, 2);
    SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    dialogs->expectQuestion(deleteQuestion(2, QStringLiteral("C02")), DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm040_Qel"), {});
    Click(cmd(2));
    other.exec("ROLLBACK");

    EXPECT_EQ(dialogs->shown().size(), 2u) << "the question and one warning";
    EXPECT_TRUE(dialogs->shown().back().text.startsWith(
        QStringLiteral("他のプログラムがデータベースを使用中です。")));
    EXPECT_TRUE(waits->waits.empty()) << "no completion notice";
    EXPECT_EQ(listedNames(),
              (QStringList{QStringLiteral("C01"), QStringLiteral("C02"), QStringLiteral("C03")}));
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_TRUE(usable(0) && usable(1) && usable(2) && usable(3));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 3);
}

TEST_F(ListTest, DeletingTheLastCustomerLeavesAnEmptyListWithOnlyCloseUsable)
{
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    search();
    dialogs->expectQuestion(deleteQuestion(1, QStringLiteral("山田太郎")), DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_顧客")), 0);
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_FALSE(usable(0));
    EXPECT_FALSE(usable(1));
    EXPECT_FALSE(usable(2));
    EXPECT_TRUE(usable(3));
}

TEST_F(ListTest, TheWorkbookHoldsThreeRowsACustomerReplacesAnOldFileAndHoldsTheButtonsMeanwhile)
{
    for (const char* name : {"顧客一覧オリジナル.xlsx"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR "/") + QString::fromUtf8(name),
                                AppFile(QString::fromUtf8(name))));
    ASSERT_TRUE(QDir().mkpath(AppFile(QStringLiteral("Data"))));
    QFile old(AppFile(kWorkbook));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a workbook");
    old.close();

    Customer a;
    a.name = QStringLiteral(" 山田太郎 ");
    a.reading = QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ");
    a.postalCode = QStringLiteral("100-0001");
    a.prefecture = 13;
    a.city = QStringLiteral("千代田区千代田1-1");
    a.building = QStringLiteral("皇居ビル");
    a.phone = QStringLiteral("03-1111-2222");
    a.mobile = QStringLiteral("090-1111-2222");
    a.fax = QStringLiteral("03-1111-3333");
    a.mail = QStringLiteral("taro@example.jp");
    a.remarks = QStringLiteral("一二三四五六七八九十壱弐参四五六七八九十ABCDE");
    CustomerStore().add(a);
    addCustomer(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ"), 1, {},
                QStringLiteral("一二三四五六七八九𠮷田"));
    search();

    struct Sample
    {
        QString status;
        bool anyUsable;
    };
    std::vector<Sample> samples;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (screen())
            samples.push_back(
                {message(), usable(0) || usable(1) || usable(2) || usable(3) || grid()->isEnabled()});
    });
    watcher.start();
    const QString path = AppFile(kWorkbook);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("帳票ファイルを作成しました"),
                    QStringLiteral("顧客一覧をファイルに出力しました\n") + path);
    dialogs->expect(ShownBox::Kind::Preview, QStringLiteral("顧客一覧.xlsx"), {});
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("確認"), QStringLiteral("前の画面に戻ります"));
    Click(cmd(1));
    watcher.stop();
    const bool previewShown =
        dialogs->shown().size() >= 2 && dialogs->shown()[1].kind == ShownBox::Kind::Preview;

    EXPECT_TRUE(previewShown);
    EXPECT_EQ(message(), QStringLiteral("2件出力しました"));
    EXPECT_TRUE(usable(0) && usable(1) && usable(2) && usable(3));
    bool sawProgress = false;
    for (const Sample& s : samples) {
        if (s.status.contains(QStringLiteral("件を処理中")) ||
            s.status == QStringLiteral("しばらくお待ちください")) {
            EXPECT_FALSE(s.anyUsable) << s.status.toStdString();
            sawProgress |= s.status == QStringLiteral("2件/2件を処理中");
        }
    }
    EXPECT_TRUE(sawProgress);

    const QJsonObject book = readWorkbook(path);
    EXPECT_EQ(book[QStringLiteral("title")].toString(), QStringLiteral("顧客一覧"));
    EXPECT_EQ(book[QStringLiteral("headers")].toArray().at(1).toString(), QStringLiteral("顧客一覧"));
    EXPECT_EQ(book[QStringLiteral("rows")].toInt(), 9);
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    const auto cell = [&](const char* ref) { return cells[QLatin1String(ref)].toObject(); };
    const std::pair<const char*, QString> expected[] = {
        {"A4", "1"},
        {"B4", "ｻﾄｳ"},
        {"C4", "〒100-0001"},
        {"B5", "佐藤"},
        {"C5", "北海道"},
        {"D5", "千代田区"},
        {"F5", "一二三四五六七八九𠮷"},
        {"F6", "田"},
        {"A7", "2"},
        {"B7", "ﾔﾏﾀﾞﾀﾛｳ"},
        {"E7", "090-1111-2222"},
        {"B8", " 山田太郎 "},
        {"C8", "東京都"},
        {"D8", "千代田区千代田1-1"},
        {"E8", "03-1111-2222"},
        {"F8", "一二三四五六七八九十"},
        {"B9", "taro@example.jp"},
        {"D9", "皇居ビル"},
        {"E9", "03-1111-3333"},
        {"F9", "壱弐参四五六七八九十"},
    };
    for (const auto& [ref, value] : expected)
        EXPECT_EQ(cell(ref)[QStringLiteral("v")].toString(), value) << ref;
    EXPECT_EQ(cell("B6")[QStringLiteral("t")].toString(), QString()) << "an empty mail";
    // Which of the left, right and bottom edges are lined.
    const auto edges = [&](const char* ref) {
        const QJsonArray b = cell(ref)[QStringLiteral("b")].toArray();
        QString lined;
        for (int i = 0; i < 3; ++i)
            if (b.at(i).toString() == QStringLiteral("thin"))
                lined += QLatin1Char("LRB"[i]);
        return lined;
    };
    const std::pair<const char*, const char*> lined[] = {
        {"A4", "LR"}, {"C5", "LR"}, {"F4", "LR"}, {"A6", "LRB"}, {"D9", "LRB"}, {"F9", "LRB"}, {"B7", "LR"},
    };
    for (const auto& [ref, value] : lined)
        EXPECT_EQ(edges(ref), QLatin1String(value)) << ref;
}

TEST_F(ListTest, AWorkbookFailureIsReportedUnderTheListsNameAndNothingMatchingTouchesNoFile)
{
    RecordingExit* exit = recordExits();
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    search();
    // No template in the application folder.
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm040_Qel"), {});
    Click(cmd(1));
    EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("ErrNo=")));
    EXPECT_EQ(exit->calls, 1);
    EXPECT_FALSE(QFile::exists(AppFile(kWorkbook)));
    EXPECT_TRUE(usable(1) && usable(3));

    // The customer gone behind the list: nothing to write, no box, no file.
    execute(QStringLiteral("delete from Tb_顧客"));
    Click(cmd(1));
    EXPECT_EQ(message(), QStringLiteral("出力する情報はありません"));
    EXPECT_EQ(dialogs->shown().size(), 1u);
}

// On this platform nothing stops a program from replacing a file that another one has open:
// the writer itself refuses a workbook open in LibreOffice (its lock file beside it) or marked
// read-only, with the box of a file open elsewhere, and leaves the file as it is.
TEST_F(ListTest, AWorkbookOpenElsewhereOrReadOnlyIsRefusedAndKeptAsItIs)
{
    RecordingExit* exit = recordExits();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR "/顧客一覧オリジナル.xlsx"),
                            AppFile(QStringLiteral("顧客一覧オリジナル.xlsx"))));
    ASSERT_TRUE(QDir().mkpath(AppFile(QStringLiteral("Data"))));
    const QString path = AppFile(kWorkbook);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("yesterday's list");
    old.close();
    const QString lock = AppFile(QStringLiteral("Data/.~lock.顧客一覧.xlsx#"));
    QFile lockFile(lock);
    ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(",user,host,01.04.2005 10:00,file:///home/user/.config/libreoffice/4;");
    lockFile.close();
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    search();

    const QString refused = QStringLiteral("Excelファイルが開かれている可能性があります。\n"
                                           "Excelファイル閉じてからプログラムを実行してください。\n"
                                           "ErrNo=70 ErrMsg=書き込みできません。 ") +
                            QDir::toNativeSeparators(path);
    const std::function<void()> makeTheCase[] = {
        [] {},
        [&] {
            ASSERT_TRUE(QFile::remove(lock));
            ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                        QFileDevice::ReadOther));
        },
    };
    for (std::size_t i = 0; i < std::size(makeTheCase); ++i) {
        SCOPED_TRACE(i == 0 ? "open in LibreOffice" : "read-only");
        makeTheCase[i]();
        dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm040_Qel"), {});
        ASSERT_TRUE(usable(1));
        Click(cmd(1));
        ASSERT_EQ(dialogs->shown().size(), i + 1) << "no report of success";
        EXPECT_TRUE(dialogs->shown().back().text.startsWith(refused))
            << dialogs->shown().back().text.toStdString();
        EXPECT_EQ(exit->calls, int(i + 1));
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("yesterday's list"));
    }
}

} // namespace
