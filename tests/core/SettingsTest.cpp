#include "core/Settings.h"
#include "core/Globals.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class SettingsTest : public AppFixture
{
};

TEST_F(SettingsTest, KessanOutsideOneToTwelveBecomesThree)
{
    const std::pair<const char*, int> cases[] = {{"Kessan=0", 3},   {"Kessan=13", 3}, {"", 3},
                                                 {"Kessan=12", 12}, {"Kessan=1", 1},  {"Kessan=-4", 3}};
    for (const auto& [line, expected] : cases) {
        writeIni(QString::fromUtf8(line) + "\r\n");
        EXPECT_EQ(G().Kessan, expected) << line;
    }
}

TEST_F(SettingsTest, ReadsEveryKeyIntoItsGlobal)
{
    writeIni(
        QStringLiteral("DataPath=帳票\r\nBackDataPath=バックアップ\r\nBackCnt=5 世代\r\nTodoufuken1=13\r\n"
                       "Todoufuken2=27\r\nMaker=   ブランド\r\nSyouhin=商品\r\nNengou=和暦\r\nKessan=9\r\n"
                       "Title=テスト店\r\n"));
    const AppGlobals& g = G();
    EXPECT_EQ(g.DataPath, QStringLiteral("帳票"));
    EXPECT_EQ(g.BackDataPath, QStringLiteral("バックアップ"));
    EXPECT_EQ(g.BackCnt, 5);
    EXPECT_EQ(g.Todoufuken1, 13);
    EXPECT_EQ(g.Todoufuken2, 27);
    EXPECT_EQ(g.Maker, QStringLiteral("ブランド"));
    EXPECT_EQ(g.Syouhin, QStringLiteral("商品"));
    EXPECT_EQ(g.Nengou, QStringLiteral("和暦"));
    EXPECT_EQ(g.Kessan, 9);
    EXPECT_EQ(g.Title, QStringLiteral("テスト店"));
    EXPECT_EQ(g.SalesDate, QDateTime(QDate(2005, 3, 7), QTime(9, 5, 3)));
    EXPECT_EQ(g.AppPath, appPath());
}

TEST_F(SettingsTest, MissingFileGivesEmptyWordsAndDefaults)
{
    ReadSettings(appPath());
    EXPECT_EQ(G().Maker, QString());
    EXPECT_EQ(G().BackCnt, 0);
    EXPECT_EQ(G().Kessan, 3);
}

TEST_F(SettingsTest, MakeFoldersCreatesOnlyWhatIsMissing)
{
    writeIni(QStringLiteral("DataPath=帳票\r\nBackDataPath=バックアップ/\r\n"));
    QDir(appPath()).mkdir(QStringLiteral("帳票"));
    QFile marker(appPath() + QStringLiteral("/帳票/keep.txt"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    MakeFolders();
    EXPECT_TRUE(QFileInfo(appPath() + QStringLiteral("/バックアップ")).isDir());
    EXPECT_TRUE(marker.exists());
}

TEST_F(SettingsTest, EmptyFolderNamesMeanTheApplicationFolder)
{
    writeIni(QString());
    EXPECT_NO_THROW(MakeFolders());
}

TEST_F(SettingsTest, FolderThatCannotBeMadeIsReportedByName)
{
    writeIni(QStringLiteral("DataPath=a/b/c\r\n"));
    try {
        MakeFolders();
        FAIL() << "no error for a folder two levels deep";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("a/b/c"))) << e.message().toStdString();
    }
    QFile blocker(appPath() + QStringLiteral("/帳票"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    writeIni(QStringLiteral("DataPath=帳票\r\n"));
    EXPECT_THROW(MakeFolders(), QelError);
}

TEST_F(SettingsTest, EachFolderIsMadeOrReportedOnItsOwnWithItsReason)
{
    const auto touch = [this](const QString& name) {
        QFile file(appPath() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    touch(QStringLiteral("ファイル"));
    touch(QStringLiteral("控え"));
    struct Case
    {
        const char* ini;
        const char* made;      // the folder that must exist afterwards, "" for none
        const char* reason;    // the reason named in the message
        const char* notReason; // a reason that must not be named
    };
    const Case cases[] = {
        // Two missing levels: the workbook folder is reported, the backup folder still made.
        {"DataPath=無い/帳票\r\nBackDataPath=バックアップ\r\n", "バックアップ", "上のフォルダ",
         "ファイルです"},
        // A plain file where a parent folder should be.
        {"DataPath=ファイル/帳票\r\nBackDataPath=バックアップ2\r\n", "バックアップ2",
         "/ファイル」がフォルダではなくファイルです", "上のフォルダ"},
        // A failed workbook folder does not hide a backup folder that is a plain file.
        {"DataPath=ファイル/帳票\r\nBackDataPath=控え\r\n", "", "同じ名前のファイルがあります",
         "上のフォルダ"},
    };
    for (const Case& c : cases) {
        writeIni(QString::fromUtf8(c.ini));
        try {
            MakeFolders();
            ADD_FAILURE() << c.ini << ": nothing reported";
        } catch (const QelError& e) {
            const std::string text = e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.reason))) << c.ini << text;
            EXPECT_FALSE(e.message().contains(QString::fromUtf8(c.notReason))) << c.ini << text;
        }
        if (*c.made) {
            EXPECT_TRUE(QFileInfo(appPath() + QLatin1Char('/') + QString::fromUtf8(c.made)).isDir()) << c.ini;
        }
    }
    // Both failures of the last case are in the one report.
    writeIni(QStringLiteral("DataPath=ファイル/帳票\r\nBackDataPath=控え\r\n"));
    try {
        MakeFolders();
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("ファイル/帳票")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("控え")));
    }
}

TEST_F(SettingsTest, FolderWithoutWritePermissionIsReportedSo)
{
    const QString locked = appPath() + QStringLiteral("/鍵");
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(locked).isWritable())
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    writeIni(QStringLiteral("DataPath=鍵/帳票\r\n"));
    try {
        MakeFolders();
        ADD_FAILURE() << "nothing reported";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("書き込む権限がありません")))
            << e.message().toStdString();
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
