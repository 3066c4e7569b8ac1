#include "ChooserFolder.h"

#include "FileSave.h"
#include "Globals.h"
#include "QelError.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kRemembered = QStringLiteral("Qel.LastFolder");

bool usable(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

} // namespace

QString ChooserFolder()
{
    if (G().ChooserFolder.isEmpty()) {
        QFile file(AppFile(kRemembered));
        if (file.open(QIODevice::ReadOnly))
            G().ChooserFolder = QString::fromUtf8(file.readAll()).trimmed();
    }
    if (usable(G().ChooserFolder))
        return G().ChooserFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return usable(documents) ? documents : QDir::homePath();
}

void RememberChooserFolder(const QString& chosenFile)
{
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (folder == G().ChooserFolder)
        return;
    G().ChooserFolder = folder;
    // Where the next start opens its choosers is a convenience: an application folder that cannot
    // be written costs it, and the file the user saved is what the action is about.
    try {
        FileSave save(AppFile(kRemembered), FileSave::Existing::Replace);
        save.file().write(folder.toUtf8() + '\n');
        save.commit();
    } catch (const QelError&) {
    }
}

QString ChooserTarget(const QString& fileName)
{
    return ChooserFolder() + QLatin1Char('/') + fileName;
}

ChosenFile ChosenTarget(const QString& chosen, const QString& suffix)
{
    RememberChooserFolder(chosen);
    if (QFileInfo(chosen).suffix().isEmpty())
        return {chosen + QLatin1Char('.') + suffix, FileSave::Existing::Keep};
    return {chosen, QFileInfo::exists(chosen) ? FileSave::Existing::Replace : FileSave::Existing::Keep};
}
