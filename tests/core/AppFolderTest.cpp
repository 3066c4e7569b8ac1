#include "core/AppFolder.h"
#include "core/Globals.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

using Files = std::map<QString, QByteArray>;

const QString kIni = QStringLiteral("Qel.Ini");
const QString kListTemplate = QStringLiteral("顧客一覧オリジナル.xlsx");
const QString kDetailTemplate = QStringLiteral("売上明細オリジナル.xlsx");

// The installed read-only data; each file says where it came from.
const Files kInstalled = {
    {kIni, "[Ini]\r\nTitle=installed\r\n"},
    {kOperationalDbFile, "installed operational"},
    {kSampleDbFile, "installed sample"},
    {kListTemplate, "installed list template"},
    {kDetailTemplate, "installed detail template"},
};
const QByteArray kLedger("the shop's own ledger\0\x01\xff", 24);
const QByteArray kEditedIni = QStringLiteral("[Ini]\r\nTitle=うちの店\r\n").toUtf8();

Files without(Files files, const QString& name)
{
    files.erase(name);
    return files;
}

Files with(Files files, const QString& name, const QByteArray& bytes)
{
    files[name] = bytes;
    return files;
}

// A folder's files and their bytes; a plain file standing where the folder should be is listed
// under the empty name.
Files contents(const QString& folder)
{
    Files files;
    const QFileInfo info(folder);
    const QFileInfoList entries =
        info.isDir() ? QDir(folder).entryInfoList(QDir::Files | QDir::Hidden) : QFileInfoList{info};
    for (const QFileInfo& entry : entries) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly))
            files[info.isDir() ? entry.fileName() : QString()] = file.readAll();
    }
    return files;
}

void writeFiles(const QString& folder, const Files& files)
{
    QDir().mkpath(folder);
    for (const auto& [name, bytes] : files) {
        QFile file(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write(bytes);
    }
}

// HOME and XDG_DATA_HOME put back as they were.
struct SavedEnvironment
{
    QByteArray home = qgetenv("HOME");
    bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    QByteArray xdg = qgetenv("XDG_DATA_HOME");
    ~SavedEnvironment()
    {
        qputenv("HOME", home);
        hadXdg ? qputenv("XDG_DATA_HOME", xdg) : qunsetenv("XDG_DATA_HOME");
    }
};

TEST(AppFolder, ChoiceAndSeedingOfTheFolderInUse)
{
    enum class Start {
        Installed,
        InstalledWithoutXdg,
        Portable,
        FileInItsPlace,
        ReadOnlyFolder,
        NothingInstalled
    };
    struct Case
    {
        const char* what;
        Start start;
        std::optional<Files> before; // the user's folder before the start; none: not there yet
        Files after;
        const char* reason; // the failure named in the message, "" when the start goes on
    };
    const Case cases[] = {
        {"fresh user, no folder above it either", Start::InstalledWithoutXdg, std::nullopt, kInstalled, ""},
        {"fresh user", Start::Installed, std::nullopt, kInstalled, ""},
        {"sample deleted", Start::Installed, without(kInstalled, kSampleDbFile),
         without(kInstalled, kSampleDbFile), ""},
        {"Qel.Ini edited", Start::Installed, with(kInstalled, kIni, kEditedIni),
         with(kInstalled, kIni, kEditedIni), ""},
        {"template deleted", Start::Installed, without(kInstalled, kDetailTemplate), kInstalled, ""},
        {"operational database present", Start::Installed, Files{{kOperationalDbFile, kLedger}},
         with(without(kInstalled, kSampleDbFile), kOperationalDbFile, kLedger), ""},
        {"compacted copy left by a stopped backup", Start::Installed,
         Files{{QStringLiteral("TempDb_販売顧客.mdb"), kLedger}},
         with(without(without(kInstalled, kSampleDbFile), kOperationalDbFile),
              QStringLiteral("TempDb_販売顧客.mdb"), kLedger),
         ""},
        {"portable folder", Start::Portable, std::nullopt, {}, ""},
        {"a file where the folder should be", Start::FileInItsPlace, Files{}, Files{{QString(), "a file"}},
         "同じ名前のファイルがあります"},
        {"folder not writable", Start::ReadOnlyFolder, Files{{kIni, kEditedIni}}, Files{{kIni, kEditedIni}},
         "書き込む権限がありません"},
        {"installed data missing", Start::NothingInstalled, std::nullopt, Files{},
         "インストールされたデータが見つかりません"},
    };
    const SavedEnvironment saved;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString bin = root.filePath(QStringLiteral("prefix/bin"));
        const QString installed = root.filePath(QStringLiteral("prefix/share/qel"));
        QDir().mkpath(bin);
        if (c.start != Start::NothingInstalled)
            writeFiles(installed, kInstalled);
        qputenv("HOME", root.filePath(QStringLiteral("home")).toUtf8());
        if (c.start == Start::InstalledWithoutXdg)
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
        const QString folder = c.start == Start::InstalledWithoutXdg
                                   ? root.filePath(QStringLiteral("home/.local/share/Qel"))
                                   : root.filePath(QStringLiteral("data/Qel"));
        if (c.start == Start::Portable)
            writeFiles(bin, {{kIni, kEditedIni}});
        if (c.start == Start::FileInItsPlace)
            writeFiles(root.filePath(QStringLiteral("data")), {{QStringLiteral("Qel"), "a file"}});
        else if (c.before)
            writeFiles(folder, *c.before);
        if (c.start == Start::ReadOnlyFolder) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (QFileInfo(folder).isWritable())
                continue; // run with rights that ignore folder permissions: nothing to refuse
        }

        const AppFolder chosen = ChooseAppFolder(bin);
        if (c.start == Start::Portable) {
            EXPECT_EQ(chosen.path, bin);
            EXPECT_TRUE(chosen.seedDir.isEmpty());
            EXPECT_FALSE(QFileInfo::exists(folder));
            continue;
        }
        EXPECT_EQ(chosen.path, folder);
        if (c.start != Start::NothingInstalled) {
            EXPECT_EQ(chosen.seedDir, installed);
        }
        try {
            SeedAppFolder(chosen.path, installed);
            EXPECT_STREQ(c.reason, "") << "no failure reported";
        } catch (const QelError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.reason))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.start == Start::NothingInstalled ? installed : folder))
                << e.message().toStdString();
        }
        EXPECT_EQ(contents(folder), c.after);
        EXPECT_EQ(contents(installed), c.start == Start::NothingInstalled ? Files{} : kInstalled);
        // The ledger holds customers' addresses: a folder made for it is its user's alone.
        if (!c.before && !c.after.empty()) {
            EXPECT_EQ(QFileInfo(folder).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
        }
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

} // namespace
