#include "Mdl_Main.h"

#include "DialogService.h"
#include "Navigator.h"
#include "StartUpConversion.h"

#include "core/AppFolder.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "db/Backup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <unistd.h>

namespace {

// The id of the user the process runs as, as the system knows it: environment variables can
// be changed by anyone starting the program and must not decide whether it is already running.
QString RealUserId()
{
    return QString::number(::getuid());
}

// The folder's real path also before it is made (the first start of an installed copy): the
// nearest existing folder above it resolved, the rest appended, so that every start names it alike.
QString realFolderPath(const QString& folder)
{
    QString head = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList rest;
    QString canonical = QFileInfo(head).canonicalFilePath();
    while (canonical.isEmpty()) {
        const QFileInfo info(head);
        if (info.absolutePath() == head)
            return QDir::cleanPath(folder);
        rest.prepend(info.fileName());
        head = info.absolutePath();
        canonical = QFileInfo(head).canonicalFilePath();
    }
    rest.prepend(canonical);
    return QDir::cleanPath(rest.join(QLatin1Char('/')));
}

} // namespace

QString InstanceLockPath(const QString& appPath)
{
    // A folder fixed by the user id, not by the environment: the user's own runtime folder when
    // the system keeps one (no other user can put a lock there first), else the shared temporary
    // folder. The user and the application folder are in the name: two users of one machine do
    // not block each other, two starts of one folder by one user do.
    const QString runtime = QStringLiteral("/run/user/") + RealUserId();
    const QFileInfo runtimeInfo(runtime);
    const bool ownRuntime =
        runtimeInfo.isDir() && !runtimeInfo.isSymLink() && runtimeInfo.ownerId() == ::getuid();
    const QString folder = ownRuntime ? runtime : QStringLiteral("/tmp");
    const QByteArray key =
        QCryptographicHash::hash(realFolderPath(appPath).toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder + QStringLiteral("/qel-") + RealUserId() + QLatin1Char('-') +
           QString::fromLatin1(key.left(16)) + QStringLiteral(".lock");
}

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Qel"));
    QApplication::setDesktopFileName(QStringLiteral(QEL_APP_ID));
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/qel-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

std::unique_ptr<QLockFile> Main(const QString& appPath, const QString& seedDir)
{
    auto lock = std::make_unique<QLockFile>(InstanceLockPath(appPath));
    // Only a live owner counts: a lock left by a crashed run is taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
        Dialogs().exclamation(QStringLiteral("二重起動禁止"),
                              QStringLiteral("すでにプログラムは動作していています。"));
        return nullptr;
    }

    if (!seedDir.isEmpty()) {
        // No start on a half-made folder: the user is told what is wrong where, and the run ends.
        try {
            SeedAppFolder(appPath, seedDir);
        } catch (const QelError& e) {
            Dialogs().warning(QStringLiteral("Qel"), e.message());
            return nullptr;
        }
    }
    ReadSettings(appPath);
    try {
        MakeFolders();
    } catch (const QelError& e) {
        Dialogs().warning(QStringLiteral("Qel"), e.message());
    }
    for (const QString& notice : RecoverInterruptedBackup())
        Dialogs().information(QStringLiteral("データベースの復旧"), notice);
    // A shop coming from the earlier program brings its ledger under the same name.
    if (!OfferLedgerConversion())
        return nullptr;
    G().CallerForm.clear();
    Screens().open(Forms::Frm010_Qel);
    return lock;
}
