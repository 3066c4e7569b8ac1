#include "Mdl_Main.h"

#include "DialogService.h"
#include "Navigator.h"

#include "core/Globals.h"
#include "core/Settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

QString InstanceLockPath(const QString& appPath)
{
    // The user's runtime folder where there is one; otherwise the shared temporary folder, with
    // the user in the key so that two users of one machine do not block each other.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    const QString canonical = QFileInfo(appPath).canonicalFilePath();
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    const QByteArray key = QCryptographicHash::hash(
                               (user + QLatin1Char('|') + (canonical.isEmpty() ? appPath : canonical)).toUtf8(),
                               QCryptographicHash::Sha1)
                               .toHex();
    return folder + QStringLiteral("/qel-") + QString::fromLatin1(key.left(16)) + QStringLiteral(".lock");
}

std::unique_ptr<QLockFile> Main(const QString& appPath)
{
    auto lock = std::make_unique<QLockFile>(InstanceLockPath(appPath));
    // Only a live owner counts: a lock left by a crashed run is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
        Dialogs().exclamation(QStringLiteral("二重起動禁止"), QStringLiteral("すでにプログラムは動作していています。"));
        return nullptr;
    }

    ReadSettings(appPath);
    try {
        MakeFolders();
    } catch (const FolderError& e) {
        Dialogs().warning(QStringLiteral("Qel"), e.message());
    }
    G().CallerForm.clear();
    Screens().open(QStringLiteral("Frm010_Qel"));
    return lock;
}
