#pragma once

#include "FileSave.h"

#include <QString>

// Where a file chooser for the user's own files opens (the import, the exports, the PDF and the
// picture): the folder the user last chose a file in, kept in the application folder for the
// next start; else the user's documents folder as the desktop names it; else the home folder.
// The application folder itself is hidden from the user and holds only what the program reads.
QString ChooserFolder();

// Remembers the folder of a file the user chose.
void RememberChooserFolder(const QString& chosenFile);

// The file chooser's starting path for a file to write: the name in ChooserFolder().
QString ChooserTarget(const QString& fileName);

// The file to write as the user chose it in a save chooser, with the folder remembered: the type's
// suffix added when the name has none, and allowed to replace a file of its name only when the
// chooser asked about that very name. A file that appears meanwhile, or one the added suffix
// meets, is kept and the new file takes a free name beside it (FileSave::Existing::Keep).
struct ChosenFile
{
    QString path;
    FileSave::Existing existing;
};
ChosenFile ChosenTarget(const QString& chosen, const QString& suffix);
