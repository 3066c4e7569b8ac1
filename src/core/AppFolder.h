#pragma once

#include <QString>

// The folder the program keeps its files in (AppPath), and where it is completed from.
struct AppFolder
{
    QString path;
    // The installed read-only data that the folder is completed from; empty for a portable folder.
    QString seedDir;
};

// Portable when the executable's folder holds Qel.Ini (the assembled build folder, a copied
// folder): that folder itself. Installed otherwise: the user's own folder, seeded from the data
// installed beside the program's bin/ folder (the configured data folder when none is there).
AppFolder ChooseAppFolder(const QString& exeDir);

// $XDG_DATA_HOME/Qel, or ~/.local/share/Qel when the variable is unset or not an absolute path.
QString UserAppFolder();

// Makes the folder when missing and copies into it each installed file it lacks. An existing file
// is never replaced, and the sample database comes only into a folder that holds no database:
// once the user has deleted it, it stays deleted. Throws QelError, with the path, when the
// installed data is missing or the folder cannot be made or written; nothing is touched then.
void SeedAppFolder(const QString& folder, const QString& seedDir);
