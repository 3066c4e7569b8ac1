#include "AppFolder.h"

#include "Globals.h"
#include "Settings.h"
#include "TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

namespace {

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? QFile::decodeName(entry->pw_dir) : QDir::rootPath();
}

} // namespace

AppFolder ChooseAppFolder(const QString& exeDir)
{
    if (QFileInfo(exeDir + QStringLiteral("/Qel.Ini")).isFile())
        return {exeDir, {}};
    // Found from the executable first, so that a copy installed under any prefix (a staging folder
    // included) uses its own data.
    const QString beside = QDir::cleanPath(exeDir + QStringLiteral("/" QEL_DATA_FROM_BIN));
    const bool found = QFileInfo(beside + QStringLiteral("/Qel.Ini")).isFile();
    return {UserAppFolder(), found ? beside : QStringLiteral(QEL_INSTALL_DATADIR)};
}

QString UserAppFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = homeFolder() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/Qel"));
}

void SeedAppFolder(const QString& folder, const QString& seedDir)
{
    const QDir seed(seedDir);
    if (!QFileInfo(seed.filePath(QStringLiteral("Qel.Ini"))).isFile())
        throw QelError(QelError::Kind::Folder,
                       QStringLiteral("インストールされたデータが見つかりません。\n%1\n"
                                      "Qel をインストールし直してください。")
                           .arg(ShownPath(seedDir)));
    const bool made = !QFileInfo(folder).isDir();
    if (const QString reason = MakeFolder(folder, true); !reason.isEmpty())
        throw QelError(QelError::Kind::Folder, reason);
    // The ledger holds customers' names and addresses: a folder made here is the user's alone.
    if (made)
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QDir target(folder);
    const auto present = [&](const QString& name) {
        const QFileInfo info(target.filePath(name));
        return info.exists() || info.isSymLink();
    };
    const bool anyDatabase = present(kOperationalDbFile) || present(kSampleDbFile);
    // A compacted copy left by a stopped backup is put back by the start-up that follows; a fresh
    // database seeded in its place would hide it.
    const bool copyLeft = present(QStringLiteral("Temp") + kOperationalDbFile) ||
                          present(QStringLiteral("Temp") + kSampleDbFile);
    QStringList missing;
    for (const QFileInfo& entry : seed.entryInfoList(QDir::Files, QDir::Name)) {
        const QString name = entry.fileName();
        const bool database = name == kSampleDbFile || name == kOperationalDbFile;
        if (present(name) || (name == kSampleDbFile && anyDatabase) || (database && copyLeft))
            continue;
        // The sample goes first: a start cut short after it still finds the operational database
        // missing and completes the folder, while the reverse order would lose the sample.
        if (name == kSampleDbFile)
            missing.prepend(name);
        else
            missing.append(name);
    }
    if (missing.isEmpty())
        return;
    if (!QFileInfo(folder).isWritable())
        throw QelError(QelError::Kind::Folder,
                       QStringLiteral("フォルダに書き込めません。\n%1\n「%1」に書き込む権限がありません。")
                           .arg(ShownPath(folder)));
    for (const QString& name : missing) {
        // QFile::copy writes a temporary file and renames it: a failed copy leaves nothing
        // behind, and a file that appeared meanwhile is not replaced.
        QFile source(seed.filePath(name));
        const QString copy = target.filePath(name);
        if (!source.copy(copy))
            throw QelError(QelError::Kind::Folder,
                           QStringLiteral("ファイルをコピーできません。\n%1\n→ %2\n%3")
                               .arg(ShownPath(source.fileName()), ShownPath(copy), source.errorString()));
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}
