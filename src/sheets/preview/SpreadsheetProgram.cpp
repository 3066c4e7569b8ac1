#include "SpreadsheetProgram.h"

#include "core/TextRoutines.h"
#include "ui/DialogService.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QUrl>

// GLib names a member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

QString ProgramFor(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    GAppInfo* program = g_app_info_get_default_for_type(type.name().toUtf8().constData(), FALSE);
    if (!program)
        return {};
    const QString id = QString::fromUtf8(g_app_info_get_id(program));
    g_object_unref(program);
    return id;
}

void OpenInSpreadsheet(const QString& caption, const QString& path)
{
    const QString where = QStringLiteral("ワークブックは次の場所にあります。\n%1").arg(ShownPath(path));
    if (ProgramFor(path).isEmpty()) {
        Dialogs().warning(
            caption, QStringLiteral("表計算ソフトが見つかりません。\n"
                                    "LibreOffice Calc などの表計算ソフトをインストールしてください。\n") +
                         where);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        Dialogs().warning(
            caption, QStringLiteral("表計算ソフトを起動できません。\n"
                                    "デスクトップの既定のアプリを開く仕組み（xdg-open）がありません。\n") +
                         where);
}
