#include "Settings.h"

#include "Clock.h"
#include "Globals.h"
#include "IniFile.h"

#include <QDir>
#include <QFileInfo>

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

void makeFolder(const QString& name)
{
    const QString path = AppFile(name);
    const QFileInfo info(path);
    if (info.isDir())
        return;
    if (info.exists())
        throw FolderError(QStringLiteral("フォルダを作成できません。同じ名前のファイルがあります。\n%1").arg(path));
    if (!QFileInfo(info.absolutePath()).isDir())
        throw FolderError(QStringLiteral("フォルダを作成できません。上のフォルダがありません。\n%1").arg(path));
    if (!QDir().mkdir(path))
        throw FolderError(QStringLiteral("フォルダを作成できません。書き込みの権限を確かめてください。\n%1").arg(path));
}

} // namespace

void MakeFolders()
{
    makeFolder(G().DataPath);
    makeFolder(G().BackDataPath);
}
