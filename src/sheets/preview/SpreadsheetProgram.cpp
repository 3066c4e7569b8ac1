#include "SpreadsheetProgram.h"

#include "core/TextRoutines.h"
#include "ui/DialogService.h"

#include <algorithm>

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

namespace {

// The [Desktop Entry] group of a desktop file, key by key (localised keys left out).
QHash<QString, QString> entryOf(const QString& file)
{
    QHash<QString, QString> keys;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inEntry || line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!key.contains(QLatin1Char('[')) && !keys.contains(key))
            keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return keys;
}

// The program of an Exec or TryExec line: its first word, quotes taken off.
bool programThere(const QString& command)
{
    QString program = command.trimmed();
    if (program.startsWith(QLatin1Char('"'))) {
        program = program.mid(1, program.indexOf(QLatin1Char('"'), 1) - 1);
    } else {
        const qsizetype space = program.indexOf(QLatin1Char(' '));
        if (space >= 0)
            program.truncate(space);
    }
    if (program.isEmpty())
        return false;
    if (QDir::isAbsolutePath(program))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

bool isTrue(const QString& value)
{
    return value == QLatin1String("true");
}

} // namespace

QString ProgramFor(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QStringList names = type.aliases();
    names.prepend(type.name());

    QSet<QString> seen;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            // A desktop id: the path below the folder, separators as dashes. An entry of the
            // user's own folder hides the system's entry of the same id.
            const QString id =
                QDir(folder).relativeFilePath(file).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const QHash<QString, QString> entry = entryOf(file);
            if (entry.value(QStringLiteral("Type")) != QLatin1String("Application") ||
                isTrue(entry.value(QStringLiteral("Hidden"))))
                continue;
            const QStringList types =
                entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            const bool opens = std::any_of(names.cbegin(), names.cend(),
                                           [&](const QString& name) { return types.contains(name); });
            if (!opens || !programThere(entry.value(QStringLiteral("Exec"))))
                continue;
            if (entry.contains(QStringLiteral("TryExec")) &&
                !programThere(entry.value(QStringLiteral("TryExec"))))
                continue;
            return id;
        }
    }
    return {};
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
