#pragma once

#include "QelError.h"

#include <QString>

// Reads the settings of the application folder into the globals: AppPath, then the keys of
// "Qel.Ini" in their order (a missing or unusable value takes its default), the sales date and
// the closing month, checked.
void ReadSettings(const QString& appPath);

// Makes the folder (with every missing folder above it when withParents, else one level below an
// existing folder). Returns why it cannot be made, in Japanese with its path, or an empty text.
QString MakeFolder(const QString& folder, bool withParents);

// Creates the workbook and backup folders (one level each) when they are missing. Both are
// tried; a QelError of the kind Folder names every folder that could not be made, each with its reason.
void MakeFolders();
