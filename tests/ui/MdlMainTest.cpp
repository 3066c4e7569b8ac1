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
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

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
    writeIni(QStringLiteral("DataPath=無い/帳票\r\nBackDataPath=バックアップ\r\n"));
    dialogs->expect(ShownBox::Kind::Warning, {}, {});
    const auto lock = Main(appPath());
    ASSERT_NE(lock, nullptr);
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("無い/帳票")));
    EXPECT_TRUE(QFileInfo(appPath() + QStringLiteral("/バックアップ")).isDir())
        << "the other folder is still made";
    EXPECT_TRUE(menuShown());
}

TEST_F(MainTest, InstalledStartWhoseFolderCannotBeMadeSaysWhereAndEnds)
{
    const QString seed = appPath() + QStringLiteral("/share");
    ASSERT_TRUE(QDir().mkpath(seed));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QEL_APP_DIR "/Qel.Ini"), seed + QStringLiteral("/Qel.Ini")));
    QFile blocker(appPath() + QStringLiteral("/ファイル"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = blocker.fileName() + QStringLiteral("/Qel");
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Qel"), {});
    EXPECT_EQ(Main(folder, seed), nullptr);
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_TRUE(dialogs->shown().front().text.contains(folder))
        << dialogs->shown().front().text.toStdString();
    EXPECT_FALSE(menuShown());
    EXPECT_EQ(blocker.size(), 0);
    EXPECT_FALSE(QFileInfo::exists(InstanceLockPath(folder))) << "the lock is let go";
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

TEST_F(MainTest, RunningApplicationRefusesASecondStartWhateverItsEnvironment)
{
    // The real executable, started from a copy of the assembled folder, holds the lock; the
    // variables a user can set when starting it do not make it a different instance.
    const QString built = QStringLiteral(QEL_APP_DIR);
    ASSERT_FALSE(built.isEmpty());
    // Its Qel.Ini beside it makes the copy a portable one, which runs on this folder.
    writeIni(QString());
    ASSERT_TRUE(QFile::copy(built + "/qel", appPath() + "/qel"));
    QFile::setPermissions(appPath() + "/qel", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const std::pair<const char*, QString> changes[] = {
        {"", {}},
        {"USER", QStringLiteral("someone")},
        {"LOGNAME", QStringLiteral("someone")},
        {"XDG_RUNTIME_DIR", elsewhere.path()},
        {"TMPDIR", elsewhere.path()},
    };
    const QString lockPath = InstanceLockPath(appPath());
    for (const auto& [name, value] : changes) {
        SCOPED_TRACE(name);
        QProcess running;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (*name)
            env.insert(QString::fromLatin1(name), value);
        running.setProcessEnvironment(env);
        running.start(appPath() + "/qel", {});
        ASSERT_TRUE(running.waitForStarted());
        EXPECT_TRUE(PollUntil([&] { return QFileInfo::exists(lockPath); }, 5000,
                              "the lock of the running application"));

        dialogs->expect(ShownBox::Kind::Exclamation, QStringLiteral("二重起動禁止"),
                        QStringLiteral("すでにプログラムは動作していています。"));
        EXPECT_EQ(Main(appPath()), nullptr);
        EXPECT_EQ(running.state(), QProcess::Running);
        running.kill();
        running.waitForFinished();
        QFile::remove(lockPath);
    }
}

TEST_F(MainTest, LockFollowsTheUserAndTheRealFolderNotTheEnvironment)
{
    const QString lockPath = InstanceLockPath(appPath());
    const QString link = appPath() + QStringLiteral("-link");
    ASSERT_TRUE(QFile::link(appPath(), link));
    EXPECT_EQ(InstanceLockPath(link), lockPath) << "the same folder reached through a link";
    QFile::remove(link);

    QTemporaryDir elsewhere;
    for (const char* name : {"USER", "USERNAME", "LOGNAME", "XDG_RUNTIME_DIR", "TMPDIR", "HOME"}) {
        const QByteArray saved = qgetenv(name);
        const bool had = qEnvironmentVariableIsSet(name);
        qputenv(name, elsewhere.path().toUtf8());
        EXPECT_EQ(InstanceLockPath(appPath()), lockPath) << name;
        if (had)
            qputenv(name, saved);
        else
            qunsetenv(name);
    }
    EXPECT_NE(InstanceLockPath(elsewhere.path()), lockPath) << "another folder runs on its own";
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
    lock.write(QByteArray::number(pid > 0 ? pid : 999999) + "\nqel\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    const auto acquired = Main(appPath());
    EXPECT_NE(acquired, nullptr);
    EXPECT_TRUE(menuShown());
}

// The command line as a user meets it, with no desktop at all: help and version print and end,
// a start without a display says why in both languages, an argument it does not take is refused.
TEST(CommandLine, AnswersWithoutADisplayAndRefusesToStartWithoutOne)
{
    struct Case
    {
        QStringList arguments;
        bool display;
        int status;
        const char* out;
        QStringList err;
    };
    const Case cases[] = {
        {{QStringLiteral("--version")}, false, 0, "Qel " QEL_VERSION "\n", {}},
        {{QStringLiteral("-v")}, false, 0, "Qel " QEL_VERSION "\n", {}},
        {{QStringLiteral("--help")}, false, 0, "--version", {}},
        {{QStringLiteral("-h"), QStringLiteral("--version")}, false, 0, "使い方: qel", {}},
        {{}, false, 1, "", {QStringLiteral("デスクトップ"), QStringLiteral("desktop session")}},
        {{QStringLiteral("顧客.xlsx")},
         true,
         2,
         "",
         {QStringLiteral("顧客.xlsx"), QStringLiteral("takes no arguments")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (c.display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess qel;
        qel.setProcessEnvironment(env);
        qel.start(QStringLiteral(QEL_APP_DIR "/qel"), c.arguments);
        ASSERT_TRUE(qel.waitForFinished(30000));
        const QString out = QString::fromUtf8(qel.readAllStandardOutput());
        const QString err = QString::fromUtf8(qel.readAllStandardError());
        EXPECT_EQ(qel.exitStatus(), QProcess::NormalExit) << "no abort";
        EXPECT_EQ(qel.exitCode(), c.status) << err.toStdString();
        if (*c.out)
            EXPECT_TRUE(out.startsWith(QString::fromUtf8(c.out)) || out.contains(QString::fromUtf8(c.out)))
                << out.toStdString();
        else
            EXPECT_EQ(out, QString());
        for (const QString& words : c.err)
            EXPECT_TRUE(err.contains(words)) << err.toStdString();
    }
}

// Every window of the program carries the shipped icon, and the windows name the menu entry.
TEST_F(MainTest, EveryScreenShowsTheShippedIconAndNamesTheMenuEntry)
{
    SetUpApplication();
    const auto lock = Main(appPath());
    ASSERT_NE(lock, nullptr);
    QWidget* menu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        menu = qobject_cast<Frm010_Qel*>(w) && w->isVisible() ? w : menu;
    ASSERT_NE(menu, nullptr);
    const QIcon icon = menu->windowIcon();
    for (const int size : {16, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage shipped = QImage(QStringLiteral(":/icons/qel-%1.png").arg(size))
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_FALSE(shipped.isNull());
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(shipped.format()), shipped);
    }
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("jp.qel.Qel"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Qel"));
}

} // namespace
