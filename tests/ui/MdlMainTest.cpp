#include "core/Globals.h"
#include "ui/Frm010_Qel.h"
#include "ui/Mdl_Main.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

class MainTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Screens().clear();
        RegisterCoreScreens(Screens());
        QFile::remove(InstanceLockPath(appPath()));
    }
    void TearDown() override
    {
        Screens().clear();
        QFile::remove(InstanceLockPath(appPath()));
        AppFixture::TearDown();
    }
    static bool menuShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<Frm010_Qel*>(w) && w->isVisible())
                return true;
        }
        return false;
    }
};

TEST_F(MainTest, StartsReadsSettingsMakesFoldersAndShowsTheMenu)
{
    writeIni(QStringLiteral("DataPath=帳票\r\nBackDataPath=バックアップ\r\nMaker=ブランド\r\n"));
    ResetGlobals();
    G().CallerForm = QStringLiteral("stale");
    const auto lock = Main(appPath());
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(QFileInfo(appPath() + QStringLiteral("/帳票")).isDir());
    EXPECT_TRUE(QFileInfo(appPath() + QStringLiteral("/バックアップ")).isDir());
    EXPECT_EQ(G().Maker, QStringLiteral("ブランド"));
    EXPECT_EQ(G().CallerForm, QString());
    EXPECT_EQ(G().DbFileName, kOperationalDbFile);
    EXPECT_TRUE(menuShown());
}

TEST_F(MainTest, FolderThatCannotBeMadeIsReportedAndTheMenuStillOpens)
{
    writeIni(QStringLiteral("DataPath=無い/帳票\r\n"));
    dialogs->expect(ShownBox::Kind::Warning, {}, {});
    const auto lock = Main(appPath());
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("無い/帳票")));
    EXPECT_TRUE(menuShown());
}

TEST_F(MainTest, SecondInstanceInTheSameProcessIsRefused)
{
    const auto first = Main(appPath());
    ASSERT_NE(first, nullptr);
    CloseAllScreens();
    dialogs->expect(ShownBox::Kind::Exclamation, QStringLiteral("二重起動禁止"),
                    QStringLiteral("すでにプログラムは動作していています。"));
    EXPECT_EQ(Main(appPath()), nullptr);
    EXPECT_FALSE(menuShown());
    EXPECT_TRUE(first->isLocked());
}

TEST_F(MainTest, RunningApplicationRefusesASecondStart)
{
    // The real executable, started from a copy of the assembled folder, holds the lock.
    const QString built = QStringLiteral(QEL_APP_DIR);
    ASSERT_FALSE(built.isEmpty());
    ASSERT_TRUE(QFile::copy(built + "/qel", appPath() + "/qel"));
    QFile::setPermissions(appPath() + "/qel", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess running;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    running.setProcessEnvironment(env);
    running.start(appPath() + "/qel", {});
    ASSERT_TRUE(running.waitForStarted());
    const QString lockPath = InstanceLockPath(appPath());
    ASSERT_TRUE(PollUntil([&] { return QFileInfo::exists(lockPath); }, 5000, "the lock of the running application"));

    dialogs->expect(ShownBox::Kind::Exclamation, QStringLiteral("二重起動禁止"),
                    QStringLiteral("すでにプログラムは動作していています。"));
    EXPECT_EQ(Main(appPath()), nullptr);
    EXPECT_EQ(running.state(), QProcess::Running);
    running.kill();
    running.waitForFinished();
}

TEST_F(MainTest, StaleLockOfADeadProcessDoesNotBlock)
{
    QProcess dead;
    dead.start("true", {});
    ASSERT_TRUE(dead.waitForFinished());
    const qint64 pid = dead.processId();
    QFile lock(InstanceLockPath(appPath()));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    // The lock file's own format: pid, application name, host name.
    lock.write(QByteArray::number(pid > 0 ? pid : 999999) + "\nqel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    const auto acquired = Main(appPath());
    EXPECT_NE(acquired, nullptr);
    EXPECT_TRUE(menuShown());
}

} // namespace
