#include "Settings.h"

#include "Clock.h"
#include "Globals.h"
#include "IniFile.h"
#include "TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <filesystem>
#include <system_error>

void ReadSettings(const QString& appPath)
{
    AppGlobals& g = G();
    g.AppPath = appPath;
    const QString ini = appPath + QStringLiteral("/Qel.Ini");
    const QString section = QStringLiteral("Ini");
    QString text;

    GetIniString(ini, section, QStringLiteral("DataPath"), g.DataPath);
    GetIniString(ini, section, QStringLiteral("BackDataPath"), g.BackDataPath);
    GetIniString(ini, section, QStringLiteral("BackCnt"), text);
    g.BackCnt = IniInteger(text);
    GetIniString(ini, section, QStringLiteral("Todoufuken1"), text);
    g.Todoufuken1 = IniInteger(text);
    GetIniString(ini, section, QStringLiteral("Todoufuken2"), text);
    g.Todoufuken2 = IniInteger(text);
    GetIniString(ini, section, QStringLiteral("Maker"), g.Maker);
    GetIniString(ini, section, QStringLiteral("Syouhin"), g.Syouhin);

    g.SalesDate = Clock::current().now();

    GetIniString(ini, section, QStringLiteral("Nengou"), g.Nengou);
    // A missing key reads as 0, which the range check turns into the default 3.
    GetIniString(ini, section, QStringLiteral("Kessan"), text);
    g.Kessan = IniInteger(text);
    if (g.Kessan < 1 || g.Kessan > 12)
        g.Kessan = 3;
    GetIniString(ini, section, QStringLiteral("Title"), g.Title);
}

namespace {

// The nearest ancestor of the path that exists; what stands there tells why the folder cannot
// be made below it.
QString existingAncestor(const QString& path)
{
    QString probe = QFileInfo(path).absolutePath();
    while (!QFileInfo::exists(probe)) {
        const QString up = QFileInfo(probe).absolutePath();
        if (up == probe)
            break;
        probe = up;
    }
    return probe;
}

} // namespace

QString MakeFolder(const QString& folder, bool withParents)
{
    const QString path = QDir::cleanPath(folder);
    const QFileInfo info(path);
    if (info.isDir())
        return {};
    const QString head = QStringLiteral("フォルダを作成できません。\n%1\n").arg(ShownPath(path));
    if (info.exists())
        return head +
               QStringLiteral("同じ名前のファイルがあります。ファイルの名前を変えるか移してください。");
    const QString parent = info.absolutePath();
    const QString ancestor = existingAncestor(path);
    if (!QFileInfo(parent).isDir()) {
        if (QFileInfo(ancestor).isFile())
            return head +
                   QStringLiteral("途中の「%1」がフォルダではなくファイルです。").arg(ShownPath(ancestor));
        if (!withParents)
            return head +
                   QStringLiteral("上のフォルダ「%1」がありません。先にそのフォルダを作成してください。")
                       .arg(ShownPath(parent));
    }
    std::error_code error;
    const std::filesystem::path target(QFile::encodeName(path).toStdString());
    if (withParents)
        std::filesystem::create_directories(target, error);
    else
        std::filesystem::create_directory(target, error);
    if (!error)
        return {};
    switch (static_cast<std::errc>(error.value())) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return head + QStringLiteral("「%1」に書き込む権限がありません。").arg(ShownPath(ancestor));
    case std::errc::file_exists:
        return head +
               QStringLiteral("同じ名前のファイルがあります。ファイルの名前を変えるか移してください。");
    case std::errc::read_only_file_system:
        return head + QStringLiteral("書き込みのできない場所です。");
    case std::errc::no_space_on_device:
        return head + QStringLiteral("ディスクの空き容量が足りません。");
    default:
        return head + QStringLiteral("システムが作成を拒みました（%1）。")
                          .arg(QString::fromLocal8Bit(error.message().c_str()));
    }
}

void MakeFolders()
{
    // Each folder is made or reported on its own: one that fails does not stop the other.
    QStringList reasons;
    for (const QString& name : {G().DataPath, G().BackDataPath}) {
        // A trailing separator ("帳票/") names the same folder.
        const QString reason = MakeFolder(AppFile(name), false);
        if (!reason.isEmpty())
            reasons << reason;
    }
    if (!reasons.isEmpty())
        throw QelError(QelError::Kind::Folder, reasons.join(QStringLiteral("\n\n")));
}
